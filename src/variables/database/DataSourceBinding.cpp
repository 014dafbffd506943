#include "variables/database/DataSourceBinding.h"

#include "document/CodePage.h"
#include "document/LabelDocument.h"
#include "variables/VariableEntries.h"
#include "variables/VariableModel.h"

namespace korvel {

namespace {

BindingResult failed(const QString& message)
{
    return {false, message};
}

} // namespace

QString DataSourceInUseMessage()
{
    return QString::fromUtf8("该数据源已经使用,不能关闭!");
}

int CreateDatabaseVariables(VariableTables& tables, const DatabaseSource& source)
{
    const int capacity = TableCapacity(VariableKind::Database);
    std::vector<QByteArray> entries;
    const int count = source.fieldCount();
    for (int c = 0; c < count && c < capacity; ++c) {
        const QByteArray& column = source.fields()[static_cast<size_t>(c)].name;
        // The value of the first record, whatever record is current.
        QByteArray entry = NewDatabaseFieldEntry(column, source.valueAt(1, c));
        if (const int old = FindVariable(tables, VariableKind::Database, column)) {
            const ConstDatabaseFieldEntry previous(tables.database[static_cast<size_t>(old - 1)]);
            DatabaseFieldEntry(entry).setOutputFormat(previous.outputFormat());
        }
        entries.push_back(std::move(entry));
    }
    tables.database = std::move(entries);
    return std::max(0, count - capacity);
}

BindingResult ApplyDataSource(LabelDocument& document, std::unique_ptr<DatabaseSource>& live, const DataSourceChoice& choice)
{
    auto fresh = std::make_unique<DatabaseSource>();
    if (!fresh->open(choice.sourceSpec))
        return failed(fresh->errorString());
    const QByteArray sql = choice.sql.trimmed().isEmpty() ? JoinSqlLines(BuildSqlLines(QueryParts::fromBlock(choice.block))) : choice.sql;
    if (!fresh->openStored(sql, choice.block))
        return failed(fresh->errorString());

    BindingResult result;
    const int leftOut = CreateDatabaseVariables(document.variables, *fresh);
    if (leftOut > 0)
        result.message = QStringLiteral("%1 columns beyond the first %2 have no variable").arg(leftOut).arg(TableCapacity(VariableKind::Database));

    DatabaseBinding& b = document.database;
    b.active = true;
    b.recordNumber = fresh->recordNumber();
    b.sql = sql;
    b.connectionString = choice.connectionString.isEmpty() ? StoredConnectionString(choice.sourceSpec) : choice.connectionString;
    b.sourceBlock = choice.block.toBytes();
    live = std::move(fresh);
    document.markModified();
    return result;
}

BindingResult RestoreDataSource(const LabelDocument& document, std::unique_ptr<DatabaseSource>& live)
{
    const DatabaseBinding& b = document.database;
    if (!b.active) {
        live.reset();
        return {};
    }
    QString error;
    const std::optional<TDataSourceBlock> block = TDataSourceBlock::fromBytes(b.sourceBlock, &error);
    if (!block && !error.isEmpty())
        return failed(QStringLiteral("the stored data-source settings are damaged: %1").arg(error));
    const SpecResult parsed = SpecFromBinding(b, block);
    if (!parsed.sourceSpec)
        return failed(parsed.error);
    auto fresh = std::make_unique<DatabaseSource>();
    if (!fresh->open(*parsed.sourceSpec))
        return failed(fresh->errorString());
    if (!fresh->openStored(b.sql, block))
        return failed(fresh->errorString());
    if (!fresh->locate(b.recordNumber))
        fresh->first();
    live = std::move(fresh);
    return {};
}

BindingResult OverrideDataSource(const LabelDocument& document, std::unique_ptr<DatabaseSource>& live, const SourceSpec& sourceSpec)
{
    auto fresh = std::make_unique<DatabaseSource>();
    if (!fresh->open(sourceSpec))
        return failed(fresh->errorString());
    if (!fresh->openTable(sourceSpec.table))
        return failed(fresh->errorString());
    const int entries = EntryCount(document.variables, VariableKind::Database);
    for (int e = 1; e <= entries; ++e) {
        if (!IsVariableInUse(document, VariableKind::Database, e))
            continue;
        const QByteArray name = EntryName(document.variables, VariableKind::Database, e);
        if (fresh->fieldIndex(name) < 0)
            return failed(QStringLiteral("the label uses the column \"%1\", which %2 does not have").arg(FromDocumentBytes(name), sourceSpec.describe()));
    }
    for (const auto& object : document.objects()) {
        if (object->VarType != static_cast<std::int32_t>(VariableKind::Database) || object->VarName.trimmed().isEmpty())
            continue;
        if (fresh->fieldIndex(object->VarName) < 0)
            return failed(QStringLiteral("the label uses the column \"%1\", which %2 does not have").arg(FromDocumentBytes(object->VarName), sourceSpec.describe()));
    }
    live = std::move(fresh);
    return {};
}

bool UsesDatabaseVariable(const LabelDocument& document)
{
    for (const auto& object : document.objects())
        if (object->VarType == static_cast<std::int32_t>(VariableKind::Database))
            return true;
    return false;
}

BindingResult CloseDataSource(LabelDocument& document, std::unique_ptr<DatabaseSource>& live)
{
    if (UsesDatabaseVariable(document))
        return failed(DataSourceInUseMessage());
    DisconnectDataSource(document, live);
    return {};
}

void DisconnectDataSource(LabelDocument& document, std::unique_ptr<DatabaseSource>& live)
{
    live.reset();
    if (document.database != DatabaseBinding{}) {
        document.database = DatabaseBinding{};
        document.markModified();
    }
}

void StoreRecordNumber(LabelDocument& document, const DatabaseSource& source)
{
    if (document.database.active && source.isOpen())
        document.database.recordNumber = source.recordNumber();
}

} // namespace korvel
