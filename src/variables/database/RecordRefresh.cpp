#include "variables/database/RecordRefresh.h"

#include "barcode/OABarCode.h"
#include "document/LabelDocument.h"
#include "document/OALabel.h"
#include "variables/VariableModel.h"

namespace korvel {

namespace {

using T = TBarCodeType;

/// Data length of the fixed-length symbologies; 0 for the others.
int fixedLength(T type)
{
    switch (type) {
    case T::bcCodeEAN13:
        return 12;
    case T::bcCodeUCCEAN128DZJG:
        return 20;
    case T::bcCodeEAN8:
        return 7;
    case T::bcCodeUPCA:
        return 11;
    case T::bcCodeUPCE:
        return 6;
    case T::bcCodeUccEan:
        return 19;
    case T::bcCodeUPC2:
        return 2;
    case T::bcCodeUPC5:
        return 5;
    case T::bcCodePost25:
        return 11;
    default:
        return 0;
    }
}

bool digitsOnly(T type)
{
    switch (type) {
    case T::bcCodeIndustrial25:
    case T::bcCodeInter25:
    case T::bcCodeEurMatrix:
    case T::bcCodeJanMatrix:
    case T::bcCodeEAN13:
    case T::bcCodeEAN8:
    case T::bcCodeUPCA:
    case T::bcCodeUPCE:
    case T::bcCodeUccEan:
    case T::bcCodeUPC2:
    case T::bcCodeUPC5:
    case T::bcCodePostnet:
    case T::bcCodeCYM:
    case T::bcCodePost25:
    case T::bcCodeUCCEAN128DZJG:
        return true;
    default:
        return false;
    }
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

/// Replaces every character for which `allowed` is false by "0".
template <class Allowed>
void keepOnly(QByteArray& v, Allowed allowed)
{
    for (char& c : v)
        if (!allowed(c))
            c = '0';
}

bool code39Character(char c, char lastLetter)
{
    return isDigit(c) || (c >= 'A' && c <= lastLetter) || c == ' ' || c == '$' || c == '%' || c == '+' || c == '-' || c == '.'
        || c == '/';
}

} // namespace

QByteArray DatabaseValueForBarcode(const QByteArray& value, TBarCodeType type)
{
    if (IsTwoDimensional(type))
        return SurfaceText(value);

    QByteArray v = IsBlank(value) ? QByteArray(" ") : value;
    for (char& c : v)
        if (static_cast<unsigned char>(c) >= 0x80)
            c = '0';

    if (const int length = fixedLength(type)) {
        if (v.size() > length)
            v.truncate(length);
        else
            v = v.leftJustified(length, '0');
    }
    if (type == T::bcCodePostnet) {
        if (v.size() >= 6 && v.size() != 9 && v.size() != 11)
            v.truncate(5);
        else if (v.size() < 5)
            v = v.leftJustified(5, '0');
    } else if (type == T::bcCodeCYM && v.size() > 13) {
        v.truncate(13);
    }

    if (digitsOnly(type))
        keepOnly(v, isDigit);
    if (type == T::bcCode39 || type == T::bcCodeHBIC)
        keepOnly(v, [](char c) { return code39Character(c, 'Z'); });
    else if (type == T::bcCodeCodabar)
        keepOnly(v, [](char c) { return code39Character(c, 'D'); });
    else if (type == T::bcCode93)
        keepOnly(v, [](char c) { return code39Character(c, 'Z') || c == '*'; });
    if (type == T::bcCodeUCCEAN128DZJG)
        v.prepend("21");
    return v;
}

void RefreshFromRecord(LabelDocument& document, const EvaluationContext& context)
{
    for (const auto& object : document.objects()) {
        if (object->VarType == static_cast<std::int32_t>(VariableKind::Constant))
            continue;
        const QByteArray value = EvaluateVariable(document, object->VarName, static_cast<VariableKind>(object->VarType), context);
        if (auto* text = dynamic_cast<TOAText*>(object.get())) {
            text->SetText(SurfaceText(value));
        } else if (auto* barcode = dynamic_cast<TOABarCode*>(object.get())) {
            const QByteArray fit = DatabaseValueForBarcode(value, barcode->BarCodeType());
            if (IsTwoDimensional(barcode->BarCodeType()))
                barcode->SetData(fit);
            else
                barcode->SetText(fit);
        }
    }
    document.markModified();
}

} // namespace korvel
