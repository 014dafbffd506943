// Opening and saving the 200-object label with its 1 MB picture (BenchLabel.h). The file
// benchmarks report wall time: a save waits for the disk (the safe write syncs before it renames).

#include "BenchLabel.h"

#include "persistence/LabelFile.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace korvel;

namespace {

struct SavedLabel {
    QTemporaryDir dir;
    QString path;
    QByteArray bytes;
    SavedLabel()
    {
        LabelDocument doc;
        bench::BuildBenchLabel(doc);
        path = dir.filePath(QStringLiteral("bench.kvl"));
        QString error;
        bytes = WriteLabelBytes(doc, &error);
        WriteLabelFile(path, doc);
    }
};

const SavedLabel& savedLabel()
{
    static const SavedLabel label;
    return label;
}

void LabelFile_Open(benchmark::State& state)
{
    const SavedLabel& label = savedLabel();
    for (auto _ : state) {
        LabelDocument doc;
        const LabelFileResult r = ReadLabelFile(label.path, doc);
        if (r.status != LabelFileResult::Status::Ok || doc.objectCount() != LabelDocument::MaxObjects)
            state.SkipWithError("the label did not open");
        benchmark::DoNotOptimize(doc.objectCount());
    }
    state.counters["bytes"] = static_cast<double>(label.bytes.size());
}
BENCHMARK(LabelFile_Open)->Unit(benchmark::kMillisecond)->UseRealTime();

void LabelFile_Save(benchmark::State& state)
{
    const SavedLabel& label = savedLabel();
    LabelDocument doc;
    ReadLabelFile(label.path, doc);
    const QString path = label.dir.filePath(QStringLiteral("saved.kvl"));
    for (auto _ : state) {
        if (WriteLabelFile(path, doc).status != LabelFileResult::Status::Ok)
            state.SkipWithError("the label was not saved");
    }
}
BENCHMARK(LabelFile_Save)->Unit(benchmark::kMillisecond)->UseRealTime();

// The two halves without the disk: the reader on bytes in memory, the writer's file image.
void LabelFile_ReadBytes(benchmark::State& state)
{
    const SavedLabel& label = savedLabel();
    for (auto _ : state) {
        LabelDocument doc;
        ReadLabelBytes(label.bytes, doc);
        benchmark::DoNotOptimize(doc.objectCount());
    }
}
BENCHMARK(LabelFile_ReadBytes)->Unit(benchmark::kMillisecond);

void LabelFile_WriteBytes(benchmark::State& state)
{
    LabelDocument doc;
    ReadLabelBytes(savedLabel().bytes, doc);
    QString error;
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteLabelBytes(doc, &error));
}
BENCHMARK(LabelFile_WriteBytes)->Unit(benchmark::kMillisecond);

} // namespace
