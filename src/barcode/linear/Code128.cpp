#include "barcode/linear/Code128.h"

#include "barcode/linear/LinearCommon.h"

#include <algorithm>

namespace korvel {

namespace {

    // Bar and space widths in modules, bar first; index = codeword value, 106 the stop.
    constexpr const char* kCode128[107] = {
        "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212", "221213", // 0
        "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221", "223211", "221132", // 10
        "221231", "213212", "223112", "312131", "311222", "321122", "321221", "312212", "322112", "322211", // 20
        "212123", "212321", "232121", "111323", "131123", "131321", "112313", "132113", "132311", "211313", // 30
        "231113", "231311", "112133", "112331", "132131", "113123", "113321", "133121", "313121", "211331", // 40
        "231131", "213113", "213311", "213131", "311123", "311321", "331121", "312113", "312311", "332111", // 50
        "314111", "221411", "431111", "111224", "111422", "121124", "121421", "141122", "141221", "112214", // 60
        "112412", "122114", "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111", // 70
        "111242", "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141", // 80
        "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311", "113141", // 90
        "114131", "311141", "411131", "211412", "211214", "211232", "2331112", // 100
    };

    constexpr std::uint8_t kFnc3 = 96;
    constexpr std::uint8_t kFnc2 = 97;
    constexpr std::uint8_t kShift = 98;
    constexpr std::uint8_t kCodeC = 99;
    constexpr std::uint8_t kCodeB = 100;
    constexpr std::uint8_t kCodeA = 101;
    constexpr std::uint8_t kFnc1 = 102;
    constexpr std::uint8_t kStartA = 103;
    constexpr std::uint8_t kStartB = 104;
    constexpr std::uint8_t kStartC = 105;
    constexpr int kStop = 106;

    using linear::isDigit;

    bool fail(char& reason, char code)
    {
        reason = code;
        return false;
    }

    int checkOf(const std::vector<std::uint8_t>& codewords)
    {
        std::int64_t sum = codewords.front();
        for (std::size_t i = 1; i < codewords.size(); ++i)
            sum += static_cast<std::int64_t>(i) * codewords[i];
        return static_cast<int>(sum % 103);
    }

    std::int32_t widthOf(std::size_t dataCodewords, std::int32_t n)
    {
        return n * (11 * (static_cast<std::int32_t>(dataCodewords) + 2) + 13);
    }

