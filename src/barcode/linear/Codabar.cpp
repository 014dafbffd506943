#include "barcode/linear/Codabar.h"

#include "barcode/linear/LinearCommon.h"

#include <bit>

namespace korvel {

namespace {

    // Seven elements bar first, most significant first, a set bit a wide element.
    int codabarPattern(char c)
    {
        switch (c) {
        case '0': return 0b0000011;
        case '1': return 0b0000110;
        case '2': return 0b0001001;
        case '3': return 0b1100000;
        case '4': return 0b0010010;
        case '5': return 0b1000010;
        case '6': return 0b0100001;
        case '7': return 0b0100100;
        case '8': return 0b0110000;
        case '9': return 0b1001000;
        case '-': return 0b0001100;
        case '$': return 0b0011000;
        case ':': return 0b1000101;
        case '/': return 0b1010001;
        case '.': return 0b1010100;
        case '+': return 0b0010101;
        case 'A': return 0b0011010;
        case 'B': return 0b0101001;
        case 'C': return 0b0001011;
        case 'D': return 0b0001110;
        default: return -1;
        }
    }

    constexpr bool isStartStop(char c) { return c >= 'A' && c <= 'D'; }

} // namespace

char CodabarLetter(int choice)
{
    return choice >= 0 && choice <= 3 ? static_cast<char>('A' + choice) : '\0';
}

bool ValidateCodabar(QByteArrayView data, char& reason)
{
    if (data.size() < 3 || data.size() > 255) {
        reason = kReasonLength;
        return false;
    }
    const auto last = data.size() - 1;
    for (qsizetype i = 0; i <= last; ++i) {
        const char c = data[i];
        const bool edge = i == 0 || i == last;
        if (codabarPattern(c) < 0 || edge != isStartStop(c)) {
            reason = kReasonCharacter;
            return false;
        }
    }
    reason = kReasonAccepted;
    return true;
}

std::int32_t CodabarWidth(QByteArrayView data, const LinearOptions& o)
{
    char reason;
    if (!ValidateCodabar(data, reason) || !LinearOptionsValid(o))
        return 0;
    std::int32_t width = static_cast<std::int32_t>(data.size() - 1) * o.narrow;
    for (char c : data) {
        const int wide = std::popcount(static_cast<unsigned>(codabarPattern(c)));
        width += wide * o.wide + (7 - wide) * o.narrow;
    }
    return width;
}

bool EncodeCodabar(QByteArrayView data, const LinearOptions& o, BarPattern& out)
{
    const auto width = CodabarWidth(data, o);
    if (width == 0)
        return false;
    out.clear();
    out.width = width;
    out.height = o.height;
    PatternBuilder b(out);
    bool first = true;
    for (char c : data) {
        if (!first)
            b.space(o.narrow);
        first = false;
        const int p = codabarPattern(c);
        for (int i = 6; i >= 0; --i) {
            const auto w = ((p >> i) & 1) ? o.wide : o.narrow;
            if ((6 - i) % 2 == 0)
                b.bar(w, 0, o.height);
            else
                b.space(w);
        }
    }
    return true;
}

} // namespace korvel
