#include "printing/emission/BarcodeValue.h"

#include "barcode/linear/Code39.h"
#include "barcode/linear/TwoOfFive.h"
#include "variables/VariableModel.h"

namespace korvel {

namespace {

using T = TBarCodeType;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isSign(char c)
{
    return c == ' ' || c == '$' || c == '%' || c == '+' || c == '-' || c == '.' || c == '/';
}

/// The characters a symbology can carry; true for every character of the types that take any.
bool allowed(T type, char c)
{
    switch (type) {
    case T::bcCode39:
    case T::bcCodeHBIC: return isDigit(c) || (c >= 'A' && c <= 'Z') || isSign(c);
    case T::bcCodeCodabar: return isDigit(c) || (c >= 'A' && c <= 'D') || isSign(c);
    case T::bcCode93: return isDigit(c) || (c >= 'A' && c <= 'Z') || isSign(c) || c == '*';
    case T::bcCode39Ex:
    case T::bcCode128:
    case T::bcCodeUCCEAN128: return true;
    default: return isDigit(c); // 0-3, 10-19 and 22
    }
}

int fixedLength(T type)
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
    case T::bcCodeUCCEAN128DZJG: return 20;
    default: return 0;
    }
}

QByteArray cutOrPad(const QByteArray& v, int n)
{
    if (v.size() >= n)
        return v.left(n);
    return v + QByteArray(n - v.size(), '0');
}

} // namespace

QByteArray NormaliseBarcodeValue(TBarCodeType type, const QByteArray& value)
{
    QByteArray v = IsBlank(value) ? QByteArray(" ") : value;
    for (char& c : v)
        if (static_cast<unsigned char>(c) >= 0x80)
            c = '0';

    if (const int n = fixedLength(type); n > 0) {
        v = cutOrPad(v, n);
    } else if (type == T::bcCodeCYM) {
        v = v.left(13);
    } else if (type == T::bcCodePostnet) {
        const auto n = v.size();
        if (n < 5)
            v = cutOrPad(v, 5);
        else if (n >= 6 && n != 9 && n != 11)
            v = v.left(5);
    }

    for (char& c : v)
        if (!allowed(type, c))
            c = '0';

    if (type == T::bcCodeUCCEAN128DZJG)
        v.prepend("21");
    return v;
}

QByteArray WithCheckCharacter(TBarCodeType type, const QByteArray& data, bool parity)
{
    if (!parity)
        return data;
    switch (type) {
    case T::bcCode39:
    case T::bcCode39Ex:
        if (const char check = Code39CheckChar(data))
            return data + check;
        return data;
    case T::bcCodeInter25:
    case T::bcCodeCYM: return Interleaved25Digits(data, true);
    default: return data;
    }
}

QByteArray CodabarSignLetter(int sign)
{
    if (sign < 0 || sign > 3)
        return {};
    return QByteArray(1, char('A' + sign));
}

} // namespace korvel