    void draw(const std::vector<std::uint8_t>& codewords, const LinearOptions& o, BarPattern& out)
    {
        out.clear();
        out.width = widthOf(codewords.size() - 1, o.narrow);
        out.height = o.height;
        out.runs.reserve(codewords.size() * 6 + 8);
        PatternBuilder b(out);
        for (auto cw : codewords)
            b.widths(kCode128[cw], o.narrow, 0, o.height);
        b.widths(kCode128[checkOf(codewords)], o.narrow, 0, o.height);
        b.widths(kCode128[kStop], o.narrow, 0, o.height);
    }

} // namespace

bool Code128Parse(QByteArrayView data, Code128Kind kind, std::vector<std::uint8_t>& cw, char& reason,
                  qsizetype maxInput)
{
    cw.clear();
    if (data.size() > maxInput)
        return fail(reason, kReasonLength);
    cw.reserve(static_cast<std::size_t>(data.size()) + 2);

    const bool uccEan = kind == Code128Kind::UccEan;
    qsizetype pos = 0;
    char subset = 'B';
    if (uccEan) {
        cw.push_back(kStartC);
        cw.push_back(kFnc1);
        subset = 'C';
    } else if (!data.isEmpty() && data[0] >= 'A' && data[0] <= 'C') {
        subset = data[0];
        cw.push_back(static_cast<std::uint8_t>(kStartA + (subset - 'A')));
        pos = 1;
    } else {
        cw.push_back(kStartB);
    }

    const qsizetype size = data.size();
    auto put = [&](int value) { cw.push_back(static_cast<std::uint8_t>(value)); };
    while (pos < size) {
        if (static_cast<int>(cw.size()) - 1 > kCode128MaxDataCodewords)
            return fail(reason, kReasonLength);
        const auto c = static_cast<unsigned char>(data[pos]);
        if (subset == 'C') {
            if (c == '&') {
                if (pos + 1 >= size)
                    return fail(reason, kReasonLength);
                switch (data[pos + 1]) {
                case 'E':
                    put(kCodeB);
                    subset = 'B';
                    break;
                case 'F':
                    put(kCodeA);
                    subset = 'A';
                    break;
                case 'G': put(kFnc1); break;
                default: return fail(reason, kReasonLength);
                }
                pos += 2;
                continue;
            }
            if (!isDigit(static_cast<char>(c)))
                return fail(reason, kReasonLength);
            int second = -1;
            if (pos + 1 < size && isDigit(data[pos + 1]))
                second = data[pos + 1] - '0';
            else if (uccEan && pos + 1 >= size)
                second = UccEanCheckDigit(data) - '0';
            if (second < 0)
                return fail(reason, kReasonCharacter);
            put((c - '0') * 10 + second);
            pos += 2;
            continue;
        }

        // Subsets A and B.
        if (c != '&') {
            if (c < 32 || c > 127)
                return fail(reason, kReasonCharacter);
            put(c - 32);
            ++pos;
            continue;
        }
        if (pos + 1 >= size) {
            put('&' - 32); // a lone ampersand at the end is itself
            ++pos;
            continue;
        }
        switch (data[pos + 1]) {
        case 'A': put(kFnc3); break;
        case 'B': put(kFnc2); break;
        case 'C': {
            put(kShift);
            if (pos + 2 >= size) { // a trailing "&C" ends the data with the SHIFT
                pos += 2;
                continue;
            }
            const auto shifted = static_cast<unsigned char>(data[pos + 2]);
            if (shifted < 32 || shifted > 127)
                return fail(reason, kReasonCharacter);
            put(shifted - 32);
            pos += 3;
            continue;
        }
        case 'D':
            put(kCodeC);
            subset = 'C';
            break;
        case 'E':
            put(kCodeB);
            subset = 'B'; // in B this is FNC4 and B stays
            break;
        case 'F':
            put(kCodeA);
            subset = 'A'; // in A this is FNC4 and A stays
            break;
        case 'G': put(kFnc1); break;
        case '&': put('&' - 32); break;
        default:
            // An ampersand before any other character is an ampersand; that character is read next.
            put('&' - 32);
            ++pos;
            continue;
        }
        pos += 2;
    }
    if (static_cast<int>(cw.size()) - 1 > kCode128MaxDataCodewords)
        return fail(reason, kReasonLength);
    if (cw.size() < 2)
        return fail(reason, kReasonLength); // a symbol without data that no reader returns
    reason = kReasonAccepted;
    return true;
}

bool ValidateCode128(QByteArrayView data, char& reason)
{
    std::vector<std::uint8_t> cw;
    return Code128Parse(data, Code128Kind::Plain, cw, reason);
}

int Code128CheckValue(QByteArrayView data, Code128Kind kind)
{
    std::vector<std::uint8_t> cw;
    char reason;
    if (kind == Code128Kind::UccEan && !ValidateUccEan(data, reason))
        return -1;
    if (!Code128Parse(data, kind, cw, reason, kCode128MaxAutoEscape))
        return -1;
    return checkOf(cw);
}

std::int32_t Code128Width(QByteArrayView data, const LinearOptions& o)
{
    std::vector<std::uint8_t> cw;
    char reason;
    if (!LinearOptionsValid(o) || !Code128Parse(data, Code128Kind::Plain, cw, reason, kCode128MaxAutoEscape))
        return 0;
    return widthOf(cw.size() - 1, o.narrow);
}

bool EncodeCode128(QByteArrayView data, const LinearOptions& o, BarPattern& out)
{
    std::vector<std::uint8_t> cw;
    char reason;
    if (!LinearOptionsValid(o) || !Code128Parse(data, Code128Kind::Plain, cw, reason, kCode128MaxAutoEscape))
        return false;
    draw(cw, o, out);
    return true;
}

bool ValidateUccEan(QByteArrayView data, char& reason)
{
    return linear::validateDigits(data, 19, 19, reason);
}

char UccEanCheckDigit(QByteArrayView data)
{
    return linear::allDigits(data) ? static_cast<char>('0' + linear::mod10RightWeighted3(data)) : '\0';
}

std::int32_t UccEanWidth(QByteArrayView data, const LinearOptions& o)
{
    char reason;
    if (!ValidateUccEan(data, reason) || !LinearOptionsValid(o))
        return 0;
    return widthOf(11, o.narrow); // FNC1 and ten digit pairs
}

bool EncodeUccEan(QByteArrayView data, const LinearOptions& o, BarPattern& out)
{
    char reason;
    std::vector<std::uint8_t> cw;
    if (!ValidateUccEan(data, reason) || !LinearOptionsValid(o)
        || !Code128Parse(data, Code128Kind::UccEan, cw, reason))
        return false;
    draw(cw, o, out);
    return true;
}

bool ValidatePlainAscii(QByteArrayView text, char& reason)
{
    if (text.isEmpty() || text.size() > 255)
        return fail(reason, kReasonLength);
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 128)
            return fail(reason, kReasonCharacter);
    reason = kReasonAccepted;
    return true;
}

