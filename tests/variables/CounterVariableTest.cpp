#include "variables/CounterVariable.h"

#include "VariableTestSupport.h"
#include "document/LabelDocument.h"

#include <gtest/gtest.h>

namespace korvel {
namespace {

using test::addCounter;

constexpr CounterType D = CounterType::Decimal;
constexpr CounterType L = CounterType::Letters;
constexpr CounterType A = CounterType::Alphanumeric;

struct ArithmeticCase {
    CounterType type;
    QByteArray value;
    int step;
    QByteArray expected;
    const char* what;
};

TEST(CounterArithmetic, CarryBorrowGrowthAndWrap)
{
    const ArithmeticCase cases[] = {
        { D, "0099", 1, "0100", "width kept" },
        { D, "99", 1, "100", "decimal grows" },
        { D, "9", 1, "10", "one digit grows" },
        { L, "AZ", 1, "BA", "letter carry" },
        { L, "ZZ", 1, "AA", "letter counter wraps" },
        { A, "09", 1, "0A", "digits run into letters" },
        { A, "0Z", 1, "10", "alphanumeric carry" },
        { A, "ZZ", 1, "100", "alphanumeric grows" },
        { D, "005", 10, "015", "two-digit step" },
        { D, "995", 10, "1005", "two-digit step grows" },
        { D, "5", 1000, "1005", "four-digit step" },
        { D, "9", 12, "21", "step larger than the base" },
        { L, "A", 27, "B", "the carry out of a letter counter is lost" },
        { D, "000", -1, "999", "underflow wraps" },
        { D, "12", -15, "97", "borrow runs past the first digit" },
        { L, "A", -1, "Z", "letter borrow wraps" },
        { L, "BA", -1, "AZ", "letter borrow" },
        { A, "10", -1, "0Z", "alphanumeric borrow" },
        { A, "A", -1, "9", "letters run back into digits" },
        { D, "1-9", 1, "1-0", "a foreign character stops the carry" },
        { L, "az", 1, "az", "lower case is outside the alphabet" },
        { D, "", 1, "1", "an empty value gets the added digit" },
    };
    for (const ArithmeticCase& c : cases) {
        const QByteArray got = c.step > 0 ? AddToCounterValue(c.type, c.value, c.step)
                                          : SubtractFromCounterValue(c.type, c.value, -c.step);
        EXPECT_EQ(got, c.expected) << c.what;
    }
}

TEST(CounterArithmetic, OrderComparesLengthThenCodes)
{
    EXPECT_TRUE(Exceeds("10", "9"));
    EXPECT_FALSE(Exceeds("9", "10"));
    EXPECT_FALSE(Exceeds("9", "9"));
    EXPECT_TRUE(Exceeds("A", "9")) << "every letter is above every digit";
    EXPECT_TRUE(Exceeds("B", "A"));
    EXPECT_EQ(CompareCounterValues("AA", "AA"), 0);
    EXPECT_LT(CompareCounterValues("Z", "AA"), 0);
}

std::vector<QByteArray> run(CounterEntry e, int steps)
{
    std::vector<QByteArray> values { e.value() };
    for (int i = 0; i < steps; ++i) {
        StepCounter(e);
        values.push_back(e.value());
    }
    return values;
}

TEST(StepCounter, SequencesAroundTheLimit)
{
    VariableTables t;
    EXPECT_EQ(run(addCounter(t, "Counter1", D, "8", 1, "9", "0"), 3), (std::vector<QByteArray> { "8", "9", "0", "1" }))
        << "an increasing counter prints its limit and resets after it";
    EXPECT_EQ(run(addCounter(t, "Counter2", D, "2", -1, "0", "9"), 3), (std::vector<QByteArray> { "2", "1", "9", "8" }))
        << "a decreasing counter never prints its limit";
    EXPECT_EQ(run(addCounter(t, "Counter3", D, "99", 1, "999", "0"), 1), (std::vector<QByteArray> { "99", "100" }));
    EXPECT_EQ(run(addCounter(t, "Counter4", L, "AZ", 1, "ZZ", "A"), 1), (std::vector<QByteArray> { "AZ", "BA" }));
    EXPECT_EQ(run(addCounter(t, "Counter5", L, "ZZ", 1, "ZZ", "QQ"), 1), (std::vector<QByteArray> { "ZZ", "AA" }))
        << "the wrapped value is no longer above the limit";
    EXPECT_EQ(run(addCounter(t, "Counter6", A, "09", 1, "ZZ", "0"), 2), (std::vector<QByteArray> { "09", "0A", "0B" }));
}

TEST(StepCounter, ResetsBeforeStepping)
{
    VariableTables t;
    EXPECT_EQ(run(addCounter(t, "Counter1", D, "000", -1, "000", "555"), 1), (std::vector<QByteArray> { "000", "555" }))
        << "not above its limit: reset instead of stepped";
    EXPECT_EQ(run(addCounter(t, "Counter2", D, "5", 0, "9", "0"), 2), (std::vector<QByteArray> { "5", "5", "5" }))
        << "a step of 0 never changes the value";
    EXPECT_EQ(run(addCounter(t, "Counter3", D, "12", 0, "9", "0"), 1), (std::vector<QByteArray> { "12", "0" }))
        << "but a value already above the limit is reset";
}

TEST(StepCounter, ValueIsCutToTwentyCharacters)
{
    VariableTables t;
    CounterEntry e = addCounter(t, "Counter1", D, QByteArray(20, '9'), 1, QByteArray(20, '9'), "0");
    StepCounter(e);
    EXPECT_EQ(e.value(), "1" + QByteArray(19, '0'));
}

TEST(StepCounter, LabelsPerStepAndUse)
{
    LabelDocument doc;
    addCounter(doc.variables, "Counter1", D, "0", 1, "99", "0");
    addCounter(doc.variables, "Counter2", D, "0", 1, "99", "0");
    CounterEntry used(doc.variables.counters[0]);
    used.setLabelsPerStep(3);
    doc.appendObject(std::make_unique<test::BoundObject>(ObjectKind::Text, "Counter1", VariableKind::Counter));

    std::vector<QByteArray> printed;
    for (int n = 1; n <= 7; ++n) {
        printed.push_back(ConstCounterEntry(doc.variables.counters[0]).value());
        StepCountersInUse(doc, n, 1);
    }
    EXPECT_EQ(printed, (std::vector<QByteArray> { "0", "0", "0", "1", "1", "1", "2" }));
    EXPECT_EQ(ConstCounterEntry(doc.variables.counters[1]).value(), "0") << "an unused counter never steps";

    used.setLabelsPerStep(0);
    EXPECT_TRUE(CounterStepsAt(used, 5, 3)) << "a stored 0 steps every label instead of dividing by zero";
    used.setLabelsPerStep(2);
    EXPECT_TRUE(CounterStepsAt(used, 2, 1));
    EXPECT_FALSE(CounterStepsAt(used, 2, 2));
}

TEST(StepCounter, EvaluationFormatsWithoutStepping)
{
    VariableTables t;
    CounterEntry e = addCounter(t, "Counter1", D, "7", 1, "99", "0");
    TOutputFormat f;
    f.fill = true;
    f.fillString = "0";
    f.fillChar = '0';
    f.fillWidth = 3;
    e.setOutputFormat(f);
    EXPECT_EQ(EvaluateCounter(e), "007");
    EXPECT_EQ(EvaluateCounter(e), "007");
    EXPECT_EQ(e.value(), "7");
}

TEST(CounterForm, TypeChoiceAndInitialValue)
{
    CounterFormFields f;
    EXPECT_EQ(ChooseCounterType(f, L), "message2");
    EXPECT_EQ(f.initialValue, "A");
    EXPECT_EQ(f.limit, "Z");
    EXPECT_EQ(f.resetValue, "A");
    EXPECT_EQ(ChooseCounterType(f, A), "message3");
    EXPECT_EQ(f.limit, "Z");
    EXPECT_EQ(f.resetValue, "0");
    EXPECT_EQ(ChooseCounterType(f, D), "message1");
    EXPECT_EQ(f.limit, "9");

    f.initialValue = "0012";
    f.format.fillChar = "0";
    CounterInitialValueChanged(f);
    EXPECT_EQ(f.limit, "9999") << "a shorter limit gets the value's width";
    EXPECT_EQ(f.format.fillWidth, "5");
    f.initialValue = "01";
    CounterInitialValueChanged(f);
    EXPECT_EQ(f.limit, "99") << "a longer decimal limit is cut to the width";

    f.format.fillChar = "";
    ChooseCounterType(f, L);
    f.initialValue = "abc";
    f.limit = "ZZZZZZ";
    CounterInitialValueChanged(f);
    EXPECT_EQ(f.initialValue, "ABC");
    EXPECT_EQ(f.limit, "ZZZZZ") << "a longer letter limit loses its last character";
    EXPECT_EQ(f.format.fillWidth, "0") << "no fill character, no fill width";

    f.step = "-1";
    f.limit = "A";
    CounterInitialValueChanged(f);
    EXPECT_EQ(f.limit, "AAA");
}

TEST(CounterForm, StepField)
{
    EXPECT_EQ(CounterStepMaxLength("-"), 5);
    EXPECT_EQ(CounterStepMaxLength("+1"), 4);
    CounterFormFields f;
    f.initialValue = "123";
    f.step = "-100000";
    CounterStepChanged(f);
    EXPECT_EQ(f.step, "-1000");
    EXPECT_EQ(f.limit, "000");
    ChooseCounterType(f, L);
    f.initialValue = "BB";
    f.step = "-1";
    CounterStepChanged(f);
    EXPECT_EQ(f.limit, "AA") << "a letter counter's lowest value";
}

TEST(CounterForm, FieldsLeftEmpty)
{
    EXPECT_EQ(CounterMaxLengthOnLeave("").text, "20");
    EXPECT_EQ(CounterMaxLengthOnLeave("").messageKey, "message7");
    EXPECT_EQ(CounterMaxLengthOnLeave("-").text, "200");
    EXPECT_TRUE(CounterMaxLengthOnLeave("30").messageKey.isEmpty());
    EXPECT_EQ(CounterFillWidthOnLeave("").text, "2");
    EXPECT_EQ(CounterFillWidthOnLeave("").messageKey, "message8");
    EXPECT_EQ(CounterDecimalPlacesText("21"), "1");
    EXPECT_EQ(CounterDecimalPlacesText("3"), "3");
}

CounterFormFields validFields()
{
    CounterFormFields f;
    f.initialValue = "0001";
    f.step = "+1";
    f.limit = "9999";
    f.resetValue = "0001";
    f.format.maxLength = "20";
    return f;
}

TEST(CounterForm, ChecksOnOkInOrder)
{
    struct Case {
        const char* what;
        void (*change)(CounterFormFields&);
        const char* key;
        CounterField field;
    };
    const Case cases[] = {
        { "limit empty",
            [](CounterFormFields& f) {
                f.limit = "";
                f.step = "";
            },
            "message5", CounterField::Limit },
        { "step empty",
            [](CounterFormFields& f) {
                f.step = " ";
                f.initialValue = "";
            },
            "message9", CounterField::Step },
        { "step no number", [](CounterFormFields& f) { f.step = "-"; }, "message9", CounterField::Step },
        { "value empty", [](CounterFormFields& f) { f.initialValue = ""; }, "message1", CounterField::InitialValue },
        { "too long without fill",
            [](CounterFormFields& f) {
                f.format.maxLength = "5";
                f.format.prefix = "AB";
            },
            "message2", CounterField::MaxLength },
        { "too long with fill",
            [](CounterFormFields& f) {
                f.format.fill = true;
                f.format.fillWidth = "9";
                f.format.maxLength = "10";
                f.format.suffix = "xy";
            },
            "message2", CounterField::MaxLength },
        { "labels per step", [](CounterFormFields& f) { f.labelsPerStep = "x"; }, "message3",
            CounterField::LabelsPerStep },
        { "value outside the alphabet", [](CounterFormFields& f) { f.initialValue = "00A1"; }, "message4",
            CounterField::InitialValue },
        { "limit outside the alphabet", [](CounterFormFields& f) { f.limit = "99Z9"; }, "message5",
            CounterField::Limit },
        { "reset outside the alphabet", [](CounterFormFields& f) { f.resetValue = "-1"; }, "message6",
            CounterField::ResetValue },
    };
    for (const Case& c : cases) {
        CounterFormFields f = validFields();
        c.change(f);
        QByteArray bytes = NewEntry(VariableKind::Counter, "Counter1");
        const FormCheck r = AcceptCounterForm(f, "Counter1", CounterEntry(bytes));
        EXPECT_FALSE(r.ok) << c.what;
        EXPECT_EQ(r.section, "CounterFormInside") << c.what;
        EXPECT_EQ(r.messageKey, c.key) << c.what;
        EXPECT_EQ(r.field, static_cast<int>(c.field)) << c.what;
    }
}

TEST(CounterForm, OkStoresTheEntry)
{
    CounterFormFields f = validFields();
    f.step = "+10";
    f.labelsPerStep = "3";
    f.format.fill = true;
    f.format.fillChar = "";
    f.format.fillWidth = "6";
    QByteArray bytes = NewEntry(VariableKind::Counter, "Counter1");
    CounterEntry e(bytes);
    ASSERT_TRUE(AcceptCounterForm(f, "Counter1", e).ok);
    EXPECT_EQ(e.value(), "0001");
    EXPECT_EQ(e.step(), 10);
    EXPECT_EQ(e.limit(), "9999");
    EXPECT_EQ(e.labelsPerStep(), 3);
    EXPECT_EQ(e.outputFormat().fillString, " ") << "an empty fill character is stored as a space";
    EXPECT_EQ(e.outputFormat().fillWidth, 6);
    EXPECT_EQ(bytes.size(), 204);

    const CounterFormFields back = CounterFieldsFromEntry(e);
    EXPECT_EQ(back.step, "+10");
    EXPECT_EQ(back.initialValue, "0001");
}

TEST(CounterForm, ValueBroughtIntoRange)
{
    struct Case {
        CounterType type;
        const char* value;
        const char* step;
        const char* limit;
        const char* expected;
    };
    const Case cases[] = {
        { D, "50", "+1", "20", "7" }, // limit below the value
        { D, "05", "+1", "20", "05" },
        { D, "5", "-1", "10", "7" }, // limit above a decreasing value
        { D, "5", "0", "1", "5" }, // a decimal step of 0 keeps it
        { L, "B", "+1", "A", "E" },
        { L, "A", "0", "B", "E" }, // letters with step 0: below the limit resets
        { L, "C", "-1", "B", "C" },
    };
    for (const Case& c : cases) {
        CounterFormFields f = validFields();
        f.type = c.type;
        f.initialValue = c.value;
        f.step = c.step;
        f.limit = c.limit;
        f.resetValue = c.type == D ? "7" : "E";
        QByteArray bytes = NewEntry(VariableKind::Counter, "Counter1");
        CounterEntry e(bytes);
        ASSERT_TRUE(AcceptCounterForm(f, "Counter1", e).ok) << c.value;
        EXPECT_EQ(e.value(), c.expected) << c.value << " " << c.step << " " << c.limit;
    }
}

} // namespace
} // namespace korvel
