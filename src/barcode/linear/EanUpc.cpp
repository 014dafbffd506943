#include "barcode/linear/EanUpc.h"

#include "barcode/linear/LinearCommon.h"

namespace korvel {

namespace {

    // Seven modules of set A, most significant first, a set bit a bar module.
    constexpr std::uint8_t kSetA[10] = {0x0D, 0x19, 0x13, 0x3D, 0x23, 0x31, 0x2F, 0x3B, 0x37, 0x0B};

    constexpr std::uint8_t reverse7(std::uint8_t v)
    {
        std::uint8_t r = 0;
        for (int i = 0; i < 7; ++i)
            r = static_cast<std::uint8_t>(r | (((v >> i) & 1U) << (6 - i)));
        return r;
    }
    constexpr std::uint8_t setC(int d) { return static_cast<std::uint8_t>(~kSetA[d] & 0x7F); }
    constexpr std::uint8_t setB(int d) { return reverse7(setC(d)); }

    // Set B (1) or A (0) of digits 2..7 of EAN-13, by the first digit, most significant first.
    constexpr std::uint8_t kEan13Parity[10] = {0x00, 0x0B, 0x0D, 0x0E, 0x13, 0x19, 0x1C, 0x15, 0x16, 0x1A};
    // Set B (1) or A (0) of the six UPC-E digits, by the check digit (number system 0).
    constexpr std::uint8_t kUpcEParity[10] = {0x38, 0x34, 0x32, 0x31, 0x2C, 0x26, 0x23, 0x2A, 0x29, 0x25};
    // Set B (1) or A (0) of the five add-on digits, by the add-on checksum.
    constexpr std::uint8_t kUpc5Parity[10] = {0x18, 0x14, 0x12, 0x11, 0x0C, 0x06, 0x03, 0x0A, 0x09, 0x05};

    constexpr int digit(char c) { return c - '0'; }

    struct Rows {
        std::int32_t normal;
        std::int32_t guard;
    };

    Rows rowsOf(const LinearOptions& o) { return {o.height, o.height + o.guardExtension}; }

    void begin(BarPattern& out, std::int32_t left, std::int32_t width, std::int32_t height)
    {
        out.clear();
        out.left = left;
        out.width = width;
        out.height = height;
    }

    void digitA(PatternBuilder& b, char c, std::int32_t n, std::int32_t bottom)
    {
        b.modules(kSetA[digit(c)], 7, n, 0, bottom);
    }
    void digitB(PatternBuilder& b, char c, std::int32_t n, std::int32_t bottom)
    {
        b.modules(setB(digit(c)), 7, n, 0, bottom);
    }
    void digitC(PatternBuilder& b, char c, std::int32_t n, std::int32_t bottom)
    {
        b.modules(setC(digit(c)), 7, n, 0, bottom);
    }

