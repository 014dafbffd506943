#include "barcode/BarcodeRules.h"

#include "barcode/OABarCode.h"
#include "barcode/linear/Codabar.h"
#include "barcode/linear/LinearCommon.h"
#include "barcode/linear/LinearEncoder.h"
#include "document/CodePage.h"
#include "document/Rounding.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace korvel {

namespace {

using T = TBarCodeType;
using W = BarcodeWidthChoice;
using C = BarcodeCheckChoice;

constexpr std::array<BarcodeTypePreset, 23> kPresets = { {
    { T::bcCodeIndustrial25, "0123456789", W::NarrowAndRatio, C::Fixed, false, "message1" },
    { T::bcCodeInter25, "0123456789", W::NarrowAndRatio, C::Free, false, "message2" },
    { T::bcCodeEurMatrix, "0123456789", W::NarrowAndRatio, C::Fixed, true, "message3" },
    { T::bcCodeJanMatrix, "0123456789", W::NarrowAndRatio, C::Fixed, true, "message4" },
    { T::bcCode39, "0123456789", W::NarrowAndRatio, C::Fixed, false, "message5" },
    { T::bcCode39Ex, "0123456789", W::NarrowAndRatio, C::Fixed, false, "message6" },
    { T::bcCodeHBIC, "0123456789", W::NarrowAndRatio, C::Fixed, true, "message7" },
    { T::bcCodeCodabar, "0123456789", W::NarrowAndRatio, C::Fixed, false, "message8" },
    { T::bcCode128, "0123456789", W::ModuleOnly, C::Fixed, true, "message9" },
    { T::bcCode93, "01234567890", W::ModuleOnly, C::Fixed, true, "message10" },
    { T::bcCodeEAN13, "012345678901", W::ModuleOnly, C::Fixed, true, "message11" },
    { T::bcCodeEAN8, "0123456", W::ModuleOnly, C::Fixed, true, "message12" },
    { T::bcCodeUPCA, "01234567890", W::ModuleOnly, C::Fixed, true, "message13" },
    { T::bcCodeUPCE, "012345", W::ModuleOnly, C::Fixed, true, "message14" },
    { T::bcCodeUccEan, "0123456789012345678", W::ModuleOnly, C::Fixed, true, "message15" },
    { T::bcCodeUPC2, "01", W::ModuleOnly, C::Fixed, true, "message16" },
    { T::bcCodeUPC5, "01234", W::ModuleOnly, C::Fixed, true, "message17" },
    { T::bcCodePostnet, "01234", W::ModuleOnly, C::Fixed, true, "message18" },
    { T::bcCodeCYM, "0123456789", W::NarrowAndRatio, C::Fixed, true, "message19" },
    { T::bcCodePost25, "01234567890", W::NarrowAndRatio, C::Fixed, false, "message20" },
    { T::bcCodePDF417, "0123456789ABCDEFG", W::ModuleOnly, C::None, false, "message21" },
    { T::bcCodeQR, "0123456789ABCDEFG", W::ModuleOnly, C::None, false, "message22" },
    { T::bcCodeUCCEAN128DZJG, "01234567890123456789", W::ModuleOnly, C::Fixed, true, "message29" },
} };

constexpr bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

constexpr bool isUpper(char c)
{
    return c >= 'A' && c <= 'Z';
}

bool inSet(char c, const char* set)
{
    for (const char* p = set; *p; ++p)
        if (*p == c)
            return true;
    return false;
}

/// The electronic supervision code is "21" followed by exactly this many characters.
constexpr int kSupervisionLength = 20;

} // namespace

QString BuiltInBarcodeText(const char*, const char*, const QString& fallback)
{
    return fallback;
}

QString LookupBarcodeText(const BarcodeMessageKey& key, const BarcodeTextLookup& lookup)
{
    const QString fallback = QString::fromUtf8(key.builtIn);
    return lookup ? lookup(key.section, key.key, fallback) : fallback;
}

QStringList BarcodeTypeList()
{
    QStringList list;
    for (int v = 0; v <= static_cast<int>(T::bcCodeQR); ++v)
        list << BarCodeTypeDisplayName(static_cast<T>(v));
    return list;
}

