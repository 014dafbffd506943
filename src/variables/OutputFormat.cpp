#include "variables/OutputFormat.h"

#include "document/CodePage.h"

#include <algorithm>

namespace korvel {

TOutputFormat TOutputFormat::read(const FixedRecord& record, qsizetype offset)
{
    TOutputFormat f;
    f.maxLength = record.u8(offset + MaxLengthOffset);
    f.prefix = record.str(offset + PrefixOffset, AffixCapacity);
    f.suffix = record.str(offset + SuffixOffset, AffixCapacity);
    f.numberFormat = record.u8(offset + NumberFormatOffset) != 0;
    f.decimalPlaces = record.u8(offset + DecimalPlacesOffset);
    f.decimalSign = static_cast<char>(record.u8(offset + DecimalSignOffset));
    f.thousandsSeparator = static_cast<char>(record.u8(offset + ThousandsSeparatorOffset));
    f.fill = record.u8(offset + FillOffset) != 0;
    f.fillString = record.str(offset + FillCharOffset, 1);
    f.fillChar = static_cast<char>(record.u8(offset + FillCharOffset + 1));
    f.fillWidth = record.u8(offset + FillWidthOffset);
    return f;
}

TOutputFormat TOutputFormat::fromBytes(const QByteArray& bytes)
{
    return read(FixedRecord(bytes.leftJustified(Size, '\0', true)), 0);
}

void TOutputFormat::write(FixedRecord& record, qsizetype offset) const
{
    record.setU8(offset + MaxLengthOffset, maxLength);
    record.setStr(offset + PrefixOffset, AffixCapacity, prefix);
    record.setStr(offset + SuffixOffset, AffixCapacity, suffix);
    record.setU8(offset + NumberFormatOffset, numberFormat ? 1 : 0);
    record.setU8(offset + DecimalPlacesOffset, decimalPlaces);
    record.setU8(offset + DecimalSignOffset, static_cast<std::uint8_t>(decimalSign));
    record.setU8(offset + ThousandsSeparatorOffset, static_cast<std::uint8_t>(thousandsSeparator));
    record.setU8(offset + FillOffset, fill ? 1 : 0);
    // A one-byte string field: a double-byte character cannot be held, so only its first byte
    // survives as the character byte.
    const QByteArray one = fillString.left(1);
    record.setU8(offset + FillCharOffset, static_cast<std::uint8_t>(one.size()));
    record.setU8(offset + FillCharOffset + 1, static_cast<std::uint8_t>(one.isEmpty() ? fillChar : one[0]));
    record.setU8(offset + FillWidthOffset, fillWidth);
}

QByteArray TOutputFormat::toBytes() const
{
    FixedRecord r(Size);
    write(r, 0);
    return r.bytes();
}

namespace {

bool isPlainNumber(const QByteArray& v)
{
    int dots = 0;
    for (char c : v) {
        if (c == '.') {
            if (++dots > 1)
                return false;
        } else if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

QByteArray formatNumber(const QByteArray& value, const TOutputFormat& f)
{
    const QByteArray v = value.isEmpty() ? QByteArray("0") : value;
    const qsizetype dot = v.indexOf('.');
    QByteArray integer = dot < 0 ? v : v.left(dot);
    QByteArray fraction = dot < 0 ? QByteArray() : v.mid(dot + 1);
    if (integer.isEmpty())
        integer = "0";

    QByteArray grouped;
    int inGroup = 0;
    for (qsizetype i = integer.size() - 1; i >= 0; --i) {
        if (inGroup == 3) {
            // A stored zero byte is no character; it must not end up inside the label text.
            if (f.thousandsSeparator != '\0')
                grouped.prepend(f.thousandsSeparator);
            inGroup = 0;
        }
        grouped.prepend(integer[i]);
        ++inGroup;
    }

    fraction = fraction.leftJustified(f.decimalPlaces, '0', true);
    QByteArray out = grouped;
    if (f.decimalSign != '\0')
        out.append(f.decimalSign);
    out.append(fraction);
    return out;
}

} // namespace

QByteArray FormatOutput(const QByteArray& value, const TOutputFormat& f)
{
    QByteArray v = value;
    if (f.numberFormat && isPlainNumber(v))
        v = formatNumber(v, f);

    if (f.fill && f.fillChar != '\0' && v.size() < f.fillWidth)
        v.prepend(QByteArray(f.fillWidth - v.size(), f.fillChar));
    if (!f.fillString.isEmpty()) {
        for (qsizetype lack = f.fillWidth - v.size(); lack > 0; --lack)
            v.prepend(f.fillString);
    }

    const QByteArray result = f.prefix + v + f.suffix;
    return CodePage::document().cutBytes(result, f.maxLength);
}

// --- editing rules ---------------------------------------------------------------------------

namespace {

QString text(const QByteArray& bytes)
{
    return CodePage::document().toUnicode(bytes);
}

QByteArray bytes(const QString& s)
{
    return CodePage::document().fromUnicode(s);
}

int intOr(const QString& s, int fallback)
{
    int v = 0;
    return ParseInt(s, &v) ? v : fallback;
}

std::uint8_t toByte(int v)
{
    return static_cast<std::uint8_t>(std::clamp(v, 0, 255));
}

} // namespace

bool ParseInt(const QString& text, int* value)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (ok && value)
        *value = v;
    return ok;
}

OutputFormatFields FieldsFromFormat(const TOutputFormat& f)
{
    OutputFormatFields out;
    out.maxLength = QString::number(f.maxLength);
    out.prefix = text(f.prefix);
    out.suffix = text(f.suffix);
    out.numberFormat = f.numberFormat;
    out.decimalPlaces = QString::number(f.decimalPlaces);
    out.decimalSign = f.decimalSign ? QString(QChar::fromLatin1(f.decimalSign)) : QString();
    out.thousandsSeparator = f.thousandsSeparator ? QString(QChar::fromLatin1(f.thousandsSeparator)) : QString();
    out.fill = f.fill;
    out.fillChar = text(f.fillString);
    out.fillWidth = QString::number(f.fillWidth);
    return out;
}

QString NormalizeMaxLengthText(const QString& t)
{
    if (t == QLatin1String("-"))
        return QStringLiteral("200");
    int v = 0;
    if (ParseInt(t, &v) && (v < 0 || v > 1000))
        return QStringLiteral("200");
    return t;
}

QString NormalizeFillWidthText(const QString& fillWidth, const QString& fillChar)
{
    return fillChar.isEmpty() ? QStringLiteral("0") : fillWidth;
}

QString NormalizeDecimalPlacesText(const QString& t, const QString& replacement)
{
    int v = 0;
    if (!ParseInt(t, &v) || v < 0 || v > 20)
        return replacement;
    return t;
}

TOutputFormat StoreOutputFormat(const OutputFormatFields& in, EmptyFillChar emptyFill)
{
    TOutputFormat f;
    const int maxLength = std::clamp(intOr(in.maxLength, 0), 0, 255);
    f.maxLength = toByte(maxLength);
    f.prefix = bytes(in.prefix);
    f.suffix = bytes(in.suffix);
    f.numberFormat = in.numberFormat;
    f.decimalPlaces = in.numberFormat ? toByte(intOr(in.decimalPlaces, 0)) : 2;
    const QByteArray sign = bytes(in.decimalSign);
    const QByteArray sep = bytes(in.thousandsSeparator);
    f.decimalSign = sign.isEmpty() ? '.' : sign[0];
    f.thousandsSeparator = sep.isEmpty() ? ',' : sep[0];
    f.fill = in.fill;
    QByteArray fillChar = bytes(in.fillChar.left(1));
    if (fillChar.isEmpty() && emptyFill == EmptyFillChar::Space)
        fillChar = " ";
    f.fillString = fillChar.left(1);
    f.fillChar = f.fillString.isEmpty() ? '\0' : f.fillString[0];
    f.fillWidth = in.fill ? toByte(intOr(in.fillWidth, 0)) : 0;

    f.fillWidth = static_cast<std::uint8_t>(std::min<int>(f.fillWidth, maxLength));
    f.decimalPlaces = static_cast<std::uint8_t>(std::min<int>(f.decimalPlaces, std::max(0, maxLength - 2)));
    return f;
}

bool MaxLengthTooShort(const OutputFormatFields& fields, int body)
{
    const int maxLength = intOr(fields.maxLength, 0);
    const qsizetype need = bytes(fields.prefix).size() + bytes(fields.suffix).size() + body;
    return maxLength < need;
}

QString DataPropertyMaxLengthOnLeave(const QString& t)
{
    if (t.trimmed().isEmpty() || t.trimmed() == QLatin1String("0"))
        return QStringLiteral("200");
    return t;
}

DataPropertyWarnings CheckDataPropertyForm(const OutputFormatFields& fields)
{
    DataPropertyWarnings w;
    int places = 0;
    int width = 0;
    w.decimalPlacesNotInteger = !ParseInt(fields.decimalPlaces, &places);
    w.fillWidthNotInteger = !ParseInt(fields.fillWidth, &width);
    w.maxLengthTooShort = MaxLengthTooShort(fields, w.fillWidthNotInteger ? 0 : width);
    return w;
}

} // namespace korvel
