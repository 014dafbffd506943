// Throughput of the print job: labels per second from records to a port that only counts bytes.
#include "barcode/OABarCode.h"
#include "document/LabelDocument.h"
#include "document/OALabel.h"
#include "document/OARectangle.h"
#include "printing/job/JobRecords.h"
#include "printing/job/PrintJob.h"
#include "printing/ports/PrinterPort.h"
#include "variables/VariableModel.h"

#include <benchmark/benchmark.h>

#include <memory>

using namespace korvel;

namespace {

/// A port that takes every piece and keeps only the count of bytes.
class CountingPort : public PrinterPort {
public:
    CountingPort()
        : PrinterPort(PortLimits {})
    {
    }
    PortCategory category() const override { return PortCategory::File; }
    QString describe() const override { return QStringLiteral("counter"); }
    bool isOpen() const override { return open_; }
    PortStatus OpenPort() override
    {
        open_ = true;
        return PortStatus::success();
    }
    PortStatus SendPiece(const QByteArray& piece) override
    {
        bytes += piece.size();
        return PortStatus::success();
    }
    PortStatus ClosePort() override
    {
        open_ = false;
        return PortStatus::success();
    }
    std::int64_t bytes = 0;

private:
    bool open_ = false;
};

/// Records NAME = "Name <n>", CODE = 12 digits, generated on the fly.
class GeneratedRecords : public JobRecords, public FieldValues {
public:
    explicit GeneratedRecords(int count)
        : count_(count)
    {
    }
    bool isOpen() const override { return true; }
    int recordCount() const override { return count_; }
    int recordNumber() const override { return current_ + 1; }
    bool eof() const override { return eof_; }
    void first() override
    {
        current_ = 0;
        eof_ = false;
    }
    void next() override
    {
        if (current_ + 1 < count_)
            ++current_;
        else
            eof_ = true;
    }
    const FieldValues& fields() const override { return *this; }
    QByteArray firstFieldText() const override { return value("NAME").value_or(QByteArray()); }
    std::optional<QByteArray> value(const QByteArray& field) const override
    {
        if (field.compare("NAME", Qt::CaseInsensitive) == 0)
            return "Name " + QByteArray::number(current_ + 1);
        if (field.compare("CODE", Qt::CaseInsensitive) == 0)
            return QByteArray::number(100000000000LL + current_);
        return std::nullopt;
    }

private:
    int count_;
    int current_ = 0;
    bool eof_ = false;
};

/// A 60 × 40 mm label: a printer-font name, a Code 128 bound to the code and an outline box.
std::unique_ptr<LabelDocument> BenchDocument(bool screenFontText)
{
    auto doc = std::make_unique<LabelDocument>();
    doc->printer.FeedType = 2;
    TPageRecord page;
    page.LabelWidth = page.PaperWidth = 600;
    page.LabelHeight = page.PaperHeight = 400;
    page.LabelColumn = page.LabelRow = 1;
    doc->setPage(page);
    doc->setZoom(100);
    doc->variables.database.push_back(NewEntry(VariableKind::Database, "NAME"));
    doc->variables.database.push_back(NewEntry(VariableKind::Database, "CODE"));

    auto text = std::make_unique<TOAText>(QStringLiteral("Text1"));
    text->setZoom(1.0);
    text->SetUsePrnFont(screenFontText ? 0 : 1);
    if (screenFontText)
        text->SetFontSizePt(12);
    text->SetText("Name");
    text->VarName = "NAME";
    text->VarType = int(VariableKind::Database);
    doc->appendObject(std::move(text))->setGeometry(QRect(10, 10, 120, 30));

    auto bar = std::make_unique<TOABarCode>();
    bar->setZoom(1.0);
    bar->SetBarCodeType(TBarCodeType::bcCode128);
    bar->SetLabelWithPrn(true);
    bar->SetBarNarrow(2);
    bar->SetBarWide(4);
    bar->SetBarHeight(80);
    bar->VarName = "CODE";
    bar->VarType = int(VariableKind::Database);
    doc->appendObject(std::move(bar))->setGeometry(QRect(10, 50, 150, 50));

    auto rect = std::make_unique<TOARectangle>();
    rect->setZoom(1.0);
    TOARectangle* r = static_cast<TOARectangle*>(doc->appendObject(std::move(rect)));
    r->setAbsLeft(1);
    r->setAbsTop(1);
    r->setAbsWidth(58);
    r->setAbsHeight(38);
    return doc;
}

void RunVariableJob(benchmark::State& state, bool screenFontText)
{
    const int labels = static_cast<int>(state.range(0));
    std::int64_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = BenchDocument(screenFontText);
        GeneratedRecords records(labels);
        CountingPort port;
        JobTargets targets;
        targets.printer = &port;
        state.ResumeTiming();
        PrintJob job(*doc, &records, targets, PrintJobOptions {});
        const JobResult r = job.PrintLabels(1, labels, 1);
        if (!r.ok() || r.labelsSent != labels)
            state.SkipWithError("the job failed");
        bytes += port.bytes;
    }
    state.SetItemsProcessed(state.iterations() * labels);
    state.SetBytesProcessed(bytes);
}

void BM_VariableJob_PrinterFont(benchmark::State& state)
{
    RunVariableJob(state, false);
}

void BM_VariableJob_ScreenFont(benchmark::State& state)
{
    RunVariableJob(state, true);
}

/// A plain job: the fields of one page are emitted once whatever the number of labels.
void BM_PlainJob(benchmark::State& state)
{
    auto doc = BenchDocument(false);
    for (const auto& o : doc->objects()) {
        o->VarName.clear();
        o->VarType = 0;
    }
    for (auto _ : state) {
        CountingPort port;
        JobTargets targets;
        targets.printer = &port;
        PrintJob job(*doc, nullptr, targets, PrintJobOptions {});
        benchmark::DoNotOptimize(job.PrintLabels(1, state.range(0), 1));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(BM_VariableJob_PrinterFont)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VariableJob_ScreenFont)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainJob)->Arg(10000)->Unit(benchmark::kMillisecond);
