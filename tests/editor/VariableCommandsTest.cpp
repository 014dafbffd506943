#include "DataTestSupport.h"

#include "editor/data/CounterForm.h"
#include "editor/data/DataPropertyDialog.h"
#include "editor/data/DataSourcePanel.h"
#include "editor/data/DataTexts.h"
#include "editor/data/DateTimeForms.h"
#include "editor/data/FormulaForm.h"
#include "editor/data/OutputFormatBox.h"
#include "variables/VariableEntries.h"

#include "ui_CounterForm.h"
#include "ui_DateForm.h"
#include "ui_FormulaForm.h"
#include "ui_OutputFormatBox.h"
#include "ui_TimeForm.h"

#include <QDockWidget>
#include <QMenu>

namespace korvel::test {
namespace {

QStringList treeTexts(TMainForm& form)
{
    QStringList out;
    auto* tree = qobject_cast<TDataSourcePanel*>(form.dataSourcePanel()->widget());
    for (int i = 0; tree && i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* top = tree->topLevelItem(i);
        out << top->text(0);
        for (int c = 0; c < top->childCount(); ++c)
            out << QStringLiteral("  ") + top->child(c)->text(0);
    }
    return out;
}

class VariableCommands : public DesignerTest {
protected:
    TChildForm* newLabel()
    {
        TChildForm* child = form->newEmptyLabel(TPageRecord::defaultRecord());
        child->dataCommands()->setClock(fixedNow);
        return child;
    }
};

// The user story: add one variable of each kind from the tree, shape them in their dialogs,
// bind a text and a barcode, see the values on the label, be refused deleting what is bound,
// save and reopen.
TEST_F(VariableCommands, AddEditBindDeleteSaveAndReopen)
{
    TChildForm* child = newLabel();
    LabelDocument& doc = child->document();
    for (int node : { 3, 1, 2, 4 }) // counter, date, time, formula: the tree's "kind - 1"
        EXPECT_EQ(form->sendCommand(Command::AddVariable, node), 1);
    EXPECT_EQ(EntryName(doc.variables, VariableKind::Counter, 1), "Counter1");
    EXPECT_EQ(EntryName(doc.variables, VariableKind::Formula, 1), "Formula1");
    EXPECT_TRUE(doc.modified);
    EXPECT_EQ(treeTexts(*form),
        QStringList({ QStringLiteral("数据库变量(0)"), QStringLiteral("日期(1)"), QStringLiteral("  日期1"),
            QStringLiteral("时间(1)"), QStringLiteral("  时间1"), QStringLiteral("计数器(1)"), QStringLiteral("  计数器1"),
            QStringLiteral("公式(1)"), QStringLiteral("  公式1") }));

    prompts.onDialog = onOk<TCounterForm>([](TCounterForm& d) {
        d.ui().EditInitial->setText(QStringLiteral("0007"));
        d.ui().EditLimit->setText(QStringLiteral("9999"));
    });
    EXPECT_EQ(form->sendCommand(Command::ModifyVariable, 1, 3), 1);
    EXPECT_EQ(ConstCounterEntry(*Entry(doc.variables, VariableKind::Counter, 1)).value(), "0007");

    prompts.onDialog = onOk<TDateForm>([](TDateForm& d) {
        d.ui().ListBoxFormat->setCurrentRow(5); // yyyy-mm-dd
        d.ui().SpinEditDay->setValue(1);
    });
    EXPECT_EQ(form->sendCommand(Command::ModifyVariable, 1, 1), 1);

    prompts.onDialog = onOk<TFormulaForm>([](TFormulaForm& d) {
        d.ui().EditConst->setText(QStringLiteral("A-"));
        d.ui().ButtonAddConst->click();
        // Available: Date1, Time1, Counter1 in table order; the counter goes after the constant.
        d.ui().ListBoxChosen->clearSelection();
        d.ui().ListBoxChosen->setCurrentRow(-1);
        d.ui().ListBoxAvailable->item(2)->setSelected(true);
        d.ui().ButtonAdd->click();
    });
    EXPECT_EQ(form->sendCommand(Command::ModifyVariable, 1, 4), 1);
    EXPECT_EQ(ConstFormulaEntry(*Entry(doc.variables, VariableKind::Formula, 1)).expression(), "<const>A-+Counter1");

    TOAText* text = addBoundText(doc, VariableKind::Formula, "Formula1");
    TOABarCode* bar = addBoundBarcode(doc, VariableKind::Counter, "Counter1");
    TOAText* date = addBoundText(doc, VariableKind::Date, "Date1");
    child->dataCommands()->refreshObjects();
    EXPECT_EQ(text->Text(), "A-0007");
    EXPECT_EQ(bar->Text(), "0007");
    EXPECT_EQ(date->Text(), "2024-03-06");

    // Bound, and named by the formula: both refusals, nothing changes.
    const VariableTables before = doc.variables;
    EXPECT_EQ(form->sendCommand(Command::DeleteVariable, 1, 3), 0);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages.back().text, QStringLiteral("该变量已经使用,不能删除!"));
    EXPECT_EQ(prompts.messages.back().title, QStringLiteral("提示"));
    EXPECT_EQ(form->sendCommand(Command::DeleteVariable, 1, 1), 0);
    EXPECT_EQ(doc.variables, before);
    // The time is free: it goes, and the tree follows.
    EXPECT_EQ(form->sendCommand(Command::DeleteVariable, 1, 2), 1);
    EXPECT_EQ(EntryCount(doc.variables, VariableKind::Time), 0);
    EXPECT_TRUE(treeTexts(*form).contains(QStringLiteral("时间(0)")));

