#include "variables/OutputFormat.h"

#include "variables/DataPropertyForm.h"

#include "VariableTestSupport.h"

#include <gtest/gtest.h>

namespace korvel {
namespace {

TOutputFormat numbers(int places, char sign = '.', char separator = ',')
{
    TOutputFormat f;
    f.numberFormat = true;
    f.decimalPlaces = static_cast<std::uint8_t>(places);
    f.decimalSign = sign;
    f.thousandsSeparator = separator;
    return f;
}

TOutputFormat filled(char c, int width, bool on = true)
{
    TOutputFormat f;
    f.fill = on;
    f.fillString = QByteArray(1, c);
    f.fillChar = c;
    f.fillWidth = static_cast<std::uint8_t>(width);
    return f;
}

TOutputFormat affixes(const QByteArray& prefix, const QByteArray& suffix, int maxLength)
{
    TOutputFormat f;
    f.prefix = prefix;
    f.suffix = suffix;
    f.maxLength = static_cast<std::uint8_t>(maxLength);
    return f;
}

struct FormatCase {
    const char* what;
    QByteArray value;
    TOutputFormat format;
    QByteArray expected;
};

TEST(FormatOutput, AppliesNumberFillAffixesAndLengthInOrder)
{
    TOutputFormat zeroByteFill = filled('\0', 5);
    zeroByteFill.fillString.clear();
    TOutputFormat fillBoth = filled('0', 6);
    fillBoth.prefix = "N";
    TOutputFormat numbersThenFill = numbers(1);
    numbersThenFill.fill = true;
    numbersThenFill.fillString = "*";
    numbersThenFill.fillChar = '*';
    numbersThenFill.fillWidth = 8;
    TOutputFormat noSeparator = numbers(2, '.', '\0');

    const FormatCase cases[] = {
        { "regrouped with two places", "1234567.5", numbers(2), "1,234,567.50" },
        { "minus sign is no plain number", "-5", numbers(2), "-5" },
        { "letters are no plain number", "12a", numbers(2), "12a" },
        { "two dots are no plain number", "1.2.3", numbers(2), "1.2.3" },
        { "no places still ends with the sign", "7", numbers(0), "7." },
        { "empty becomes zero", "", numbers(2), "0.00" },
        { "empty integer part becomes zero", ".5", numbers(2), "0.50" },
        { "no separator in front", "123456", numbers(2), "123,456.00" },
        { "fraction cut to the places", "1.23456", numbers(2), "1.23" },
        { "other signs", "1234.5", numbers(1, ',', '.'), "1.234,5" },
        { "zero separator byte is no character", "1234", noSeparator, "1234.00" },
        { "number formatting off", "1234", TOutputFormat {}, "1234" },
        { "fill on", "42", filled('0', 6), "000042" },
        { "fill never shortens", "12345678", filled('0', 6), "12345678" },
        { "fill string pads with fill off", "ab", filled('*', 4, false), "**ab" },
        { "fill with an empty character adds nothing", "ab", zeroByteFill, "ab" },
        { "fill before the prefix", "42", fillBoth, "N000042" },
        { "numbers before fill", "5", numbersThenFill, "*****5.0" },
        { "prefix and suffix", "x", affixes("P-", "-S", 200), "P-x-S" },
        { "length keeps only the prefix", "value", affixes("ABC", "", 3), "ABC" },
        { "length zero", "value", affixes("", "", 0), "" },
    };
    for (const FormatCase& c : cases)
        EXPECT_EQ(FormatOutput(c.value, c.format), c.expected) << c.what;
}

TEST(FormatOutput, TruncationNeverSplitsADoubleByteCharacter)
{
    const QByteArray zhong = test::gbk(QStringLiteral("中"));
    ASSERT_EQ(zhong.size(), 2);
    EXPECT_EQ(FormatOutput(zhong + "a", affixes("", "", 1)), QByteArray());
    EXPECT_EQ(FormatOutput("a" + zhong, affixes("", "", 2)), QByteArray("a"));
    EXPECT_EQ(FormatOutput("a" + zhong, affixes("", "", 3)), "a" + zhong);
}

TEST(TOutputFormat, DefaultsAndOffsets)
{
    const QByteArray b = TOutputFormat {}.toBytes();
    ASSERT_EQ(b.size(), 111);
    EXPECT_EQ(static_cast<unsigned char>(b[0]), 200);
    EXPECT_EQ(b[1], 0);
    EXPECT_EQ(b[52], 0);
    EXPECT_EQ(b[103], 0);
    EXPECT_EQ(b[104], 2);
    EXPECT_EQ(b[105], '.');
    EXPECT_EQ(b[106], ',');
    EXPECT_EQ(b[107], 0);
    EXPECT_EQ(b[108], 0);
    EXPECT_EQ(b[110], 0);

    TOutputFormat f = filled('#', 9);
    f.prefix = "pre";
    f.suffix = "suf";
    f.numberFormat = true;
    f.decimalPlaces = 3;
    const QByteArray written = f.toBytes();
    EXPECT_EQ(written.mid(1, 4), QByteArray("\x03pre"));
    EXPECT_EQ(written.mid(52, 4), QByteArray("\x03suf"));
    EXPECT_EQ(written.mid(107, 4), QByteArray("\x01\x01#\x09"));
    EXPECT_EQ(TOutputFormat::fromBytes(written), f);
}

TEST(TOutputFormat, ReadsAFormatInsideALongerRecord)
{
    FixedRecord r(344);
    TOutputFormat f = affixes("A", "B", 12);
    f.write(r, 218);
    EXPECT_EQ(r.u8(218), 12);
    EXPECT_EQ(TOutputFormat::read(r, 218), f);
    // A short record reads zeros rather than past its end.
    EXPECT_EQ(TOutputFormat::read(FixedRecord(50), 218).maxLength, 0);
}

TEST(OutputFormatEditing, TypedFieldRules)
{
    EXPECT_EQ(NormalizeMaxLengthText("-"), "200");
    EXPECT_EQ(NormalizeMaxLengthText("-3"), "200");
    EXPECT_EQ(NormalizeMaxLengthText("1001"), "200");
    EXPECT_EQ(NormalizeMaxLengthText("1000"), "1000");
    EXPECT_EQ(NormalizeMaxLengthText(""), "");
    EXPECT_EQ(NormalizeFillWidthText("7", ""), "0");
    EXPECT_EQ(NormalizeFillWidthText("7", "0"), "7");
    EXPECT_EQ(NormalizeDecimalPlacesText("21", "0"), "0");
    EXPECT_EQ(NormalizeDecimalPlacesText("x", "0"), "0");
    EXPECT_EQ(NormalizeDecimalPlacesText("20", "0"), "20");
    EXPECT_EQ(DataPropertyMaxLengthOnLeave(""), "200");
    EXPECT_EQ(DataPropertyMaxLengthOnLeave("0"), "200");
    EXPECT_EQ(DataPropertyMaxLengthOnLeave("12"), "12");
}

TEST(OutputFormatEditing, StoredOnOk)
{
    OutputFormatFields in;
    in.maxLength = "10";
    in.numberFormat = false;
    in.decimalPlaces = "5";
    in.decimalSign = "";
    in.thousandsSeparator = "";
    in.fill = false;
    in.fillChar = "0";
    in.fillWidth = "4";
    TOutputFormat f = StoreOutputFormat(in, EmptyFillChar::None);
    EXPECT_EQ(f.decimalPlaces, 2) << "two places with number formatting off";
    EXPECT_EQ(f.decimalSign, '.');
    EXPECT_EQ(f.thousandsSeparator, ',');
    EXPECT_EQ(f.fillWidth, 0) << "fill width only with fill on";

    in.numberFormat = true;
    in.decimalPlaces = "";
    EXPECT_EQ(StoreOutputFormat(in, EmptyFillChar::None).decimalPlaces, 0);

    in.decimalPlaces = "9";
    in.fill = true;
    in.fillWidth = "30";
    f = StoreOutputFormat(in, EmptyFillChar::None);
    EXPECT_EQ(f.fillWidth, 10) << "lowered to the maximum length";
    EXPECT_EQ(f.decimalPlaces, 8) << "lowered to the maximum length - 2";

    in.maxLength = "1";
    EXPECT_EQ(StoreOutputFormat(in, EmptyFillChar::None).decimalPlaces, 0);

    in.fillChar = "";
    EXPECT_TRUE(StoreOutputFormat(in, EmptyFillChar::None).fillString.isEmpty());
    EXPECT_EQ(StoreOutputFormat(in, EmptyFillChar::Space).fillString, " ");

    in.maxLength = "300";
    EXPECT_EQ(StoreOutputFormat(in, EmptyFillChar::None).maxLength, 255)
        << "kept to what the byte holds instead of wrapping";
}

TEST(OutputFormatEditing, DataPropertyWarningsStillStore)
{
    OutputFormatFields in;
    in.maxLength = "5";
    in.prefix = "abc";
    in.suffix = "de";
    in.fill = true;
    in.fillChar = "0";
    in.fillWidth = "1";
    DataPropertyWarnings w = CheckDataPropertyForm(in);
    EXPECT_TRUE(w.maxLengthTooShort);
    EXPECT_FALSE(w.decimalPlacesNotInteger);
    in.decimalPlaces = "x";
    in.fillWidth = "y";
    w = CheckDataPropertyForm(in);
    EXPECT_TRUE(w.decimalPlacesNotInteger);
    EXPECT_TRUE(w.fillWidthNotInteger);
    EXPECT_FALSE(w.maxLengthTooShort);
}

TEST(OutputFormatEditing, DataPropertyOkStoresAndClearsTrim)
{
    QByteArray bytes = NewDatabaseFieldEntry("Price", "12");
    DatabaseFieldEntry entry(bytes);
    DataPropertyFormFields shown = DataPropertyFieldsFromEntry(entry, "12.5");
    EXPECT_EQ(shown.column, "Price");
    EXPECT_EQ(shown.value, "12.5");
    EXPECT_EQ(shown.format.maxLength, "200");

    shown.format.maxLength = "2";
    shown.format.prefix = "$$$";
    shown.format.numberFormat = true;
    shown.format.decimalPlaces = "1";
    const DataPropertyWarnings w = AcceptDataPropertyForm(shown.format, entry);
    EXPECT_TRUE(w.maxLengthTooShort);
    EXPECT_EQ(entry.outputFormat().maxLength, 2) << "stored nonetheless";
    EXPECT_EQ(entry.outputFormat().prefix, "$$$");
    EXPECT_EQ(entry.outputFormat().decimalPlaces, 0) << "lowered to the maximum length - 2";
    EXPECT_FALSE(entry.trim());
    EXPECT_TRUE(entry.outputFormat().fillString.isEmpty());
}

} // namespace
} // namespace korvel
