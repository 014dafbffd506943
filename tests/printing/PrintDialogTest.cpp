#include "JobTestSupport.h"

#include "printing/job/BoundObjects.h"
#include "printing/job/PrintDialog.h"
#include "variables/VariableModel.h"

#include <gtest/gtest.h>

using namespace korvel;
using namespace korvel::test;

TEST(PrintDialog, LabelsFitPage)
{
    struct Row {
        int paperW, paperH, left, right, top, bottom, w, h, cols, rows, space, interval;
        bool fits;
    };
    const Row rows[] = {
        { 600, 400, 0, 0, 0, 0, 600, 400, 1, 1, 0, 0, true },
        { 620, 430, 0, 0, 0, 0, 300, 200, 2, 2, 20, 30, true },
        { 619, 430, 0, 0, 0, 0, 300, 200, 2, 2, 20, 30, false }, // one tenth too narrow
        { 620, 430, 0, 0, 10, 0, 300, 200, 2, 2, 20, 30, false }, // the top margin takes room
        { 620, 430, 0, 0, 0, 0, 300, 200, 0, 2, 20, 30, false }, // no column: nothing fits
        { 620, 430, 0, 0, 0, 0, 300, 200, 2, 0, 20, 30, false },
    };
    for (const Row& r : rows) {
        TPageRecord p;
        p.PaperWidth = std::uint16_t(r.paperW);
        p.PaperHeight = std::uint16_t(r.paperH);
        p.PaperLeftMargin = std::uint16_t(r.left);
        p.PaperRightMargin = std::uint16_t(r.right);
        p.PaperTopMargin = std::uint16_t(r.top);
        p.PaperBottomMargin = std::uint16_t(r.bottom);
        p.LabelWidth = std::uint16_t(r.w);
        p.LabelHeight = std::uint16_t(r.h);
        p.LabelColumn = std::uint16_t(r.cols);
        p.LabelRow = std::uint16_t(r.rows);
        p.LabelSpace = std::uint16_t(r.space);
        p.LabelInterval = std::uint16_t(r.interval);
        EXPECT_EQ(LabelsFitPage(p), r.fits) << r.paperW << "x" << r.paperH << " " << r.cols << "x" << r.rows;
    }
}

TEST(PrintDialog, PrintCommandChecks)
{
    auto doc = NewPrintDocument(GridPage(600, 400, 1, 1), WorkedExampleSetting());
    std::optional<MessageText> m = CheckPrintCommand(*doc);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->key, "message6");
    EXPECT_TRUE(m->defaultText.isEmpty());
    AddPrinterText(*doc, "A", QRect(1, 1, 10, 10));
    EXPECT_FALSE(CheckPrintCommand(*doc));
    TPageRecord tooWide = doc->page();
    tooWide.LabelWidth = 700;
    doc->setPage(tooWide);
    m = CheckPrintCommand(*doc);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->key, "message5");
}

TEST(PrintDialog, StoredNumbersAndStartRecord)
{
    PrintNumberTable table;
    EXPECT_EQ(InitialPrintNumbers(table.get(0), false, 7).count, 1); // nothing stored counts as 1
    table.store(3, { 25, 4, "QTY" });
    table.store(80, { 9, 9, {} }); // outside the table: ignored
    const PrintNumbers n = InitialPrintNumbers(table.get(3), true, 7);
    EXPECT_EQ(n.count, 25);
    EXPECT_EQ(n.copies, 4);
    EXPECT_EQ(n.startRecord, 7);
    EXPECT_EQ(InitialPrintNumbers(table.get(3), false, 7).startRecord, 1);
    EXPECT_EQ(table.get(80).count, 0);
    EXPECT_EQ(table.get(-1).count, 0);
}

TEST(PrintDialog, EntriesAndTotal)
{
    struct Row {
        const char* typed;
        const char* count;
        const char* copies;
    };
    const Row rows[] = {
        { "12", "12", "12" },
        { "0", "0", "0" },
        { "-3", "1", "1" },
        { "abc", "1", "1" },
        { "", "1", "1" },
        { "99999", "99999", "99999" },
        { "100000", "100000", "1" },
        { "1e3", "1", "1" },
        { "99999999999999999999", "1", "1" },
    };
    for (const Row& r : rows) {
        EXPECT_EQ(SanitizeCountEntry(r.typed), QString::fromLatin1(r.count)) << r.typed;
        EXPECT_EQ(SanitizeCopiesEntry(r.typed), QString::fromLatin1(r.copies)) << r.typed;
    }
    EXPECT_EQ(TotalText("12", "3"), QString("36"));
    EXPECT_EQ(TotalText("-2", "3"), QString("-6"));
    EXPECT_FALSE(TotalText("12", "x"));
    EXPECT_FALSE(TotalText("9223372036854775807", "2"));
}

