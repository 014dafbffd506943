#include "variables/database/DatabaseSource.h"

#include "document/CodePage.h"
#include "variables/database/ReadOnlyQuery.h"
#include "variables/database/ResultWindow.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QUrl>
#include <QRegularExpression>
#include <QUrlQuery>

#include <atomic>
#include <climits>
#include <cstdio>

namespace korvel {

namespace {

std::atomic<int> g_connectionCounter{0};

constexpr const char* TypeNames[] = {
    "unknown", "Text", "short int", "longint", "int", "Bool", "decimal fraction", "currency", "binary",
    "date", "time", "datetime", "ftBytes", "ftVarBytes", "ftAutoInc", "ftBlob", "ftMemo", "picture",
    "ftFmtMemo", "ftParadoxOle", "ftDBaseOle", "ftTypedBinary", "ftCursor", "ftFixedChar", "text",
    "long int", "ftADT", "ftArray", "ftReference", "ftDataSet", "ftOraBlob", "ftOraClob", "ftVariant",
    "ftInterface", "ftIDispatch", "ftGuid",
};

// Field type numbers used below (the positions in TypeNames).
enum TypeNumber : int {
    TypeUnknown = 0,
    TypeString = 1,
    TypeSmallint = 2,
    TypeInteger = 3,
    TypeBoolean = 5,
    TypeFloat = 6,
    TypeBytes = 12,
    TypeDate = 9,
    TypeTime = 10,
    TypeDateTime = 11,
    TypeBlob = 15,
    TypeLargeint = 25,
};

int typeNumberOf(int metaType)
{
    switch (metaType) {
    case QMetaType::QString:
    case QMetaType::QChar:
    case QMetaType::Char:
        return TypeString;
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return TypeSmallint;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
        return TypeInteger;
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::ULong:
        return TypeLargeint;
    case QMetaType::Bool:
        return TypeBoolean;
    case QMetaType::Double:
    case QMetaType::Float:
        return TypeFloat;
    case QMetaType::QDate:
        return TypeDate;
    case QMetaType::QTime:
        return TypeTime;
    case QMetaType::QDateTime:
        return TypeDateTime;
    case QMetaType::QByteArray:
        return TypeBlob;
    default:
        return TypeUnknown;
    }
}

int sizeOfType(int typeNumber)
{
    switch (typeNumber) {
    case TypeSmallint:
    case TypeBoolean:
        return 2;
    case TypeInteger:
    case TypeDate:
    case TypeTime:
        return 4;
    case TypeLargeint:
    case TypeFloat:
    case TypeDateTime:
        return 8;
    default:
        return 0;
    }
}

FieldInfo infoOf(const MemoryColumn& c)
{
    FieldInfo f;
    f.name = ToDocumentBytes(c.name);
    switch (c.kind) {
    case ColumnKind::Integer:
        f.typeNumber = c.fits32 ? TypeInteger : TypeLargeint;
        f.size = sizeOfType(f.typeNumber);
        break;
    case ColumnKind::Float:
        f.typeNumber = TypeFloat;
        f.size = 8;
        break;
    case ColumnKind::Text:
        f.typeNumber = TypeString;
        f.size = std::max(c.maxBytes, 1);
        break;
    }
    return f;
}

QString textOf(const QVariant& v)
{
    if (v.isNull())
        return {};
    switch (v.metaType().id()) {
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(v.toDouble(), 'g', 15);
    case QMetaType::QDate:
        return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QTime:
        return v.toTime().toString(QStringLiteral("hh:mm:ss"));
    case QMetaType::QDateTime: {
        const QDateTime dt = v.toDateTime();
        if (dt.time() == QTime(0, 0))
            return dt.date().toString(QStringLiteral("yyyy-MM-dd"));
        return dt.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    }
    case QMetaType::QByteArray:
        return FromDocumentBytes(v.toByteArray());
    default:
        return v.toString();
    }
}

/// The value of a key of an ODBC connection string ("Driver={SQLite3};Database=x.db").
QString connectionValue(const QString& connection, const QString& key)
{
    for (const QString& part : connection.split(QLatin1Char(';'))) {
        const qsizetype eq = part.indexOf(QLatin1Char('='));
        if (eq > 0 && part.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return part.mid(eq + 1).trimmed();
    }
    return {};
}

/// The database file an ODBC name leads to when its driver is SQLite's (empty otherwise).
QString sqliteOdbcFile(const QString& odbc)
{
    if (odbc.contains(QLatin1Char('='))) {
        if (!connectionValue(odbc, QStringLiteral("Driver")).contains(QLatin1String("sqlite"), Qt::CaseInsensitive))
            return {};
        return connectionValue(odbc, QStringLiteral("Database"));
    }
    for (const OdbcSourceInfo& source : OdbcDataSources()) {
        if (source.name.compare(odbc, Qt::CaseInsensitive) == 0)
            return source.driver.contains(QLatin1String("sqlite"), Qt::CaseInsensitive) ? source.databasePath : QString();
    }
    return {};
}

/// The ODBC name to connect with: the SQLite driver would create a database file that does
/// not exist, and nothing may ever be written among a user's data.
QString NonCreatingOdbcName(const QString& odbc)
{
    if (!odbc.contains(QLatin1Char('=')) || sqliteOdbcFile(odbc).isEmpty())
        return odbc;
    return odbc + QStringLiteral(";NoCreat=1");
}

/// A query's text without the semicolons that close it, so that it can stand inside another.
QString WithoutClosingSemicolons(const QString& text)
{
    QString inner = text.trimmed();
    while (inner.endsWith(QLatin1Char(';')))
        inner = inner.chopped(1).trimmed();
    return inner;
}

} // namespace

QString FieldTypeName(int number)
{
    if (number < 0 || number >= static_cast<int>(std::size(TypeNames)))
        return QStringLiteral("unknown");
    return QString::fromLatin1(TypeNames[number]);
}

DatabaseSource::DatabaseSource() = default;

DatabaseSource::~DatabaseSource()
{
    close();
}

bool DatabaseSource::fail(const QString& message)
{
    error_ = message;
    return false;
}

void DatabaseSource::close()
{
    closeQuery();
    loaded_.clear();
    if (!connectionName_.isEmpty()) {
        if (db_.isValid())
            db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName_);
        connectionName_.clear();
    }
    workDir_.reset();
    connected_ = false;
    memory_ = false;
}

bool DatabaseSource::open(const SourceSpec& sourceSpec)
{
    close();
    error_.clear();
    spec_ = sourceSpec;
    connectionName_ = QStringLiteral("korvel-db-%1").arg(++g_connectionCounter);

    auto failOpen = [this](const QString& message) {
        close();
        return fail(message);
    };
    auto driver = [](const char* name) { return QSqlDatabase::isDriverAvailable(QString::fromLatin1(name)); };

    switch (sourceSpec.kind) {
    case SourceKind::DelimitedText:
    case SourceKind::Workbook:
        if (!driver("QSQLITE"))
            return failOpen(QStringLiteral("the SQLite driver of Qt is not installed"));
        db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
        db_.setDatabaseName(QStringLiteral(":memory:"));
        if (sourceSpec.kind == SourceKind::DelimitedText && !sourceSpec.fromStdin
            && QFileInfo(sourceSpec.path).size() > LargeTextFileBytes) {
            // A large file goes into a working database on disk: its records are then read a
            // page at a time instead of being held whole.
            workDir_ = std::make_unique<QTemporaryDir>();
            if (!workDir_->isValid())
                return failOpen(QStringLiteral("cannot create a working folder for %1").arg(sourceSpec.path));
            db_.setDatabaseName(workDir_->filePath(QStringLiteral("work.db")));
        }
        if (!db_.open())
            return failOpen(QStringLiteral("cannot create the working database: %1").arg(db_.lastError().text()));
        if (workDir_) {
            QSqlQuery pragma(db_);
            pragma.exec(QStringLiteral("PRAGMA journal_mode=OFF"));
            pragma.exec(QStringLiteral("PRAGMA synchronous=OFF"));
        }
        memory_ = true;
        if (!loadFile())
            return failOpen(error_);
        break;
    case SourceKind::SQLiteFile: {
        if (!QFileInfo(sourceSpec.path).isFile())
            return failOpen(QStringLiteral("%1: the file does not exist").arg(sourceSpec.path));
        if (!driver("QSQLITE"))
            return failOpen(QStringLiteral("the SQLite driver of Qt is not installed"));
        db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
        db_.setDatabaseName(sourceSpec.path);
        db_.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db_.open())
            return failOpen(QStringLiteral("%1: %2").arg(sourceSpec.path, db_.lastError().text()));
        // SQLite opens any file lazily; the first statement tells whether it is a database.
        QSqlQuery probe(db_);
        if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
            return failOpen(QStringLiteral("%1: not an SQLite database (%2)").arg(sourceSpec.path, probe.lastError().text()));
        break;
    }
    case SourceKind::Odbc:
        if (!driver("QODBC"))
            return failOpen(QStringLiteral("the ODBC driver of Qt is not installed"));
        if (sourceSpec.odbc.isEmpty())
            return failOpen(QStringLiteral("no ODBC data source is named"));
        if (const QString file = sqliteOdbcFile(sourceSpec.odbc); !file.isEmpty() && !QFileInfo::exists(file))
            return failOpen(QStringLiteral("cannot connect to %1: the database file %2 does not exist").arg(sourceSpec.describe(), file));
        db_ = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), connectionName_);
        db_.setDatabaseName(NonCreatingOdbcName(sourceSpec.odbc));
        // Asks the driver for a connection that reads only (drivers that cannot, ignore it);
        // hand-written queries are checked besides.
        db_.setConnectOptions(QStringLiteral("SQL_ATTR_ACCESS_MODE=SQL_MODE_READ_ONLY;SQL_ATTR_LOGIN_TIMEOUT=10"));
        if (sourceSpec.user) {
            db_.setUserName(*sourceSpec.user);
            db_.setPassword(sourceSpec.password);
        }
        if (!db_.open())
            return failOpen(QStringLiteral("cannot connect to %1: %2").arg(sourceSpec.describe(), db_.lastError().text()));
        break;
    case SourceKind::PostgreSql: {
        if (!driver("QPSQL"))
            return failOpen(QStringLiteral("the PostgreSQL driver of Qt is not installed"));
        const QUrl url(sourceSpec.uri, QUrl::StrictMode);
        if (!url.isValid())
            return failOpen(QStringLiteral("not a PostgreSQL address: %1").arg(url.errorString()));
        db_ = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName_);
        QStringList options;
        bool timeout = false;
        QString host = url.host();
        for (const auto& [key, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded)) {
            if (key == u"host" && host.isEmpty()) {
                host = value;
                continue;
            }
            if (key == u"dbname" || key == u"user" || key == u"password" || key == u"port")
                continue;
            // Option values reach the driver's own key=value list: keep them to one word.
            if (key.contains(QRegularExpression(QStringLiteral("[^A-Za-z0-9_]"))) || value.contains(QLatin1Char(';'))
                || value.contains(QLatin1Char(' ')) || value.contains(QLatin1Char('\'')))
                return failOpen(QStringLiteral("the PostgreSQL option \"%1\" cannot be used").arg(key));
            if (key == u"connect_timeout") {
                // libpq waits for ever at 0; no wait of ours is unbounded.
                bool ok = false;
                const int seconds = value.toInt(&ok);
                options << QStringLiteral("connect_timeout=%1").arg(ok && seconds > 0 ? std::min(seconds, 30) : 30);
                timeout = true;
                continue;
            }
            options << key + QLatin1Char('=') + value;
        }
        if (!timeout)
            options << QStringLiteral("connect_timeout=10");
        const QUrlQuery query(url);
        db_.setHostName(host);
        if (url.port() > 0)
            db_.setPort(url.port());
        else if (query.hasQueryItem(QStringLiteral("port")))
            db_.setPort(query.queryItemValue(QStringLiteral("port")).toInt());
        QString user = url.userName(QUrl::FullyDecoded);
        if (user.isEmpty())
            user = query.queryItemValue(QStringLiteral("user"), QUrl::FullyDecoded);
        QString password = url.password(QUrl::FullyDecoded);
        if (password.isEmpty())
            password = query.queryItemValue(QStringLiteral("password"), QUrl::FullyDecoded);
        if (sourceSpec.user) {
            user = *sourceSpec.user;
            password = sourceSpec.password;
        }
        db_.setUserName(user);
        db_.setPassword(password);
        QString database = url.path(QUrl::FullyDecoded);
        if (database.startsWith(QLatin1Char('/')))
            database.remove(0, 1);
        if (database.isEmpty())
            database = query.queryItemValue(QStringLiteral("dbname"), QUrl::FullyDecoded);
        db_.setDatabaseName(database);
        db_.setConnectOptions(options.join(QLatin1Char(';')));
        if (!db_.open())
            return failOpen(QStringLiteral("cannot connect to %1: %2").arg(sourceSpec.describe(), db_.lastError().text().trimmed()));
        {
            // Labels only read: the server itself refuses every write of this session.
            QSqlQuery readOnly(db_);
            if (!readOnly.exec(QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY")))
                return failOpen(QStringLiteral("cannot make the session with %1 read-only: %2").arg(sourceSpec.describe(), readOnly.lastError().text().trimmed()));
        }
        break;
    }
    }
    connected_ = true;
    return true;
}

