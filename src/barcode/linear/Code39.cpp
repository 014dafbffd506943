#include "barcode/linear/Code39.h"

#include "barcode/linear/LinearCommon.h"

namespace korvel {

namespace {

    // Nine elements bar first, most significant first, a set bit a wide element; index = value.
    constexpr std::uint16_t kCode39[44] = {
        0x034, 0x121, 0x061, 0x160, 0x031, 0x130, 0x070, 0x025, 0x124, 0x064, // 0-9
        0x109, 0x049, 0x148, 0x019, 0x118, 0x058, 0x00D, 0x10C, 0x04C, 0x01C, // A-J
        0x103, 0x043, 0x142, 0x013, 0x112, 0x052, 0x007, 0x106, 0x046, 0x016, // K-T
        0x181, 0x0C1, 0x1C0, 0x091, 0x190, 0x0D0, // U-Z
        0x085, 0x184, 0x0C4, 0x0A8, 0x0A2, 0x08A, 0x02A, // - . space $ / + %
        0x094, // *
    };
    constexpr char kCode39Chars[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%*";
    constexpr int kStartStop = 43;

    std::int32_t widthOf(qsizetype dataCount, bool check, const LinearOptions& o)
    {
        const auto total = static_cast<std::int32_t>(dataCount + (check ? 1 : 0) + 2);
        return total * (6 * o.narrow + 3 * o.wide) + (total - 1) * o.narrow;
    }

    bool allInSet(QByteArrayView data)
    {
        for (char c : data)
            if (Code39Value(c) < 0)
                return false;
        return true;
    }

    // Encodes data already known to be in the set, with no length limit of its own.
    void encode(QByteArrayView data, bool check, const LinearOptions& o, BarPattern& out)
    {
        out.clear();
        out.width = widthOf(data.size(), check, o);
        out.height = o.height;
        PatternBuilder b(out);
        const auto h = o.height;
        auto draw = [&](int value) {
            const auto p = kCode39[value];
            for (int i = 8; i >= 0; --i) {
                const auto w = ((p >> i) & 1U) ? o.wide : o.narrow;
                if ((8 - i) % 2 == 0)
                    b.bar(w, 0, h);
                else
                    b.space(w);
            }
        };
        draw(kStartStop);
        int sum = 0;
        for (char c : data) {
            const int v = Code39Value(c);
            sum += v;
            b.space(o.narrow);
            draw(v);
        }
        if (check) {
            b.space(o.narrow);
            draw(sum % 43);
        }
        b.space(o.narrow);
        draw(kStartStop);
    }

} // namespace

int Code39Value(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    switch (c) {
    case '-': return 36;
    case '.': return 37;
    case ' ': return 38;
    case '$': return 39;
    case '/': return 40;
    case '+': return 41;
    case '%': return 42;
    default: return -1;
    }
}

char Code39Character(int value)
{
    return value >= 0 && value <= kStartStop ? kCode39Chars[value] : '\0';
}

bool ValidateCode39(QByteArrayView data, char& reason)
{
    if (data.isEmpty() || data.size() > 255) {
        reason = kReasonLength;
        return false;
    }
    if (!allInSet(data)) {
        reason = kReasonCharacter;
        return false;
    }
    reason = kReasonAccepted;
    return true;
}

char Code39CheckChar(QByteArrayView data)
{
    int sum = 0;
    for (char c : data) {
        const int v = Code39Value(c);
        if (v < 0)
            return '\0';
        sum += v;
    }
    return Code39Character(sum % 43);
}

std::int32_t Code39Width(QByteArrayView data, bool check, const LinearOptions& o)
{
    char reason;
    if (!ValidateCode39(data, reason) || !LinearOptionsValid(o))
        return 0;
    return widthOf(data.size(), check, o);
}

bool EncodeCode39(QByteArrayView data, bool check, const LinearOptions& o, BarPattern& out)
{
    char reason;
    if (!ValidateCode39(data, reason) || !LinearOptionsValid(o))
        return false;
    encode(data, check, o, out);
    return true;
}

bool FullAscii39Expand(QByteArrayView data, QByteArray& expansion)
{
    expansion.clear();
    expansion.reserve(qMin<qsizetype>(data.size() * 2, 256));
    for (char ch : data) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 128 || expansion.size() >= 255) {
            expansion.clear();
            return false;
        }
        auto pair = [&](char shift, char letter) {
            expansion.append(shift);
            expansion.append(letter);
        };
        if (c == 0)
            pair('%', 'U');
        else if (c <= 26)
            pair('$', static_cast<char>('A' + c - 1));
        else if (c <= 31)
            pair('%', static_cast<char>('A' + c - 27));
        else if (c == ' ' || c == '-' || c == '.' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))
            expansion.append(static_cast<char>(c));
        else if (c >= 33 && c <= 44)
            pair('/', static_cast<char>('A' + c - 33));
        else if (c == '/')
            pair('/', 'O');
        else if (c == ':')
            pair('/', 'Z');
        else if (c >= 59 && c <= 63)
            pair('%', static_cast<char>('F' + c - 59));
        else if (c == '@')
            pair('%', 'V');
        else if (c >= 91 && c <= 95)
            pair('%', static_cast<char>('K' + c - 91));
        else if (c == '`')
            pair('%', 'W');
        else if (c >= 97 && c <= 122)
            pair('+', static_cast<char>('A' + c - 97));
        else
            pair('%', static_cast<char>('P' + c - 123)); // 123..127
    }
    return true;
}

bool ValidateCode39Ex(QByteArrayView data, char& reason)
{
    QByteArray expansion;
    if (!FullAscii39Expand(data, expansion) || expansion.isEmpty()) {
        reason = kReasonLength;
        return false;
    }
    reason = kReasonAccepted;
    return true;
}

std::int32_t Code39ExWidth(QByteArrayView data, const LinearOptions& o, QByteArray* expansionOut)
{
    QByteArray expansion;
    const bool ok = FullAscii39Expand(data, expansion) && !expansion.isEmpty();
    if (expansionOut)
        *expansionOut = expansion;
    if (!ok || !LinearOptionsValid(o))
        return 0;
    return widthOf(expansion.size(), o.parity, o);
}

bool EncodeCode39Ex(QByteArrayView data, const LinearOptions& o, BarPattern& out)
{
    QByteArray expansion;
    if (!FullAscii39Expand(data, expansion) || expansion.isEmpty() || !LinearOptionsValid(o))
        return false;
    encode(expansion, o.parity, o, out);
    return true;
}

} // namespace korvel