    template <typename Validate> std::int32_t widthIf(Validate validate, QByteArrayView data, const LinearOptions& o,
                                                      std::int32_t modules)
    {
        char reason;
        if (!validate(data, reason) || !LinearOptionsValid(o))
            return 0;
        return modules * o.narrow;
    }

} // namespace

bool ValidateEan13(QByteArrayView data, char& reason) { return linear::validateDigits(data, 12, 12, reason); }
bool ValidateEan8(QByteArrayView data, char& reason) { return linear::validateDigits(data, 7, 7, reason); }
bool ValidateUpcA(QByteArrayView data, char& reason) { return linear::validateDigits(data, 11, 11, reason); }
bool ValidateUpcE(QByteArrayView data, char& reason) { return linear::validateDigits(data, 6, 6, reason); }
bool ValidateUpc2(QByteArrayView data, char& reason) { return linear::validateDigits(data, 2, 2, reason); }
bool ValidateUpc5(QByteArrayView data, char& reason) { return linear::validateDigits(data, 5, 5, reason); }

char Ean13CheckDigit(QByteArrayView data)
{
    char reason;
    return ValidateEan13(data, reason) ? static_cast<char>('0' + linear::mod10RightWeighted3(data)) : '\0';
}

char Ean8CheckDigit(QByteArrayView data)
{
    char reason;
    return ValidateEan8(data, reason) ? static_cast<char>('0' + linear::mod10RightWeighted3(data)) : '\0';
}

char UpcACheckDigit(QByteArrayView data)
{
    char reason;
    return ValidateUpcA(data, reason) ? static_cast<char>('0' + linear::mod10RightWeighted3(data)) : '\0';
}

QByteArray UpcEExpand(QByteArrayView d)
{
    char reason;
    if (!ValidateUpcE(d, reason))
        return {};
    QByteArray s("0");
    s.reserve(11);
    switch (d[5]) {
    case '0':
    case '1':
    case '2':
        s.append(d.sliced(0, 2)).append(d[5]).append("0000").append(d.sliced(2, 3));
        break;
    case '3':
        s.append(d.sliced(0, 3)).append("00000").append(d.sliced(3, 2));
        break;
    case '4':
        s.append(d.sliced(0, 4)).append("00000").append(d[4]);
        break;
    default:
        s.append(d.sliced(0, 5)).append("0000").append(d[5]);
        break;
    }
    return s;
}

char UpcECheckDigit(QByteArrayView data)
{
    const auto expanded = UpcEExpand(data);
    return expanded.isEmpty() ? '\0' : UpcACheckDigit(expanded);
}

std::int32_t Ean13Width(QByteArrayView data, const LinearOptions& o) { return widthIf(ValidateEan13, data, o, 104); }
std::int32_t Ean8Width(QByteArrayView data, const LinearOptions& o) { return widthIf(ValidateEan8, data, o, 67); }
std::int32_t UpcAWidth(QByteArrayView data, const LinearOptions& o) { return widthIf(ValidateUpcA, data, o, 113); }
std::int32_t UpcEWidth(QByteArrayView data, const LinearOptions& o) { return widthIf(ValidateUpcE, data, o, 69); }
std::int32_t Upc2Width(QByteArrayView data, const LinearOptions& o) { return widthIf(ValidateUpc2, data, o, 20); }
std::int32_t Upc5Width(QByteArrayView data, const LinearOptions& o) { return widthIf(ValidateUpc5, data, o, 47); }

bool EncodeEan13(QByteArrayView data, const LinearOptions& o, BarPattern& out)
{
    const auto width = Ean13Width(data, o);
    if (width == 0)
        return false;
    const auto n = o.narrow;
    const auto rows = rowsOf(o);
    // Nine modules of room for the first digit's text, then the symbol from x = 1 + 9n.
    begin(out, 1 + 9 * n, width, rows.guard);
    PatternBuilder b(out);
    const char check = Ean13CheckDigit(data);
    const auto parity = kEan13Parity[digit(data[0])];
    b.modules(0b101, 3, n, 0, rows.guard);
    for (int i = 1; i <= 6; ++i) {
        if ((parity >> (6 - i)) & 1U)
            digitB(b, data[i], n, rows.normal);
        else
            digitA(b, data[i], n, rows.normal);
    }
    b.modules(0b01010, 5, n, 0, rows.guard);
    for (int i = 7; i <= 11; ++i)
        digitC(b, data[i], n, rows.normal);
    digitC(b, check, n, rows.normal);
    b.modules(0b101, 3, n, 0, rows.guard);
    return true;
}

bool EncodeEan8(QByteArrayView data, const LinearOptions& o, BarPattern& out)
{
    const auto width = Ean8Width(data, o);
    if (width == 0)
        return false;
    const auto n = o.narrow;
    const auto rows = rowsOf(o);
    begin(out, 1, width, rows.guard);
    PatternBuilder b(out);
    b.modules(0b101, 3, n, 0, rows.guard);
    for (int i = 0; i < 4; ++i)
        digitA(b, data[i], n, rows.normal);
    b.modules(0b01010, 5, n, 0, rows.guard);
    for (int i = 4; i < 7; ++i)
        digitC(b, data[i], n, rows.normal);
    digitC(b, Ean8CheckDigit(data), n, rows.normal);
    b.modules(0b101, 3, n, 0, rows.guard);
    return true;
}

bool EncodeUpcA(QByteArrayView data, const LinearOptions& o, BarPattern& out)
{
    const auto width = UpcAWidth(data, o);
    if (width == 0)
        return false;
    const auto n = o.narrow;
    const auto rows = rowsOf(o);
    begin(out, 9 * n, width, rows.guard);
    PatternBuilder b(out);
    b.modules(0b101, 3, n, 0, rows.guard);
    digitA(b, data[0], n, rows.guard);
    for (int i = 1; i < 6; ++i)
        digitA(b, data[i], n, rows.normal);
    b.modules(0b01010, 5, n, 0, rows.guard);
    for (int i = 6; i < 11; ++i)
        digitC(b, data[i], n, rows.normal);
    digitC(b, UpcACheckDigit(data), n, rows.guard);
    b.modules(0b101, 3, n, 0, rows.guard);
    return true;
}

bool EncodeUpcE(QByteArrayView data, const LinearOptions& o, BarPattern& out)
{
    const auto width = UpcEWidth(data, o);
    if (width == 0)
        return false;
    const auto n = o.narrow;
    const auto rows = rowsOf(o);
    begin(out, 9 * n, width, rows.guard);
    PatternBuilder b(out);
    const auto parity = kUpcEParity[digit(UpcECheckDigit(data))];
    b.modules(0b101, 3, n, 0, rows.guard);
    for (int i = 0; i < 6; ++i) {
        if ((parity >> (5 - i)) & 1U)
            digitB(b, data[i], n, rows.normal);
        else
            digitA(b, data[i], n, rows.normal);
    }
    b.modules(0b010101, 6, n, 0, rows.guard);
    return true;
}

bool EncodeUpc2(QByteArrayView data, const LinearOptions& o, BarPattern& out)
{
    const auto width = Upc2Width(data, o);
    if (width == 0)
        return false;
    const auto n = o.narrow;
    const auto h = o.height;
    begin(out, 1, width, h);
    PatternBuilder b(out);
    const int parity = (digit(data[0]) * 10 + digit(data[1])) % 4;
    b.modules(0b1011, 4, n, 0, h);
    (parity & 2) ? digitB(b, data[0], n, h) : digitA(b, data[0], n, h);
    b.modules(0b01, 2, n, 0, h);
    (parity & 1) ? digitB(b, data[1], n, h) : digitA(b, data[1], n, h);
    return true;
}

bool EncodeUpc5(QByteArrayView data, const LinearOptions& o, BarPattern& out)
{
    const auto width = Upc5Width(data, o);
    if (width == 0)
        return false;
    const auto n = o.narrow;
    const auto h = o.height;
    begin(out, 1, width, h);
    PatternBuilder b(out);
    const int sum = 3 * (digit(data[0]) + digit(data[2]) + digit(data[4])) + 9 * (digit(data[1]) + digit(data[3]));
    const auto parity = kUpc5Parity[sum % 10];
    b.modules(0b1011, 4, n, 0, h);
    for (int i = 0; i < 5; ++i) {
        if (i > 0)
            b.modules(0b01, 2, n, 0, h);
        if ((parity >> (4 - i)) & 1U)
            digitB(b, data[i], n, h);
        else
            digitA(b, data[i], n, h);
    }
    return true;
}

} // namespace korvel
