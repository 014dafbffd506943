#include "JobTestSupport.h"

#include "printing/job/BoundObjects.h"
#include "printing/job/PrintJob.h"
#include "printing/ports/FilePort.h"
#include "variables/VariableEntries.h"
#include "variables/VariableModel.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace korvel;
using namespace korvel::test;

namespace {

TPrinterSetting Setting(int feedType)
{
    TPrinterSetting s = WorkedExampleSetting();
    s.FeedType = std::uint8_t(feedType);
    return s;
}

/// A document with one printer-font text "X" and an outline box on every label.
std::unique_ptr<LabelDocument> PlainDocument(const TPageRecord& page, int feedType)
{
    auto doc = NewPrintDocument(page, Setting(feedType));
    AddPrinterText(*doc, "X", QRect(4, 4, 20, 10));
    AddBox(*doc, 1, 1, 10, 5);
    return doc;
}

/// A document whose text shows the database field NAME (and, when asked, a counter beside it).
std::unique_ptr<LabelDocument> VariableDocument(const TPageRecord& page, int feedType, bool counter = false)
{
    auto doc = NewPrintDocument(page, Setting(feedType));
    TOAText* t = AddPrinterText(*doc, "X", QRect(4, 4, 20, 10));
    t->VarName = "NAME";
    t->VarType = int(VariableKind::Database);
    doc->variables.database.push_back(NewEntry(VariableKind::Database, "NAME"));
    if (counter) {
        TOAText* c = AddPrinterText(*doc, "0", QRect(30, 4, 20, 10));
        c->VarName = "Counter1";
        c->VarType = int(VariableKind::Counter);
        doc->variables.counters.push_back(NewEntry(VariableKind::Counter, "Counter1"));
        CounterEntry e(&doc->variables.counters.back());
        e.setValue("1");
        e.setLimit("9999");
    }
    return doc;
}

/// A document whose only variable is a counter (no database).
std::unique_ptr<LabelDocument> CounterDocument(const TPageRecord& page, int feedType, int labelsPerStep = 1)
{
    auto doc = NewPrintDocument(page, Setting(feedType));
    TOAText* c = AddPrinterText(*doc, "0", QRect(4, 4, 20, 10));
    c->VarName = "Counter1";
    c->VarType = int(VariableKind::Counter);
    doc->variables.counters.push_back(NewEntry(VariableKind::Counter, "Counter1"));
    CounterEntry e(&doc->variables.counters.back());
    e.setValue("1");
    e.setLimit("9999");
    e.setLabelsPerStep(labelsPerStep);
    return doc;
}

MemoryRecords Names(const QList<QByteArray>& names)
{
    QList<QList<QByteArray>> rows;
    for (const QByteArray& n : names)
        rows.append({ n });
    return MemoryRecords({ "NAME" }, rows);
}

/// The stream as a list of events: "setup", "clear", "graphic", "start", "T:<text>",
/// "cut:<n>", "qty:<n>", "feed<nn>"; pieces of no interest are left out.
QStringList Events(const QList<QByteArray>& pieces)
{
    QStringList out;
    for (const QByteArray& p : pieces) {
        if (p == stx("m"))
            out << "setup";
        else if (p == stx("qA"))
            out << "clear";
        else if (p.startsWith(stx("IAf")))
            out << "graphic";
        else if (p.startsWith(stx("c")))
            out << "start";
        else if (p.startsWith(stx("j230")))
            out << QStringLiteral("feed%1").arg(QString::fromLatin1(p.mid(5, 2)));
        else if (p.size() > 16 && p.startsWith("1011000") && p.endsWith('\r'))
            out << QStringLiteral("T:%1").arg(QString::fromLatin1(p.mid(15).chopped(1)));
        else if (p.startsWith(":") && p.size() == 6)
            out << QStringLiteral("cut:%1").arg(p.mid(1, 4).toInt());
        else if (p.startsWith("Q") && p.size() == 6)
            out << QStringLiteral("qty:%1").arg(p.mid(1, 4).toInt());
    }
    return out;
}

QStringList Filter(const QStringList& events, const QString& prefix)
{
    QStringList out;
    for (const QString& e : events)
        if (e.startsWith(prefix))
            out << e;
    return out;
}

struct Harness {
    RecordingPort printer;
    RecordingPort file;
    PrintJobOptions options;
    JobTargets targets;