QByteArray Code128AutoEscape(QByteArrayView t, bool fnc1)
{
    const qsizetype n = t.size();
    auto byte = [&](qsizetype i) { return static_cast<unsigned char>(t[i]); };
    auto digits = [&](qsizetype p) {
        qsizetype q = p;
        while (q < n && isDigit(t[q]))
            ++q;
        return q - p;
    };
    // Characters a subset takes from p before the first character it cannot take (`stops`)
    // or the first run of four or more digits; shorter digit runs go with it.
    auto countTaken = [&](qsizetype p, auto stops) {
        qsizetype q = p;
        while (q < n) {
            if (stops(byte(q)))
                break;
            if (isDigit(t[q])) {
                const auto r = digits(q);
                if (r >= 4)
                    break;
                q += r;
            } else {
                ++q;
            }
        }
        return q - p;
    };
    auto countB = [&](qsizetype p) { return countTaken(p, [](unsigned char c) { return c < 32; }); };
    auto countA = [&](qsizetype p) { return countTaken(p, [](unsigned char c) { return c >= 96; }); };
    auto runOf = [&](qsizetype p, auto member) {
        qsizetype q = p;
        while (q < n && member(byte(q)))
            ++q;
        return q - p;
    };
    auto lower = [&](qsizetype p) { return runOf(p, [](unsigned char c) { return c >= 96 && c <= 126; }); };
    auto controls = [&](qsizetype p) { return runOf(p, [](unsigned char c) { return c < 32; }); };

    QByteArray out;
    out.reserve(n * 2 + 8);
    char subset = 'B';
    auto copy = [&](qsizetype p, qsizetype k) {
        for (qsizetype i = p; i < p + k && i < n; ++i) {
            if (t[i] == '&')
                out.append("&&", 2);
            else
                out.append(t[i]);
        }
    };
    auto start = [&](char s) {
        out.append(s);
        subset = s;
        if (fnc1)
            out.append("&G", 2);
    };
    auto switchTo = [&](char s) {
        out.append(s == 'A' ? "&F" : s == 'B' ? "&E" : "&D", 2);
        subset = s;
    };
    auto finish = [&]() {
        // Controls read as the subset A characters 96..127.
        for (auto& c : out)
            if (static_cast<unsigned char>(c) < 32)
                c = static_cast<char>(c + 96);
        return out;
    };

    if (n == 0) {
        start('B');
        return finish();
    }
    if (n == 2 && isDigit(t[0]) && isDigit(t[1])) {
        start('C');
        copy(0, 2);
        return finish();
    }

    // First segment.
    qsizetype p = 0;
    {
        qsizetype r = digits(0);
        if (r < 4)
            r = 0;
        if (r == 0) {
            const auto b = countB(0);
            const auto a = countA(0);
            if (b < a) {
                start('A');
                copy(0, a);
            } else {
                start('B');
                copy(0, b);
            }
            p = std::max(a, b);
        } else {
            const bool held = r % 2 != 0;
            start('C');
            copy(0, held ? r - 1 : r);
            const auto b = countB(r);
            const auto a = countA(r);
            if (a > 0 || b > 0) {
                switchTo(b < a ? 'A' : 'B');
                if (held)
                    out.append(t[r - 1]);
                copy(r, b < a ? a : b);
            } else if (held) {
                switchTo('B');
                out.append(t[r - 1]);
            }
            p = r + std::max(a, b);
        }
    }

    bool hasPending = false;
    char pending = 0;
    auto flushPendingShifted = [&]() {
        out.append("&C", 2);
        out.append(pending);
        hasPending = false;
    };

    while (p < n) {
        qsizetype r = digits(p);
        if (r < 4)
            r = 0;
        const qsizetype q = p + r;
        const auto b = countB(q);
        const auto a = countA(q);

        if (r >= 4) {
            if (hasPending)
                flushPendingShifted();
            qsizetype s = p;
            if (r % 2 != 0) {
                out.append(t[p]); // the odd first digit stays in the current subset
                s = p + 1;
            }
            switchTo('C');
            copy(s, q - s);
            if (q >= n)
                break;
            switchTo(b < a ? 'A' : 'B');
            copy(q, b < a ? a : b);
            p = q + std::max(a, b);
            continue;
        }

        // One subset's segment; `mine` is its letter, `single` its one-character case.
        auto segment = [&](char mine, char other, qsizetype count, qsizetype single) {
            if (single == 1) {
                if (hasPending) {
                    if (subset == mine)
                        out.append("&C", 2);
                    out.append(pending);
                    hasPending = false;
                }
                if (subset == mine) {
                    copy(p, 1);
                } else {
                    pending = t[p];
                    hasPending = true;
                }
                p += 1;
                return;
            }
            if (hasPending) {
                if (subset == other) {
                    switchTo(mine);
                    out.append(pending);
                    hasPending = false;
                } else {
                    flushPendingShifted();
                }
            } else if (subset != mine) {
                switchTo(mine);
            }
            copy(p, count);
            p += count;
        };

        if (b >= a && b > 0)
            segment('B', 'A', b, lower(p));
        else if (a > 0)
            segment('A', 'B', a, controls(p));
        else
            break; // cannot happen for text below 128; never loop without progress
    }
    if (hasPending)
        flushPendingShifted();
    return finish();
}

QByteArray Code128StripEscapes(QByteArrayView data)
{
    QByteArray shown;
    shown.reserve(data.size());
    for (qsizetype i = 0; i < data.size(); ++i) {
        if (data[i] != '&') {
            shown.append(data[i]);
            continue;
        }
        if (i + 1 < data.size() && data[i + 1] == '&')
            shown.append('&');
        ++i; // the pair shows nothing
    }
    return shown;
}

} // namespace korvel