const BarcodeTypePreset* BarcodeTypePresetOf(TBarCodeType type)
{
    const auto index = static_cast<std::size_t>(type);
    return index < kPresets.size() ? &kPresets[index] : nullptr;
}

BarcodeMessageKey BarcodeCommentKey(TBarCodeType type, int code128Subset)
{
    if (type == T::bcCode128 && code128Subset == 3)
        return { "Common", "message30", "" };
    const BarcodeTypePreset* preset = BarcodeTypePresetOf(type);
    return { "Common", preset ? preset->commentKey : "", "" };
}

BarcodeComment BarcodeCommentTexts(TBarCodeType type, int code128Subset, const BarcodeTextLookup& lookup)
{
    BarcodeComment c;
    c.alone = LookupBarcodeText(BarcodeCommentKey(type, code128Subset), lookup);
    c.prompted = LookupBarcodeText(kBarcodeCaptionKey, lookup) + c.alone;
    return c;
}

BarcodeMessageKey BarcodeWidthLabelKey(TBarCodeType type)
{
    const BarcodeTypePreset* preset = BarcodeTypePresetOf(type);
    const bool moduleOnly = !preset || preset->width == W::ModuleOnly;
    return { "BarcodePropFormInside", moduleOnly ? "message1" : "message2", "" };
}

bool BarcodeIsDigitOnly(TBarCodeType type)
{
    const int v = static_cast<int>(type);
    return (v >= 0 && v <= 3) || (v >= 10 && v <= 19) || type == T::bcCodeUCCEAN128DZJG;
}

int BarcodeFixedLength(TBarCodeType type)
{
    switch (type) {
    case T::bcCodeEAN13: return 12;
    case T::bcCodeEAN8: return 7;
    case T::bcCodeUPCA: return 11;
    case T::bcCodeUPCE: return 6;
    case T::bcCodeUccEan: return 19;
    case T::bcCodeUPC2: return 2;
    case T::bcCodeUPC5: return 5;
    case T::bcCodePost25: return 11;
    case T::bcCodeUCCEAN128DZJG: return kSupervisionLength;
    default: return 0;
    }
}

int BarcodeTypingLimit(TBarCodeType type)
{
    switch (type) {
    case T::bcCodeEAN13: return 12;
    case T::bcCodeEAN8: return 7;
    case T::bcCodeUPCE: return 6;
    case T::bcCodeUccEan: return 19;
    case T::bcCodeUPC2: return 2;
    case T::bcCodeUPC5: return 5;
    case T::bcCodeCYM: return 13;
    case T::bcCodeUPCA:
    case T::bcCodePostnet:
    case T::bcCodePost25: return 11;
    case T::bcCodeUCCEAN128DZJG: return 21;
    default: return 0;
    }
}

QByteArray AdaptBarcodeDataToType(TBarCodeType type, const QByteArray& text)
{
    // Code 128 takes any text; the two-dimensional symbols take any bytes, Chinese included.
    if (type == T::bcCode128 || type == T::bcCodeUCCEAN128 || IsTwoDimensional(type))
        return text;
    QByteArray s = text;
    const bool digitsOnly = BarcodeIsDigitOnly(type);
    for (char& c : s) {
        if (static_cast<unsigned char>(c) >= 0x80 || (digitsOnly && !isDigit(c)))
            c = '0';
    }
    if (const int length = BarcodeFixedLength(type); length > 0) {
        s = s.left(length);
        if (s.size() < length)
            s.append(QByteArray(length - s.size(), '0'));
    } else if (type == T::bcCodePostnet) {
        if (s.size() != 5 && s.size() != 9 && s.size() != 11) {
            s = s.left(5);
            if (s.size() < 5)
                s.append(QByteArray(5 - s.size(), '0'));
        }
    } else if (type == T::bcCodeCYM) {
        s = s.left(13);
    }
    return s;
}

