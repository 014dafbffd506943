#include "variables/FormulaVariable.h"

#include "VariableTestSupport.h"
#include "variables/Evaluation.h"

#include <gtest/gtest.h>

namespace korvel {
namespace {

using test::gbk;

constexpr auto LTR = SubstringDirection::LeftToRight;
constexpr auto RTL = SubstringDirection::RightToLeft;

TEST(FormulaSubstring, BothDirections)
{
    struct Case {
        int start, length;
        SubstringDirection direction;
        const char* expected;
    };
    const Case cases[] = {
        { 2, 3, LTR, "BCD" },
        { 2, 3, RTL, "DEF" },
        { 2, 10, RTL, "ABCDEF" },
        { 6, 5, LTR, "FG" },
        { 1, 200, LTR, "ABCDEFG" },
        { 1, 200, RTL, "ABCDEFG" },
        { 7, 1, RTL, "A" },
        { 8, 1, LTR, "" },
        { 8, 1, RTL, "" },
        { 1, 0, LTR, "ABCDEFG" },
        { 0, 2, LTR, "AB" },
        { 1, 6, RTL, "BCDEFG" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormulaSubstring("ABCDEFG", c.start, c.length, c.direction), QByteArray(c.expected))
            << c.start << "," << c.length << "," << static_cast<int>(c.direction);
}

TEST(FormulaSubstring, CountsDoubleByteCharactersWhole)
{
    const QByteArray value = gbk(QStringLiteral("中文AB"));
    EXPECT_EQ(FormulaSubstring(value, 2, 2, LTR), gbk(QStringLiteral("文A")));
    EXPECT_EQ(FormulaSubstring(value, 1, 3, RTL), gbk(QStringLiteral("文AB")));
}

TEST(NormalizeFullWidth, PlusDigitsAndSpace)
{
    EXPECT_EQ(NormalizeFullWidth("Date1\xA3\xAB"
                                 "Counter1"),
        QByteArray("Date1+Counter1"));
    EXPECT_EQ(NormalizeFullWidth("\xA3\xB0\xA3\xB1\xA3\xB9"), QByteArray("019"));
    EXPECT_EQ(NormalizeFullWidth("a\xA1\xA1"
                                 "b"),
        QByteArray("a b"));
    // 0xB0A3 is one character and 0xAB41 the next: no plus sign hides between them.
    EXPECT_EQ(NormalizeFullWidth("\xB0\xA3\xAB\x41"), QByteArray("\xB0\xA3\xAB\x41"));
    EXPECT_EQ(NormalizeFullWidth("tail\xA3"), QByteArray("tail\xA3"));
}

class FormulaTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::addDatabase(t, "Code", "ABCDEFG");
        test::addDate(t, "Date1", 5);
        test::addTime(t, "Time1", 5);
        test::addCounter(t, "Counter1", CounterType::Decimal, "7", 1, "9", "0");
        fields.values["CODE"] = "ABCDEFG";
        context.fields = &fields;
        context.clock = test::fixedNow;
    }

    QByteArray evaluate(const QByteArray& expression, int start = 1, int length = 200, SubstringDirection d = LTR,
        const TOutputFormat& f = {})
    {
        t.formulas.clear();
        FormulaEntry e = test::addFormula(t, "Formula1", expression);
        e.setSubstring(start, length, d);
        e.setOutputFormat(f);
        return EvaluateFormula(t, e, context);
    }

