// A long variable run from a CSV file to a file: one run of 100,000 labels sends exactly what ten
// runs of 10,000 send when each starts at the next record, the counter carrying on between them.

#include "JobTestSupport.h"

#include "printing/job/BoundObjects.h"
#include "printing/job/PrintJob.h"
#include "printing/ports/PortFactory.h"
#include "variables/VariableEntries.h"
#include "variables/VariableModel.h"
#include "variables/database/DataSourceBinding.h"
#include "variables/database/DatabaseSource.h"
#include "variables/database/SourceSpec.h"

#include <QDateTime>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace korvel;
using namespace korvel::test;

namespace {

constexpr int kRecords = 100000;
constexpr int kRunLength = 10000;

/// 60 × 40 mm: the name in a TrueType font, the date in a printer font, a Code 128 of a
/// counter, a small box (its picture goes with every label) and a rule.
std::unique_ptr<LabelDocument> BatchLabel()
{
    auto doc = NewPrintDocument(GridPage(600, 400, 1, 1), WorkedExampleSetting());
    doc->variables.database.push_back(NewEntry(VariableKind::Database, "NAME"));
    doc->variables.dates.push_back(NewEntry(VariableKind::Date, "Date1"));
    doc->variables.counters.push_back(NewEntry(VariableKind::Counter, "Counter1"));
    CounterEntry counter(&doc->variables.counters.back());
    counter.setValue("000001");
    counter.setLimit("999999");

    auto name = std::make_unique<TOAText>(QStringLiteral("Text1"));
    name->SetFontSizePt(12);
    name->SetText("Name");
    name->VarName = "NAME";
    name->VarType = int(VariableKind::Database);
    Append(*doc, std::move(name))->setGeometry(QRect(10, 10, 150, 30));

    TOAText* date = AddPrinterText(*doc, "Date", QRect(10, 42, 120, 16));
    date->Name = QStringLiteral("Text2");
    date->VarName = "Date1";
    date->VarType = int(VariableKind::Date);

    auto bar = std::make_unique<TOABarCode>();
    bar->Name = QStringLiteral("BarCode1");
    bar->SetBarCodeType(TBarCodeType::bcCode128);
    bar->SetLabelWithPrn(true);
    bar->SetText("000001");
    bar->VarName = "Counter1";
    bar->VarType = int(VariableKind::Counter);
    TOABarCode* b = Append(*doc, std::move(bar));
    b->setGeometry(QRect(10, 62, 150, 50));
    b->RebuildImage(); // the object takes the size of its picture, as in the designer

    AddBox(*doc, 50, 2, 6, 6);

    auto rule = std::make_unique<TOAHVLine>();
    rule->setStyle(2);
    rule->setMMLineWidth(0.5);
    TOAHVLine* l = Append(*doc, std::move(rule));
    l->setAbsStartX(2);
    l->setAbsStartY(10);
    l->setAbsEndX(58);
    l->setAbsEndY(10);
    return doc;
}

PrintJobOptions FixedClock()
{
    PrintJobOptions options;
    options.commands.PrinterIndex = 1;
    const QDateTime at(QDate(2026, 12, 10), QTime(9, 30));
    options.evaluation.clock = [at] { return at; };
    return options;
}

/// Prints `count` records from `start` of the CSV into `output`; the bytes written.
QByteArray PrintRun(LabelDocument& doc, const QString& csv, const QString& output, int start, int count)
{
    std::unique_ptr<DatabaseSource> live;
    const SpecResult parsed = ParseDataArgument(csv);
    EXPECT_TRUE(parsed.sourceSpec.has_value()) << parsed.error.toStdString();
    const BindingResult bound = OverrideDataSource(doc, live, *parsed.sourceSpec);
    EXPECT_TRUE(bound.ok) << bound.message.toStdString();
    DatabaseJobRecords records(*live);
    if (start == 1) {
        // The label as the designer shows it once the data source is connected: every bound
        // object holds the value of the first record, and is laid out for it.
        records.first();
        EvaluationContext shown = FixedClock().evaluation;
        shown.fields = &records.fields();
        RefreshBoundObjects(doc, shown);
    }
    const std::unique_ptr<PrinterPort> file = CreateOutputFilePort(output);
    JobTargets targets;
    targets.file = file.get();
    targets.writeToFile = true;
    PrintJob job(doc, &records, targets, FixedClock());
    const JobResult r = job.PrintLabels(start, count, 1);
    EXPECT_TRUE(r.ok()) << r.text().toStdString();
    EXPECT_EQ(r.labelsSent, count);
    return readFile(output);
}

QByteArray CounterValue(const LabelDocument& doc)
{
    return ConstCounterEntry(&doc.variables.counters.front()).value();
}

} // namespace

TEST(LongRun, HundredThousandLabelsEqualTenRunsStartedAtTheNextRecord)
{
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("names.csv"));
    QByteArray rows = "NAME,CITY\n";
    for (int i = 1; i <= kRecords; ++i)
        rows += "Customer " + QByteArray::number(i) + ",City " + QByteArray::number(i % 97) + "\n";
    ASSERT_TRUE(writeFile(csv, rows));

    auto whole = BatchLabel();
    const QByteArray stream = PrintRun(*whole, csv, dir.filePath(QStringLiteral("all.prn")), 1, kRecords);

    // What every run starts with: the job setup.
    RecordingPort setupPort;
    ASSERT_TRUE(SendJobSetup(FixedClock().commands, whole->printer, whole->printPositionAdjust, setupPort));
    const QByteArray setup = setupPort.stream();
    ASSERT_FALSE(setup.isEmpty());

    auto parts = BatchLabel();
    QByteArray joined = setup;
    for (int start = 1; start <= kRecords; start += kRunLength) {
        const QByteArray run = PrintRun(*parts, csv, dir.filePath(QStringLiteral("part.prn")), start, kRunLength);
        ASSERT_TRUE(run.startsWith(setup)) << "run from record " << start;
        joined += run.mid(setup.size());
    }
    EXPECT_EQ(stream.size(), joined.size());
    EXPECT_TRUE(stream == joined);
    EXPECT_EQ(stream.count("\rE\r"), kRecords);
    EXPECT_TRUE(stream.contains("100000\r")) << "the counter reaches the last label";
    EXPECT_EQ(CounterValue(*whole), CounterValue(*parts));
    EXPECT_EQ(CounterValue(*whole), "100001");
    // The name really came from the records (the job shows the first record's when it ends).
    EXPECT_EQ(static_cast<const TOAText&>(*whole->objects().front()).Text(), "Customer 1");
}
