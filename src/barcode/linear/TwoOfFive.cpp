#include "barcode/linear/TwoOfFive.h"

#include "barcode/linear/LinearCommon.h"

namespace korvel {

namespace {

    // Five elements, most significant first, a set bit a wide element.
    constexpr std::uint8_t kTwoOfFive[10] = {
        0b00110, 0b10001, 0b01001, 0b11000, 0b00101, 0b10100, 0b01100, 0b00011, 0b10010, 0b01010,
    };
    constexpr std::uint8_t kJapaneseMatrix[10] = {
        0b11000, 0b00011, 0b00101, 0b00110, 0b01001, 0b01010, 0b01100, 0b10001, 0b10010, 0b10100,
    };

    std::int32_t element(std::uint8_t pattern, int index, const LinearOptions& o)
    {
        return ((pattern >> (4 - index)) & 1U) ? o.wide : o.narrow;
    }

    // Bar, space, bar, space, bar from a five-element pattern.
    void barSpaceBar(PatternBuilder& b, std::uint8_t pattern, const LinearOptions& o, std::int32_t top,
                     std::int32_t bottom)
    {
        for (int i = 0; i < 5; ++i) {
            if (i % 2 == 0)
                b.bar(element(pattern, i, o), top, bottom);
            else
                b.space(element(pattern, i, o));
        }
    }

    void beginPattern(BarPattern& out, std::int32_t left, std::int32_t width, std::int32_t height)
    {
        out.clear();
        out.left = left;
        out.width = width;
        out.height = height;
    }

    // The interleaved body (start, pairs, stop) of already even digits, bars in [top, bottom).
    void interleavedBody(PatternBuilder& b, QByteArrayView digits, const LinearOptions& o, std::int32_t top,
                         std::int32_t bottom)
    {
        const auto n = o.narrow;
        b.bar(n, top, bottom);
        b.space(n);
        b.bar(n, top, bottom);
        b.space(n);
        for (qsizetype i = 0; i + 1 < digits.size(); i += 2) {
            const auto bars = kTwoOfFive[digits[i] - '0'];
            const auto spaces = kTwoOfFive[digits[i + 1] - '0'];
            for (int k = 0; k < 5; ++k) {
                b.bar(element(bars, k, o), top, bottom);
                b.space(element(spaces, k, o));
            }
        }
        b.bar(o.wide, top, bottom);
        b.space(n);
        b.bar(n, top, bottom);
    }

