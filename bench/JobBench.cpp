// Throughput and memory of print jobs: labels per second from records to a file, the way
// `korvel-cli print --data … -o …` runs them.
#include "BenchLabel.h"

#include "barcode/OABarCode.h"
#include "document/LabelDocument.h"
#include "document/OAHVLine.h"
#include "document/OALabel.h"
#include "document/OARectangle.h"
#include "printing/job/JobRecords.h"
#include "printing/job/PrintJob.h"
#include "printing/ports/PortFactory.h"
#include "variables/VariableEntries.h"
#include "variables/VariableModel.h"
#include "variables/database/DataSourceBinding.h"
#include "variables/database/DatabaseSource.h"
#include "variables/database/SourceSpec.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

using namespace korvel;
using korvel::bench::AppendObject;

namespace {

// --- peak memory ----------------------------------------------------------------------------

/// Starts a new peak-memory measurement of this process (Linux: resets VmHWM to the current
/// resident size).
void ResetPeakMemory()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

/// The process's peak resident size since the last reset, in MB (0 when unknown).
double PeakMemoryMB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// --- the labels -----------------------------------------------------------------------------

std::unique_ptr<LabelDocument> NewDocument()
{
    auto doc = std::make_unique<LabelDocument>();
    doc->printer.FeedType = 2;
    TPageRecord page;
    page.LabelWidth = page.PaperWidth = 600;
    page.LabelHeight = page.PaperHeight = 400;
    page.LabelColumn = page.LabelRow = 1;
    doc->setPage(page);
    doc->setZoom(100);
    return doc;
}

void AddCounter(LabelDocument& doc)
{
    doc.variables.counters.push_back(NewEntry(VariableKind::Counter, "Counter1"));
    CounterEntry e(&doc.variables.counters.back());
    e.setValue("000001");
    e.setLimit("999999");
}

void Bind(TOAControl& o, const char* name, VariableKind kind)
{
    o.VarName = name;
    o.VarType = int(kind);
}

TOAText* AddText(LabelDocument& doc, bool printerFont, const QRect& at)
{
    auto text = std::make_unique<TOAText>(doc.nextFreeName(ObjectKind::Text));
    text->SetUsePrnFont(printerFont ? 1 : 0);
    if (!printerFont)
        text->SetFontSizePt(12);
    text->SetText("Text");
    TOAText* o = AppendObject(doc, std::move(text));
    o->setGeometry(at);
    return o;
}

TOABarCode* AddBarcode(LabelDocument& doc, TBarCodeType type, const QRect& at)
{
    auto bar = std::make_unique<TOABarCode>();
    bar->Name = doc.nextFreeName(ObjectKind::BarCode);
    bar->SetBarCodeType(type);
    bar->SetLabelWithPrn(true);
    bar->SetBarNarrow(2);
    bar->SetBarWide(5);
    bar->SetBarHeight(80);
    bar->SetText("000001");
    bar->SetData("000001");
    TOABarCode* o = AppendObject(doc, std::move(bar));
    o->setGeometry(at);
    return o;
}

void AddBox(LabelDocument& doc, double left, double top, double width, double height)
{
    TOARectangle* r = AppendObject(doc, std::make_unique<TOARectangle>());
    r->setAbsLeft(left);
    r->setAbsTop(top);
    r->setAbsWidth(width);
    r->setAbsHeight(height);
}

void AddRule(LabelDocument& doc, double x1, double x2, double y)
{
    auto line = std::make_unique<TOAHVLine>();
    line->setStyle(2);
    line->setMMLineWidth(0.5);
    line->setAbsStartX(x1);
    line->setAbsStartY(y);
    line->setAbsEndX(x2);
    line->setAbsEndY(y);
    AppendObject(doc, std::move(line));
}

/// 60 × 40 mm: a TrueType name from the data (drawn as a graphic at 203 dpi), a date in a
/// printer font, a Code 128 of a counter, a box and a rule.
std::unique_ptr<LabelDocument> CsvLabel()
{
    auto doc = NewDocument();
    doc->variables.database.push_back(NewEntry(VariableKind::Database, "NAME"));
    doc->variables.dates.push_back(NewEntry(VariableKind::Date, "Date1"));
    AddCounter(*doc);
    Bind(*AddText(*doc, false, QRect(10, 10, 150, 30)), "NAME", VariableKind::Database);
    Bind(*AddText(*doc, true, QRect(10, 42, 120, 16)), "Date1", VariableKind::Date);
    Bind(*AddBarcode(*doc, TBarCodeType::bcCode128, QRect(10, 62, 150, 50)), "Counter1", VariableKind::Counter);
    AddBox(*doc, 1, 1, 58, 38);
    AddRule(*doc, 2, 58, 10);
    return doc;
}

/// The same size with only what the printer draws itself: a counter in a printer font, a
/// printer-drawn Code 39 of the counter, a box and two rules.
std::unique_ptr<LabelDocument> PrinterResidentLabel()
{
    auto doc = NewDocument();
    AddCounter(*doc);
    Bind(*AddText(*doc, true, QRect(10, 10, 120, 16)), "Counter1", VariableKind::Counter);
    Bind(*AddBarcode(*doc, TBarCodeType::bcCode39, QRect(10, 40, 180, 50)), "Counter1", VariableKind::Counter);
    AddBox(*doc, 1, 1, 58, 38);
    AddRule(*doc, 2, 58, 8);
    AddRule(*doc, 2, 58, 32);
    return doc;
}

// --- the runs -------------------------------------------------------------------------------

/// A CSV file of `rows` records with the column NAME.
QString WriteCsv(const QTemporaryDir& dir, int rows)
{
    const QString path = dir.filePath(QStringLiteral("names-%1.csv").arg(rows));
    if (QFileInfo::exists(path))
        return path;
    QByteArray text = "NAME,CITY\n";
    text.reserve(rows * 32);
    for (int i = 1; i <= rows; ++i)
        text += "Customer " + QByteArray::number(i) + ",City " + QByteArray::number(i % 97) + "\n";
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(text);
    return path;
}

struct RunFigures {
    std::int64_t bytes = 0;
    double peakMB = 0;
};

/// Prints `labels` labels of `doc` into a fresh file, records from `csv` when given.
bool RunToFile(benchmark::State& state, LabelDocument& doc, const QString& csv, const QString& output,
    std::int64_t labels, RunFigures& figures, int copies = 1)
{
    std::unique_ptr<DatabaseSource> live;
    std::unique_ptr<DatabaseJobRecords> records;
    if (!csv.isEmpty()) {
        const SpecResult parsed = ParseDataArgument(csv);
        if (!parsed.sourceSpec || !OverrideDataSource(doc, live, *parsed.sourceSpec).ok) {
            state.SkipWithError("the CSV file did not open");
            return false;
        }
        records = std::make_unique<DatabaseJobRecords>(*live);
    }
    const std::unique_ptr<PrinterPort> file = CreateOutputFilePort(output);
    JobTargets targets;
    targets.file = file.get();
    targets.writeToFile = true;
    PrintJobOptions options;
    const QDateTime fixed(QDate(2026, 12, 10), QTime(9, 30));
    options.evaluation.clock = [fixed] { return fixed; };
    PrintJob job(doc, records.get(), targets, options);
    const JobResult r = job.PrintLabels(1, labels / copies, copies);
    if (!r.ok() || r.labelsSent != labels) {
        state.SkipWithError(r.text().toStdString().c_str());
        return false;
    }
    figures.bytes += QFileInfo(output).size();
    figures.peakMB = std::max(figures.peakMB, PeakMemoryMB());
    return true;
}

/// range(0) records (or counter steps), each printed range(1) times (1 when not given).
void RunJob(benchmark::State& state, std::unique_ptr<LabelDocument> (*label)(), bool fromCsv)
{
    const int copies = state.range(1) > 0 ? int(state.range(1)) : 1;
    const std::int64_t labels = state.range(0) * copies;
    QTemporaryDir dir;
    const QString csv = fromCsv ? WriteCsv(dir, int(state.range(0))) : QString();
    const QString output = dir.filePath(QStringLiteral("out.prn"));
    RunFigures figures;
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = label();
        ResetPeakMemory();
        state.ResumeTiming();
        if (!RunToFile(state, *doc, csv, output, labels, figures, copies))
            break;
    }
    state.SetItemsProcessed(state.iterations() * labels);
    state.SetBytesProcessed(figures.bytes);
    state.counters["peak_MB"] = figures.peakMB;
}