    Harness()
    {
        targets.printer = &printer;
        targets.file = &file;
    }
    JobResult run(LabelDocument& doc, JobRecords* records, int start, std::int64_t count, int copies)
    {
        PrintJob job(doc, records, targets, options);
        return job.PrintLabels(start, count, copies);
    }
    RecordingPort& target() { return targets.writeToFile ? file : printer; }
};

} // namespace

// Seven plain labels on a 2 × 2 grid: one format for the full page and one for the rest,
// filled from the top (one full row and one label of the second row).
TEST(Job, PlainGridWithRest)
{
    for (const int feed : { 2, 5 }) {
        SCOPED_TRACE(feed);
        auto doc = PlainDocument(GridPage(300, 200, 2, 2, 20, 30), feed);
        Harness h;
        const JobResult r = h.run(*doc, nullptr, 1, 7, 1);
        ASSERT_TRUE(r.ok()) << r.text().toStdString();
        EXPECT_EQ(r.labelsSent, 7);
        const QStringList ev = Events(h.printer.pieces);
        EXPECT_EQ(Filter(ev, "start").size(), 2);
        EXPECT_EQ(Filter(ev, "T:").size(), 4 + 3);
        // A single full page: quantity 1, cut count 1 whatever the feed; the rest always 1 and 1.
        EXPECT_EQ(Filter(ev, "cut:"), QStringList({ "cut:1", "cut:1" }));
        EXPECT_EQ(Filter(ev, "qty:"), QStringList({ "qty:1", "qty:1" }));
        ExpectMatchesStreamGolden(h.printer.stream(), feed == 5 ? "plain_2x2_7_feed5" : "plain_2x2_7");
        // The rest's labels at columns 1, 2 of row 1 and column 1 of row 2: X offsets 0 and
        // round(320 × 203 / 254) = 256, Y offsets 0 and round(230 × 203 / 254) = 184.
        QList<QByteArray> restTexts;
        bool inRest = false;
        int starts = 0;
        for (const QByteArray& p : h.printer.pieces) {
            if (p.startsWith(stx("c")))
                inRest = ++starts == 2;
            else if (inRest && p.startsWith("1011000"))
                restTexts << p.mid(7, 8);
        }
        ASSERT_EQ(restTexts.size(), 3);
        const int row1 = restTexts[0].left(4).toInt();
        EXPECT_EQ(restTexts[0].mid(4).toInt() + 256, restTexts[1].mid(4).toInt());
        EXPECT_EQ(restTexts[1].left(4).toInt(), row1);
        EXPECT_EQ(restTexts[2].left(4).toInt(), row1 - 184);
        EXPECT_EQ(restTexts[2].mid(4), restTexts[0].mid(4));
    }
}

TEST(Job, PlainFullPagesTravelAsOneFormatWithTheirQuantity)
{
    auto doc = PlainDocument(GridPage(300, 200, 2, 2), 4);
    Harness h;
    ASSERT_TRUE(h.run(*doc, nullptr, 1, 6, 2).ok()); // 12 labels = 3 pages
    const QStringList ev = Events(h.printer.pieces);
    EXPECT_EQ(Filter(ev, "qty:"), QStringList({ "qty:3" }));
    EXPECT_EQ(Filter(ev, "cut:"), QStringList({ "cut:3" }));
    EXPECT_EQ(Filter(ev, "T:").size(), 4);
}

// More full pages than one quantity field can say go out as several formats.
TEST(Job, PlainQuantityAbove9999IsSplit)
{
    auto doc = PlainDocument(GridPage(300, 200, 1, 1), 5);
    Harness h;
    const JobResult r = h.run(*doc, nullptr, 1, 12000, 1);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.labelsSent, 12000);
    const QStringList ev = Events(h.printer.pieces);
    EXPECT_EQ(Filter(ev, "qty:"), QStringList({ "qty:9999", "qty:2001" }));
    EXPECT_EQ(Filter(ev, "cut:"), QStringList({ "cut:9999", "cut:2001" }));
}

