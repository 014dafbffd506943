#include "variables/Evaluation.h"

#include "VariableTestSupport.h"
#include "document/LabelDocument.h"

#include <gtest/gtest.h>

namespace korvel {
namespace {

class EvaluateVariableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        VariableTables& t = doc.variables;
        test::addDatabase(t, "Name");
        test::addDatabase(t, "Padded");
        test::addDatabase(t, "Price");
        test::addDatabase(t, "Missing");
        test::addDate(t, "Date1", 5, 0, 6, 0);
        test::addTime(t, "Time1", 4, 0, 1);
        test::addCounter(t, "Counter1", CounterType::Decimal, "42", 1, "99", "0");
        test::addFormula(t, "Formula1", "<const>L+Counter1+Name");

        DatabaseFieldEntry(t.database[1]).setTrim(false);
        TOutputFormat price;
        price.numberFormat = true;
        price.prefix = "$";
        DatabaseFieldEntry(t.database[2]).setOutputFormat(price);
        TOutputFormat fill;
        fill.fill = true;
        fill.fillString = "0";
        fill.fillChar = '0';
        fill.fillWidth = 6;
        CounterEntry(t.counters[0]).setOutputFormat(fill);

        fields.values["Name"] = "  Widget  ";
        fields.values["Padded"] = "  Widget  ";
        fields.values["Price"] = "1234.5";
        context.fields = &fields;
        context.clock = [] { return QDateTime(QDate(2024, 3, 5), QTime(23, 30)); };
    }

    QByteArray eval(const QByteArray& name, VariableKind kind) const
    {
        return EvaluateVariable(doc, name, kind, context);
    }

    LabelDocument doc;
    test::FakeFields fields;
    EvaluationContext context;
};

TEST_F(EvaluateVariableTest, EveryKindWithAnOpenQuery)
{
    struct Case {
        QByteArray name;
        VariableKind kind;
        QByteArray expected;
        const char* what;
    };
    const Case cases[] = {
        { "<const>abc", VariableKind::Constant, "abc", "constant after the marker" },
        { "<const>a>b", VariableKind::Constant, "a>b", "only the first '>' counts" },
        { "plain", VariableKind::Constant, "plain", "no '>' gives the whole name" },
        { "name", VariableKind::Database, "Widget", "trimmed, found without regard to case" },
        { "Padded", VariableKind::Database, "  Widget  ", "trim flag off" },
        { "Price", VariableKind::Database, "$1,234.50", "through the output format" },
        { "Missing", VariableKind::Database, " ", "no such column is blank" },
        { "Date1", VariableKind::Date, "2024-09-05", "date with a month offset" },
        { "Time1", VariableKind::Time, "0:30", "time wraps past midnight" },
        { "Counter1", VariableKind::Counter, "000042", "counter through its format" },
        { "Formula1", VariableKind::Formula, "L000042Widget", "formula of constant, counter and column" },
        { "Date9", VariableKind::Date, "Date9", "a name the table lacks is a constant" },
        { "<const>x", VariableKind::Counter, "x", "constant rule for unknown names" },
        { "Date1", static_cast<VariableKind>(9), "", "unknown kind" },
        { "Date1", static_cast<VariableKind>(-1), "", "negative kind" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(eval(c.name, c.kind), c.expected) << c.what;
}

TEST_F(EvaluateVariableTest, ClosedQueryGivesBlankDatabaseValues)
{
    fields.open = false;
    EXPECT_EQ(eval("Name", VariableKind::Database), " ");
    EXPECT_EQ(eval("Price", VariableKind::Database), " ");
    EXPECT_EQ(eval("Formula1", VariableKind::Formula), "L000042 ");
    context.fields = nullptr;
    EXPECT_EQ(eval("Name", VariableKind::Database), " ");
    EXPECT_EQ(eval("Counter1", VariableKind::Counter), "000042") << "other kinds need no query";
}

TEST_F(EvaluateVariableTest, EmptyValueBecomesASpaceAndShowsNull)
{
    fields.values["Name"] = "   ";
    EXPECT_EQ(eval("Name", VariableKind::Database), " ");
    EXPECT_EQ(SurfaceText(eval("Name", VariableKind::Database)), "<NULL>");
    fields.values["Padded"] = "";
    EXPECT_EQ(eval("Padded", VariableKind::Database), " ");
}

TEST_F(EvaluateVariableTest, EvaluationNeverStepsACounter)
{
    eval("Counter1", VariableKind::Counter);
    eval("Formula1", VariableKind::Formula);
    EXPECT_EQ(ConstCounterEntry(doc.variables.counters[0]).value(), "42");
}

TEST_F(EvaluateVariableTest, PatternsFromTheLanguageFile)
{
    DateTimePatterns patterns = DateTimePatterns::builtIn();
    patterns.date[5] = QStringLiteral("dd/mm/yyyy");
    context.patterns = &patterns;
    EXPECT_EQ(eval("Date1", VariableKind::Date), "05/09/2024");
}

} // namespace
} // namespace korvel
