#include "printing/commands/QcmlFields.h"

#include <array>

namespace korvel::qcml {

QByteArray D(std::int64_t v, int w)
{
    if (w <= 0)
        return {};
    // The last w characters of w zeros followed by the number (its sign included), built
    // without the temporaries: every field of every label passes here.
    char reversed[24];
    int n = 0;
    std::uint64_t magnitude = v < 0 ? std::uint64_t(0) - std::uint64_t(v) : std::uint64_t(v);
    do {
        reversed[n++] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (v < 0)
        reversed[n++] = '-';
    QByteArray out(w, '0');
    char* end = out.data() + w;
    for (int i = 0; i < n && i < w; ++i)
        *--end = reversed[i];
    return out;
}

QByteArray H2(std::uint8_t v)
{
    return QByteArray::number(v, 16).toUpper().rightJustified(2, '0');
}

std::optional<char> M(int k)
{
    static constexpr char digits[] = "123456789ABCDEFGHIJKLMNO";
    if (k < 1 || k > 24)
        return std::nullopt;
    return digits[k - 1];
}

QByteArray R(int angle)
{
    switch (angle) {
    case 0: return "1";
    case 90: return "2";
    case 180: return "3";
    case 270: return "4";
    default: return {};
    }
}

QByteArray DrawingModePrefix(int drawingMode)
{
    switch (drawingMode) {
    case 0: return QByteArray("A2") + CR;
    case 1: return QByteArray("A1") + CR;
    default: return {};
    }
}

std::uint8_t MediaFlags(const TPrinterSetting& setting)
{
    std::uint8_t f = 0;
    if (setting.PrintType == 1)
        f |= 0x80;
    if (setting.PageType == 0)
        f |= 0x40;
    switch (setting.FeedType) {
    case 1:
    case 4: f |= 0x10; break;
    case 2:
    case 5: f |= 0x20; break;
    case 3: f |= 0x30; break;
    default: break;
    }
    return f;
}

QByteArray BarcodeLetter(int barCodeType, bool humanReadable)
{
    // Index = BarCodeType 0-19; Code 39 and its full-ASCII form share one printer symbology.
    static constexpr std::array<char, 20> letters
        = { 'K', 'D', 'R', 'S', 'A', 'A', 'H', 'I', 'E', 'O', 'F', 'G', 'B', 'C', 'Q', 'M', 'N', 'P', 'L', 'T' };
    if (barCodeType < 0 || barCodeType >= int(letters.size()))
        return {};
    const char upper = letters[std::size_t(barCodeType)];
    return QByteArray(1, humanReadable ? upper : char(upper - 'A' + 'a'));
}

} // namespace korvel::qcml
