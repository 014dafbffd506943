// Lean printer streams print exactly what the default stream prints, with each unchanging
// picture sent once per job and pictures no label places not sent at all.

#include "JobTestSupport.h"
#include "PtySupport.h"

#include "persistence/LabelFile.h"
#include "printing/job/BoundObjects.h"
#include "printing/job/JobRecords.h"
#include "printing/job/PrintJob.h"
#include "printing/ports/SerialPort.h"
#include "printing/virtual/VirtualPrinter.h"
#include "support/TestSupport.h"
#include "variables/database/DataSourceBinding.h"
#include "variables/database/DatabaseSource.h"
#include "variables/database/SourceSpec.h"

#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

using namespace korvel;
using namespace korvel::test;

namespace {

PrintJobOptions Options(const LabelDocument& doc, bool lean)
{
    PrintJobOptions options;
    options.commands.PrinterID = doc.printer.PrinterID;
    options.commands.PrinterIndex = doc.printerModel;
    const QDateTime at(QDate(2026, 12, 10), QTime(9, 30));
    options.evaluation.clock = [at] { return at; };
    options.lean = lean;
    return options;
}

/// A CSV of `n` addresses in the columns of the shipped address file.
QString AddressFile(const QTemporaryDir& dir, int n)
{
    const QString path = dir.filePath(QStringLiteral("addresses.csv"));
    QByteArray rows = "Name,Street,City,Postcode\n";
    for (int i = 1; i <= n; ++i)
        rows += "Customer " + QByteArray::number(i) + "," + QByteArray::number(i) + " Mill Lane,City "
            + QByteArray::number(i % 13) + ",LS" + QByteArray::number(i % 9) + " 7EQ\n";
    EXPECT_TRUE(writeFile(path, rows));
    return path;
}

struct Printed {
    JobResult result;
    QByteArray stream;
};

/// Prints a label file: `count` labels, from `csv` when given (a variable run over its records).
Printed PrintSample(const QString& label, bool lean, int count, const QString& csv = {}, PrinterPort* port = nullptr)
{
    LabelDocument doc;
    EXPECT_TRUE(ReadLabelFile(label, doc).opened());
    std::unique_ptr<DatabaseSource> live;
    if (!csv.isEmpty()) {
        const SpecResult parsed = ParseDataArgument(csv);
        EXPECT_TRUE(parsed.sourceSpec.has_value());
        EXPECT_TRUE(OverrideDataSource(doc, live, *parsed.sourceSpec).ok);
    } else if (doc.database.active) {
        RestoreDataSource(doc, live);
    }
    std::unique_ptr<DatabaseJobRecords> records;
    if (live && live->isOpen())
        records = std::make_unique<DatabaseJobRecords>(*live);
    RecordingPort recorder;
    JobTargets targets;
    targets.printer = port ? port : &recorder;
    PrintJob job(doc, records.get(), targets, Options(doc, lean));
    Printed p;
    p.result = job.PrintLabels(1, count, 1);
    p.stream = recorder.stream();
    return p;
}

/// The virtual printer's pictures of both streams are equal, format by format, dot for dot.
void ExpectSamePrintout(const QByteArray& standard, const QByteArray& lean, int dpi)
{
    VirtualPrinterOptions options;
    options.dpi = dpi;
    const VirtualPrintout a = PrintVirtually(standard, options);
    const VirtualPrintout b = PrintVirtually(lean, options);
    for (const VirtualPrinterWarning& w : b.warnings)
        ADD_FAILURE() << "lean stream, byte " << w.offset << ": " << w.message.toStdString();
    EXPECT_EQ(a.warnings.size(), b.warnings.size());
    ASSERT_EQ(a.formats.size(), b.formats.size());
    ASSERT_FALSE(a.formats.isEmpty());
    for (int i = 0; i < a.formats.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "format " << i + 1);
        ASSERT_FALSE(a.formats[i].image.isNull());
        EXPECT_TRUE(a.formats[i].image == b.formats[i].image);
        EXPECT_EQ(a.formats[i].quantity, b.formats[i].quantity);
    }
}

QStringList Samples()
{
    return QDir(dataDir() + QStringLiteral("/Samples")).entryList({ QStringLiteral("*.kvl") }, QDir::Files, QDir::Name);
}

int SampleDpi(const QString& label)
{
    LabelDocument doc;
    ReadLabelFile(label, doc);
    return doc.printer.DPI == 1 ? 300 : 203;
}

} // namespace

TEST(LeanStream, EverySamplePrintsTheSameAsTheDefaultStream)
{
    QTemporaryDir dir;
    const QString csv = AddressFile(dir, 100);
    const QStringList samples = Samples();
    ASSERT_GE(samples.size(), 8);
    for (const QString& name : samples) {
        SCOPED_TRACE(name.toStdString());
        const QString label = QDir(dataDir()).filePath(QStringLiteral("Samples/") + name);
        LabelDocument doc;
        ASSERT_TRUE(ReadLabelFile(label, doc).opened());
        // Database labels run over the 100 records of the CSV, the others print 100 labels
        // (a variable run for the counters and dates, one format for plain labels).
        const QString data = HasDatabase(doc) ? csv : QString();
        const Printed standard = PrintSample(label, false, 100, data);
        const Printed lean = PrintSample(label, true, 100, data);
        ASSERT_TRUE(standard.result.ok()) << standard.result.text().toStdString();
        ASSERT_TRUE(lean.result.ok()) << lean.result.text().toStdString();
        EXPECT_TRUE(lean.result.notes.isEmpty());
        EXPECT_LE(lean.stream.size(), standard.stream.size());
        // Cleared once, at the start.
        EXPECT_LE(lean.stream.count("\x02qA"), 1);
        ExpectSamePrintout(standard.stream, lean.stream, SampleDpi(label));
    }
}

