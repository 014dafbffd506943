#include "variables/VariableModel.h"

#include "VariableTestSupport.h"
#include "document/LabelDocument.h"
#include "variables/DataSourceTree.h"
#include "variables/VariableEntries.h"

#include <gtest/gtest.h>

namespace korvel {
namespace {

using test::BoundObject;

TEST(VariableNames, NextNameTakesTheSmallestFreeNumber)
{
    VariableTables t;
    EXPECT_EQ(NextVariableName(t, VariableKind::Date), "Date1");
    test::addDate(t, "Date1");
    test::addDate(t, "date3");
    EXPECT_EQ(NextVariableName(t, VariableKind::Date), "Date2");
    test::addDate(t, "Date2");
    EXPECT_EQ(NextVariableName(t, VariableKind::Date), "Date4");
    EXPECT_EQ(NextVariableName(t, VariableKind::Time), "Time1");
    EXPECT_EQ(NextVariableName(t, VariableKind::Counter), "Counter1");
    EXPECT_EQ(NextVariableName(t, VariableKind::Formula), "Formula1");
    EXPECT_EQ(NextVariableName(t, VariableKind::Database), "");
}

TEST(VariableNames, CaseRulesLeaveDoubleByteCharactersAlone)
{
    EXPECT_TRUE(SameName("Date1", "DATE1"));
    EXPECT_FALSE(SameName("Date1", "Date10"));
    // 0xB0 0x61 is one character whose trail byte looks like "a".
    EXPECT_EQ(UpperAscii("\xB0\x61"
                         "a"),
        QByteArray("\xB0\x61"
                   "A"));
    EXPECT_FALSE(SameName("\xB0\x61", "\xB0\x41"));
    EXPECT_EQ(VariableNumber("Date12"), "12");
    EXPECT_EQ(DisplayedVariableName(VariableKind::Date, "Date12", QStringLiteral("日期")), QStringLiteral("日期12"));
    EXPECT_EQ(DisplayedVariableName(VariableKind::Database, "Price", QStringLiteral("x")), QStringLiteral("Price"));
    EXPECT_EQ(TrimSpaces("  a b \t"), "a b");
    EXPECT_EQ(SurfaceText("  "), "<NULL>");
    EXPECT_EQ(SurfaceText(" x"), " x");
    EXPECT_EQ(PrintedText(""), " ");
    EXPECT_EQ(PrintedText("x"), "x");
}

TEST(ContentSource, FixedContentClearsTheBinding)
{
    EXPECT_EQ(ContentSourceLabels().size(), 6);
    EXPECT_EQ(ContentSourceLabels()[4], QStringLiteral("计数器"));
    BoundObject text(ObjectKind::Text, "", VariableKind::Constant);
    ChooseContentSource(text, VariableKind::Counter, "Counter1");
    EXPECT_EQ(text.VarName, "Counter1");
    EXPECT_EQ(text.VarType, 4);
    ChooseContentSource(text, VariableKind::Constant, "ignored");
    EXPECT_TRUE(text.VarName.isEmpty());
    EXPECT_EQ(text.VarType, 0);
}

TEST(VariableLookup, FindKindAndOperands)
{
    VariableTables t;
    test::addDatabase(t, "Shared");
    test::addDate(t, "Shared");
    test::addDate(t, "Date1");
    test::addTime(t, "Time1");
    test::addCounter(t, "Counter1", CounterType::Decimal, "0", 1, "9", "0");
    test::addCounter(t, "Both", CounterType::Decimal, "0", 1, "9", "0");
    test::addFormula(t, "Both", "");

    EXPECT_EQ(FindVariable(t, VariableKind::Date, "DATE1"), 2);
    EXPECT_EQ(FindVariable(t, VariableKind::Date, "Date2"), 0);
    EXPECT_EQ(FindVariable(t, VariableKind::Constant, "Date1"), 0);

    struct Case {
        QByteArray name;
        VariableKind kind;
    };
    const Case cases[] = {
        { "Shared", VariableKind::Database },
        { " date1 ", VariableKind::Date },
        { "time1", VariableKind::Time },
        { "Both", VariableKind::Formula },
        { "Counter1", VariableKind::Counter },
        { "<CONST>Date1", VariableKind::Constant },
        { "<const>x", VariableKind::Constant },
        { "Nobody", VariableKind::Constant },
    };
    for (const Case& c : cases)
        EXPECT_EQ(VariableKindOf(t, c.name), c.kind) << c.name.constData();

    EXPECT_TRUE(IsKnownOperand(t, "<const>"));
    EXPECT_TRUE(IsKnownOperand(t, "counter1"));
    EXPECT_TRUE(IsKnownOperand(t, "Both"));
    EXPECT_FALSE(IsKnownOperand(t, "<CONST>x"));
    EXPECT_FALSE(IsKnownOperand(t, " Date1"));
}

TEST(VariableUse, ObjectsAndFormulas)
{
    LabelDocument doc;
    test::addDate(doc.variables, "Date1");
    test::addDate(doc.variables, "Date2");
    test::addDate(doc.variables, "Date3");
    test::addCounter(doc.variables, "Counter1", CounterType::Decimal, "0", 1, "9", "0");
    test::addFormula(doc.variables, "Formula1", "<const>a+Date10");

    EXPECT_TRUE(IsVariableInUse(doc, VariableKind::Date, 1)) << "Date10 contains Date1";
    EXPECT_FALSE(IsVariableInUse(doc, VariableKind::Date, 2));
    EXPECT_FALSE(IsVariableInUse(doc, VariableKind::Date, 9));

    doc.appendObject(std::make_unique<BoundObject>(ObjectKind::Text, "Date2", VariableKind::Date));
    EXPECT_TRUE(IsVariableInUse(doc, VariableKind::Date, 2));
    doc.appendObject(std::make_unique<BoundObject>(ObjectKind::BarCode, "date3", VariableKind::Date));
    EXPECT_FALSE(IsVariableInUse(doc, VariableKind::Date, 3)) << "objects compare names exactly";
    doc.appendObject(std::make_unique<BoundObject>(ObjectKind::Image, "Counter1", VariableKind::Counter));
    EXPECT_FALSE(IsVariableInUse(doc, VariableKind::Counter, 1)) << "only texts and barcodes bind";
    doc.appendObject(std::make_unique<BoundObject>(ObjectKind::BarCode, "Counter1", VariableKind::Date));
    EXPECT_FALSE(IsVariableInUse(doc, VariableKind::Counter, 1)) << "the kind must match";

    FormulaEntry(doc.variables.formulas[0]).setExpression("<const>x+coun ter1");
    EXPECT_TRUE(IsVariableInUse(doc, VariableKind::Counter, 1)) << "spaces removed, case ignored";
}

TEST(VariableTablesEditing, AddWithDefaultsUpToCapacity)
{
    LabelDocument doc;
    EXPECT_EQ(AddVariable(doc, VariableKind::Counter), 1);
    EXPECT_TRUE(doc.modified);
    const ConstCounterEntry c(doc.variables.counters[0]);
    EXPECT_EQ(c.name(), "Counter1");
    EXPECT_EQ(c.type(), CounterType::Decimal);
    EXPECT_EQ(c.value(), "0");
    EXPECT_EQ(c.step(), 1);
    EXPECT_EQ(c.limit(), "9");
    EXPECT_EQ(c.resetValue(), "0");
    EXPECT_EQ(c.labelsPerStep(), 1);
    EXPECT_EQ(c.outputFormat(), TOutputFormat {});
    EXPECT_EQ(doc.variables.counters[0].size(), 204);

    EXPECT_EQ(AddVariable(doc, VariableKind::Formula), 1);
    const ConstFormulaEntry f(doc.variables.formulas[0]);
    EXPECT_EQ(f.expression(), "");
    EXPECT_EQ(f.substringStart(), 1);
    EXPECT_EQ(f.substringLength(), 200);
    EXPECT_EQ(doc.variables.formulas[0].size(), 344);

    EXPECT_EQ(AddVariable(doc, VariableKind::Time), 1);
    EXPECT_EQ(ConstTimeEntry(doc.variables.times[0]).patternIndex(), 0);
    EXPECT_EQ(AddVariable(doc, VariableKind::Database), 0) << "database variables come from the query";
    EXPECT_EQ(AddVariable(doc, VariableKind::Constant), 0);

    for (int i = 1; i <= 99; ++i)
        ASSERT_EQ(AddVariable(doc, VariableKind::Date), i);
    EXPECT_FALSE(CanAddVariable(doc.variables, VariableKind::Date));
    EXPECT_TRUE(CanAddVariable(doc.variables, VariableKind::Time));
    EXPECT_EQ(AddVariable(doc, VariableKind::Date), 0) << "a full table is never written beyond";
    EXPECT_EQ(doc.variables.dates.size(), 99u);
    EXPECT_EQ(ConstDateEntry(doc.variables.dates[98]).name(), "Date99");
    EXPECT_EQ(TableCapacity(VariableKind::Database), 98);
}

TEST(VariableTablesEditing, DeleteKeepsNamesAndRefusesWhileInUse)
{
    LabelDocument doc;
    for (int i = 0; i < 3; ++i)
        AddVariable(doc, VariableKind::Date);
    doc.appendObject(std::make_unique<BoundObject>(ObjectKind::Text, "Date3", VariableKind::Date));
    doc.modified = false;

    EXPECT_EQ(DeleteVariable(doc, VariableKind::Date, 3), DeleteResult::InUse);
    EXPECT_EQ(doc.variables.dates.size(), 3u);
    EXPECT_FALSE(doc.modified);
    EXPECT_EQ(DeleteVariable(doc, VariableKind::Date, 4), DeleteResult::NoSuchEntry);
    EXPECT_EQ(DeleteVariable(doc, VariableKind::Date, 0), DeleteResult::NoSuchEntry);

    EXPECT_EQ(DeleteVariable(doc, VariableKind::Date, 2), DeleteResult::Deleted);
    EXPECT_EQ(EntryName(doc.variables, VariableKind::Date, 1), "Date1");
    EXPECT_EQ(EntryName(doc.variables, VariableKind::Date, 2), "Date3");
    EXPECT_EQ(NextVariableName(doc, VariableKind::Date), "Date2");
}

TEST(VariableTablesEditing, CancelledAddRemovesTheNewEntryEvenWhenItLooksUsed)
{
    LabelDocument doc;
    test::addFormula(doc.variables, "Formula1", "Date10");
    const int added = AddVariable(doc, VariableKind::Date);
    ASSERT_EQ(added, 1);
    EXPECT_EQ(DeleteVariable(doc, VariableKind::Date, added), DeleteResult::InUse);
    EXPECT_TRUE(RemoveEntry(doc.variables, VariableKind::Date, added));
    EXPECT_TRUE(doc.variables.dates.empty());
    EXPECT_FALSE(RemoveEntry(doc.variables, VariableKind::Date, 1));
}

TEST(EntryViews, FieldsAtTheirOffsetsInPlace)
{
    VariableTables t;
    t.counters.push_back(NewEntry(VariableKind::Counter, "Counter1"));
    const char* before = t.counters[0].constData();
    CounterEntry e(t.counters[0]);
    e.setValue("0042");
    e.setStep(-3);
    e.setLimit("0000");
    EXPECT_EQ(t.counters[0].constData(), before) << "edited in place, not copied";
    const FixedRecord r(t.counters[0]);
    EXPECT_EQ(r.str(18, 20), "0042");
    EXPECT_EQ(r.i32(40), -3);
    EXPECT_EQ(r.str(44, 20), "0000");
    EXPECT_EQ(r.str(65, 20), "0");
    EXPECT_EQ(r.i32(88), 1);
    EXPECT_EQ(r.u8(92), 200);

    t.database.push_back(NewDatabaseFieldEntry("Column", "first"));
    const FixedRecord d(t.database[0]);
    EXPECT_EQ(d.str(0, 30), "Column");
    EXPECT_EQ(d.str(31, 200), "first");
    EXPECT_EQ(d.u8(232), 1);
    EXPECT_EQ(d.u8(240), 200);
    EXPECT_EQ(t.database[0].size(), 352);

    QByteArray dateBytes(152, '\0');
    DateEntry date(dateBytes);
    date.setMonthOffset(6);
    date.setEditedValue(2.5);
    EXPECT_EQ(FixedRecord(dateBytes).i32(132), 6);
    EXPECT_EQ(FixedRecord(dateBytes).f64(144), 2.5);
}

TEST(EntryViews, DamagedEntriesReadZerosAndIgnoreWrites)
{
    QByteArray shortEntry("\x05"
                          "Date1",
        6);
    DateEntry e(shortEntry);
    EXPECT_EQ(e.name(), "Date1");
    EXPECT_EQ(e.dayOffset(), 0);
    e.setDayOffset(9);
    EXPECT_EQ(shortEntry.size(), 6);
    const ConstCounterEntry none;
    EXPECT_FALSE(none);
    EXPECT_EQ(none.value(), "");
    EXPECT_EQ(none.step(), 0);
    CounterEntry nothing;
    nothing.setStep(4); // no entry, no write, no crash
}

TEST(DataSourceTree, NodesChildrenAndDefaults)
{
    VariableTables t;
    test::addDatabase(t, "Price");
    test::addDate(t, "Date1");
    test::addDate(t, "Date12");
    test::addCounter(t, "Counter2", CounterType::Decimal, "0", 1, "9", "0");

    KindWords words;
    DataSourceTree tree = BuildDataSourceTree(t, words, false);
    ASSERT_EQ(tree.nodes.size(), 5u);
    const QStringList texts { tree.nodes[0].text, tree.nodes[1].text, tree.nodes[2].text, tree.nodes[3].text,
        tree.nodes[4].text };
    EXPECT_EQ(texts, (QStringList { "3(1)", "1(2)", "(0)", "(1)", "5(0)" }));
    EXPECT_EQ(BuildDataSourceTree(t, words, true).nodes[0].text, QStringLiteral("database variable(1)"));

    words[2] = QStringLiteral("日期");
    words[4] = QStringLiteral("计数器");
    tree = BuildDataSourceTree(t, words, false);
    EXPECT_EQ(tree.nodes[1].text, QStringLiteral("日期(2)"));
    ASSERT_EQ(tree.nodes[1].children.size(), 2u);
    EXPECT_EQ(tree.nodes[1].children[1].text, QStringLiteral("日期12"));
    EXPECT_EQ(tree.nodes[1].children[1].entry, 2);
    EXPECT_EQ(tree.nodes[1].children[1].imageIndex, 1);
    EXPECT_EQ(tree.nodes[3].children[0].text, QStringLiteral("计数器2"));
    EXPECT_EQ(tree.nodes[3].children[0].selectedIndex, 3);
    EXPECT_EQ(tree.nodes[0].children[0].text, QStringLiteral("Price"));
    EXPECT_EQ(tree.nodes[0].children[0].imageIndex, 0);
}

TEST(DataSourceTree, MenusAndDoubleClick)
{
    auto menu = DataSourceTreeMenu(0, -1);
    ASSERT_EQ(menu.size(), 1u);
    EXPECT_EQ(menu[0].message, TreeMessage::DataSourceDialog);

    menu = DataSourceTreeMenu(3, -1);
    ASSERT_EQ(menu.size(), 1u);
    EXPECT_EQ(menu[0].message, TreeMessage::AddVariable);
    EXPECT_EQ(menu[0].first, 3);

    menu = DataSourceTreeMenu(0, 4);
    ASSERT_EQ(menu.size(), 1u) << "database variables cannot be deleted from the tree";
    EXPECT_EQ(menu[0].message, TreeMessage::EditVariable);
    EXPECT_EQ(menu[0].first, 5);
    EXPECT_EQ(menu[0].second, 0);

    menu = DataSourceTreeMenu(2, 0);
    ASSERT_EQ(menu.size(), 2u);
    EXPECT_EQ(menu[1].message, TreeMessage::DeleteVariable);
    EXPECT_EQ(menu[1].first, 1);
    EXPECT_EQ(menu[1].second, 2);

    EXPECT_TRUE(DataSourceTreeMenu(5, -1).empty());
    EXPECT_EQ(DataSourceTreeDoubleClick(1, -1), std::nullopt);
    ASSERT_TRUE(DataSourceTreeDoubleClick(1, 2).has_value());
    EXPECT_EQ(DataSourceTreeDoubleClick(1, 2)->first, 3);
    EXPECT_EQ(TreeMenuPosition(QPoint(4, 5)), QPoint(4, 115));
}

} // namespace
} // namespace korvel