TEST(Job, CountOfZeroPrintsNothingAndOpensNoPort)
{
    auto doc = PlainDocument(GridPage(300, 200, 2, 2), 2);
    Harness h;
    const JobResult r = h.run(*doc, nullptr, 1, 0, 1);
    EXPECT_EQ(r.outcome, JobOutcome::NothingToPrint);
    EXPECT_EQ(h.printer.opens, 0);
    EXPECT_TRUE(h.printer.pieces.isEmpty());

    auto var = VariableDocument(GridPage(300, 200, 1, 1), 2);
    MemoryRecords rec = Names({ "A" });
    EXPECT_EQ(h.run(*var, &rec, 1, 0, 3).outcome, JobOutcome::NothingToPrint);
    EXPECT_EQ(h.printer.opens, 0);
}

TEST(Job, GridWithoutCellsIsRefusedBeforeThePortOpens)
{
    auto doc = PlainDocument(GridPage(300, 200, 0, 2), 2);
    Harness h;
    const JobResult r = h.run(*doc, nullptr, 1, 5, 1);
    EXPECT_EQ(r.outcome, JobOutcome::NoLabelGrid);
    EXPECT_EQ(h.printer.opens, 0);
}

// Three records, two copies each, one label per page: six formats, the record moving after
// labels 2, 4 and 6.
TEST(Job, VariableRecordsWithCopies)
{
    auto doc = VariableDocument(GridPage(300, 200, 1, 1), 2);
    MemoryRecords rec = Names({ "ALPHA", "BETA", "GAMMA" });
    Harness h;
    const JobResult r = h.run(*doc, &rec, 1, 3, 2);
    ASSERT_TRUE(r.ok()) << r.text().toStdString();
    EXPECT_EQ(r.labelsSent, 6);
    const QStringList ev = Events(h.printer.pieces);
    EXPECT_EQ(Filter(ev, "T:"), QStringList({ "T:ALPHA", "T:ALPHA", "T:BETA", "T:BETA", "T:GAMMA", "T:GAMMA" }));
    EXPECT_EQ(Filter(ev, "start").size(), 6);
    EXPECT_EQ(Filter(ev, "clear").size(), 6); // graphics before every page
    EXPECT_EQ(Filter(ev, "qty:"), QStringList(6, "qty:1"));
    EXPECT_EQ(rec.moves, 3);
    EXPECT_EQ(rec.recordNumber(), 1); // back on the first record
    ExpectMatchesStreamGolden(h.printer.stream(), "variable_3x2_1x1");
    // The design surface shows the current (first) record afterwards.
    EXPECT_EQ(static_cast<const TOAText&>(*doc->object(0)).Text(), QByteArray("ALPHA"));
}

TEST(Job, VariableStartRecordSkipsRecords)
{
    auto doc = VariableDocument(GridPage(300, 200, 1, 1), 2);
    MemoryRecords rec = Names({ "A", "B", "C", "D" });
    Harness h;
    ASSERT_TRUE(h.run(*doc, &rec, 3, 2, 1).ok());
    EXPECT_EQ(Filter(Events(h.printer.pieces), "T:"), QStringList({ "T:C", "T:D" }));
}

// Three full pages with FeedType 4: "more pages" before page 1 and "last page" before page 3;
// with a rest, "more pages" precedes the last full page and "last page" the rest.
TEST(Job, VariableFeedModeCommands)
{
    struct Case {
        int labels;
        QStringList expected;
        const char* golden;
    };
    const Case cases[] = {
        { 6, { "feed70", "start", "start", "feed50", "start" }, "variable_feed4_3pages" },
        { 7, { "feed70", "start", "start", "feed70", "start", "feed50", "start" }, "variable_feed4_3pages_rest" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.labels);
        auto doc = CounterDocument(GridPage(300, 200, 2, 1), 4);
        Harness h;
        const JobResult r = h.run(*doc, nullptr, 1, c.labels, 1);
        ASSERT_TRUE(r.ok()) << r.text().toStdString();
        QStringList ev;
        for (const QString& e : Events(h.printer.pieces))
            if (e.startsWith("feed") || e == "start")
                ev << e;
        EXPECT_EQ(ev, c.expected);
        // Full pages carry the page count as cut count, the rest 1.
        const QStringList cuts = Filter(Events(h.printer.pieces), "cut:");
        EXPECT_EQ(cuts.mid(0, 3), QStringList(3, "cut:3"));
        if (c.labels == 7) {
            EXPECT_EQ(cuts.value(3), "cut:1");
        }
        ExpectMatchesStreamGolden(h.printer.stream(), QString::fromLatin1(c.golden));
    }
}