bool AcceptBarcodeKey(TBarCodeType type, const QByteArray& current, const BarcodeTypedKey& key)
{
    if (key.deletion || key.keypad)
        return true;
    if (CodePage::document().CharNum(current) >= kBarcodeDataMaxChars)
        return false;
    const char c = key.ch;
    switch (type) {
    case T::bcCodeIndustrial25:
    case T::bcCodeInter25:
    case T::bcCodeEurMatrix:
    case T::bcCodeJanMatrix: return isDigit(c);
    case T::bcCode39:
    case T::bcCodeHBIC:
    case T::bcCode93: return isDigit(c) || isUpper(c) || inSet(c, " $%+-./");
    case T::bcCodeCodabar: return isDigit(c) || (c >= 'A' && c <= 'D') || inSet(c, "$:+-./");
    default: break;
    }
    if (const int limit = BarcodeTypingLimit(type); limit > 0)
        return isDigit(c) && current.size() < limit;
    return true;
}

QString BarcodeDataCounterText(const QByteArray& text, const BarcodeTextLookup& lookup)
{
    static constexpr BarcodeMessageKey kBytes { "All", "zijie", "Byte" };
    return QString::number(CodePage::document().CharNum(text)) + LookupBarcodeText(kBytes, lookup);
}

bool BarcodeConfirmEnabled(const QByteArray& fixedData)
{
    return !fixedData.isEmpty();
}

QByteArray SanitizeBarcodeSeparator(const QByteArray& typed)
{
    if (typed.size() > kBarcodeSeparatorMaxBytes)
        return {};
    for (char c : typed)
        if (CodePage::document().isLeadByte(static_cast<unsigned char>(c)))
            return {};
    return typed;
}

int ParseBarcodeGroupSize(const QString& typed)
{
    bool ok = false;
    const int v = typed.trimmed().toInt(&ok);
    if (!ok)
        return 0;
    return std::clamp(v, 0, kBarcodeMaxGroupSize);
}

QStringList NarrowWidthList(int dpi, int count)
{
    if (dpi <= 0)
        dpi = 203;
    QStringList list;
    for (int dots = 1; dots <= count; ++dots)
        list << QString::number(dots * 25.4 / dpi, 'f', 2);
    return list;
}

std::vector<BarcodeRatioChoice> WideRatioList(std::int32_t narrow)
{
    std::vector<BarcodeRatioChoice> list;
    if (narrow < 1)
        return list;
    const std::int32_t last = std::min<std::int32_t>(3 * narrow, 24);
    for (std::int32_t k = 2 * narrow; k <= last; ++k) {
        QString label;
        if (k == 2 * narrow)
            label = QStringLiteral("1:2");
        else if (k == 3 * narrow)
            label = QStringLiteral("1:3");
        else
            label = QStringLiteral("%1:%2").arg(narrow).arg(k);
        list.push_back({ label, k });
    }
    return list;
}

std::int32_t BarWideFromRatio(std::int32_t narrow, const QString& label)
{
    if (label == QLatin1String("1:2"))
        return 2 * narrow;
    if (label == QLatin1String("1:3"))
        return 3 * narrow;
    const qsizetype colon = label.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return 0;
    bool ok = false;
    const int v = label.mid(colon + 1).toInt(&ok);
    return ok && v > 0 ? v : 0;
}

int RatioPositionOf(std::int32_t narrow, std::int32_t wide)
{
    const auto list = WideRatioList(narrow);
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i].wide == wide)
            return static_cast<int>(i);
    return 0;
}

std::int32_t BarHeightFromMillimetres(int dpi, double mm, int zoomPercent)
{
    if (!std::isfinite(mm))
        return 0;
    const double v = dpi * mm * zoomPercent / 2540.0;
    return static_cast<std::int32_t>(std::clamp<double>(Round(v), -1e9, 1e9));
}

double BarHeightToMillimetres(std::int32_t barHeight, int dpi, int zoomPercent)
{
    if (dpi <= 0 || zoomPercent <= 0)
        return 0.0;
    return barHeight * 25.4 * 100.0 / (double(dpi) * zoomPercent);
}

