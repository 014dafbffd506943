#pragma once

#include "document/PrinterFontFile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>

#include <cstdint>

namespace korvel {

class TOABarCode;

// The human-readable line of a linear barcode: which string it shows, how it is drawn (a screen
// font, a chosen printer font or the printer's default font previewed from the glyph file) and
// how it is joined to the bars. Everything is drawn in the units of the object's mode: printer
// dots when SysPrn is 1, screen pixels at the object's zoom otherwise (printer-font pictures are
// laid out in dots and scaled when they are joined to the bars).

/// The string in groups of `groupSize` characters joined by `separator`; unchanged unless
/// 0 < groupSize < its length. A separator that would end the string is left off.
QByteArray GroupBarcodeText(const QByteArray& text, int groupSize, const QByteArray& separator);

/// How a Code 128 check value (0..102) of an escape form is written: two digits when the symbol
/// starts in subset C, else the subset-A/B character of the value when it is printable, else its
/// decimal number. Empty when the form does not parse.
QByteArray Code128CheckText(QByteArrayView escapeForm);

/// The text without check character, grouped (DisplayText).
QByteArray BarcodeDisplayText(const TOABarCode& o);
/// The text with its check characters, not grouped (DisplayTextWithCheck).
QByteArray BarcodeDisplayTextWithCheck(const TOABarCode& o);
/// What the line shows: with the check characters when ShowSum, else the grouped text.
QByteArray BarcodeShownText(const TOABarCode& o);

/// The gap between bars and text in the units of the mode (may be negative).
int BarcodeTextGap(const TOABarCode& o, bool printer);

/// A rendered text picture. Width or height may be 0 (nothing to show); the image is then null.
struct BarcodeTextPicture {
    QImage image; ///< Format_RGB32, white with the text's ink
    int width = 0;
    int height = 0;
    PrinterFontError error = PrinterFontError::None;
    bool ok() const { return error == PrinterFontError::None; }
};

/// RenderText: the shown string in the printer default font (font 3, LabelWithPrn), the chosen
/// printer font (UsePrnFont 1) or the screen font, without the bars. Printer fonts give dots;
/// the screen font gives dots (printer) or screen pixels. The caller has already selected
/// printer font 3 for LabelWithPrn.
BarcodeTextPicture RenderBarcodeText(const TOABarCode& o, bool printer);

/// The width and height RenderBarcodeText gives for the printer (error as it reports it),
/// without drawing. Only for a text in a printer font (LabelWithPrn or UsePrnFont 1).
BarcodeTextPicture MeasurePrinterFontText(const TOABarCode& o);

/// Whether a picture of w × h can be drawn (the limit every barcode picture keeps to).
bool BarcodePictureFits(int w, int h);

/// The bars joined with the text (RebuildImage step 11).
struct ComposedBarcode {
    QImage image; ///< Format_RGB32
    int showTextHeight = 0;
    int barTop = 0; ///< first row of the bar area
    int barAreaHeight = 0; ///< rows of the bar area
    PrinterFontError error = PrinterFontError::None;
    /// False for an unusable glyph file (error set) or a picture larger than any label (image
    /// null, error None).
    bool ok() const { return error == PrinterFontError::None && !image.isNull(); }
};

/// Joins `bars` (Format_RGB32, already in the mode's units) with the rendered text: EAN/UPC with
/// the screen font places the digits between and below the guard bars; every other case renders
/// the text and composes it above or below by LabelPos and LabelAlign, ink over ink. The caller
/// has forced LabelPos to lpBelow for EAN/UPC.
ComposedBarcode ComposeBarcodeText(const TOABarCode& o, const QImage& bars, bool printer);

} // namespace korvel