TEST(PrintDialog, LayoutByCase)
{
    PrintDialogState s = OpenPrintDialog(false, false, false, {}, 3);
    EXPECT_EQ(s.layout, PrintDialogLayout::CountOnly);
    EXPECT_EQ(s.size, QSize(260, 125));
    EXPECT_FALSE(s.copiesVisible);

    s = OpenPrintDialog(true, false, false, {}, 3);
    EXPECT_EQ(s.layout, PrintDialogLayout::Variables);
    EXPECT_EQ(s.size, QSize(264, 170));
    EXPECT_TRUE(s.copiesEnabled);
    EXPECT_TRUE(s.totalVisible);
    EXPECT_EQ(s.copiesText, "3");
    EXPECT_FALSE(s.disconnectEnabled);

    s = OpenPrintDialog(true, true, false, "QTY", 3);
    EXPECT_EQ(s.layout, PrintDialogLayout::Database);
    EXPECT_TRUE(s.startVisible);
    EXPECT_TRUE(s.startEnabled);
    EXPECT_TRUE(s.copiesLabelFromLanguage);
    EXPECT_EQ(s.copiesText, "1"); // reset in the database case
    EXPECT_EQ(s.quantityField, "QTY");

    ChooseQuantityField(s, "AMOUNT");
    EXPECT_FALSE(s.copiesEnabled);
    EXPECT_FALSE(s.totalVisible);
    EXPECT_TRUE(s.disconnectEnabled);
    DisconnectQuantityField(s);
    EXPECT_TRUE(s.copiesEnabled);
    EXPECT_TRUE(s.totalVisible);
    EXPECT_EQ(s.copiesText, "1");
    EXPECT_EQ(s.quantityField, "AMOUNT");

    // Opened again with the quantity-from-field flag set: copies stay disabled.
    s = OpenPrintDialog(true, true, true, "AMOUNT", 1);
    EXPECT_FALSE(s.copiesEnabled);
    EXPECT_TRUE(s.disconnectEnabled);
}

TEST(PrintDialog, AcceptAndLog)
{
    PrintDialogFields f;
    f.start = "4";
    f.count = "10";
    f.copies = "3";
    f.saveLog = true;
    f.writeToFile = true;
    PrintDialogOutcome o = AcceptPrintDialog(f, "first");
    EXPECT_EQ(o.startRecord, 4);
    EXPECT_EQ(o.count, 10);
    EXPECT_EQ(o.copies, 3);
    EXPECT_TRUE(o.writeToFile);
    EXPECT_FALSE(o.quantityFromField);
    EXPECT_FALSE(o.copiesMessage);
    ASSERT_TRUE(o.log);
    EXPECT_EQ(o.log->startRecord, "4");
    EXPECT_EQ(o.log->firstContent, "first");
    EXPECT_EQ(o.log->recordCount, 10);
    EXPECT_EQ(o.log->copies, 3);
    EXPECT_EQ(o.stored.count, 10);
    EXPECT_EQ(o.stored.copies, 3);

    f.copies = "lots";
    f.saveLog = false;
    f.copiesEnabled = false;
    o = AcceptPrintDialog(f, {});
    ASSERT_TRUE(o.copiesMessage);
    EXPECT_EQ(o.copiesMessage->section, "PrintFormInside");
    EXPECT_EQ(o.copiesMessage->key, "message1");
    EXPECT_EQ(o.copies, 1);
    EXPECT_TRUE(o.quantityFromField);
    EXPECT_FALSE(o.log);

    EXPECT_EQ(CancelPrintDialog(f).count, 10);
}

TEST(PrintDialog, HasVariablesAndDatabase)
{
    auto doc = NewPrintDocument(GridPage(600, 400, 1, 1), WorkedExampleSetting());
    TOAText* t = AddPrinterText(*doc, "A", QRect(1, 1, 10, 10));
    EXPECT_FALSE(HasVariables(*doc));
    t->VarName = "fixed>text";
    t->VarType = int(VariableKind::Constant);
    EXPECT_FALSE(HasVariables(*doc)); // fixed content is no variable
    t->VarType = int(VariableKind::Date);
    EXPECT_TRUE(HasVariables(*doc));
    EXPECT_FALSE(HasDatabase(*doc));
    doc->variables.database.push_back(NewEntry(VariableKind::Database, "NAME"));
    EXPECT_TRUE(HasDatabase(*doc));
}