    VariableTables t;
    test::FakeFields fields;
    EvaluationContext context;
};

TEST_F(FormulaTest, JoinsPartsInOrder)
{
    EXPECT_EQ(evaluate("<const>A-+Date1+Counter1"), "A-2024-03-057");
    EXPECT_EQ(evaluate("Time1+<const> +Date1"), "14:07 2024-03-05");
    TOutputFormat f;
    f.prefix = "[";
    f.suffix = "]";
    EXPECT_EQ(evaluate("<const>A-+Counter1", 1, 200, LTR, f), "[A-7]") << "then formatted";
}

TEST_F(FormulaTest, EmptyExpressionIsNotFormatted)
{
    TOutputFormat f;
    f.prefix = "P";
    EXPECT_EQ(evaluate("", 1, 200, LTR, f), "");
    EXPECT_EQ(evaluate("   ", 1, 200, LTR, f), "");
}

TEST_F(FormulaTest, DatabasePartsAreCut)
{
    EXPECT_EQ(evaluate("code+<const>-X", 2, 3, LTR), "BCD-X");
    EXPECT_EQ(evaluate("Code+<const>-X", 2, 3, RTL), "DEF-X");
    EXPECT_EQ(evaluate("<const>ABCDEFG+Counter1", 2, 3, LTR), "ABCDEFG7") << "other parts stay whole";
    fields.open = false;
    EXPECT_EQ(evaluate("Code+Counter1", 2, 3, LTR), "7") << "a closed query's blank is cut away";
}

TEST_F(FormulaTest, ConstantsAndUnknownNames)
{
    EXPECT_EQ(evaluate("<const>a>b"), "a>b") << "everything after the first '>'";
    EXPECT_EQ(evaluate("Nobody+<const>!"), "Nobody!");
    EXPECT_EQ(evaluate("Date1 + Counter1"), "2024-03-057") << "names found with spaces around them";
}

TEST_F(FormulaTest, FormulasThatReachThemselvesEnd)
{
    test::addFormula(t, "Formula2", "Formula3+<const>x");
    test::addFormula(t, "Formula3", "Formula2+<const>y");
    EXPECT_EQ(EvaluateVariable(t, "Formula2", VariableKind::Formula, context), "yx");
}

TEST_F(FormulaTest, Validation)
{
    test::addFormula(t, "Formula1", "");
    EXPECT_TRUE(ValidateFormula(t, "Formula1", "<const>A-+Date1+counter1"));
    EXPECT_TRUE(ValidateFormula(t, "Formula1", "Code"));
    EXPECT_FALSE(ValidateFormula(t, "Formula1", "Date1+Bogus"));
    EXPECT_FALSE(ValidateFormula(t, "Formula1", "<const>a+b")) << "a constant's '+' splits it";
    EXPECT_TRUE(ValidateFormula(t, "Formula1", "<const>a+Date1"));
    EXPECT_FALSE(ValidateFormula(t, "Formula1", "FORMULA1")) << "its own name";
    EXPECT_FALSE(ValidateFormula(t, "Formula1", "<CONST>x")) << "the marker's case counts";
    EXPECT_FALSE(ValidateFormula(t, "Formula1", "Date1++Time1"));
    EXPECT_FALSE(ValidateFormula(t, "Formula1", ""));
    EXPECT_TRUE(ValidateFormula(t, "Formula1",
        NormalizeFullWidth("Date1\xA3\xAB"
                           "Counter1")));
}

TEST_F(FormulaTest, PartList)
{
    FormulaPartList list(" Date1+<const>x+Counter1 ");
    EXPECT_EQ(list.size(), 3);
    list.insert(1, { "Time1", "Code" });
    EXPECT_EQ(list.expression(), "Date1+Time1+Code+<const>x+Counter1");
    EXPECT_EQ(list.removeConstant(1), std::nullopt);
    EXPECT_EQ(list.removeConstant(3), QByteArray("x"));
    EXPECT_FALSE(list.addConstant(0, ""));
    EXPECT_TRUE(list.addConstant(-1, "end"));
    EXPECT_TRUE(list.moveUp(4));
    EXPECT_FALSE(list.moveUp(0));
    EXPECT_FALSE(list.moveDown(4));
    EXPECT_EQ(list.expression(), "Date1+Time1+Code+<const>end+Counter1");
    list.remove({ 4, 0, 4 });
    EXPECT_EQ(list.expression(), "Time1+Code+<const>end");
    list.clear();
    list.appendAll(FormulaAvailableOperands(t));
    EXPECT_EQ(list.expression(), "Code+Date1+Time1+Counter1") << "formulas are not offered";
    EXPECT_TRUE(FormulaPartList("").parts().empty());

    KindWords words;
    words[4] = QStringLiteral("C");
    EXPECT_EQ(FormulaPartText(t, "Counter1", words), QStringLiteral("C1"));
    EXPECT_EQ(FormulaPartText(t, "Code", words), QStringLiteral("Code"));
    EXPECT_EQ(FormulaPartText(t, "<const>abc", words), QStringLiteral("abc"));
}

TEST_F(FormulaTest, DialogOk)
{
    QByteArray bytes = NewEntry(VariableKind::Formula, "Formula1");
    t.formulas.push_back(bytes);
    FormulaEntry e(t.formulas.back());

    FormulaFormFields f;
    f.parts = FormulaPartList("Date1+Code");
    f.format.maxLength = "3";
    f.format.prefix = "ab";
    f.format.fill = true;
    f.format.fillChar = "0";
    f.format.fillWidth = "2";
    FormCheck r = AcceptFormulaForm(t, f, "Formula1", e);
    EXPECT_EQ(r.section, "CounterFormInside");
    EXPECT_EQ(r.messageKey, "message2");

    f.format = OutputFormatFields {};
    f.substringStart = 8;
    r = AcceptFormulaForm(t, f, "Formula1", e);
    EXPECT_EQ(r.section, "FormulaFormInside");
    EXPECT_EQ(r.messageKey, "message2") << "the database value is shorter than the start";

    f.substringStart = 2;
    f.parts = FormulaPartList("Date1+Formula1");
    r = AcceptFormulaForm(t, f, "Formula1", e);
    EXPECT_EQ(r.messageKey, "message1");

    f.parts = FormulaPartList("Date1\xA3\xAB"
                              "Code");
    f.substringLength = 500;
    f.direction = RTL;
    ASSERT_TRUE(AcceptFormulaForm(t, f, "Formula1", e).ok);
    EXPECT_EQ(e.expression(), "Date1+Code") << "full-width plus normalised";
    EXPECT_EQ(e.substringStart(), 2);
    EXPECT_EQ(e.substringLength(), 200);
    EXPECT_EQ(e.substringDirection(), RTL);
    EXPECT_EQ(e.outputFormat().maxLength, 25);
    EXPECT_EQ(t.formulas.back().size(), 344);

    int start = 0, length = 0;
    FormulaSubstringShown(7, 0, &start, &length);
    EXPECT_EQ(start, 1);
    EXPECT_EQ(length, 200);
    FormulaSubstringShown(7, 900, &start, &length);
    EXPECT_EQ(start, 7);
    EXPECT_EQ(length, 200);
    const FormulaFormFields shown = FormulaFieldsFromEntry(e);
    EXPECT_EQ(shown.parts.expression(), "Date1+Code");
    EXPECT_EQ(shown.direction, RTL);
}

} // namespace
} // namespace korvel
