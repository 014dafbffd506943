// The print preview: a page is what the virtual printer prints from the job's own stream, pages
// follow the records of a variable job, and the document previewed is left as it was.

#include "JobTestSupport.h"

#include "persistence/LabelFile.h"
#include "printing/virtual/JobPreview.h"
#include "support/TestSupport.h"
#include "variables/CounterVariable.h"
#include "variables/VariableEntries.h"
#include "variables/VariableModel.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace korvel;
using namespace korvel::test;

namespace {

PrintJobOptions options()
{
    PrintJobOptions o;
    o.commands.PrinterIndex = 1;
    o.commands.DrawingMode = 1;
    return o;
}

} // namespace

TEST(JobPreview, APageIsWhatThePrinterPrintsFromTheJobStream)
{
    LabelDocument doc;
    ASSERT_TRUE(ReadLabelFile(dataDir() + QStringLiteral("/Samples/Shipping-100x150.kvl"), doc).opened());
    std::unique_ptr<LabelDocument> copy = CopyDocument(doc);
    ASSERT_NE(copy, nullptr);
    PreviewRequest request;
    request.count = 3;
    const PreviewPage page = PreviewJobPage(*copy, nullptr, options(), request, 1);
    ASSERT_FALSE(page.image.isNull());
    EXPECT_TRUE(page.result.ok()) << page.result.text().toStdString();
    EXPECT_EQ(page.pages, 3) << "one label per page, three labels";

    // The same job sent to a port and printed virtually gives the same page.
    RecordingPort port;
    JobTargets targets;
    targets.printer = &port;
    std::unique_ptr<LabelDocument> other = CopyDocument(doc);
    PrintJob job(*other, nullptr, targets, options());
    ASSERT_TRUE(job.PrintLabels(1, 1, 1).ok());
    VirtualPrinterOptions printer;
    printer.dpi = doc.printer.dpi();
    const VirtualPrintout printed = PrintVirtually(port.stream(), printer);
    ASSERT_FALSE(printed.formats.isEmpty());
    EXPECT_EQ(page.image, printed.formats.front().image);
}

TEST(JobPreview, PagesFollowTheRecordsAndLeaveTheDocumentAlone)
{
    auto doc = NewPrintDocument(GridPage(400, 300, 2, 1), WorkedExampleSetting());
    TOAText* t = AddPrinterText(*doc, "X", QRect(4, 4, 20, 10));
    t->VarName = "NAME";
    t->VarType = int(VariableKind::Database);
    doc->variables.database.push_back(NewEntry(VariableKind::Database, "NAME"));
    TOAText* c = AddPrinterText(*doc, "0", QRect(4, 40, 20, 10));
    c->VarName = "Counter1";
    c->VarType = int(VariableKind::Counter);
    doc->variables.counters.push_back(NewEntry(VariableKind::Counter, "Counter1"));
    CounterEntry(&doc->variables.counters.back()).setValue("1");
    CounterEntry(&doc->variables.counters.back()).setLimit("9999");

    MemoryRecords records({ "NAME" }, { { "A" }, { "B" }, { "C" }, { "D" }, { "E" } });
    PreviewRequest request;
    request.count = 5;
    request.copies = 1;
    std::unique_ptr<LabelDocument> copy = CopyDocument(*doc);
    ASSERT_NE(copy, nullptr);
    PreviewPage page = PreviewJobPage(*copy, &records, options(), request, 2);
    EXPECT_EQ(page.pages, 3) << "two labels a page, five records";
    EXPECT_EQ(page.page, 2);
    EXPECT_EQ(page.firstRecord, 3);
    ASSERT_FALSE(page.image.isNull());
    page = PreviewJobPage(*copy, &records, options(), request, 99);
    EXPECT_EQ(page.page, 3) << "clamped to the last page";
    EXPECT_EQ(page.firstRecord, 5);

    // The label being edited keeps its counter: the preview stepped only the copy's.
    EXPECT_EQ(ConstCounterEntry(&doc->variables.counters.back()).value(), QByteArray("1"));
    EXPECT_FALSE(doc->modified);
}