    std::int32_t interleavedBodyWidth(qsizetype evenCount, const LinearOptions& o)
    {
        const auto l = static_cast<std::int32_t>(evenCount);
        return 2 * o.wide * l + o.narrow * (3 * l + 6) + o.wide;
    }

} // namespace

// Industrial 2 of 5 ---------------------------------------------------------------------------

bool ValidateIndustrial25(QByteArrayView data, char& reason)
{
    return linear::validateDigits(data, 1, 255, reason);
}

std::int32_t Industrial25Width(QByteArrayView data, const LinearOptions& o)
{
    char reason;
    if (!ValidateIndustrial25(data, reason) || !LinearOptionsValid(o))
        return 0;
    const auto l = static_cast<std::int32_t>(data.size());
    return 2 * o.wide * l + 4 * o.wide + o.narrow * (8 * l + 7);
}

bool EncodeIndustrial25(QByteArrayView data, const LinearOptions& o, BarPattern& out)
{
    const auto width = Industrial25Width(data, o);
    if (width == 0)
        return false;
    beginPattern(out, 1, width, o.height);
    PatternBuilder b(out);
    const auto n = o.narrow;
    const auto h = o.height;
    // Start: three bars wide, wide, narrow.
    b.bar(o.wide, 0, h);
    b.space(n);
    b.bar(o.wide, 0, h);
    b.space(n);
    b.bar(n, 0, h);
    for (char c : data) {
        b.space(n);
        const auto p = kTwoOfFive[c - '0'];
        for (int k = 0; k < 5; ++k) {
            if (k > 0)
                b.space(n);
            b.bar(element(p, k, o), 0, h);
        }
    }
    // Stop: wide, narrow, wide.
    b.space(n);
    b.bar(o.wide, 0, h);
    b.space(n);
    b.bar(n, 0, h);
    b.space(n);
    b.bar(o.wide, 0, h);
    return true;
}

// Interleaved 2 of 5 and Dispatch ------------------------------------------------------------

bool ValidateInterleaved25(QByteArrayView data, char& reason)
{
    return linear::validateDigits(data, 1, 255, reason);
}

char Interleaved25CheckDigit(QByteArrayView data)
{
    // The leading zero that evens the count has weight 1 or 3 but value 0, so the digit
    // does not depend on it.
    return static_cast<char>('0' + linear::mod10RightWeighted3(data));
}

QByteArray Interleaved25Digits(QByteArrayView data, bool parity)
{
    QByteArray digits;
    digits.reserve(data.size() + 2);
    const bool even = data.size() % 2 == 0;
    if (parity ? even : !even)
        digits.append('0');
    digits.append(data);
    if (parity)
        digits.append(Interleaved25CheckDigit(digits));
    return digits;
}

std::int32_t Interleaved25Width(QByteArrayView data, const LinearOptions& o)
{
    char reason;
    if (!ValidateInterleaved25(data, reason) || !LinearOptionsValid(o))
        return 0;
    const auto count = data.size() + (o.parity ? 1 : 0);
    return interleavedBodyWidth(count + count % 2, o);
}

bool EncodeInterleaved25(QByteArrayView data, const LinearOptions& o, BarPattern& out)
{
    const auto width = Interleaved25Width(data, o);
    if (width == 0)
        return false;
    beginPattern(out, 1, width, o.height);
    PatternBuilder b(out);
    interleavedBody(b, Interleaved25Digits(data, o.parity), o, 0, o.height);
    return true;
}

bool ValidateDispatch(QByteArrayView data, char& reason)
{
    return linear::validateDigits(data, 1, 13, reason);
}

std::int32_t DispatchWidth(QByteArrayView data, const LinearOptions& o)
{
    char reason;
    if (!ValidateDispatch(data, reason) || !LinearOptionsValid(o))
        return 0;
    const auto count = data.size() + (o.parity ? 1 : 0);
    return interleavedBodyWidth(count + count % 2, o) + 2 * (o.bearer + 11 * o.narrow);
}

bool EncodeDispatch(QByteArrayView data, const LinearOptions& o, BarPattern& out)
{
    const auto width = DispatchWidth(data, o);
    if (width == 0)
        return false;
    // Inside the frame: a quiet zone of 11 narrow modules on each side, bars below the top bearer.
    beginPattern(out, o.bearer + 11 * o.narrow, width, o.height + 2 * o.bearer);
    out.bearer = o.bearer;
    PatternBuilder b(out);
    interleavedBody(b, Interleaved25Digits(data, o.parity), o, o.bearer, o.bearer + o.height);
    return true;
}

// Matrix 2 of 5 ---------------------------------------------------------------------------------

bool ValidateMatrix25(QByteArrayView data, char& reason)
{
    return linear::validateDigits(data, 0, 255, reason);
}

char Matrix25CheckDigit(QByteArrayView data)
{
    std::int64_t sum = 0;
    int weight = 7;
    for (qsizetype i = data.size() - 1; i >= 0; --i) {
        sum += static_cast<unsigned char>(data[i]) * weight;
        weight = weight == 7 ? 9 : 7;
    }
    return static_cast<char>('0' + sum % 10);
}

std::int32_t Matrix25Width(Matrix25Variant variant, QByteArrayView data, const LinearOptions& o)
{
    char reason;
    if (!ValidateMatrix25(data, reason) || !LinearOptionsValid(o))
        return 0;
    const auto chars = static_cast<std::int32_t>(data.size()) + 1;
    const auto body = 2 * o.wide * chars + o.narrow * (4 * chars + 1);
    return body + (variant == Matrix25Variant::European ? 2 * o.wide + 8 * o.narrow : 4 * o.wide + 2 * o.narrow);
}

bool EncodeMatrix25(Matrix25Variant variant, QByteArrayView data, const LinearOptions& o, BarPattern& out)
{
    const auto width = Matrix25Width(variant, data, o);
    if (width == 0)
        return false;
    beginPattern(out, 1, width, o.height);
    PatternBuilder b(out);
    const auto n = o.narrow;
    const auto h = o.height;
    const bool european = variant == Matrix25Variant::European;
    const auto* table = european ? kTwoOfFive : kJapaneseMatrix;

    if (european) {
        barSpaceBar(b, 0b10000, o, 0, h);
    } else {
        b.bar(o.wide, 0, h);
        b.space(n);
        b.bar(o.wide, 0, h);
    }
    auto drawDigit = [&](char c) {
        b.space(n);
        barSpaceBar(b, table[c - '0'], o, 0, h);
    };
    for (char c : data)
        drawDigit(c);
    drawDigit(Matrix25CheckDigit(data));
    b.space(n);
    if (european) {
        barSpaceBar(b, 0b10000, o, 0, h);
    } else {
        b.bar(n, 0, h);
        b.space(o.wide);
        b.bar(o.wide, 0, h);
    }
    return true;
}

// China Post ------------------------------------------------------------------------------------

bool ValidateChinaPost(QByteArrayView data, char& reason)
{
    return linear::validateDigits(data, 11, 11, reason);
}

std::int32_t ChinaPostWidth(QByteArrayView data, const LinearOptions& o)
{
    char reason;
    if (!ValidateChinaPost(data, reason) || !LinearOptionsValid(o))
        return 0;
    const auto l = static_cast<std::int32_t>(data.size());
    return o.wide * (2 * l + 2) + o.narrow * (4 * l + 5);
}

bool EncodeChinaPost(QByteArrayView data, const LinearOptions& o, BarPattern& out)
{
    const auto width = ChinaPostWidth(data, o);
    if (width == 0)
        return false;
    beginPattern(out, 1, width, o.height);
    PatternBuilder b(out);
    const auto n = o.narrow;
    const auto h = o.height;
    b.bar(n, 0, h);
    b.space(n);
    b.bar(n, 0, h);
    b.space(n);
    for (qsizetype i = 0; i < data.size(); ++i) {
        barSpaceBar(b, kTwoOfFive[data[i] - '0'], o, 0, h);
        b.space(i == 3 ? o.wide : n);
    }
    b.bar(o.wide, 0, h);
    b.space(n);
    b.bar(n, 0, h);
    return true;
}

} // namespace korvel
