#pragma once

#include "barcode/BarcodeTypes.h"
#include "barcode/linear/BarPattern.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>

#include <cstdint>

namespace korvel {

// One switch over TBarCodeType for every linear operation. `data` is always the data as it is
// drawn: for Codabar with its start and stop letters, for Code 128 and the two FNC1 types the
// escape form (see PrepareLinearData).

/// Accepts or rejects `data` for `type`; `reason` becomes "0", "1" or "2", or stays empty for a
/// value outside the enumeration. PDF417, QR Code and the two FNC1 types accept everything here.
bool ValidateBarcodeData(TBarCodeType type, QByteArrayView data, QByteArray& reason);

/// Width of the bar pattern in dots (the bars image is one dot wider); 0 when the data or the
/// options are not accepted or the type is not linear.
std::int32_t BarcodeWidth(TBarCodeType type, QByteArrayView data, const LinearOptions& options);

/// The bar pattern of a linear symbol; false (and `out` unspecified) when it cannot be built.
bool EncodeLinear(TBarCodeType type, QByteArrayView data, const LinearOptions& options, BarPattern& out);

/// Encodes and draws onto `canvas` (white, sized by the caller, normally BarcodeWidth + 1 by
/// H, H + e or H + 2b). Nothing is drawn when the pattern cannot be built.
bool DrawLinear(TBarCodeType type, QByteArrayView data, const LinearOptions& options, QImage& canvas,
                const BarPaintOptions& paint = {});

/// A new white canvas of the symbol's size with the symbol drawn; a null image on failure.
QImage RenderLinear(TBarCodeType type, QByteArrayView data, const LinearOptions& options,
                    QImage::Format format = QImage::Format_Mono, const BarPaintOptions& paint = {});

/// The check characters that follow the data in the text with check: one digit or character,
/// two characters for Code 93, empty for symbologies without one (and for Code 128, whose check
/// value is Code128CheckValue).
QByteArray LinearCheckText(TBarCodeType type, QByteArrayView data);

/// Data of a barcode object prepared for its symbology: what is validated and what is drawn.
struct PreparedLinearData {
    bool accepted = false;
    QByteArray reason; ///< "0", "1", "2"
    QByteArray data; ///< the data drawn (escape form, Codabar with its letters …)
};

/// Builds and validates the drawn data from the object's text and start/stop choices: Code 128
/// with start 1..3 gets its subset letter; Code 128 with any other start and the two FNC1 types
/// take plain ASCII text and draw its automatic escape form; Codabar gets its start and stop
/// letters (choices outside 0..3 are rejected with reason "1").
PreparedLinearData PrepareLinearData(TBarCodeType type, QByteArrayView text, int startSign, int endSign);

/// e: how far the EAN/UPC guard bars reach below the others, round(D × 1.65 / 25.4 × Z).
std::int32_t GuardExtensionDots(int dpi, double zoom);
/// b: the Dispatch bearer thickness, round(Z × 1.37 × D / 25.4).
std::int32_t BearerDots(int dpi, double zoom);

} // namespace korvel