    const QString path = QDir(home.path()).filePath(QStringLiteral("vars.kvl"));
    prompts.saveNames.push_back(path);
    ASSERT_EQ(form->sendCommand(Command::Save), 1);
    const VariableTables saved = doc.variables;
    ASSERT_TRUE(form->closeAll());

    TChildForm* reopened = form->openLabel(path);
    ASSERT_NE(reopened, nullptr);
    reopened->dataCommands()->setClock(fixedNow);
    EXPECT_EQ(reopened->document().variables, saved);
    EXPECT_FALSE(reopened->document().modified);
    const auto& objects = reopened->document().objects();
    ASSERT_EQ(objects.size(), 3u);
    EXPECT_EQ(objects[0]->VarName, "Formula1");
    EXPECT_EQ(static_cast<TOAText*>(objects[0].get())->Text(), "A-0007");
    EXPECT_EQ(static_cast<TOABarCode*>(objects[1].get())->Text(), "0007");
    EXPECT_TRUE(treeTexts(*form).contains(QStringLiteral("  计数器1")));
}

TEST_F(VariableCommands, TreeMenusAndDoubleClickSendTheCommands)
{
    TChildForm* child = newLabel();
    auto* tree = qobject_cast<TDataSourcePanel*>(form->dataSourcePanel()->widget());
    ASSERT_NE(tree, nullptr);
    // "增加(&A)" on the counters node, then "变量属性(&R)" by a double click (cancelled).
    QMenu* add = tree->menuFor(3, -1);
    ASSERT_EQ(add->actions().size(), 1);
    EXPECT_EQ(add->actions()[0]->text(), QStringLiteral("增加(&A)"));
    add->actions()[0]->trigger();
    EXPECT_EQ(EntryCount(child->document().variables, VariableKind::Counter), 1);
    int seen = 0;
    prompts.onDialog = [&](QDialog* d) {
        seen += dynamic_cast<TCounterForm*>(d) != nullptr;
        return false;
    };
    tree->activateNode(3, 0);
    EXPECT_EQ(seen, 1);
    tree->activateNode(3, -1); // a top node: nothing
    EXPECT_EQ(seen, 1);
    QMenu* db = tree->menuFor(0, -1);
    EXPECT_EQ(db->actions()[0]->text(), QStringLiteral("创建/修改查询(&C)"));
    QMenu* childMenu = tree->menuFor(3, 0);
    ASSERT_EQ(childMenu->actions().size(), 2);
    childMenu->actions()[1]->trigger(); // "删除(&D)"
    EXPECT_EQ(EntryCount(child->document().variables, VariableKind::Counter), 0);
}

TEST_F(VariableCommands, FullTableTakesNoMoreFromTheTree)
{
    TChildForm* child = newLabel();
    for (int i = 0; i < 99; ++i)
        ASSERT_EQ(form->sendCommand(Command::AddVariable, 1), 1);
    EXPECT_EQ(form->sendCommand(Command::AddVariable, 1), 0);
    EXPECT_EQ(EntryCount(child->document().variables, VariableKind::Date), 99);
    // Database variables come from the query, never from "增加".
    EXPECT_EQ(form->sendCommand(Command::AddVariable, 0), 0);
}

TEST_F(VariableCommands, CancelLeavesTheEntryAsItWas)
{
    TChildForm* child = newLabel();
    form->sendCommand(Command::AddVariable, 3);
    const QByteArray before = *Entry(child->document().variables, VariableKind::Counter, 1);
    prompts.onDialog = [](QDialog* d) {
        static_cast<TCounterForm*>(d)->ui().EditInitial->setText(QStringLiteral("5"));
        d->reject();
        return false;
    };
    EXPECT_EQ(form->sendCommand(Command::ModifyVariable, 1, 3), 0);
    EXPECT_EQ(*Entry(child->document().variables, VariableKind::Counter, 1), before);
}

// --- the dialogs on their own -----------------------------------------------------------------

class VariableDialogs : public ::testing::Test {
protected:
    void SetUp() override { SetPrompts(&prompts); }
    void TearDown() override { SetPrompts(nullptr); }
    FakePrompts prompts;
};

TEST_F(VariableDialogs, CounterTypeDefaultsChecksAndRefusalKeepTheDialogOpen)
{
    TCounterForm d(NewEntry(VariableKind::Counter, "Counter1"), QStringLiteral("计数器1"));
    auto& ui = d.ui();
    ui.ComboBoxType->setCurrentIndex(1);
    emit ui.ComboBoxType->activated(1);
    EXPECT_EQ(ui.EditInitial->text(), QStringLiteral("A"));
    EXPECT_EQ(ui.EditLimit->text(), QStringLiteral("Z"));
    EXPECT_EQ(ui.LabelHint->text(), QStringLiteral("英文字母A-Z"));

    // A wider initial value widens the limit; the fill width follows.
    ui.EditInitial->setText(QStringLiteral("ab"));
    emit ui.EditInitial->textEdited(QStringLiteral("ab"));
    EXPECT_EQ(ui.EditInitial->text(), QStringLiteral("AB"));
    EXPECT_EQ(ui.EditLimit->text(), QStringLiteral("ZZ"));

    ui.EditLimit->clear();
    d.accept();
    EXPECT_NE(d.result(), QDialog::Accepted);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("重置条件不正确!"));
    EXPECT_EQ(ConstCounterEntry(d.entry()).value(), "0"); // nothing stored