bool DatabaseSource::loadFile()
{
    QString error;
    if (spec_.kind == SourceKind::Workbook) {
        const QString suffix = QFileInfo(spec_.path).suffix().toLower();
        const bool ok = suffix == u"xlsx" ? LoadXlsx(db_, spec_.path, &loaded_, &error) : LoadXls(db_, spec_.path, &loaded_, &error);
        return ok || fail(error);
    }
    QFile file;
    QString table = spec_.table;
    if (spec_.fromStdin) {
        if (!file.open(stdin, QIODevice::ReadOnly))
            return fail(QStringLiteral("cannot read standard input"));
        if (table.isEmpty())
            table = QStringLiteral("STDIN");
    } else {
        file.setFileName(spec_.path);
        if (!QFileInfo(spec_.path).isFile())
            return fail(QStringLiteral("%1: the file does not exist").arg(spec_.path));
        if (!file.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("%1: %2").arg(spec_.path, file.errorString()));
        if (table.isEmpty())
            table = TextTableName(QFileInfo(spec_.path).fileName());
    }
    LoadedTable t;
    if (!LoadDelimitedText(db_, &file, table, spec_.text, spec_.fromStdin ? QString() : spec_.path, &t, &error))
        return fail(spec_.fromStdin ? error : QStringLiteral("%1: %2").arg(spec_.path, error));
    loaded_.push_back(t);
    return true;
}

