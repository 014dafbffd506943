#include "barcode/linear/Postnet.h"

#include "barcode/linear/LinearCommon.h"

namespace korvel {

namespace {

    // Five bars, most significant first, a set bit a full bar.
    constexpr std::uint8_t kPostnet[10] = {0b11000, 0b00011, 0b00101, 0b00110, 0b01001,
                                           0b01010, 0b01100, 0b10001, 0b10010, 0b10100};

} // namespace

bool ValidatePostnet(QByteArrayView data, char& reason)
{
    const auto size = data.size();
    if (size != 5 && size != 9 && size != 11) {
        reason = kReasonLength;
        return false;
    }
    return linear::validateDigits(data, size, size, reason);
}

char PostnetCheckDigit(QByteArrayView data)
{
    if (!linear::allDigits(data))
        return '\0';
    int sum = 0;
    for (char c : data)
        sum += c - '0';
    return static_cast<char>('0' + (10 - sum % 10) % 10);
}

std::int32_t PostnetWidth(QByteArrayView data, const LinearOptions& o)
{
    char reason;
    if (!ValidatePostnet(data, reason) || !LinearOptionsValid(o))
        return 0;
    return o.narrow * (10 * static_cast<std::int32_t>(data.size() + 1) + 4);
}

bool EncodePostnet(QByteArrayView data, const LinearOptions& o, BarPattern& out)
{
    const auto width = PostnetWidth(data, o);
    if (width == 0)
        return false;
    out.clear();
    out.width = width;
    out.height = o.height;
    PatternBuilder b(out);
    const auto n = o.narrow;
    const auto h = o.height;
    const auto half = h * 23 / 38;
    auto digit = [&](char c) {
        const auto p = kPostnet[c - '0'];
        for (int i = 4; i >= 0; --i) {
            b.bar(n, ((p >> i) & 1U) ? 0 : half, h);
            b.space(n);
        }
    };
    b.bar(n, 0, h);
    b.space(n);
    for (char c : data)
        digit(c);
    digit(PostnetCheckDigit(data));
    b.bar(n, 0, h);
    b.space(n);
    return true;
}

} // namespace korvel