BarcodeTextOptions BarcodeTextOptionsOffered(TBarCodeType type, bool printerDefaultFont)
{
    BarcodeTextOptions o;
    if (type == T::bcCodePostnet || IsTwoDimensional(type)) {
        o = { false, false, false, false, false, false, false, type == T::bcCodePostnet };
        return o;
    }
    if (IsEanUpc(type)) {
        o.position = false;
        o.alignment = false;
        o.groupSize = false;
        o.separator = false;
    }
    if (type == T::bcCodeUPCE || type == T::bcCodeCYM || type == T::bcCodeUccEan || type == T::bcCode39Ex
        || printerDefaultFont) {
        o.position = false;
        o.distance = false;
        o.alignment = false;
    }
    return o;
}

QByteArray BarcodeCheckedData(
    TBarCodeType type, const QByteArray& text, int code128Subset, int codabarStart, int codabarStop)
{
    switch (type) {
    case T::bcCode128: {
        static constexpr char letters[] = { 'D', 'A', 'B', 'C' };
        const char letter = code128Subset >= 0 && code128Subset <= 3 ? letters[code128Subset] : 'D';
        return QByteArray(1, letter) + text;
    }
    case T::bcCodeCodabar: {
        QByteArray s;
        if (const char a = CodabarLetter(codabarStart))
            s.append(a);
        s.append(text);
        if (const char b = CodabarLetter(codabarStop))
            s.append(b);
        return s;
    }
    case T::bcCodeUCCEAN128DZJG: return QByteArrayLiteral("21") + text;
    default: return text;
    }
}

BarcodeDataVerdict CheckBarcodeDialogData(
    TBarCodeType type, const QByteArray& text, int code128Subset, int codabarStart, int codabarStop)
{
    BarcodeDataVerdict v;
    QByteArray objectText = text;
    int startSign = -1;
    if (type == T::bcCodeUCCEAN128DZJG) {
        if (CodePage::document().CharNum(text) != kSupervisionLength) {
            v.reason = QByteArray(1, kReasonLength);
            return v;
        }
        objectText = QByteArrayLiteral("21") + text;
    } else if (type == T::bcCode128) {
        startSign = std::clamp(code128Subset, 0, 3);
    } else if (type == T::bcCodeCodabar) {
        startSign = codabarStart;
    }
    if (IsTwoDimensional(type)) {
        v.ok = ValidateBarcodeData(type, text, v.reason);
        return v;
    }
    // The check runs on exactly what the object will draw, so that a value the dialog accepts
    // is never refused by the object afterwards (and the other way round).
    const PreparedLinearData prepared = PrepareLinearData(type, objectText, startSign, codabarStop);
    v.ok = prepared.accepted;
    v.reason = prepared.reason;
    return v;
}

BarcodeMessage BarcodeRejectionMessage(const QByteArray& reason, const BarcodeTextLookup& lookup)
{
    BarcodeMessage m;
    m.caption = LookupBarcodeText(kBarcodeCaptionKey, lookup);
    QString why;
    if (reason == "1")
        why = LookupBarcodeText(kBarcodeBadCharacterKey, lookup);
    else if (reason == "2")
        why = LookupBarcodeText(kBarcodeBadLengthKey, lookup);
    m.text = LookupBarcodeText(kBarcodeRejectedKey, lookup) + QStringLiteral("\n\n") + m.caption + why;
    return m;
}