    ui.EditLimit->setText(QStringLiteral("ZZ"));
    ui.EditReset->setText(QStringLiteral("1A")); // a digit in a letter counter
    d.accept();
    EXPECT_NE(d.result(), QDialog::Accepted);
    EXPECT_EQ(prompts.messages.back().text, QStringLiteral("重置值含有不属于该类型的字符!"));
    EXPECT_EQ(ConstCounterEntry(d.entry()).value(), "0");

    ui.EditReset->setText(QStringLiteral("AA"));
    d.accept();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    const ConstCounterEntry e(d.entry());
    EXPECT_EQ(e.type(), CounterType::Letters);
    EXPECT_EQ(e.value(), "AB");
    EXPECT_EQ(e.limit(), "ZZ");
    EXPECT_EQ(e.name(), "Counter1");
}

TEST_F(VariableDialogs, CounterMaxLengthLeftEmptyIsTold)
{
    TCounterForm d(NewEntry(VariableKind::Counter, "Counter1"), QString());
    d.ui().OutputFormat->ui().EditMaxLength->clear();
    d.ui().OutputFormat->leaveFields();
    EXPECT_EQ(d.ui().OutputFormat->ui().EditMaxLength->text(), QStringLiteral("20"));
    ASSERT_FALSE(prompts.messages.empty());
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("最大长度不能为空!"));
    // Typing more than 1000 turns into 200 at once.
    d.ui().OutputFormat->ui().EditMaxLength->setText(QStringLiteral("1001"));
    emit d.ui().OutputFormat->ui().EditMaxLength->textEdited(QStringLiteral("1001"));
    EXPECT_EQ(d.ui().OutputFormat->ui().EditMaxLength->text(), QStringLiteral("200"));
}