TEST(LeanStream, UnchangingPicturesGoOnceAndUnplacedOnesNever)
{
    // A variable run of three pages: an outlined box (printed as a box command), a filled box
    // (a stored picture) and a printer-font text of a counter.
    auto doc = NewPrintDocument(GridPage(600, 400, 1, 1), WorkedExampleSetting());
    doc->variables.counters.push_back(NewEntry(VariableKind::Counter, "Counter1"));
    TOAText* text = AddPrinterText(*doc, "1", QRect(10, 10, 60, 20));
    text->VarName = "Counter1";
    text->VarType = int(VariableKind::Counter);
    AddBox(*doc, 30, 20, 20, 10, 0);
    AddBox(*doc, 5, 20, 10, 10, 1);
    for (const bool lean : { false, true }) {
        SCOPED_TRACE(lean ? "lean" : "default");
        RecordingPort port;
        JobTargets targets;
        targets.printer = &port;
        PrintJob job(*doc, nullptr, targets, Options(*doc, lean));
        ASSERT_TRUE(job.PrintLabels(1, 3, 1).ok());
        const QByteArray stream = port.stream();
        const int outlinedStored = stream.count("IAfF0000001\r");
        const int filledStored = stream.count("IAfF0000002\r");
        EXPECT_EQ(stream.count("F0000002\r") - filledStored, 3) << "placed on every label";
        EXPECT_EQ(outlinedStored, lean ? 0 : 3);
        EXPECT_EQ(filledStored, lean ? 1 : 3);
        EXPECT_EQ(stream.count("\x02qA"), lean ? 1 : 3);
        // Before the first format.
        EXPECT_LT(stream.indexOf("IAfF0000002"), stream.indexOf("\x02L\r"));
    }
}

TEST(LeanStream, PicturesBeyondTheGraphicsMemoryFallBackToTheDefaultStream)
{
    auto print = [&](bool lean, qint64 limit) {
        auto doc = NewPrintDocument(GridPage(600, 400, 1, 1), WorkedExampleSetting());
        doc->variables.counters.push_back(NewEntry(VariableKind::Counter, "Counter1"));
        TOAText* text = AddPrinterText(*doc, "1", QRect(10, 10, 60, 20));
        text->VarName = "Counter1";
        text->VarType = int(VariableKind::Counter);
        AddBox(*doc, 5, 20, 40, 15, 1); // 320 × 120 dots: 4,800 bytes
        RecordingPort port;
        JobTargets targets;
        targets.printer = &port;
        PrintJobOptions options = Options(*doc, lean);
        options.leanGraphicsLimit = limit;
        PrintJob job(*doc, nullptr, targets, options);
        Printed p;
        p.result = job.PrintLabels(1, 2, 1);
        p.stream = port.stream();
        return p;
    };
    const Printed standard = print(false, kLeanGraphicsLimit);
    const Printed fits = print(true, 4800);
    const Printed tooSmall = print(true, 4799);
    ASSERT_TRUE(fits.result.ok());
    ASSERT_TRUE(tooSmall.result.ok());
    EXPECT_TRUE(fits.result.notes.isEmpty());
    EXPECT_LT(fits.stream.size(), standard.stream.size());
    EXPECT_EQ(tooSmall.stream, standard.stream);
    ASSERT_EQ(tooSmall.result.notes.size(), 1);
    EXPECT_TRUE(tooSmall.result.notes.front().contains(QStringLiteral("4799"))) << tooSmall.result.notes.front().toStdString();
}

TEST(LeanStream, SerialLinkCarriesFewerBytesPerLabel)
{
    const QString label = QDir(dataDir()).filePath(QStringLiteral("Samples/Asset-Tag.kvl"));
    constexpr int labels = 20;
    qint64 received[2] = { 0, 0 };
    for (const bool lean : { false, true }) {
        Pty pty;
        ASSERT_TRUE(pty.ok());
        SerialParams params;
        params.device = pty.slave();
        params.BaudRate = 115200;
        params.FlowControl = 2;
        SerialPort port(params);
        std::atomic<bool> done { false };
        QByteArray arrived;
        std::thread printer([&] { arrived = pty.drain(done); });
        const Printed p = PrintSample(label, lean, labels, {}, &port);
        done = true;
        printer.join();
        ASSERT_TRUE(p.result.ok()) << p.result.text().toStdString();
        received[lean ? 1 : 0] = arrived.size();
        // What arrived prints like the stream the job meant.
        EXPECT_EQ(PrintVirtually(arrived).formats.size(), labels);
    }
    const qint64 standardPerLabel = received[0] / labels;
    const qint64 leanPerLabel = received[1] / labels;
    RecordProperty("default_bytes_per_label", int(standardPerLabel));
    RecordProperty("lean_bytes_per_label", int(leanPerLabel));
    EXPECT_LT(leanPerLabel * 4, standardPerLabel) << standardPerLabel << " against " << leanPerLabel;
}