BarcodeDialogValues BarcodeDialogValuesOf(const TOABarCode& o, int zoomPercent)
{
    BarcodeDialogValues v;
    v.type = o.BarCodeType();
    v.text = IsTwoDimensional(v.type) ? o.Data() : o.Text();
    if (v.type == T::bcCodeUCCEAN128DZJG && v.text.startsWith("21"))
        v.text = v.text.mid(2);
    v.narrowPosition = std::max(o.BarNarrow() - 1, 0);
    const auto ratios = WideRatioList(o.BarNarrow());
    const int ratio = RatioPositionOf(o.BarNarrow(), o.BarWide());
    v.ratio = ratios.empty() ? QStringLiteral("1:2") : ratios[static_cast<std::size_t>(ratio)].label;
    v.parity = o.Parity();
    v.heightMM = BarHeightToMillimetres(o.BarHeight(), o.PrnDPI(), zoomPercent);
    v.labelDistance = o.LabelDistance();
    if (v.type == T::bcCode128 || v.type == T::bcCodeUCCEAN128DZJG)
        v.code128Subset = std::clamp(o.StartSign(), 0, 3);
    if (v.type == T::bcCodeCodabar) {
        v.codabarStart = std::clamp(o.StartSign(), 0, 3);
        v.codabarStop = std::clamp(o.EndSign(), 0, 3);
    }
    v.groupSize = std::clamp(o.Howmany(), 0, kBarcodeMaxGroupSize);
    v.separator = o.FenGeFu();
    v.showText = o.ShowText();
    v.showSum = o.ShowSum();
    v.labelPosition = static_cast<int>(o.LabelPos());
    v.labelAlignment = static_cast<int>(o.LabelAlign());
    const TBarcodeFont& f = o.TextFont();
    v.fontName = f.Name;
    v.fontSize = f.Size;
    v.bold = f.has(TextFontStyle::Bold);
    v.italic = f.has(TextFontStyle::Italic);
    v.underline = f.has(TextFontStyle::Underline);
    v.fontSource = o.LabelWithPrn() ? BarcodeFontSource::PrinterDefault
        : o.UsePrnFont() == 1       ? BarcodeFontSource::Printer
                                    : BarcodeFontSource::Windows;
    v.printerFontPosition = std::max(o.PrnFontIdx() - 1, 0);
    v.pdfBaseWidthPosition = std::max(o.PDFBaseWidth() - 1, 0);
    v.pdfBaseHeightPosition = std::max(o.PDFBaseHeight() - 1, 0);
    v.pdfRowsPosition = std::max(o.PDF417Rols() - 1, 0);
    v.pdfColumnsPosition = std::max(o.PDF417Cels() - 1, 0);
    v.pdfErrorLevel = o.PDF417ECClevel();
    v.pdfTruncated = o.PDF417Trunct();
    v.qrElementPosition = std::max(o.QRcodeElement() - 1, 0);
    v.qrErrLevel = o.QRErrLevel();
    v.qrModel = o.QRModel();
    v.qrLanguage = o.QRLanguage();
    v.qrMaskNo = o.QRMaskNo();
    v.qrInputMode = o.QRDataInputModel();
    return v;
}

