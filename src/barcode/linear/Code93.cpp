#include "barcode/linear/Code93.h"

#include "barcode/linear/Code39.h"
#include "barcode/linear/LinearCommon.h"

#include <vector>

namespace korvel {

namespace {

    // Nine modules, most significant first, a set bit a bar module; index = value, 47 start/stop.
    constexpr std::uint16_t kCode93[48] = {
        0x114, 0x148, 0x144, 0x142, 0x128, 0x124, 0x122, 0x150, 0x112, 0x10A, // 0-9
        0x1A8, 0x1A4, 0x1A2, 0x194, 0x192, 0x18A, 0x168, 0x164, 0x162, 0x134, // A-J
        0x11A, 0x158, 0x14C, 0x146, 0x12C, 0x116, 0x1B4, 0x1B2, 0x1AC, 0x1A6, // K-T
        0x196, 0x19A, 0x16C, 0x166, 0x136, 0x13A, // U-Z
        0x12E, 0x1D4, 0x1D2, 0x1CA, 0x16E, 0x176, 0x1AE, // - . space $ / + %
        0x126, 0x1DA, 0x1D6, 0x132, // shifts ($) (%) (/) (+)
        0x15E, // start/stop
    };
    constexpr int kStartStop = 47;

    int weightedSum(const int* values, int count, int maxWeight)
    {
        int sum = 0;
        int weight = 1;
        for (int i = count - 1; i >= 0; --i) {
            sum += values[i] * weight;
            weight = weight == maxWeight ? 1 : weight + 1;
        }
        return sum;
    }

    // C and K over the values; `values` has room for two more entries.
    void checkValues(std::vector<int>& values, int& c, int& k)
    {
        const int count = static_cast<int>(values.size());
        c = weightedSum(values.data(), count, 20) % 47;
        values.push_back(c);
        k = weightedSum(values.data(), count + 1, 15) % 47;
        values.pop_back();
    }

    bool toValues(QByteArrayView data, std::vector<int>& values)
    {
        values.clear();
        values.reserve(static_cast<std::size_t>(data.size()) + 2);
        for (char ch : data) {
            const int v = Code93Value(ch);
            if (v < 0)
                return false;
            values.push_back(v);
        }
        return true;
    }

} // namespace

int Code93Value(char c)
{
    if (c >= 'a' && c <= 'd')
        return 43 + (c - 'a');
    return Code39Value(c);
}

char Code93Character(int value)
{
    if (value >= 43 && value <= 46)
        return static_cast<char>('a' + value - 43);
    return value >= 0 && value < 43 ? Code39Character(value) : '\0';
}

bool ValidateCode93(QByteArrayView data, char& reason)
{
    if (data.isEmpty() || data.size() > 255) {
        reason = kReasonLength;
        return false;
    }
    for (char c : data) {
        if (Code93Value(c) < 0) {
            reason = kReasonCharacter;
            return false;
        }
    }
    reason = kReasonAccepted;
    return true;
}

QByteArray Code93CheckChars(QByteArrayView data)
{
    std::vector<int> values;
    if (!toValues(data, values))
        return {};
    int c = 0;
    int k = 0;
    checkValues(values, c, k);
    QByteArray chars;
    chars.append(Code93Character(c));
    chars.append(Code93Character(k));
    return chars;
}

std::int32_t Code93Width(QByteArrayView data, const LinearOptions& o)
{
    char reason;
    if (!ValidateCode93(data, reason) || !LinearOptionsValid(o))
        return 0;
    const auto chars = static_cast<std::int32_t>(data.size() + 2 + (o.parity ? 2 : 0));
    return o.narrow * (9 * chars + 1);
}

bool EncodeCode93(QByteArrayView data, const LinearOptions& o, BarPattern& out)
{
    const auto width = Code93Width(data, o);
    std::vector<int> values;
    if (width == 0 || !toValues(data, values))
        return false;
    if (o.parity) {
        int c = 0;
        int k = 0;
        checkValues(values, c, k);
        values.push_back(c);
        values.push_back(k);
    }
    out.clear();
    out.width = width;
    out.height = o.height;
    PatternBuilder b(out);
    const auto n = o.narrow;
    b.modules(kCode93[kStartStop], 9, n, 0, o.height);
    for (int v : values)
        b.modules(kCode93[v], 9, n, 0, o.height);
    b.modules(kCode93[kStartStop], 9, n, 0, o.height);
    b.bar(n, 0, o.height);
    return true;
}

} // namespace korvel