/// Records from a CSV file, a TrueType text among the fields.
void BM_CsvJobToFile(benchmark::State& state)
{
    RunJob(state, CsvLabel, true);
}

/// Fields the printer draws itself, bound to a counter.
void BM_PrinterResidentJobToFile(benchmark::State& state)
{
    RunJob(state, PrinterResidentLabel, false);
}

/// A plain job: the fields of one page are emitted once whatever the number of labels.
void BM_PlainJob(benchmark::State& state)
{
    auto doc = PrinterResidentLabel();
    for (const auto& o : doc->objects()) {
        o->VarName.clear();
        o->VarType = 0;
    }
    QTemporaryDir dir;
    RunFigures figures;
    for (auto _ : state)
        RunToFile(state, *doc, QString(), dir.filePath(QStringLiteral("plain.prn")), state.range(0), figures);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

// Records × copies: 10,000 labels, 100,000 labels from as many records, and 100,000 labels from
// the 10,000 records (memory held by the data set itself stays the same).
BENCHMARK(BM_CsvJobToFile)
    ->Args({ 10000, 1 })
    ->Args({ 100000, 1 })
    ->Args({ 10000, 10 })
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrinterResidentJobToFile)->Args({ 10000, 1 })->Args({ 100000, 1 })->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainJob)->Arg(10000)->Unit(benchmark::kMillisecond);
