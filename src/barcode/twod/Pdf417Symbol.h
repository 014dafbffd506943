#pragma once

#include "barcode/twod/SymbolMatrix.h"

#include <QByteArrayView>

#include <cstdint>

namespace korvel {

/// The settings of a barcode object that shape its PDF417 symbol.
struct Pdf417Settings {
    std::int32_t moduleWidth = 2; ///< PDFBaseWidth: dots per module, 1..kPdf417MaxModule
    std::int32_t rowHeight = 7; ///< PDFBaseHeight: dots per row, 1..kPdf417MaxRowHeight
    std::int32_t columns = 3; ///< PDF417Cels: data columns 1..30, 0 lets the encoder choose
    std::int32_t rows = 5; ///< PDF417Rols: 1..88 for 3..90 rows, 0 lets the encoder choose
    bool truncated = false; ///< PDF417Trunct: compact symbol without the right row indicators
    std::int32_t errorLevel = 3; ///< PDF417ECClevel: 0..8
};

inline constexpr std::int32_t kPdf417MaxModule = 64;
inline constexpr std::int32_t kPdf417MaxRowHeight = 255;

/// Encodes `data` (bytes) as PDF417. The rows value is a minimum: data that needs more rows in
/// the given columns gets them (up to 90). Returns 0 with the scaled matrix in `out`, or a
/// negative SymbolError with `out` cleared.
int EncodePdf417(QByteArrayView data, const Pdf417Settings& settings, SymbolMatrix& out);

} // namespace korvel
