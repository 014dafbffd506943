#include "variables/database/SourceSpec.h"

#include "document/CodePage.h"
#include "document/IniFile.h"
#include "variables/database/ConnectionString.h"
#include "variables/database/QueryText.h"
#include "variables/database/TableLoaders.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace korvel {

namespace {

SpecResult failure(const QString& message)
{
    return {std::nullopt, message};
}

bool isSQLiteSuffix(const QString& suffix)
{
    return suffix == u"db" || suffix == u"sqlite" || suffix == u"sqlite3";
}

/// Splits "WHAT#TABLE" at the last "#".
std::pair<QString, QString> splitTable(const QString& text)
{
    const qsizetype hash = text.lastIndexOf(QLatin1Char('#'));
    if (hash < 0)
        return {text, QString()};
    return {text.left(hash), text.mid(hash + 1)};
}

/// The table named in the "From [...]" line of stored query text.
QString tableOfQuery(const QByteArray& sql)
{
    static const QRegularExpression from(QStringLiteral("\\bfrom\\s+\\[([^\\]]+)\\]"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = from.match(FromDocumentBytes(sql));
    return m.hasMatch() ? m.captured(1) : QString();
}

/// A path of a stored connection string made usable here: a trailing separator goes.
QString storedDirectory(const QByteArray& dir)
{
    QString d = FromDocumentBytes(dir);
    while (d.size() > 1 && (d.endsWith(QLatin1Char('\\')) || d.endsWith(QLatin1Char('/'))))
        d.chop(1);
    return d;
}

/// Finds the text file of a "NAME#EXT" table in a directory.
QString textFileOfTable(const QString& dir, const QString& table)
{
    const QDir d(dir);
    for (const QString& name : d.entryList(QDir::Files))
        if (TextTableName(name).compare(table, Qt::CaseInsensitive) == 0)
            return d.filePath(name);
    QString guess = table;
    const qsizetype hash = guess.lastIndexOf(QLatin1Char('#'));
    if (hash >= 0)
        guess[hash] = QLatin1Char('.');
    return d.filePath(guess);
}

SpecResult fileSpec(const QString& path, bool readSchema)
{
    SourceSpec s;
    s.path = path;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"xls" || suffix == u"xlsx") {
        s.kind = SourceKind::Workbook;
    } else if (isSQLiteSuffix(suffix)) {
        s.kind = SourceKind::SQLiteFile;
    } else if (suffix == u"csv" || suffix == u"txt" || suffix == u"tsv" || suffix == u"tab") {
        s.kind = SourceKind::DelimitedText;
        s.table = TextTableName(QFileInfo(path).fileName());
        if (readSchema) {
            s.text = ReadSchemaIni(path);
        } else {
            s.text.header = true;
            s.text.separator = suffix == u"csv" ? TextSeparator::Comma : TextSeparator::Tab;
            s.text.codePage = 0;
        }
    } else if (suffix == u"mdb" || suffix == u"accdb") {
        return failure(QStringLiteral("%1: Access databases cannot be read here; export the table to a .csv file or an SQLite database").arg(path));
    } else {
        return failure(QStringLiteral("%1: unknown kind of data file (expected .csv, .txt, .tsv, .xls, .xlsx, .db or .sqlite)").arg(path));
    }
    return {s, QString()};
}

void applyCredentials(SourceSpec& s, const QByteArray& connectionString)
{
    if (const auto c = ExplicitCredentials(connectionString)) {
        s.user = FromDocumentBytes(c->user);
        s.password = FromDocumentBytes(c->password);
    }
}

bool isOdbcName(const QString& name)
{
    if (name.isEmpty())
        return false;
    for (const OdbcSourceInfo& info : OdbcDataSources())
        if (info.name.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

bool IsPostgresUri(const QString& text)
{
    return text.startsWith(u"postgresql://", Qt::CaseInsensitive) || text.startsWith(u"postgres://", Qt::CaseInsensitive);
}

QString SourceSpec::describe() const
{
    switch (kind) {
    case SourceKind::DelimitedText:
        return fromStdin ? QStringLiteral("standard input") : path;
    case SourceKind::Workbook:
    case SourceKind::SQLiteFile:
        return path;
    case SourceKind::Odbc:
        return odbc.contains(QLatin1Char('=')) ? QStringLiteral("ODBC connection") : QStringLiteral("ODBC source %1").arg(odbc);
    case SourceKind::PostgreSql: {
        // Never repeat a password in a message.
        QUrl url(uri);
        url.setPassword(QString());
        return url.toString();
    }
    }
    return {};
}

SpecResult ParseDataArgument(const QString& argument)
{
    const QString a = argument.trimmed();
    if (a.isEmpty())
        return failure(QStringLiteral("no data source given"));
    if (a == u"-") {
        SourceSpec s;
        s.kind = SourceKind::DelimitedText;
        s.fromStdin = true;
        s.text.header = true;
        s.text.separator = TextSeparator::Detect;
        s.table = QStringLiteral("STDIN");
        return {s, QString()};
    }
    if (a.startsWith(u"odbc:", Qt::CaseInsensitive)) {
        const auto [dsn, table] = splitTable(a.mid(5));
        if (dsn.isEmpty())
            return failure(QStringLiteral("odbc: needs a data source name (odbc:DSN or odbc:DSN#TABLE)"));
        SourceSpec s;
        s.kind = SourceKind::Odbc;
        s.odbc = dsn;
        s.table = table;
        return {s, QString()};
    }
    if (IsPostgresUri(a)) {
        const auto [uri, table] = splitTable(a);
        SourceSpec s;
        s.kind = SourceKind::PostgreSql;
        s.uri = uri;
        s.table = table;
        return {s, QString()};
    }
    // "file.db#TABLE": the "#" only chooses a table after an SQLite file name.
    const auto [before, table] = splitTable(a);
    if (!table.isNull() && isSQLiteSuffix(QFileInfo(before).suffix().toLower())) {
        SpecResult r = fileSpec(before, false);
        if (r.sourceSpec)
            r.sourceSpec->table = table;
        return r;
    }
    return fileSpec(a, false);
}

SpecResult DataFileSpec(const QString& path)
{
    return fileSpec(path, true);
}

SpecResult SpecFromBinding(const DatabaseBinding& binding, const std::optional<TDataSourceBlock>& block)
{
    const QByteArray& cs = binding.connectionString;

    // An ODBC name in the block that this system knows selects that source.
    if (block && !block->isFile && isOdbcName(FromDocumentBytes(block->text))) {
        SourceSpec s;
        s.kind = SourceKind::Odbc;
        s.odbc = FromDocumentBytes(block->text);
        s.table = FromDocumentBytes(block->chosenTable());
        applyCredentials(s, cs);
        return {s, QString()};
    }
    const QString blockPath = block && block->isFile ? FromDocumentBytes(block->filePath) : QString();

    if (cs.trimmed().isEmpty()) {
        if (!blockPath.isEmpty())
            return fileSpec(blockPath, true);
        if (block && !block->text.isEmpty()) {
            SourceSpec s;
            s.kind = SourceKind::Odbc;
            s.odbc = FromDocumentBytes(block->text);
            return {s, QString()};
        }
        return failure(QStringLiteral("the label has no data source"));
    }

    const QString whole = FromDocumentBytes(cs).trimmed();
    if (IsPostgresUri(whole)) {
        SourceSpec s;
        s.kind = SourceKind::PostgreSql;
        s.uri = whole;
        s.table = block ? FromDocumentBytes(block->chosenTable()) : QString();
        return {s, QString()};
    }

    const std::optional<QByteArray> provider = ConnectionEntry(cs, "Provider");
    const QString dataSource = FromDocumentBytes(ConnectionEntry(cs, "Data Source").value_or(QByteArray()));
    if (provider) {
        const QByteArray p = provider->trimmed().toLower();
        if (p.startsWith("microsoft.jet.oledb") || p.startsWith("microsoft.ace.oledb")) {
            const QByteArray ext = ConnectionEntry(cs, "Extended Properties").value_or(QByteArray()).toLower();
            if (ext.contains("excel")) {
                SpecResult r = fileSpec(blockPath.isEmpty() ? dataSource : blockPath, true);
                if (r.sourceSpec && r.sourceSpec->kind != SourceKind::Workbook)
                    return failure(QStringLiteral("%1 is not a workbook").arg(r.sourceSpec->path));
                return r;
            }
            if (ext.contains("text")) {
                QString file = blockPath;
                if (file.isEmpty()) {
                    const QString table = tableOfQuery(binding.sql);
                    if (table.isEmpty())
                        return failure(QStringLiteral("the stored query names no text file"));
                    file = textFileOfTable(storedDirectory(ConnectionEntry(cs, "Data Source").value_or(QByteArray())), table);
                }
                SpecResult r = fileSpec(file, true);
                if (r.sourceSpec && r.sourceSpec->kind != SourceKind::DelimitedText) {
                    // Whatever its extension, a file of the text driver is delimited text.
                    r.sourceSpec->kind = SourceKind::DelimitedText;
                    r.sourceSpec->table = TextTableName(QFileInfo(file).fileName());
                    r.sourceSpec->text = ReadSchemaIni(file);
                } else if (!r.sourceSpec) {
                    SourceSpec s;
                    s.kind = SourceKind::DelimitedText;
                    s.path = file;
                    s.table = TextTableName(QFileInfo(file).fileName());
                    s.text = ReadSchemaIni(file);
                    r = {s, QString()};
                }
                return r;
            }
            return failure(QStringLiteral("%1: Access databases cannot be read here; export the table to a .csv file or an SQLite database")
                               .arg(blockPath.isEmpty() ? dataSource : blockPath));
        }
        if (p == "sqlite") {
            SourceSpec s;
            s.kind = SourceKind::SQLiteFile;
            s.path = dataSource;
            s.table = block ? FromDocumentBytes(block->chosenTable()) : QString();
            return {s, QString()};
        }
        if (p.startsWith("msdasql")) {
            SourceSpec s;
            s.kind = SourceKind::Odbc;
            s.odbc = dataSource;
            s.table = block ? FromDocumentBytes(block->chosenTable()) : QString();
            applyCredentials(s, cs);
            return {s, QString()};
        }
        if (p.startsWith("sqloledb")) {
            return failure(QStringLiteral("the label was bound to the SQL server \"%1\"; set up an ODBC data source for it and choose that").arg(dataSource));
        }
        return failure(QStringLiteral("unknown database provider \"%1\"").arg(FromDocumentBytes(*provider)));
    }
    if (const auto driver = ConnectionEntry(cs, "Driver")) {
        SourceSpec s;
        s.kind = SourceKind::Odbc;
        s.table = block ? FromDocumentBytes(block->chosenTable()) : QString();
        // The DriverId template names the data source in its "Driver=" entry.
        if (ConnectionEntry(cs, "Data ID"))
            s.odbc = FromDocumentBytes(*driver);
        else
            s.odbc = whole;
        applyCredentials(s, cs);
        return {s, QString()};
    }
    if (ConnectionEntry(cs, "DSN")) {
        SourceSpec s;
        s.kind = SourceKind::Odbc;
        s.odbc = whole;
        s.table = block ? FromDocumentBytes(block->chosenTable()) : QString();
        applyCredentials(s, cs);
        return {s, QString()};
    }
    return failure(QStringLiteral("the stored connection string is not understood"));
}

QByteArray StoredConnectionString(const SourceSpec& s)
{
    ConnectionValues v;
    v.path = ToDocumentBytes(s.path);
    switch (s.kind) {
    case SourceKind::DelimitedText:
        return s.fromStdin ? QByteArray() : ComposeConnectionString(static_cast<int>(ConnectionTemplate::DelimitedText), v);
    case SourceKind::Workbook:
        return ComposeConnectionString(static_cast<int>(ConnectionTemplate::Excel), v);
    case SourceKind::SQLiteFile:
        return ComposeConnectionString(static_cast<int>(ConnectionTemplate::SQLiteFile), v);
    case SourceKind::PostgreSql:
        return ToDocumentBytes(s.uri);
    case SourceKind::Odbc:
        break;
    }
    if (s.odbc.contains(QLatin1Char('=')))
        return ToDocumentBytes(s.odbc);
    v.name = ToDocumentBytes(s.odbc);
    int number = 0;
    for (const OdbcSourceInfo& info : OdbcDataSources()) {
        if (info.name.compare(s.odbc, Qt::CaseInsensitive) != 0)
            continue;
        number = OdbcTemplateNumber(ToDocumentBytes(info.driver), info.driverId);
        v.path = ToDocumentBytes(info.databasePath);
        v.server = ToDocumentBytes(info.server);
        v.database = ToDocumentBytes(info.database);
        break;
    }
    return ComposeConnectionString(number, v);
}

std::vector<OdbcSourceInfo> OdbcDataSources()
{
    std::vector<OdbcSourceInfo> out;
    const QString userFile = qEnvironmentVariableIsSet("ODBCINI") ? qEnvironmentVariable("ODBCINI")
                                                                  : QDir::home().filePath(QStringLiteral(".odbc.ini"));
    const QString systemDir = qEnvironmentVariableIsSet("ODBCSYSINI") ? qEnvironmentVariable("ODBCSYSINI") : QStringLiteral("/etc");
    const QString systemFile = QDir(systemDir).filePath(QStringLiteral("odbc.ini"));
    const std::pair<QString, bool> files[] = {{userFile, true}, {systemFile, false}};
    for (const auto& [file, isUser] : files) {
        const IniFile ini = IniFile::load(file);
        for (const IniFile::Section& section : ini.sections()) {
            if (section.name.compare("ODBC", Qt::CaseInsensitive) == 0
                || section.name.compare("ODBC Data Sources", Qt::CaseInsensitive) == 0)
                continue;
            OdbcSourceInfo info;
            info.name = QString::fromUtf8(section.name);
            info.userSource = isUser;
            auto value = [&](const char* key) { return QString::fromUtf8(ini.value(section.name, key, QByteArray())); };
            info.driver = value("Driver");
            info.databasePath = value("DBQ");
            if (info.databasePath.isEmpty())
                info.databasePath = value("SourceDB");
            if (info.databasePath.isEmpty() && !isUser && value("FIL").compare(u"text;", Qt::CaseInsensitive) == 0)
                info.databasePath = value("DefaultDir");
            if (info.databasePath.isEmpty())
                info.databasePath = value("Database");
            info.driverId = static_cast<int>(ini.intValue(section.name, "DriverId", 0));
            info.server = value("Server");
            info.database = value("Database");
            bool known = false;
            for (const OdbcSourceInfo& o : out)
                known = known || o.name.compare(info.name, Qt::CaseInsensitive) == 0;
            if (!known)
                out.push_back(info);
        }
    }
    return out;
}

} // namespace korvel
