#include "variables/database/DataSourceDraft.h"

#include "document/CodePage.h"
#include "variables/database/TableLoaders.h"

#include <QFileInfo>

namespace korvel {

namespace {

SpecResult failure(const QString& message)
{
    return { std::nullopt, message };
}

bool knownOdbcName(const QString& name)
{
    for (const OdbcSourceInfo& info : OdbcDataSources())
        if (info.name.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

QString DataFileFilter(DataFileType type)
{
    switch (type) {
    case DataFileType::Excel: return QStringLiteral("Excel (*.xls *.xlsx)");
    case DataFileType::Access: return QStringLiteral("Access (*.mdb)");
    case DataFileType::Text: return QStringLiteral("TXT (*.txt *.csv *.tsv)");
    case DataFileType::SQLite: return QStringLiteral("SQLite (*.db *.sqlite *.sqlite3)");
    case DataFileType::Other: break;
    }
    return QString();
}

DataFileType DataFileTypeOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"xls" || suffix == u"xlsx")
        return DataFileType::Excel;
    if (suffix == u"mdb" || suffix == u"accdb")
        return DataFileType::Access;
    if (suffix == u"db" || suffix == u"sqlite" || suffix == u"sqlite3")
        return DataFileType::SQLite;
    return DataFileType::Text;
}

SpecResult DataSourceDraft::sourceSpec() const
{
    SourceSpec s;
    if (odbc) {
        if (odbcName.trimmed().isEmpty())
            return failure(QStringLiteral("no ODBC data source is chosen"));
        s.kind = SourceKind::Odbc;
        s.odbc = odbcName;
        s.table = FromDocumentBytes(block.chosenTable());
        return { s, QString() };
    }
    if (fileType == DataFileType::Other) {
        const QString c = connection.trimmed();
        if (c.isEmpty())
            return failure(QStringLiteral("no connection string is given"));
        if (IsPostgresUri(c)) {
            s.kind = SourceKind::PostgreSql;
            s.uri = c;
        } else {
            s.kind = SourceKind::Odbc;
            s.odbc = c;
        }
        s.table = FromDocumentBytes(block.chosenTable());
        return { s, QString() };
    }
    if (filePath.isEmpty())
        return failure(QStringLiteral("no data file is chosen"));
    if (!QFileInfo::exists(filePath))
        return failure(QStringLiteral("%1: the file does not exist").arg(filePath));
    if (fileType == DataFileType::Text) {
        s.kind = SourceKind::DelimitedText;
        s.path = filePath;
        s.text = text;
        s.table = TextTableName(QFileInfo(filePath).fileName());
        return { s, QString() };
    }
    SpecResult r = DataFileSpec(filePath);
    if (r.sourceSpec)
        r.sourceSpec->table = FromDocumentBytes(block.chosenTable());
    return r;
}

QByteArray DataSourceDraft::composedSql() const
{
    return JoinSqlLines(BuildSqlLines(parts()));
}

DataSourceChoice DataSourceDraft::choice() const
{
    DataSourceChoice c;
    const SpecResult r = sourceSpec();
    if (r.sourceSpec)
        c.sourceSpec = *r.sourceSpec;
    c.block = block;
    c.block.isFile = !odbc;
    c.block.filePath = odbc ? QByteArray() : ToDocumentBytes(filePath);
    if (odbc)
        c.block.text = ToDocumentBytes(odbcName);
    else
        c.block.text = r.sourceSpec ? StoredConnectionString(*r.sourceSpec) : QByteArray();
    c.connectionString = r.sourceSpec ? StoredConnectionString(*r.sourceSpec) : QByteArray();
    c.sql = effectiveSql();
    return c;
}

DataSourceDraft DraftFromBinding(const DatabaseBinding& binding)
{
    DataSourceDraft d;
    const std::optional<TDataSourceBlock> block = TDataSourceBlock::fromBytes(binding.sourceBlock);
    if (!block)
        return d;
    d.block = *block;
    const QString name = FromDocumentBytes(block->text);
    if (!block->isFile && knownOdbcName(name)) {
        d.odbc = true;
        d.odbcName = name;
    } else if (block->isFile && !block->filePath.isEmpty()) {
        d.filePath = FromDocumentBytes(block->filePath);
        d.fileType = DataFileTypeOf(d.filePath);
        if (d.fileType == DataFileType::Text)
            d.text = ReadSchemaIni(d.filePath);
    } else {
        d.fileType = DataFileType::Other;
        d.connection = FromDocumentBytes(binding.connectionString.isEmpty() ? block->text : binding.connectionString);
    }
    d.sql = binding.sql;
    d.handSql = !binding.sql.trimmed().isEmpty() && !SameSqlText(binding.sql, d.composedSql());
    return d;
}

bool ConnectDraft(DataSourceDraft& draft, DatabaseSource& source, QString* error)
{
    source.close();
    const QByteArray oldTable = draft.block.chosenTable();
    draft.block.tables.clear();
    if (!draft.odbc && draft.fileType == DataFileType::Text && !draft.filePath.isEmpty()) {
        // The text driver reads its options from the schema file, so it is written first.
        QString why;
        if (!WriteSchemaIni(draft.filePath, draft.text, &why)) {
            *error = QStringLiteral("cannot write schema.ini beside %1: %2").arg(draft.filePath, why);
            draft.block.tableIndex = -1;
            return false;
        }
    }
    const SpecResult spec = draft.sourceSpec();
    if (!spec.sourceSpec || !source.open(*spec.sourceSpec)) {
        *error = spec.sourceSpec ? source.errorString() : spec.error;
        draft.block.tableIndex = -1;
        draft.block.fields.clear();
        draft.block.selected.clear();
        return false;
    }
    const QStringList tables = source.tables();
    for (const QString& t : tables) {
        if (static_cast<int>(draft.block.tables.size()) >= TDataSourceBlock::MaxEntries)
            break;
        draft.block.tables.push_back(ToDocumentBytes(t));
    }
    draft.block.tableIndex = -1;
    for (size_t i = 0; i < draft.block.tables.size(); ++i)
        if (!oldTable.isEmpty() && draft.block.tables[i] == oldTable)
            draft.block.tableIndex = static_cast<std::int32_t>(i);
    if (draft.block.tableIndex < 0) {
        draft.block.fields.clear();
        draft.block.selected.clear();
    }
    return true;
}

bool ChooseDraftTable(
    DataSourceDraft& draft, DatabaseSource& source, int index, std::vector<FieldInfo>* columns, bool selectAll)
{
    columns->clear();
    if (index < 0 || index >= static_cast<int>(draft.block.tables.size())) {
        draft.block.tableIndex = -1;
        return false;
    }
    const QByteArray previous = draft.block.chosenTable();
    draft.block.tableIndex = index;
    if (!source.columns(FromDocumentBytes(draft.block.tables[static_cast<size_t>(index)]), columns)) {
        draft.block.tableIndex = -1;
        draft.block.fields.clear();
        draft.block.selected.clear();
        return false;
    }
    // The same table again keeps the choice of fields; another one starts afresh.
    if (previous == draft.block.chosenTable() && draft.block.fields.size() == columns->size())
        return true;
    draft.block.fields.clear();
    draft.block.selected.clear();
    draft.block.filters.clear();
    draft.block.sort.clear();
    for (const FieldInfo& f : *columns) {
        if (static_cast<int>(draft.block.fields.size()) >= TDataSourceBlock::MaxEntries)
            break;
        draft.block.fields.push_back(f.name);
        draft.block.selected.push_back(selectAll);
    }
    return true;
}

QString FilterRefusalMessage(FilterRefusal refusal)
{
    switch (refusal) {
    case FilterRefusal::NoFields: return QStringLiteral("请先选择数据表和字段名称!");
    case FilterRefusal::NoValue: return QStringLiteral("必须输入操作值, 请重新输入!");
    case FilterRefusal::None: break;
    }
    return QString();
}

FilterRefusal AddDraftFilter(
    DataSourceDraft& draft, FilterJoin join, const QByteArray& field, int op, const QByteArray& typed)
{
    if (draft.block.fields.empty() || field.isEmpty())
        return FilterRefusal::NoFields;
    if (typed.isEmpty())
        return FilterRefusal::NoValue;
    if (static_cast<int>(draft.block.filters.size()) >= TDataSourceBlock::MaxEntries || op < 0 || op >= FilterOperatorCount)
        return FilterRefusal::None;
    TFilterRow row;
    row.join = draft.block.filters.empty() ? FilterJoin::And : join;
    row.field = field;
    row.op = static_cast<std::uint8_t>(op);
    row.value = StoredFilterValue(typed);
    draft.block.filters.push_back(row);
    return FilterRefusal::None;
}

bool AddDraftSort(DataSourceDraft& draft, const QByteArray& field, bool descending)
{
    if (field.isEmpty() || static_cast<int>(draft.block.sort.size()) >= TDataSourceBlock::MaxEntries)
        return false;
    draft.block.sort.push_back({ field, descending });
    return true;
}

QString FilterRowText(const TFilterRow& row, bool first)
{
    QString text;
    if (!first)
        text = row.join == FilterJoin::Or ? QStringLiteral("or ") : QStringLiteral("and ");
    const QString op = row.op < FilterOperatorCount ? QString::fromLatin1(FilterOperators[row.op]) : QStringLiteral("?");
    return text + QLatin1Char('(') + FromDocumentBytes(row.field) + QLatin1Char(' ') + op + QLatin1Char(' ') + FromDocumentBytes(row.value)
        + QLatin1Char(')');
}

QString SortEntryText(const TSortEntry& entry)
{
    return FromDocumentBytes(entry.field) + (entry.descending ? QStringLiteral(" Desc") : QStringLiteral(" Asc"));
}

} // namespace korvel