// A job shorter than one page still stores its graphics before the format that places them.
TEST(Job, VariableRestOnlyDownloadsGraphics)
{
    auto doc = CounterDocument(GridPage(300, 200, 2, 2), 2);
    AddBox(*doc, 1, 1, 5, 5, 1);
    Harness h;
    ASSERT_TRUE(h.run(*doc, nullptr, 1, 3, 1).ok());
    const QStringList ev = Events(h.printer.pieces);
    ASSERT_GE(ev.indexOf("start"), 0);
    EXPECT_GE(ev.indexOf("graphic"), 0);
    EXPECT_LT(ev.indexOf("graphic"), ev.indexOf("start"));
}

// One running number for the counters: the ordinal of the record just printed. With two labels
// per step the counter moves after every second record, whatever the number of copies.
TEST(Job, CountersStepWithTheRecordOrdinal)
{
    struct Case {
        int copies;
        int labelsPerStep;
        int start;
        QStringList texts;
    };
    const Case cases[] = {
        { 1, 1, 1, { "T:1", "T:2", "T:3", "T:4" } },
        { 2, 1, 1, { "T:1", "T:1", "T:2", "T:2" } },
        { 1, 2, 1, { "T:1", "T:1", "T:2", "T:2" } },
        { 2, 2, 1, { "T:1", "T:1", "T:1", "T:1", "T:2", "T:2" } },
        // Starting at record 2 the counter steps when the record number (ordinal + 1) is even.
        { 1, 2, 2, { "T:1", "T:2", "T:2", "T:3" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(
            testing::Message() << c.copies << " copies, " << c.labelsPerStep << " per step, start " << c.start);
        auto doc = CounterDocument(GridPage(300, 200, 1, 1), 2, c.labelsPerStep);
        Harness h;
        const int records = int(c.texts.size()) / c.copies;
        ASSERT_TRUE(h.run(*doc, nullptr, c.start, records, c.copies).ok());
        EXPECT_EQ(Filter(Events(h.printer.pieces), "T:"), c.texts);
    }
}

// Quantities from a field: records continue the open page; whole pages of one record go as one
// format with their number; a record of 0 or of no number prints nothing.
TEST(Job, QuantityFromField)
{
    auto doc = VariableDocument(GridPage(300, 200, 2, 2), 5);
    MemoryRecords rec({ "NAME", "QTY" }, { { "A", "3" }, { "B", " 9 " }, { "C", "0" }, { "D", "2" }, { "E", "many" } });
    Harness h;
    h.options.quantityFromField = true;
    h.options.quantityField = " QTY ";
    const JobResult r = h.run(*doc, &rec, 1, 5, 1);
    ASSERT_TRUE(r.ok()) << r.text().toStdString();
    EXPECT_EQ(r.labelsTotal, 14);
    EXPECT_EQ(r.labelsSent, 14);
    EXPECT_EQ(r.unusableQuantities, 1);
    const QStringList ev = Events(h.printer.pieces);
    // A A A B | B B B B ×1 | B B B B ... : A×3 + B×1 close a page; B's 8 left = 2 whole pages
    // (one format, quantity 2); D×2 opens the last format, closed at the end.
    EXPECT_EQ(Filter(ev, "T:"), QStringList({ "T:A", "T:A", "T:A", "T:B", "T:B", "T:B", "T:B", "T:B", "T:D", "T:D" }));
    EXPECT_EQ(Filter(ev, "qty:"), QStringList({ "qty:1", "qty:2", "qty:1" }));
    EXPECT_EQ(Filter(ev, "cut:"), QStringList({ "cut:1", "cut:2", "cut:1" }));
    EXPECT_EQ(Filter(ev, "clear").size(), 1);
    ExpectMatchesStreamGolden(h.printer.stream(), "quantity_from_field");
}

TEST(Job, QuantityFromAMissingFieldIsRefusedBeforeThePortOpens)
{
    auto doc = VariableDocument(GridPage(300, 200, 1, 1), 2);
    MemoryRecords rec = Names({ "A" });
    Harness h;
    h.options.quantityFromField = true;
    h.options.quantityField = "QTY";
    EXPECT_EQ(h.run(*doc, &rec, 1, 1, 1).outcome, JobOutcome::BadQuantityField);
    EXPECT_EQ(h.printer.opens, 0);
}

// The write-to-file switch never opens the printer port, in any of the three loops.
TEST(Job, WriteToFileNeverOpensThePrinterPort)
{
    for (int loop = 0; loop < 3; ++loop) {
        SCOPED_TRACE(loop);
        Harness h;
        h.targets.writeToFile = true;
        h.printer.failOpen = true;
        std::unique_ptr<LabelDocument> doc;
        MemoryRecords rec({ "NAME", "QTY" }, { { "A", "2" }, { "B", "1" } });
        JobRecords* records = nullptr;
        if (loop == 0) {
            doc = PlainDocument(GridPage(300, 200, 1, 1), 2);
        } else {
            doc = VariableDocument(GridPage(300, 200, 1, 1), 2);
            records = &rec;
            h.options.quantityFromField = loop == 2;
            h.options.quantityField = "QTY";
        }
        const JobResult r = h.run(*doc, records, 1, 2, 1);
        ASSERT_TRUE(r.ok()) << r.text().toStdString();
        EXPECT_EQ(h.printer.opens, 0);
        EXPECT_TRUE(h.printer.pieces.isEmpty());
        EXPECT_EQ(h.file.opens, 1);
        EXPECT_EQ(h.file.closes, 1);
        EXPECT_FALSE(h.file.pieces.isEmpty());
    }
}

TEST(Job, UnopenableOutputFileIsReported)
{
    auto doc = PlainDocument(GridPage(300, 200, 1, 1), 2);
    QTemporaryDir dir;
    FilePort file(dir.path() + "/missing/folder/out.prn", FilePort::Mode::Fresh);
    RecordingPort printer;
    JobTargets targets;
    targets.printer = &printer;
    targets.file = &file;
    targets.writeToFile = true;
    PrintJob job(*doc, nullptr, targets, PrintJobOptions {});
    const JobResult r = job.PrintLabels(1, 1, 1);
    EXPECT_EQ(r.outcome, JobOutcome::PortOpenFailed);
    EXPECT_EQ(r.status.code, PortError::OpenFailed);
    EXPECT_EQ(printer.opens, 0);
}

// A refused piece ends the job with the print error; the label is not counted, the port is
// closed and the queue document is not completed.
TEST(Job, RefusedWriteIsAPrintError)
{
    auto doc = PlainDocument(GridPage(300, 200, 1, 1), 2);
    Harness h;
    ASSERT_TRUE(h.run(*doc, nullptr, 1, 1, 1).ok());
    int at = -1;
    for (int i = 0; i < h.printer.pieces.size(); ++i)
        if (h.printer.pieces[i].startsWith("1011000"))
            at = i;
    ASSERT_GE(at, 0);

    Harness failing;
    failing.printer.refuseAt = at;
    const JobResult r = failing.run(*doc, nullptr, 1, 1, 1);
    EXPECT_EQ(r.outcome, JobOutcome::PrintError);
    EXPECT_EQ(r.message.key, "message7");
    EXPECT_EQ(r.status.code, PortError::WriteFailed);
    EXPECT_EQ(r.labelsSent, 0);
    EXPECT_EQ(failing.printer.closes, 1);
    EXPECT_EQ(failing.printer.documentsEnded, 0);

    Harness closing;
    closing.printer.failClose = true;
    EXPECT_EQ(closing.run(*doc, nullptr, 1, 1, 1).outcome, JobOutcome::PrintError);
}

// The two "records" exits close the port and end the queue document like a normal end.
TEST(Job, RecordExitsCloseThePortAndEndTheDocument)
{
    {
        auto doc = VariableDocument(GridPage(300, 200, 1, 1), 2);
        MemoryRecords rec = Names({ "A", "B" });
        Harness h;
        const JobResult r = h.run(*doc, &rec, 1, 3, 1);
        EXPECT_EQ(r.outcome, JobOutcome::TooFewRecords);
        EXPECT_EQ(r.message.key, "message8");
        EXPECT_EQ(h.printer.closes, 1);
        EXPECT_EQ(h.printer.documentsEnded, 1);
        EXPECT_TRUE(Filter(Events(h.printer.pieces), "T:").isEmpty());
    }
    {
        // A data set that claims more records than it yields runs out during the job.
        class ShortRecords : public MemoryRecords {
        public:
            using MemoryRecords::MemoryRecords;
            int recordCount() const override { return 5; }
        };
        auto doc = VariableDocument(GridPage(300, 200, 1, 1), 2);
        ShortRecords rec({ "NAME" }, { { "A" }, { "B" } });
        Harness h;
        const JobResult r = h.run(*doc, &rec, 1, 4, 1);
        EXPECT_EQ(r.outcome, JobOutcome::OutOfRecords);
        EXPECT_EQ(r.message.key, "message9");
        EXPECT_EQ(r.labelsSent, 2);
        EXPECT_EQ(h.printer.closes, 1);
        EXPECT_EQ(h.printer.documentsEnded, 1);
        EXPECT_EQ(rec.recordNumber(), 1);
    }
}

TEST(Job, CancelStopsBetweenLabelsAndClosesThePort)
{
    auto doc = CounterDocument(GridPage(300, 200, 1, 1), 2);
    std::atomic<bool> cancel { false };
    Harness h;
    h.options.cancel = &cancel;
    std::int64_t reported = 0;
    h.options.progress = [&](const JobProgress& p) {
        reported = p.labelsSent;
        EXPECT_EQ(p.labelsTotal, 10);
        if (p.labelsSent == 3)
            cancel = true;
    };
    const JobResult r = h.run(*doc, nullptr, 1, 10, 1);
    EXPECT_EQ(r.outcome, JobOutcome::Cancelled);
    EXPECT_EQ(r.labelsSent, 3);
    EXPECT_EQ(reported, 3);
    EXPECT_EQ(h.printer.closes, 1);
    EXPECT_EQ(h.printer.documentsEnded, 0);
    EXPECT_EQ(Filter(Events(h.printer.pieces), "T:").size(), 3);
    // What a cancel leaves changed: the counter stepped for each of the three labels sent, and
    // the bound text shows its value; the layout is as it was.
    EXPECT_EQ(ConstCounterEntry(&doc->variables.counters.front()).value(), "4");
    EXPECT_EQ(doc->objects().front()->VarName, "Counter1");
    EXPECT_EQ(static_cast<const TOAText&>(*doc->objects().front()).Text(), "4");
    EXPECT_EQ(doc->objectCount(), 1);
    EXPECT_EQ(doc->page().LabelWidth, 300);
}

TEST(Job, PortThatDoesNotOpenIsReported)
{
    auto doc = PlainDocument(GridPage(300, 200, 1, 1), 2);
    Harness h;
    h.printer.failOpen = true;
    const JobResult r = h.run(*doc, nullptr, 1, 1, 1);
    EXPECT_EQ(r.outcome, JobOutcome::PortOpenFailed);
    EXPECT_EQ(r.message.key, "message7");
    EXPECT_TRUE(h.printer.pieces.isEmpty());
}

TEST(Job, QueueDocumentFramesTheJob)
{
    auto doc = PlainDocument(GridPage(300, 200, 1, 1), 2);
    Harness h;
    ASSERT_TRUE(h.run(*doc, nullptr, 1, 1, 1).ok());
    EXPECT_EQ(h.printer.documentsStarted, 1);
    EXPECT_EQ(h.printer.documentsEnded, 1);
    EXPECT_EQ(h.printer.documentTitle, "VTX-Relay Document");
}

// Without records, a text bound to a database field prints its own text, keeps its binding and
// keeps its text after the job's refresh.
TEST(Job, DatabaseTextWithoutRecordsKeepsItsTextAndBinding)
{
    auto doc = CounterDocument(GridPage(300, 200, 1, 1), 2);
    TOAText* t = AddPrinterText(*doc, "OWN", QRect(30, 4, 30, 10));
    t->VarName = "NAME";
    t->VarType = int(VariableKind::Database);
    doc->variables.database.push_back(NewEntry(VariableKind::Database, "NAME"));
    Harness h;
    const JobResult r = h.run(*doc, nullptr, 1, 2, 1);
    ASSERT_TRUE(r.ok()) << r.text().toStdString();
    EXPECT_EQ(Filter(Events(h.printer.pieces), "T:OWN").size(), 2);
    EXPECT_EQ(t->Text(), QByteArray("OWN"));
    EXPECT_EQ(t->VarName, QByteArray("NAME"));
    // The counter's text shows the value after the job.
    EXPECT_EQ(static_cast<const TOAText&>(*doc->object(0)).Text(), QByteArray("3"));
}
