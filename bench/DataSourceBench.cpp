// Record moves and the data-source dialog's first page on a table of a million records: the
// designer's Next and Last (the move, the stored record number and the refresh of a bound text
// and barcode) must each stay under 10 ms.
#include "barcode/OABarCode.h"
#include "document/LabelDocument.h"
#include "document/OALabel.h"
#include "variables/VariableModel.h"
#include "variables/database/DataSourceBinding.h"
#include "variables/database/DatabaseSource.h"
#include "variables/database/RecordRefresh.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

using namespace korvel;

namespace {

constexpr int kMillion = 1000000;

/// The SQLite file of a million records, made once per run.
const QString& millionRowFile()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = dir.filePath(QStringLiteral("million.db"));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-make"));
            db.setDatabaseName(p);
            db.open();
            QSqlQuery q(db);
            q.exec(QStringLiteral("CREATE TABLE parcels (id INTEGER PRIMARY KEY, barcode TEXT, town TEXT, weight INTEGER)"));
            q.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                                  "INSERT INTO parcels SELECT i, printf('%012d', i), 'Town ' || (i % 977), i % 5000 FROM n")
                       .arg(kMillion));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("bench-make"));
        return p;
    }();
    return path;
}

SourceSpec millionRowSpec()
{
    SourceSpec spec;
    spec.kind = SourceKind::SQLiteFile;
    spec.path = millionRowFile();
    spec.table = QStringLiteral("parcels");
    return spec;
}

/// A label bound to the table: a text and a Code 128 barcode.
struct BoundLabel {
    LabelDocument doc;
    std::unique_ptr<DatabaseSource> live;
    EvaluationContext context;

    BoundLabel()
    {
        DataSourceChoice choice;
        choice.sourceSpec = millionRowSpec();
        choice.block.tables = { "parcels" };
        choice.block.tableIndex = 0;
        ApplyDataSource(doc, live, choice);
        auto* text = doc.addObject(std::make_unique<TOAText>(QStringLiteral("Text1")));
        ChooseContentSource(*text, VariableKind::Database, "town");
        auto bar = std::make_unique<TOABarCode>();
        bar->SetBarCodeType(TBarCodeType::bcCode128);
        ChooseContentSource(*bar, VariableKind::Database, "barcode");
        doc.addObject(std::move(bar));
        context.fields = live.get();
    }
    void refresh()
    {
        StoreRecordNumber(doc, *live);
        RefreshFromRecord(doc, context);
    }
};

void BM_MillionRows_Open(benchmark::State& state)
{
    millionRowFile();
    for (auto _ : state) {
        DatabaseSource s;
        s.open(millionRowSpec());
        s.openTable();
        benchmark::DoNotOptimize(s.recordCount());
        state.counters["records"] = s.recordCount();
    }
}

void BM_MillionRows_NextRecord(benchmark::State& state)
{
    BoundLabel label;
    for (auto _ : state) {
        if (label.live->recordNumber() == label.live->recordCount())
            label.live->first();
        else
            label.live->next();
        label.refresh();
    }
    state.counters["records"] = label.live->recordCount();
}

void BM_MillionRows_LastRecord(benchmark::State& state)
{
    BoundLabel label;
    // Each iteration jumps across the whole table: to the last record, or back to the first.
    for (auto _ : state) {
        if (label.live->recordNumber() == label.live->recordCount())
            label.live->first();
        else
            label.live->last();
        label.refresh();
    }
}

void BM_MillionRows_DialogFirstPage(benchmark::State& state)
{
    millionRowFile();
    DatabaseSource s;
    s.open(millionRowSpec());
    TDataSourceBlock block;
    block.tables = { "parcels" };
    block.tableIndex = 0;
    for (auto _ : state) {
        QSqlQuery q;
        s.previewStored(QByteArray(), block, &q);
        QSqlQueryModel model;
        model.setQuery(std::move(q));
        benchmark::DoNotOptimize(model.rowCount());
        state.counters["rows_fetched"] = model.rowCount();
    }
}

BENCHMARK(BM_MillionRows_Open)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MillionRows_NextRecord)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MillionRows_LastRecord)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MillionRows_DialogFirstPage)->Unit(benchmark::kMillisecond);

} // namespace