TEST_F(VariableDialogs, DateAndTimePreviewsAndStoredOffsets)
{
    const DateTimePatterns patterns = DateTimePatterns::builtIn();
    TDateForm date(NewEntry(VariableKind::Date, "Date1"), QStringLiteral("日期1"), patterns, fixedNow);
    EXPECT_EQ(date.ui().ListBoxFormat->count(), 7);
    EXPECT_EQ(date.ui().ListBoxFormat->item(5)->text(), QStringLiteral("2024-03-05"));
    date.ui().ListBoxFormat->setCurrentRow(5);
    date.ui().SpinEditMonth->setValue(-3);
    EXPECT_EQ(date.ui().LabelPreviewValue->text(), QStringLiteral("2023-12-05"));
    date.accept();
    const ConstDateEntry d(date.entry());
    EXPECT_EQ(d.patternIndex(), 5);
    EXPECT_EQ(d.monthOffset(), -3);
    EXPECT_EQ(d.name(), "Date1");

    TTimeForm time(NewEntry(VariableKind::Time, "Time1"), QStringLiteral("时间1"), patterns, fixedNow);
    time.ui().ListBoxFormat->setCurrentRow(4); // h':'n
    time.ui().SpinEditHour->setValue(10);
    EXPECT_EQ(time.ui().LabelPreviewValue->text(), QStringLiteral("0:7"));
    time.accept();
    EXPECT_EQ(ConstTimeEntry(time.entry()).hourOffset(), 10);
}

TEST_F(VariableDialogs, FormulaListsConstantsOrderAndRefusals)
{
    VariableTables tables;
    tables.dates.push_back(NewEntry(VariableKind::Date, "Date1"));
    tables.counters.push_back(NewEntry(VariableKind::Counter, "Counter1"));
    tables.formulas.push_back(NewEntry(VariableKind::Formula, "Formula1"));
    TFormulaForm d(tables, tables.formulas[0], QStringLiteral("公式1"));
    auto& ui = d.ui();
    ASSERT_EQ(ui.ListBoxAvailable->count(), 2); // formulas are not offered
    ui.ButtonAddAll->click();
    ui.EditConst->setText(QStringLiteral("LOT"));
    ui.ListBoxChosen->setCurrentRow(0);
    ui.ButtonAddConst->click(); // at the current place
    EXPECT_EQ(d.parts().expression(), "<const>LOT+Date1+Counter1");
    EXPECT_EQ(ui.LabelPreviewValue->text(), QStringLiteral("LOT+日期1+计数器1"));
    ui.ListBoxChosen->setCurrentRow(2);
    ui.ListBoxChosen->item(2)->setSelected(true);
    ui.ButtonUp->click();
    EXPECT_EQ(d.parts().expression(), "<const>LOT+Counter1+Date1");
    ui.ListBoxChosen->clearSelection();
    ui.ListBoxChosen->setCurrentRow(0);
    ui.ButtonRemoveConst->click();
    EXPECT_EQ(ui.EditConst->text(), QStringLiteral("LOT"));
    EXPECT_EQ(d.parts().expression(), "Counter1+Date1");

    // A constant holding "+" splits into a part that names nothing: refused, dialog stays.
    ui.EditConst->setText(QStringLiteral("A+B"));
    ui.ListBoxChosen->setCurrentRow(-1);
    ui.ButtonAddConst->click();
    d.accept();
    EXPECT_NE(d.result(), QDialog::Accepted);
    ASSERT_FALSE(prompts.messages.empty());
    EXPECT_EQ(prompts.messages.back().text, QStringLiteral("公式不正确!"));
    EXPECT_TRUE(ConstFormulaEntry(d.entry()).expression().isEmpty());
}