void ApplyBarcodeDialogValues(TOABarCode& o, const BarcodeDialogValues& v, int zoomPercent, const QByteArray* content)
{
    o.SetErrFlag(0);
    o.SetCopyFlag(1);
    o.SetSysPrn(0);

    const T type = v.type;
    const BarcodeTypePreset* preset = BarcodeTypePresetOf(type);
    o.SetBarCodeType(type);
    const std::int32_t narrow = v.narrowPosition + 1;
    o.SetBarNarrow(narrow);
    if (preset && preset->width == W::NarrowAndRatio) {
        if (const std::int32_t wide = BarWideFromRatio(narrow, v.ratio); wide > 0)
            o.SetBarWide(wide);
    }
    if (preset && preset->check != C::None)
        o.SetParity(preset->check == C::Fixed ? preset->parity : v.parity);
    o.SetBarHeight(BarHeightFromMillimetres(o.PrnDPI(), v.heightMM, zoomPercent));

    if (type == T::bcCode128 || type == T::bcCodeUCCEAN128DZJG)
        o.SetStartSign(std::clamp(v.code128Subset, 0, 3));
    else if (type == T::bcCodeCodabar)
        o.SetStartSign(std::clamp(v.codabarStart, 0, 3));
    else
        o.SetStartSign(-1);
    o.SetEndSign(type == T::bcCodeCodabar ? std::clamp(v.codabarStop, 0, 3) : -1);
    o.SetHowmany(std::clamp(v.groupSize, 0, kBarcodeMaxGroupSize));
    o.SetFenGeFu(SanitizeBarcodeSeparator(v.separator));

    TBarcodeFont font = o.TextFont();
    font.Name = v.fontName;
    font.Size = v.fontSize;
    font.Style = 0;
    font.set(TextFontStyle::Bold, v.bold);
    font.set(TextFontStyle::Italic, v.italic);
    font.set(TextFontStyle::Underline, v.underline);

    // Each text setting goes in while its own rebuild is cheap to skip: one rebuild at the end.
    const std::int32_t refresh = o.IsRefresh();
    o.SetIsRefresh(0);
    o.SetShowSum(v.showSum);
    o.SetTextFont(font);
    switch (v.fontSource) {
    case BarcodeFontSource::Windows:
        o.SetUsePrnFont(0);
        o.SetLabelWithPrn(false);
        o.SetLabelPos(static_cast<TLabelPosition>(std::clamp(v.labelPosition, 0, 1)));
        o.SetLabelAlign(static_cast<TLabelAlignment>(std::clamp(v.labelAlignment, 0, 3)));
        o.SetLabelDistance(v.labelDistance);
        break;
    case BarcodeFontSource::Printer:
        o.SetUsePrnFont(1);
        o.SetLabelWithPrn(false);
        o.SetPrnFontIdx(std::clamp(v.printerFontPosition + 1, 1, 22));
        o.SetLabelPos(static_cast<TLabelPosition>(std::clamp(v.labelPosition, 0, 1)));
        o.SetLabelAlign(static_cast<TLabelAlignment>(std::clamp(v.labelAlignment, 0, 3)));
        o.SetLabelDistance(v.labelDistance);
        break;
    case BarcodeFontSource::PrinterDefault:
        o.SetUsePrnFont(0);
        o.SetLabelWithPrn(true);
        o.SetPrnFontIdx(3);
        o.SetLabelPos(TLabelPosition::lpBelow);
        o.SetLabelAlign(static_cast<TLabelAlignment>(1));
        o.SetLabelDistance(0.0);
        break;
    }
    o.SetIsRefresh(refresh);
    o.SetShowText(v.showText && type != T::bcCodePostnet);

    const QByteArray value = content ? *content : v.text;
    {
        // A PDF417 setting the encoder refuses is put back to what it was before the dialog.
        // ErrFlag is cleared after each put-back so that one refusal does not undo the rest.
        auto keep = [&o](auto setter, auto previous, auto next) {
            (o.*setter)(next);
            if (o.ErrFlag() == 1) {
                (o.*setter)(previous);
                o.SetErrFlag(0);
            }
        };
        keep(&TOABarCode::SetPDFBaseWidth, o.PDFBaseWidth(), v.pdfBaseWidthPosition + 1);
        keep(&TOABarCode::SetPDFBaseHeight, o.PDFBaseHeight(), v.pdfBaseHeightPosition + 1);
        keep(&TOABarCode::SetPDF417Rols, o.PDF417Rols(), v.pdfRowsPosition + 1);
        keep(&TOABarCode::SetPDF417Cels, o.PDF417Cels(), v.pdfColumnsPosition + 1);
        keep(&TOABarCode::SetPDF417ECClevel, o.PDF417ECClevel(), std::clamp(v.pdfErrorLevel, 0, 8));
        keep(&TOABarCode::SetPDF417Trunct, o.PDF417Trunct(), v.pdfTruncated);
        o.SetQRcodeElement(v.qrElementPosition + 1);
        o.SetQRErrLevel(v.qrErrLevel);
        o.SetQRModel(v.qrModel == 1 ? 1 : 2);
        o.SetQRLanguage(v.qrLanguage == 1 ? 1 : 0);
        o.SetQRMaskNo(v.qrMaskNo.isEmpty() ? QByteArrayLiteral("A") : v.qrMaskNo);
        o.SetQRDataInputModel(v.qrInputMode == 'M' ? 'M' : 'A');
    }
    if (IsTwoDimensional(type)) {
        const QByteArray previous = o.Data();
        o.SetData(value);
        if (o.ErrFlag() == 1) {
            o.SetData(previous);
            o.SetErrFlag(0);
        }
    } else if (type == T::bcCodeUCCEAN128DZJG) {
        o.SetText(QByteArrayLiteral("21") + value);
    } else {
        o.SetText(value);
    }
}

} // namespace korvel
