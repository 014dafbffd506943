#pragma once

#include "barcode/twod/SymbolMatrix.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>

namespace korvel {

/// The settings of a barcode object that shape its QR Code symbol besides the input text.
struct QrSettings {
    std::int32_t moduleSize = 3; ///< QRcodeElement: dots per module, 1..kQrMaxModule
    std::int32_t model = 2; ///< QRModel 1 or 2; model 1 symbols are drawn as model 2
    std::int32_t language = 0; ///< QRLanguage: 0 Chinese, 1 Japanese (Shift JIS pairs in Kanji mode)
};

inline constexpr std::int32_t kQrMaxModule = 64;

/// The encoder's input text: error level ("L", "M", "Q", "H"), the mask digit unless it is "A",
/// the input mode ('A' automatic, 'M' manual), a comma and the data. MA,1234567890 with the
/// defaults.
QByteArray QrInputText(QByteArrayView errorLevel, QByteArrayView maskNo, char inputMode, QByteArrayView data);

/// Encodes an input text as QrInputText builds it. Returns the side of the symbol in dots with
/// the scaled matrix (side rows of (side + 7) div 8 bytes) in `out`, or a negative SymbolError
/// with `out` cleared. Masks "0".."7" are honoured, "8" means automatic; both input modes let
/// the encoder choose its segments.
int EncodeQr(QByteArrayView inputText, const QrSettings& settings, SymbolMatrix& out);

} // namespace korvel