QStringList DatabaseSource::tables() const
{
    QStringList out;
    if (!connected_)
        return out;
    if (memory_) {
        for (const LoadedTable& t : loaded_)
            out << t.name;
        return out;
    }
    out = db_.tables(QSql::Tables);
    out += db_.tables(QSql::Views);
    return out;
}

QString DatabaseSource::defaultTable() const
{
    if (!spec_.table.isEmpty())
        return spec_.table;
    return tables().value(0);
}

const LoadedTable* DatabaseSource::loadedTable(const QString& name) const
{
    for (const LoadedTable& t : loaded_)
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

bool DatabaseSource::columns(const QString& table, std::vector<FieldInfo>* out)
{
    out->clear();
    if (!connected_)
        return fail(QStringLiteral("no data source is open"));
    if (memory_) {
        const LoadedTable* t = loadedTable(table);
        if (!t)
            return fail(QStringLiteral("the table \"%1\" is not in %2").arg(table, spec_.describe()));
        for (const MemoryColumn& c : t->columns)
            out->push_back(infoOf(c));
        return true;
    }
    const QSqlRecord record = db_.record(table);
    if (record.isEmpty()) {
        // An unknown table and a table without columns look alike to the driver.
        if (!tables().contains(table, Qt::CaseInsensitive))
            return fail(QStringLiteral("the table \"%1\" is not in %2").arg(table, spec_.describe()));
        return true;
    }
    for (int i = 0; i < record.count(); ++i) {
        const QSqlField f = record.field(i);
        FieldInfo info;
        info.name = ToDocumentBytes(f.name());
        info.typeNumber = typeNumberOf(f.metaType().id());
        info.size = info.typeNumber == TypeString || info.typeNumber == TypeBlob ? std::max(f.length(), 0) : sizeOfType(info.typeNumber);
        out->push_back(info);
    }
    return true;
}

IdentifierQuoting DatabaseSource::quoting() const
{
    IdentifierQuoting q;
    // SQLite reads a double-quoted name that matches no column as a string, so a misspelt
    // or vanished column would quietly compare against its own name; backquotes never do that.
    if (memory_ || spec_.kind == SourceKind::SQLiteFile)
        q.quote = QLatin1Char('`');
    if (spec_.kind == SourceKind::PostgreSql)
        q.splitTableSchema = true;
    if (spec_.kind == SourceKind::Odbc && db_.isValid() && db_.driver()) {
        // The ODBC driver knows the quote character of the database behind it.
        const QString probe = db_.driver()->escapeIdentifier(QStringLiteral("x"), QSqlDriver::FieldName);
        if (probe.size() >= 3 && probe != u"x" && !probe[0].isLetterOrNumber())
            q.quote = probe[0];
        q.splitTableSchema = true;
    }
    return q;
}

void DatabaseSource::closeQuery()
{
    window_.reset();
    queryOpen_ = false;
    fields_.clear();
    fieldNames_.clear();
    pool_ = QString();
    cellStart_ = {};
    cellNull_ = {};
    lookup_.clear();
    rowCount_ = 0;
    current_ = 0;
    bof_ = eof_ = true;
}

bool DatabaseSource::openQuery(const QueryParts& parts)
{
    closeQuery();
    if (!connected_)
        return fail(QStringLiteral("no data source is open"));
    const QString table = FromDocumentBytes(parts.table);
    if (table.isEmpty())
        return fail(QStringLiteral("no table is chosen"));
    std::vector<FieldInfo> columns;
    if (!this->columns(table, &columns))
        return false;
    for (const QByteArray& name : parts.referencedFields()) {
        const QString wanted = FromDocumentBytes(name);
        bool found = false;
        for (const FieldInfo& c : columns)
            found = found || FromDocumentBytes(c.name).compare(wanted, Qt::CaseInsensitive) == 0;
        if (!found)
            return fail(QStringLiteral("the column \"%1\" is not in the table \"%2\" of %3").arg(wanted, table, spec_.describe()));
    }
    EngineQuery q;
    QString error;
    if (!ComposeEngineQuery(parts, quoting(), &q, &error))
        return fail(error);
    return runQuery(q.text, q.values, true, table);
}

bool DatabaseSource::openSql(const QByteArray& sqlText)
{
    closeQuery();
    if (!connected_)
        return fail(QStringLiteral("no data source is open"));
    const QString text = FromDocumentBytes(SplitSqlLines(sqlText).join('\n'));
    if (text.trimmed().isEmpty())
        return fail(QStringLiteral("the query is empty"));
    QString why;
    if (!IsReadOnlySqlText(text, &why))
        return fail(why);
    return runQuery(TranslateSqlText(text, quoting()), {}, false, QString());
}

bool DatabaseSource::openStored(const QByteArray& sqlText, const std::optional<TDataSourceBlock>& block)
{
    if (block) {
        QueryParts parts = QueryParts::fromBlock(*block);
        if (!parts.table.isEmpty() && SameSqlText(JoinSqlLines(BuildSqlLines(parts)), sqlText))
            return openQuery(parts);
    }
    if (SplitSqlLines(sqlText).isEmpty())
        return openTable(block ? FromDocumentBytes(block->chosenTable()) : QString());
    return openSql(sqlText);
}

bool DatabaseSource::previewStored(const QByteArray& sqlText, const std::optional<TDataSourceBlock>& block, QSqlQuery* out)
{
    if (!connected_)
        return fail(QStringLiteral("no data source is open"));
    QString text;
    QVariantList values;
    bool prepared = false;
    QueryParts parts;
    if (block)
        parts = QueryParts::fromBlock(*block);
    const bool useParts = block && !parts.table.isEmpty()
        && (SplitSqlLines(sqlText).isEmpty() || SameSqlText(JoinSqlLines(BuildSqlLines(parts)), sqlText));
    if (useParts) {
        EngineQuery q;
        QString error;
        if (!ComposeEngineQuery(parts, quoting(), &q, &error))
            return fail(error);
        text = q.text;
        values = q.values;
        prepared = true;
    } else {
        text = FromDocumentBytes(SplitSqlLines(sqlText).join('\n'));
        if (text.trimmed().isEmpty())
            return fail(QStringLiteral("the query is empty"));
        QString why;
        if (!IsReadOnlySqlText(text, &why))
            return fail(why);
        text = TranslateSqlText(text, quoting());
    }
    QSqlQuery q(db_);
    if (!execSelect(q, text, values, prepared))
        return false;
    *out = std::move(q);
    return true;
}

bool DatabaseSource::openTable(const QString& table)
{
    QueryParts parts;
    parts.table = ToDocumentBytes(table.isEmpty() ? defaultTable() : table);
    if (parts.table.isEmpty()) {
        closeQuery();
        return fail(QStringLiteral("%1 holds no table").arg(spec_.describe()));
    }
    return openQuery(parts);
}

void DatabaseSource::describeResultField(int index, const QString& name, const QString& table, int metaType, int length)
{
    FieldInfo info;
    info.name = ToDocumentBytes(name);
    info.typeNumber = typeNumberOf(metaType);
    info.size = info.typeNumber == TypeString || info.typeNumber == TypeBlob ? std::max(length, 0) : sizeOfType(info.typeNumber);
    if (memory_) {
        // The loaded tables know what their columns hold better than the untyped engine does.
        auto known = [&]() -> const MemoryColumn* {
            for (const LoadedTable& t : loaded_) {
                if (!table.isEmpty() && t.name.compare(table, Qt::CaseInsensitive) != 0)
                    continue;
                for (const MemoryColumn& c : t.columns)
                    if (c.name.compare(name, Qt::CaseInsensitive) == 0)
                        return &c;
            }
            return nullptr;
        }();
        if (known) {
            info = infoOf(*known);
            info.name = ToDocumentBytes(name);
        }
    }
    fields_[static_cast<size_t>(index)] = info;
}

bool DatabaseSource::execSelect(QSqlQuery& q, const QString& text, const QVariantList& values, bool prepared)
{
    if (!memory_ && spec_.kind != SourceKind::SQLiteFile)
        q.setNumericalPrecisionPolicy(QSql::HighPrecision);
    if (!ExecQueryText(q, text, values, prepared))
        return fail(QStringLiteral("the query failed: %1").arg(q.lastError().text().trimmed()));
    if (!q.isSelect())
        return fail(QStringLiteral("the query returns no records"));
    return true;
}

bool DatabaseSource::describeResult(const QSqlRecord& record, const QString& table)
{
    const int columns = record.count();
    if (columns == 0)
        return fail(QStringLiteral("the query returns no columns"));
    fields_.assign(static_cast<size_t>(columns), FieldInfo());
    for (int c = 0; c < columns; ++c) {
        const QSqlField f = record.field(c);
        fieldNames_ << f.name();
        describeResultField(c, f.name(), table, f.metaType().id(), f.length());
    }
    return true;
}

bool DatabaseSource::sqliteEngine() const
{
    return memory_ || spec_.kind == SourceKind::SQLiteFile;
}

qint64 DatabaseSource::countRecords(const QString& text, const QVariantList& values, bool prepared)
{
    const QString inner = WithoutClosingSemicolons(text);
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    const QString count = QStringLiteral("SELECT count(*) FROM (") + inner + QStringLiteral(")");
    if (!ExecQueryText(q, count, values, prepared) || !q.next())
        return -1;
    return q.value(0).toLongLong();
}

bool DatabaseSource::runWindowed(const QString& text, const QVariantList& values, bool prepared, const QString& table)
{
    const QString inner = WithoutClosingSemicolons(text);
    static std::atomic<int> counter { 0 };
    auto window = std::make_unique<ResultWindow>();
    QString error;
    if (!window->create(db_, QStringLiteral("korvel_result_%1").arg(++counter), inner, values, prepared, &error))
        return fail(QStringLiteral("the query failed: %1").arg(error));
    const QSqlRecord record = window->record();
    if (!describeResult(record, table))
        return false;
    const int columns = record.count();
    const std::vector<int> widths = window->widestValues();
    for (int c = 0; c < columns; ++c) {
        FieldInfo& f = fields_[static_cast<size_t>(c)];
        if ((f.typeNumber == TypeString || f.typeNumber == TypeUnknown) && f.size <= 0)
            f.size = std::max(widths[static_cast<size_t>(c)], 1);
    }
    rowCount_ = window->rowCount();
    window_ = std::move(window);
    queryOpen_ = true;
    current_ = 0;
    bof_ = true;
    eof_ = rowCount_ == 0;
    return true;
}

bool DatabaseSource::runQuery(const QString& text, const QVariantList& values, bool prepared, const QString& table)
{
    // A large result on an SQLite engine stays there; only a window of it is read.
    if (sqliteEngine() && countRecords(text, values, prepared) > LargeResultRows)
        return runWindowed(text, values, prepared, table);
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    if (!execSelect(q, text, values, prepared))
        return false;

    const QSqlRecord record = q.record();
    if (!describeResult(record, table))
        return false;
    const int columns = record.count();
    const qint64 maxRows = INT_MAX / columns;
    std::vector<int> widths(static_cast<size_t>(columns), 0);
    cellStart_.push_back(0);
    while (q.next()) {
        if (rowCount_ >= maxRows || pool_.size() > static_cast<qsizetype>(UINT32_MAX / 2)) {
            closeQuery();
            return fail(QStringLiteral("the query returns too many records"));
        }
        for (int c = 0; c < columns; ++c) {
            const QVariant v = q.value(c);
            const QString text = textOf(v);
            pool_ += text;
            cellStart_.push_back(static_cast<quint32>(pool_.size()));
            cellNull_.push_back(v.isNull());
            widths[static_cast<size_t>(c)] = std::max(widths[static_cast<size_t>(c)], AnsiByteLength(text));
        }
        ++rowCount_;
    }
    if (q.lastError().isValid()) {
        const QString message = q.lastError().text().trimmed();
        closeQuery();
        return fail(QStringLiteral("reading the records failed: %1").arg(message));
    }
    for (int c = 0; c < columns; ++c) {
        FieldInfo& f = fields_[static_cast<size_t>(c)];
        if ((f.typeNumber == TypeString || f.typeNumber == TypeUnknown) && f.size <= 0)
            f.size = std::max(widths[static_cast<size_t>(c)], 1);
    }
    queryOpen_ = true;
    current_ = 0;
    bof_ = true;
    eof_ = rowCount_ == 0;
    return true;
}

int DatabaseSource::fieldIndex(const QByteArray& name) const
{
    const auto it = lookup_.constFind(name);
    if (it != lookup_.constEnd())
        return *it;
    const QString wanted = FromDocumentBytes(name).trimmed();
    int index = -1;
    for (qsizetype i = 0; i < fieldNames_.size(); ++i)
        if (fieldNames_[i].compare(wanted, Qt::CaseInsensitive) == 0) {
            index = static_cast<int>(i);
            break;
        }
    lookup_.insert(name, index);
    return index;
}

std::optional<QByteArray> DatabaseSource::value(const QByteArray& fieldName) const
{
    const int index = fieldIndex(fieldName);
    if (index < 0)
        return std::nullopt;
    return valueAt(index);
}

QByteArray DatabaseSource::valueAt(int column) const
{
    return valueAt(recordNumber(), column);
}

QByteArray DatabaseSource::valueAt(int recordNumber, int column) const
{
    const int columns = fieldCount();
    if (!queryOpen_ || recordNumber < 1 || recordNumber > rowCount_ || column < 0 || column >= columns)
        return {};
    if (window_)
        return ToDocumentBytes(textOf(window_->value(recordNumber - 1, column)));
    return ToDocumentBytes(cellText(static_cast<size_t>(recordNumber - 1) * static_cast<size_t>(columns) + static_cast<size_t>(column)));
}

bool DatabaseSource::isNull(int column) const
{
    const int columns = fieldCount();
    if (!queryOpen_ || rowCount_ == 0 || column < 0 || column >= columns)
        return true;
    if (window_)
        return window_->value(current_, column).isNull();
    return cellNull_[static_cast<size_t>(current_) * static_cast<size_t>(columns) + static_cast<size_t>(column)];
}

QString DatabaseSource::cellText(size_t index) const
{
    if (index + 1 >= cellStart_.size())
        return {};
    return pool_.mid(cellStart_[index], cellStart_[index + 1] - cellStart_[index]);
}

void DatabaseSource::first()
{
    if (rowCount_ == 0)
        return;
    current_ = 0;
    bof_ = true;
    eof_ = false;
}

void DatabaseSource::last()
{
    if (rowCount_ == 0)
        return;
    current_ = rowCount_ - 1;
    bof_ = false;
    eof_ = true;
}

void DatabaseSource::next()
{
    if (rowCount_ == 0)
        return;
    if (current_ + 1 < rowCount_) {
        ++current_;
        bof_ = eof_ = false;
    } else {
        eof_ = true;
    }
}

void DatabaseSource::prior()
{
    if (rowCount_ == 0)
        return;
    if (current_ > 0) {
        --current_;
        bof_ = eof_ = false;
    } else {
        bof_ = true;
    }
}

bool DatabaseSource::locate(int recordNumber)
{
    if (recordNumber < 1 || recordNumber > rowCount_)
        return false;
    current_ = recordNumber - 1;
    bof_ = eof_ = false;
    return true;
}

} // namespace korvel
