#include "barcode/linear/LinearEncoder.h"

#include "barcode/linear/Codabar.h"
#include "barcode/linear/Code128.h"
#include "barcode/linear/Code39.h"
#include "barcode/linear/Code93.h"
#include "barcode/linear/EanUpc.h"
#include "barcode/linear/LinearCommon.h"
#include "barcode/linear/Postnet.h"
#include "barcode/linear/TwoOfFive.h"
#include "document/Rounding.h"

namespace korvel {

using T = TBarCodeType;

bool ValidateBarcodeData(TBarCodeType type, QByteArrayView data, QByteArray& reason)
{
    char r = kReasonAccepted;
    bool ok = false;
    switch (type) {
    case T::bcCodeIndustrial25: ok = ValidateIndustrial25(data, r); break;
    case T::bcCodeInter25: ok = ValidateInterleaved25(data, r); break;
    case T::bcCodeEurMatrix:
    case T::bcCodeJanMatrix: ok = ValidateMatrix25(data, r); break;
    case T::bcCode39:
    case T::bcCodeHBIC: ok = ValidateCode39(data, r); break;
    case T::bcCode39Ex: ok = ValidateCode39Ex(data, r); break;
    case T::bcCodeCodabar: ok = ValidateCodabar(data, r); break;
    case T::bcCode128: ok = ValidateCode128(data, r); break;
    case T::bcCode93: ok = ValidateCode93(data, r); break;
    case T::bcCodeEAN13: ok = ValidateEan13(data, r); break;
    case T::bcCodeEAN8: ok = ValidateEan8(data, r); break;
    case T::bcCodeUPCA: ok = ValidateUpcA(data, r); break;
    case T::bcCodeUPCE: ok = ValidateUpcE(data, r); break;
    case T::bcCodeUccEan: ok = ValidateUccEan(data, r); break;
    case T::bcCodeUPC2: ok = ValidateUpc2(data, r); break;
    case T::bcCodeUPC5: ok = ValidateUpc5(data, r); break;
    case T::bcCodePostnet: ok = ValidatePostnet(data, r); break;
    case T::bcCodeCYM: ok = ValidateDispatch(data, r); break;
    case T::bcCodePost25: ok = ValidateChinaPost(data, r); break;
    case T::bcCodePDF417:
    case T::bcCodeQR:
    case T::bcCodeUCCEAN128DZJG:
    case T::bcCodeUCCEAN128:
        ok = true;
        r = kReasonAccepted;
        break;
    default:
        reason.clear();
        return false;
    }
    reason = QByteArray(1, r);
    return ok;
}

std::int32_t BarcodeWidth(TBarCodeType type, QByteArrayView data, const LinearOptions& o)
{
    switch (type) {
    case T::bcCodeIndustrial25: return Industrial25Width(data, o);
    case T::bcCodeInter25: return Interleaved25Width(data, o);
    case T::bcCodeEurMatrix: return Matrix25Width(Matrix25Variant::European, data, o);
    case T::bcCodeJanMatrix: return Matrix25Width(Matrix25Variant::Japanese, data, o);
    case T::bcCode39: return Code39Width(data, o.parity, o);
    case T::bcCode39Ex: return Code39ExWidth(data, o);
    case T::bcCodeHBIC: return Code39Width(data, true, o);
    case T::bcCodeCodabar: return CodabarWidth(data, o);
    case T::bcCode128:
    case T::bcCodeUCCEAN128DZJG:
    case T::bcCodeUCCEAN128: return Code128Width(data, o);
    case T::bcCode93: return Code93Width(data, o);
    case T::bcCodeEAN13: return Ean13Width(data, o);
    case T::bcCodeEAN8: return Ean8Width(data, o);
    case T::bcCodeUPCA: return UpcAWidth(data, o);
    case T::bcCodeUPCE: return UpcEWidth(data, o);
    case T::bcCodeUccEan: return UccEanWidth(data, o);
    case T::bcCodeUPC2: return Upc2Width(data, o);
    case T::bcCodeUPC5: return Upc5Width(data, o);
    case T::bcCodePostnet: return PostnetWidth(data, o);
    case T::bcCodeCYM: return DispatchWidth(data, o);
    case T::bcCodePost25: return ChinaPostWidth(data, o);
    default: return 0;
    }
}

bool EncodeLinear(TBarCodeType type, QByteArrayView data, const LinearOptions& o, BarPattern& out)
{
    switch (type) {
    case T::bcCodeIndustrial25: return EncodeIndustrial25(data, o, out);
    case T::bcCodeInter25: return EncodeInterleaved25(data, o, out);
    case T::bcCodeEurMatrix: return EncodeMatrix25(Matrix25Variant::European, data, o, out);
    case T::bcCodeJanMatrix: return EncodeMatrix25(Matrix25Variant::Japanese, data, o, out);
    case T::bcCode39: return EncodeCode39(data, o.parity, o, out);
    case T::bcCode39Ex: return EncodeCode39Ex(data, o, out);
    case T::bcCodeHBIC: return EncodeCode39(data, true, o, out);
    case T::bcCodeCodabar: return EncodeCodabar(data, o, out);
    case T::bcCode128:
    case T::bcCodeUCCEAN128DZJG:
    case T::bcCodeUCCEAN128: return EncodeCode128(data, o, out);
    case T::bcCode93: return EncodeCode93(data, o, out);
    case T::bcCodeEAN13: return EncodeEan13(data, o, out);
    case T::bcCodeEAN8: return EncodeEan8(data, o, out);
    case T::bcCodeUPCA: return EncodeUpcA(data, o, out);
    case T::bcCodeUPCE: return EncodeUpcE(data, o, out);
    case T::bcCodeUccEan: return EncodeUccEan(data, o, out);
    case T::bcCodeUPC2: return EncodeUpc2(data, o, out);
    case T::bcCodeUPC5: return EncodeUpc5(data, o, out);
    case T::bcCodePostnet: return EncodePostnet(data, o, out);
    case T::bcCodeCYM: return EncodeDispatch(data, o, out);
    case T::bcCodePost25: return EncodeChinaPost(data, o, out);
    default: return false;
    }
}

bool DrawLinear(TBarCodeType type, QByteArrayView data, const LinearOptions& options, QImage& canvas,
                const BarPaintOptions& paint)
{
    BarPattern pattern;
    if (!EncodeLinear(type, data, options, pattern))
        return false;
    return PaintBarPattern(pattern, canvas, paint);
}

QImage RenderLinear(TBarCodeType type, QByteArrayView data, const LinearOptions& options, QImage::Format format,
                    const BarPaintOptions& paint)
{
    BarPattern pattern;
    if (!EncodeLinear(type, data, options, pattern))
        return {};
    QImage canvas = NewBarCanvas(pattern, format);
    if (canvas.isNull() || !PaintBarPattern(pattern, canvas, paint))
        return {};
    return canvas;
}

QByteArray LinearCheckText(TBarCodeType type, QByteArrayView data)
{
    auto digit = [](char c) { return c ? QByteArray(1, c) : QByteArray(); };
    switch (type) {
    case T::bcCodeInter25:
    case T::bcCodeCYM: return linear::allDigits(data) ? digit(Interleaved25CheckDigit(data)) : QByteArray();
    case T::bcCodeEurMatrix:
    case T::bcCodeJanMatrix: return linear::allDigits(data) ? digit(Matrix25CheckDigit(data)) : QByteArray();
    case T::bcCode39:
    case T::bcCodeHBIC: return digit(Code39CheckChar(data));
    case T::bcCode39Ex: {
        QByteArray expansion;
        return FullAscii39Expand(data, expansion) ? digit(Code39CheckChar(expansion)) : QByteArray();
    }
    case T::bcCode93: return Code93CheckChars(data);
    case T::bcCodeEAN13: return digit(Ean13CheckDigit(data));
    case T::bcCodeEAN8: return digit(Ean8CheckDigit(data));
    case T::bcCodeUPCA: return digit(UpcACheckDigit(data));
    case T::bcCodeUPCE: return digit(UpcECheckDigit(data));
    case T::bcCodeUccEan: return digit(UccEanCheckDigit(data));
    case T::bcCodePostnet: return digit(PostnetCheckDigit(data));
    default: return {};
    }
}

PreparedLinearData PrepareLinearData(TBarCodeType type, QByteArrayView text, int startSign, int endSign)
{
    PreparedLinearData result;
    auto reject = [&](char reason) {
        result.accepted = false;
        result.reason = QByteArray(1, reason);
        result.data.clear();
        return result;
    };
    auto autoEscape = [&](bool fnc1) {
        char reason;
        if (!ValidatePlainAscii(text, reason))
            return reject(reason);
        result.data = Code128AutoEscape(text, fnc1);
        // The form must fit its 300-character area and the symbol its 252 data codewords.
        std::vector<std::uint8_t> codewords;
        if (!Code128Parse(result.data, Code128Kind::Plain, codewords, reason, kCode128MaxAutoEscape))
            return reject(kReasonLength);
        result.accepted = true;
        result.reason = QByteArray(1, kReasonAccepted);
        return result;
    };

    if (type == T::bcCode128) {
        if (startSign < 1 || startSign > 3)
            return autoEscape(false);
        result.data = QByteArray(1, static_cast<char>('A' + startSign - 1));
        result.data.append(text);
    } else if (type == T::bcCodeUCCEAN128DZJG || type == T::bcCodeUCCEAN128) {
        return autoEscape(true);
    } else if (type == T::bcCodeCodabar) {
        const char first = CodabarLetter(startSign);
        const char last = CodabarLetter(endSign);
        if (!first || !last)
            return reject(kReasonCharacter);
        result.data.reserve(text.size() + 2);
        result.data.append(first).append(text).append(last);
    } else {
        result.data = text.toByteArray();
    }
    result.accepted = ValidateBarcodeData(type, result.data, result.reason);
    if (!result.accepted)
        result.data.clear();
    return result;
}

std::int32_t GuardExtensionDots(int dpi, double zoom)
{
    return static_cast<std::int32_t>(Round(dpi * 1.65 / 25.4 * zoom));
}

std::int32_t BearerDots(int dpi, double zoom)
{
    return static_cast<std::int32_t>(Round(zoom * 1.37 * dpi / 25.4));
}

} // namespace korvel
