#ifndef ZX_USE_UTF8
#define ZX_USE_UTF8 // text() as UTF-8
#endif
#include "editor/properties/SymbolReading.h"

#include "barcode/BarcodeRules.h"
#include "barcode/OABarCode.h"
#include "document/CodePage.h"

#include <ZXing/ReadBarcode.h>

#include <algorithm>

namespace korvel {

namespace {

using T = TBarCodeType;

/// White margin around the printed symbol for the reader: wide enough for every quiet zone.
constexpr int kQuietDots = 40;

QString lookupOr(const VerdictTextLookup& lookup, const char* key, const char* fallback)
{
    const QString f = QString::fromUtf8(fallback);
    return lookup ? lookup(key, f) : f;
}

/// The length of the data without the check digit for the symbologies that end in a GS1 check
/// digit; 0 for the others.
int gs1Length(T type)
{
    switch (type) {
    case T::bcCodeEAN13: return 12;
    case T::bcCodeEAN8: return 7;
    case T::bcCodeUPCA: return 11;
    default: return 0;
    }
}

QString whyRefused(T type, const QByteArray& text, const QByteArray& reason, const VerdictTextLookup& lookup)
{
    // A full-length EAN or UPC whose last digit is wrong is the commonest typing slip: name it.
    const int n = gs1Length(type);
    if (n > 0 && text.size() == n + 1) {
        const int check = Gs1CheckDigit(text.left(n));
        if (check >= 0 && text.at(n) >= '0' && text.at(n) <= '9' && check != text.at(n) - '0')
            return lookupOr(lookup, "CheckDigit", "check digit");
    }
    if (reason == "1")
        return lookupOr(lookup, "BadCharacter", "a character not allowed");
    return lookupOr(lookup, "BadLength", "length or format");
}

QImage forReader(const QImage& printed)
{
    const QImage gray = printed.convertToFormat(QImage::Format_Grayscale8);
    QImage framed(gray.width() + 2 * kQuietDots, gray.height() + 2 * kQuietDots, QImage::Format_Grayscale8);
    framed.fill(255);
    for (int y = 0; y < gray.height(); ++y)
        std::copy_n(gray.constScanLine(y), gray.width(), framed.scanLine(y + kQuietDots) + kQuietDots);
    return framed;
}

} // namespace

int Gs1CheckDigit(const QByteArray& digits)
{
    int sum = 0;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        const char c = digits.at(digits.size() - 1 - i);
        if (c < '0' || c > '9')
            return -1;
        sum += (c - '0') * (i % 2 == 0 ? 3 : 1);
    }
    return (10 - sum % 10) % 10;
}

bool ReaderKnows(TBarCodeType type)
{
    switch (type) {
    case T::bcCodeInter25:
    case T::bcCode39:
    case T::bcCode39Ex:
    case T::bcCodeHBIC:
    case T::bcCodeCodabar:
    case T::bcCode128:
    case T::bcCode93:
    case T::bcCodeEAN13:
    case T::bcCodeEAN8:
    case T::bcCodeUPCA:
    case T::bcCodeUPCE:
    case T::bcCodeUccEan:
    case T::bcCodePDF417:
    case T::bcCodeQR:
    case T::bcCodeUCCEAN128DZJG: return true;
    default: return false;
    }
}

SymbolVerdict ReadBackSymbol(const TOABarCode& barcode, const QByteArray& text, int code128Subset, int codabarStart,
                             int codabarStop, const VerdictTextLookup& lookup)
{
    SymbolVerdict v;
    v.state = SymbolVerdict::State::Fails;
    const T type = barcode.BarCodeType();
    const QString dpi = QString::number(barcode.PrnDPI());
    const BarcodeDataVerdict data = CheckBarcodeDialogData(type, text, code128Subset, codabarStart, codabarStop);
    if (!data.ok) {
        v.text = lookupOr(lookup, "NotValid", "data not valid for %1: %2")
                     .arg(BarCodeTypeDisplayName(type), whyRefused(type, text, data.reason, lookup));
        return v;
    }
    const QImage printed = barcode.renderForPrinter();
    if (printed.isNull()) {
        v.text = lookupOr(lookup, "CannotDraw", "cannot be drawn with these settings");
        return v;
    }
    // One printer dot per module smears on a thermal head: readers on paper miss it.
    const int module = type == T::bcCodePDF417 ? barcode.PDFBaseWidth()
        : type == T::bcCodeQR                  ? barcode.QRcodeElement()
                                               : barcode.BarNarrow();
    if (module < 2) {
        v.text = lookupOr(lookup, "TooNarrow", "too narrow for %1 dpi").arg(dpi);
        return v;
    }
    if (!ReaderKnows(type)) {
        v.state = SymbolVerdict::State::Unchecked;
        v.text = lookupOr(lookup, "NoReader", "no independent reader for %1").arg(BarCodeTypeDisplayName(type));
        return v;
    }
    const QImage gray = forReader(printed);
    const ZXing::ImageView view(gray.constBits(), gray.width(), gray.height(), ZXing::ImageFormat::Lum,
                                static_cast<int>(gray.bytesPerLine()));
    ZXing::DecodeHints hints;
    hints.setTryHarder(true);
    hints.setTryRotate(true);
    const ZXing::Result result = ZXing::ReadBarcode(view, hints);
    if (!result.isValid()) {
        v.text = lookupOr(lookup, "Unreadable", "cannot be read at %1 dpi").arg(dpi);
        return v;
    }
    v.state = SymbolVerdict::State::Reads;
    v.text = lookupOr(lookup, "ReadsAs", "reads as %1").arg(QString::fromStdString(result.text()));
    return v;
}

} // namespace korvel
