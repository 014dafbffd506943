// Bytes on the printer link per label, default against lean streams: variable runs of 1,000
// labels of the Asset-Tag and Address samples, and the transfer time they take on a serial line.
#include "document/DataPaths.h"
#include "document/LabelDocument.h"
#include "persistence/LabelFile.h"
#include "printing/job/JobRecords.h"
#include "printing/job/PrintJob.h"
#include "printing/ports/PrinterPort.h"
#include "variables/database/DataSourceBinding.h"
#include "variables/database/DatabaseSource.h"
#include "variables/database/SourceSpec.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

using namespace korvel;

namespace {

constexpr int kLabels = 1000;

/// A port that only counts what it is given.
class CountingPort : public PrinterPort {
public:
    CountingPort()
        : PrinterPort(PortLimits {})
    {
    }
    PortCategory category() const override { return PortCategory::Serial; }
    QString describe() const override { return QStringLiteral("counter"); }
    bool isOpen() const override { return open_; }
    PortStatus OpenPort() override
    {
        open_ = true;
        return PortStatus::success();
    }
    PortStatus ClosePort() override
    {
        open_ = false;
        return PortStatus::success();
    }
    PortStatus SendPiece(const QByteArray& piece) override
    {
        bytes += piece.size();
        return PortStatus::success();
    }
    qint64 bytes = 0;

private:
    bool open_ = false;
};

/// 1,000 addresses in the columns of the shipped address file.
QString AddressFile(const QTemporaryDir& dir)
{
    const QString path = dir.filePath(QStringLiteral("addresses.csv"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    QByteArray rows = "Name,Street,City,Postcode\n";
    for (int i = 1; i <= kLabels; ++i)
        rows += "Customer " + QByteArray::number(i) + "," + QByteArray::number(i) + " Mill Lane,City "
            + QByteArray::number(i % 13) + ",LS" + QByteArray::number(i % 9) + " 7EQ\n";
    file.write(rows);
    return path;
}

/// Prints the sample as a variable run of 1,000 labels; the bytes sent.
qint64 StreamBytes(const QString& sample, bool lean, const QString& csv)
{
    LabelDocument doc;
    if (!ReadLabelFile(QDir(dataDirectory()).filePath(QStringLiteral("Samples/") + sample), doc).opened())
        return -1;
    std::unique_ptr<DatabaseSource> live;
    if (!csv.isEmpty()) {
        const SpecResult parsed = ParseDataArgument(csv);
        if (!parsed.sourceSpec || !OverrideDataSource(doc, live, *parsed.sourceSpec).ok)
            return -1;
    }
    std::unique_ptr<DatabaseJobRecords> records;
    if (live && live->isOpen())
        records = std::make_unique<DatabaseJobRecords>(*live);
    CountingPort port;
    JobTargets targets;
    targets.printer = &port;
    PrintJobOptions options;
    options.commands.PrinterID = doc.printer.PrinterID;
    options.commands.PrinterIndex = doc.printerModel;
    const QDateTime at(QDate(2026, 12, 10), QTime(9, 30));
    options.evaluation.clock = [at] { return at; };
    options.lean = lean;
    PrintJob job(doc, records.get(), targets, options);
    // Address labels sit three across: 1,000 records take 334 pages.
    if (!job.PrintLabels(1, kLabels, 1).ok())
        return -1;
    return port.bytes;
}

/// Arguments: sample (0 Asset-Tag, 1 Address-3-across), lean (0 or 1).
void BM_StreamBytesPerLabel(benchmark::State& state)
{
    const bool address = state.range(0) == 1;
    const bool lean = state.range(1) == 1;
    QTemporaryDir dir;
    const QString csv = address ? AddressFile(dir) : QString();
    const QString sample = address ? QStringLiteral("Address-3-across.kvl") : QStringLiteral("Asset-Tag.kvl");
    qint64 bytes = 0;
    for (auto _ : state) {
        bytes = StreamBytes(sample, lean, csv);
        if (bytes < 0) {
            state.SkipWithError("the run failed");
            return;
        }
    }
    const double perLabel = double(bytes) / kLabels;
    state.counters["bytes_per_label"] = perLabel;
    // Ten bits a byte on the line: start, eight data bits, stop.
    state.counters["ms_per_label_9600"] = perLabel * 10 / 9600 * 1000;
    state.counters["ms_per_label_115200"] = perLabel * 10 / 115200 * 1000;
    state.SetLabel((address ? "Address-3-across " : "Asset-Tag ") + std::string(lean ? "lean" : "default"));
}

} // namespace

BENCHMARK(BM_StreamBytesPerLabel)->ArgsProduct({ { 0, 1 }, { 0, 1 } })->Unit(benchmark::kMillisecond)->Iterations(1);
