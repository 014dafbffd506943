#pragma once

#include "document/VariableTables.h"
#include "variables/database/SchemaIni.h"
#include "variables/database/SourceBlock.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace korvel {

/// The engines a source is read with.
enum class SourceKind : int {
    DelimitedText = 0, ///< loaded into an in-memory SQLite database
    Workbook = 1,      ///< .xls or .xlsx, every sheet loaded into an in-memory SQLite database
    SQLiteFile = 2,    ///< queried in place, read-only
    Odbc = 3,          ///< a data source name or an ODBC connection string, through unixODBC
    PostgreSql = 4,
};

/// Where the records come from, separable from the document: a stored binding or a
/// `--data` argument both become one of these.
struct SourceSpec {
    SourceKind kind = SourceKind::DelimitedText;
    /// The data file (text, workbook, SQLite database).
    QString path;
    /// Delimited text read from standard input instead of `path`.
    bool fromStdin = false;
    TextFileSettings text;
    /// The table to read when no query names one (empty: the first table).
    QString table;
    /// ODBC: the data source name, or a whole connection string ("Driver=…;…").
    QString odbc;
    /// PostgreSQL: the URI as given.
    QString uri;
    /// Explicit credentials of the stored connection string ("User ID=", "Password=").
    std::optional<QString> user;
    QString password;

    bool operator==(const SourceSpec&) const = default;

    /// A short description for messages ("data.csv", "ODBC source Sales", …).
    QString describe() const;
};

/// A data source, or the reason there is none.
struct SpecResult {
    std::optional<SourceSpec> sourceSpec;
    QString error;
};

/// Whether a text is a PostgreSQL URI ("postgresql://…" or "postgres://…").
bool IsPostgresUri(const QString& text);

/// Parses the `--data SOURCE` forms: a delimited text file (".csv" comma; ".txt", ".tsv" tab;
/// first line holds the field names), a workbook (".xls", ".xlsx"; first sheet), an SQLite file
/// (".db", ".sqlite", ".sqlite3", optional "#TABLE"), "odbc:DSN[#TABLE]",
/// "postgresql://…[#TABLE]" (also "postgres://"), or "-" for delimited text on standard input
/// (tab when the first line holds one, else comma).
SpecResult ParseDataArgument(const QString& argument);

/// The source of a data file chosen in the data-source dialog, by its extension; a text file
/// takes its separator and header choice from "schema.ini" beside it (write the entry first).
SpecResult DataFileSpec(const QString& path);

/// The source of a document's stored binding: the connection string decides the engine, the
/// block supplies the file path when it has one, the query text names the table of a text
/// source, and "schema.ini" beside a text file supplies its separator and header choice.
SpecResult SpecFromBinding(const DatabaseBinding& binding, const std::optional<TDataSourceBlock>& block);

/// The connection string to store for a source (the templates of the data-source dialog):
/// ODBC names use the generic ODBC template (or the one of their DriverId), text files 27,
/// workbooks 790, SQLite files 1001; a PostgreSQL URI or an ODBC connection string is stored as
/// it is.
QByteArray StoredConnectionString(const SourceSpec& sourceSpec);

/// The data sources named in unixODBC's user file ($ODBCINI or ~/.odbc.ini) and then in its
/// system file ($ODBCSYSINI/odbc.ini or /etc/odbc.ini).
struct OdbcSourceInfo {
    QString name;
    QString driver;
    /// "DBQ", else "SourceDB", else for system text sources "DefaultDir", else "Database".
    QString databasePath;
    int driverId = 0;
    /// "Server" and "Database" of the source (used by the SQL Server template).
    QString server;
    QString database;
    bool userSource = true;
};
std::vector<OdbcSourceInfo> OdbcDataSources();

} // namespace korvel