TEST_F(VariableDialogs, DatabaseVariableWarnsButStores)
{
    QByteArray entry = NewEntry(VariableKind::Database, "Name");
    DatabaseFieldEntry(entry).setTrim(true);
    TDataPropertyForm d(entry, "Alice");
    EXPECT_TRUE(d.findChild<QWidget*>(QStringLiteral("CheckBoxTrim"))->isHidden());
    auto& f = d.findChild<TOutputFormatBox*>(QStringLiteral("OutputFormat"))->ui();
    f.EditMaxLength->setText(QStringLiteral("5"));
    f.EditPrefix->setText(QStringLiteral("ABCDEF"));
    d.accept();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("最大长度小于前缀、后缀与填充长度之和!"));
    const ConstDatabaseFieldEntry e(d.entry());
    EXPECT_EQ(e.outputFormat().maxLength, 5);
    EXPECT_EQ(e.outputFormat().prefix, "ABCDEF");
    EXPECT_FALSE(e.trim());
}

// --- patterns of the language files -------------------------------------------------------------

TEST(LanguagePatterns, EveryLanguageFileCarriesTheDateAndTimePatterns)
{
    const QString dir = dataDir() + QStringLiteral("/Language/");
    const DateTimePatterns builtIn = DateTimePatterns::builtIn();
    for (const char* name : { "Simplified", "English", "Traditional", "Traditional2" }) {
        const DateTimePatterns p = LanguagePatternsIn(dir + QLatin1String(name) + QStringLiteral(".lan"));
        ASSERT_EQ(p.date.size(), 7) << name;
        ASSERT_EQ(p.time.size(), 8) << name;
        for (const QString& s : p.date + p.time)
            EXPECT_FALSE(s.isEmpty()) << name;
    }
    EXPECT_EQ(LanguagePatternsIn(dir + QStringLiteral("Simplified.lan")).date, builtIn.date);
    EXPECT_EQ(LanguagePatternsIn(dir + QStringLiteral("Simplified.lan")).time, builtIn.time);
    const DateTimePatterns english = LanguagePatternsIn(dir + QStringLiteral("English.lan"));
    EXPECT_EQ(FormatDateTimePattern(english.datePattern(0), fixedNow()), QStringLiteral("05/03/2024"));
}

TEST(LanguagePatterns, MissingSectionsUseTheBuiltInListsAndAMissingKeyIsEmpty)
{
    QTemporaryDir dir;
    const QString none = dir.filePath(QStringLiteral("None.lan"));
    ASSERT_TRUE(writeFile(none, "[All]\ntishi=x\n"));
    EXPECT_EQ(LanguagePatternsIn(none).date, DateTimePatterns::builtIn().date);
    const QString partial = dir.filePath(QStringLiteral("Partial.lan"));
    ASSERT_TRUE(writeFile(partial, "[Common1]\nmessage1=yyyy\n"));
    const DateTimePatterns p = LanguagePatternsIn(partial);
    EXPECT_EQ(p.datePattern(0), QStringLiteral("yyyy"));
    EXPECT_TRUE(p.datePattern(2).isEmpty()); // the system's short date and long time
    EXPECT_EQ(p.time, DateTimePatterns::builtIn().time);
}

TEST_F(VariableCommands, DateVariablesFollowTheLanguageFile)
{
    SetCurrentLanguage(1); // English
    TChildForm* child = newLabel();
    form->sendCommand(Command::AddVariable, 1);
    TOAText* text = addBoundText(child->document(), VariableKind::Date, "Date1");
    child->dataCommands()->refreshObjects();
    EXPECT_EQ(text->Text(), "05/03/2024");
}

} // namespace
} // namespace korvel::test
