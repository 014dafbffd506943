#include "BarcodeTestSupport.h"

#include "barcode/linear/Code128.h"

#include <gtest/gtest.h>

using namespace korvel;
using namespace korvel::test;

namespace {

LinearOptions options(int n)
{
    LinearOptions o;
    o.narrow = n;
    o.height = 10;
    return o;
}

std::vector<int> codewords(QByteArrayView data, Code128Kind kind = Code128Kind::Plain)
{
    std::vector<std::uint8_t> cw;
    char reason = 0;
    EXPECT_TRUE(Code128Parse(data, kind, cw, reason)) << data.toByteArray().constData() << " " << reason;
    return {cw.begin(), cw.end()};
}

char rejection(QByteArrayView data)
{
    std::vector<std::uint8_t> cw;
    char reason = 0;
    EXPECT_FALSE(Code128Parse(data, Code128Kind::Plain, cw, reason)) << data.toByteArray().constData();
    return reason;
}

// The data codeword between start and check of a one-codeword zint symbol, as modules.
std::string secondCodeword(const std::string& m) { return m.substr(11, 11); }

} // namespace

TEST(Code128, AutomaticSubsetChoice)
{
    struct Row {
        QByteArray text;
        bool fnc1;
        QByteArray escape;
    };
    const Row rows[] = {
        {"1234", false, "C1234"},
        {"12", false, "C12"},
        {"123", false, "B123"},
        {"AB12345CD", false, "BAB1&D2345&ECD"},
        {"ab&c", false, "Bab&&c"},
        {"12345", false, "C1234&E5"},
        {"1234567", false, "C123456&E7"},
        // SHIFT for the single control character, written as a
        {"abc\x01"
         "def",
         false, "Babc&Cadef"},
        // controls only: subset A, controls raised by 96
        {"\x01\x02"
         "AB",
         false, "AabAB"},
        // a lone control between lower case letters, then a lone lower case letter after controls
        {"a\x01"
         "b",
         false, "Ba&Cab"},
        {"\x01\x02"
         "a\x03\x04",
         false, "Aab&Cacd"},
        // an even run inside text goes to C and back
        {"A123456B", false, "BA&D123456&EB"},
        // digit runs of three or fewer stay in B
        {"A1B22C333", false, "BA1B22C333"},
        // a trailing held-back digit after an odd leading run with nothing else
        {"123456789", false, "C12345678&E9"},
        // FNC1 follows the start letter
        {"12", true, "C&G12"},
        {"2112345678901234567890", true, "C&G2112345678901234567890"},
        {"21ABC", true, "B&G21ABC"},
        {"0112345678901231", true, "C&G0112345678901231"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Code128AutoEscape(row.text, row.fnc1), row.escape) << row.text.toHex().constData();
}

TEST(Code128, EscapeFormCodewords)
{
    struct Row {
        QByteArray escape;
        std::vector<int> codewords; // start and data
    };
    const Row rows[] = {
        {"A&FX", {103, 101, 56}}, // Start A, FNC4, X
        {"B&x", {104, 6, 88}}, // Start B, &, x
        {"C12&E3", {105, 12, 100, 19}}, // Start C, 12, Code B, 3
        {"XY", {104, 56, 57}}, // any other first character is data in B
        {"Aa", {103, 65}}, // in A, 96..127 are the controls
        {"B&A&B&G", {104, 96, 97, 102}},
        {"B&&", {104, 6}},
        {"Bx&Ca", {104, 88, 98, 65}},
        {"Bx&C", {104, 88, 98}}, // a trailing SHIFT ends the data
        {"Bx&", {104, 88, 6}},
        {"B1&D2345&F", {104, 17, 99, 23, 45, 101}},
        {"C&G12", {105, 102, 12}},
        {"B\x7f", {104, 95}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(codewords(row.escape), row.codewords) << row.escape.constData();
}

TEST(Code128, EscapeFormRejections)
{
    struct Row {
        QByteArray escape;
        char reason;
    };
    const Row rows[] = {
        {"C123", '1'}, // the pair's second digit is missing
        {"C1X", '1'},
        {"CX1", '2'}, // a pair must start with a digit
        {"C&X", '2'},
        {"C&&", '2'},
        {"C12&", '2'},
        {"B\x01", '1'},
        {"B\x80", '1'},
        {"B&C\x01", '1'},
        {"A", '2'}, // no data at all
        {"", '2'},
        {"B" + QByteArray(255, 'x'), '2'}, // beyond input position 255
        {"B" + QByteArray(253, 'x'), '2'}, // 253 data codewords
    };
    for (const auto& row : rows)
        EXPECT_EQ(rejection(row.escape), row.reason) << row.escape.left(10).constData();
    EXPECT_EQ(codewords("B" + QByteArray(252, 'x')).size(), 253u);

    QByteArray reason;
    EXPECT_FALSE(ValidateBarcodeData(TBarCodeType::bcCode128, "C1X", reason));
    EXPECT_EQ(reason, "1");
}

TEST(Code128, CheckValueAndWidth)
{
    // Start B 104 + 1 × 33 (A) + 2 × 34 (B) = 205, mod 103 = 102
    EXPECT_EQ(Code128CheckValue("BAB"), 102);
    EXPECT_EQ(Code128CheckValue("C1X"), -1);
    // n(11(k + 2) + 13)
    EXPECT_EQ(BarcodeWidth(TBarCodeType::bcCode128, "C1234", options(2)), 2 * (11 * 4 + 13));
    BarPattern p;
    ASSERT_TRUE(EncodeLinear(TBarCodeType::bcCode128, "BAB", options(1), p));
    EXPECT_EQ(p.width, 11 * 4 + 13);
    EXPECT_EQ(modules(p), "11010010000" // start B
                          "10100011000" // A
                          "10001011000" // B
                          "11110101110" // check 102
                          "1100011101011"); // stop
}

TEST(Code128, UccEanHoldsFnc1AndTenPairs)
{
    const QByteArray data = "0012345678901234567";
    // weight 3 on the 1st, 3rd … 19th digit
    int sum = 0;
    for (int i = 0; i < data.size(); ++i)
        sum += (data[i] - '0') * (i % 2 == 0 ? 3 : 1);
    EXPECT_EQ(UccEanCheckDigit(data), '0' + (10 - sum % 10) % 10);
    EXPECT_EQ(LinearCheckText(TBarCodeType::bcCodeUccEan, data), QByteArray(1, UccEanCheckDigit(data)));

    BarPattern p;
    ASSERT_TRUE(EncodeLinear(TBarCodeType::bcCodeUccEan, data, options(1), p));
    EXPECT_EQ(p.width, 156);
    EXPECT_EQ(BarcodeWidth(TBarCodeType::bcCodeUccEan, data, options(2)), 312);
    const auto cw = codewords(data, Code128Kind::UccEan);
    ASSERT_EQ(cw.size(), 12u);
    EXPECT_EQ(cw[0], 105);
    EXPECT_EQ(cw[1], 102);
    EXPECT_EQ(cw[11], 70 + UccEanCheckDigit(data) - '0'); // the 19th digit 7 and the check

    // An SSCC is the same thing: AI 00 and 17 digits; zint builds it from the 17 digits.
    const auto z = zintEncode(BARCODE_NVE18, data.mid(2));
    ASSERT_LT(z.rc, ZINT_ERROR);
    EXPECT_EQ(modules(p), modulesOf(z.runs));

    struct Row {
        QByteArray data;
        char reason;
    };
    for (const Row& row : {Row {"001234567890123456", '2'}, Row {"00123456789012345678", '2'},
                           Row {"001234567890123456X", '1'}}) {
        QByteArray reason;
        EXPECT_FALSE(ValidateBarcodeData(TBarCodeType::bcCodeUccEan, row.data, reason));
        EXPECT_EQ(reason, QByteArray(1, row.reason));
    }
}

TEST(Code128, PreparedData)
{
    struct Row {
        TBarCodeType type;
        QByteArray text;
        int startSign;
        bool accepted;
        QByteArray reason;
        QByteArray drawn;
    };
    const Row rows[] = {
        {TBarCodeType::bcCode128, "HELLO", 1, true, "0", "AHELLO"},
        {TBarCodeType::bcCode128, "1234", 3, true, "0", "C1234"},
        {TBarCodeType::bcCode128, "123", 3, false, "1", ""},
        {TBarCodeType::bcCode128, "AB12345CD", 0, true, "0", "BAB1&D2345&ECD"},
        {TBarCodeType::bcCode128, "x", -1, true, "0", "Bx"},
        {TBarCodeType::bcCode128, "caf\xe9", 0, false, "1", ""},
        {TBarCodeType::bcCode128, "", 0, false, "2", ""},
        {TBarCodeType::bcCode128, QByteArray(256, 'x'), 0, false, "2", ""},
        // 255 characters fit the plain rule but not 252 data codewords
        {TBarCodeType::bcCode128, QByteArray(255, 'x'), 0, false, "2", ""},
        // a 255-digit run needs only 128 codewords; its form is longer than 255 characters
        {TBarCodeType::bcCode128, QByteArray(255, '7'), 0, true, "0", "C" + QByteArray(254, '7') + "&E7"},
        // doubled ampersands would overflow the 300-character area
        {TBarCodeType::bcCode128, QByteArray(160, '&'), 0, false, "2", ""},
        {TBarCodeType::bcCodeUCCEAN128DZJG, "2112345678901234567890", 0, true, "0", "C&G2112345678901234567890"},
        {TBarCodeType::bcCodeUCCEAN128, "10ABC", 0, true, "0", "B&G10ABC"},
    };
    for (const auto& row : rows) {
        const auto prepared = PrepareLinearData(row.type, row.text, row.startSign, -1);
        EXPECT_EQ(prepared.accepted, row.accepted) << row.text.left(20).constData();
        EXPECT_EQ(prepared.reason, row.reason) << row.text.left(20).constData();
        EXPECT_EQ(prepared.data, row.drawn) << row.text.left(20).constData();
        if (prepared.accepted) {
            BarPattern p;
            EXPECT_TRUE(EncodeLinear(row.type, prepared.data, options(2), p));
        }
    }
    // The validator accepts everything for the FNC1 types; the object applies the plain rule.
    QByteArray reason;
    EXPECT_TRUE(ValidateBarcodeData(TBarCodeType::bcCodeUCCEAN128DZJG, "", reason));
    EXPECT_EQ(reason, "0");
}

TEST(Code128, StripEscapesForTheText)
{
    EXPECT_EQ(Code128StripEscapes("AB&&C&D12"), "AB&C12");
    EXPECT_EQ(Code128StripEscapes("x&"), "x");
    EXPECT_EQ(Code128StripEscapes("&&&&"), "&&");
}

TEST(Code128, CodewordTableAgreesWithZint)
{
    // Every character of subset B alone (codewords 0..95), every pair of subset C (0..99), and
    // the three start codes and the stop.
    for (int c = 32; c < 128; ++c) {
        const QByteArray data(1, static_cast<char>(c));
        BarPattern p;
        ASSERT_TRUE(EncodeLinear(TBarCodeType::bcCode128, "B" + (c == '&' ? QByteArray("&&") : data), options(1), p));
        const auto z = zintEncode(BARCODE_CODE128, data);
        ASSERT_LT(z.rc, ZINT_ERROR);
        EXPECT_EQ(secondCodeword(modules(p)), secondCodeword(modulesOf(z.runs))) << c;
    }
    for (int v = 0; v < 100; ++v) {
        const QByteArray digits = QByteArray::number(v).rightJustified(2, '0');
        BarPattern p;
        ASSERT_TRUE(EncodeLinear(TBarCodeType::bcCode128, "C" + digits, options(1), p));
        const auto z = zintEncode(BARCODE_CODE128, digits);
        ASSERT_LT(z.rc, ZINT_ERROR);
        EXPECT_EQ(modules(p), modulesOf(z.runs)) << v;
    }
    for (const QByteArray& data : {QByteArray("\x01\x02\x03", 3), QByteArray("ABCDEF"), QByteArray("12345678")}) {
        BarPattern p;
        ASSERT_TRUE(EncodeLinear(TBarCodeType::bcCode128, Code128AutoEscape(data, false), options(1), p));
        const auto z = zintEncode(BARCODE_CODE128, data);
        ASSERT_LT(z.rc, ZINT_ERROR);
        EXPECT_EQ(modules(p), modulesOf(z.runs)) << data.toHex().constData();
    }
}

TEST(Code128, Fnc1TypesAgreeWithZintGs1)
{
    // "21" + 20 digits: FNC1, then the application identifier and its data in subset C.
    const auto prepared = PrepareLinearData(TBarCodeType::bcCodeUCCEAN128DZJG, "2112345678901234567890", 0, -1);
    ASSERT_TRUE(prepared.accepted);
    BarPattern p;
    ASSERT_TRUE(EncodeLinear(TBarCodeType::bcCodeUCCEAN128DZJG, prepared.data, options(1), p));

    std::unique_ptr<zint_symbol, decltype(&ZBarcode_Delete)> s(ZBarcode_Create(), &ZBarcode_Delete);
    s->symbology = BARCODE_GS1_128;
    s->input_mode = GS1_MODE;
    const char gs1[] = "[21]12345678901234567890";
    ASSERT_LT(ZBarcode_Encode(s.get(), reinterpret_cast<const unsigned char*>(gs1), 0), ZINT_ERROR);
    std::string zm;
    for (int c = 0; c < s->width; ++c)
        zm += ((s->encoded_data[0][c >> 3] >> (c & 7)) & 1) ? '1' : '0';
    EXPECT_EQ(modules(p), zm);
}

namespace {

// Reads codewords back to text the way a scanner does; FNC4 must never come out of the
// automatic choice for plain ASCII, so it fails the read.
bool readBack(const std::vector<std::uint8_t>& cw, QByteArray& text)
{
    text.clear();
    char subset = cw[0] == 103 ? 'A' : cw[0] == 104 ? 'B' : 'C';
    auto character = [](char set, int v) -> int {
        if (v < 64)
            return v + 32;
        if (v < 96)
            return set == 'A' ? v - 64 : v + 32;
        return -1;
    };
    for (std::size_t i = 1; i < cw.size(); ++i) {
        const int v = cw[i];
        if (v == 102)
            continue; // FNC1
        if (subset == 'C') {
            if (v < 100) {
                text.append(static_cast<char>('0' + v / 10)).append(static_cast<char>('0' + v % 10));
                continue;
            }
            if (v == 100 || v == 101) {
                subset = v == 100 ? 'B' : 'A';
                continue;
            }
            return false;
        }
        if (v < 96) {
            text.append(static_cast<char>(character(subset, v)));
        } else if (v == 98 && i + 1 < cw.size()) {
            const int c = character(subset == 'A' ? 'B' : 'A', cw[++i]);
            if (c < 0)
                return false;
            text.append(static_cast<char>(c));
        } else if (v == 99) {
            subset = 'C';
        } else if (v == 100 && subset == 'A') {
            subset = 'B';
        } else if (v == 101 && subset == 'B') {
            subset = 'A';
        } else {
            return false; // FNC2, FNC3, FNC4
        }
    }
    return true;
}

} // namespace

TEST(Code128, AutomaticChoiceRoundTripsArbitraryAscii)
{
    // Deterministic mixtures of the character classes the choice cares about.
    const QByteArray classes[] = {"0123456789", "ABCXYZ !&+", "abcxyz{}~\x7f", QByteArray("\x00\x01\x09\x1f", 4)};
    std::uint32_t seed = 12345;
    auto next = [&seed]() {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    int checked = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray text;
        const int length = 1 + static_cast<int>(next() % (round % 10 == 0 ? 255 : 24));
        while (text.size() < length) {
            const auto& cls = classes[next() % 4];
            const int run = 1 + static_cast<int>(next() % 6);
            for (int k = 0; k < run && text.size() < length; ++k)
                text.append(cls[static_cast<qsizetype>(next() % cls.size())]);
        }
        for (bool fnc1 : {false, true}) {
            const QByteArray form = Code128AutoEscape(text, fnc1);
            std::vector<std::uint8_t> cw;
            char reason = 0;
            if (!Code128Parse(form, Code128Kind::Plain, cw, reason, kCode128MaxAutoEscape)) {
                // Only a symbol too long for its limits may fail.
                EXPECT_EQ(reason, '2') << text.toHex().constData();
                EXPECT_TRUE(form.size() > kCode128MaxAutoEscape || text.size() > 120) << text.toHex().constData();
                continue;
            }
            EXPECT_EQ(cw.size() > 1 && cw[1] == 102, fnc1);
            QByteArray back;
            ASSERT_TRUE(readBack(cw, back)) << text.toHex().constData() << " -> " << form.constData();
            ASSERT_EQ(back, text) << form.constData();
            ++checked;
        }
    }
    EXPECT_GT(checked, 5000);
}
