#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

namespace korvel {

/// Numbers that choose a connection-string template: the ODBC DriverId of a data source, or a
/// fixed number for a data file. Any other number means a generic ODBC source.
enum class ConnectionTemplate : int {
    Access = 25,
    DelimitedText = 27,
    SqlServer = 111,
    DriverDirectory = 277,
    Excel = 790,
    /// An SQLite database file (a source kind the label file format did not have before).
    SQLiteFile = 1001,
};

/// The pieces a template is filled with. Texts are bytes in the document code page.
struct ConnectionValues {
    QByteArray path;   ///< database path or data file
    QByteArray name;   ///< ODBC data source name
    QByteArray server; ///< SQL-server values of the data source's own settings
    QByteArray database;
};

/// The directory of a path as the templates use it (no trailing separator). Both '/' and '\'
/// separate directories, since stored paths may come from either system.
QByteArray DirectoryOf(const QByteArray& path);

/// The connection string of a template number, character for character as stored in label
/// files.
QByteArray ComposeConnectionString(int number, const ConnectionValues& values);

/// The template number of an ODBC data source: 111 for the driver named "SQL Server", otherwise
/// its DriverId (0 when absent).
int OdbcTemplateNumber(const QByteArray& driverName, int driverId);

/// The "key=value" entries of a connection string in order. Values may be double-quoted (a
/// doubled quote stands for one); the quotes are removed. Keys keep their case.
QList<std::pair<QByteArray, QByteArray>> ConnectionEntries(const QByteArray& connectionString);

/// The value of the first entry whose key equals `key` (case-insensitive; spaces around the key
/// ignored).
std::optional<QByteArray> ConnectionEntry(const QByteArray& connectionString, const QByteArray& key);

/// Explicit credentials: present when the string holds a "User ID=" entry; the password is the
/// "Password=" entry.
struct Credentials {
    QByteArray user;
    QByteArray password;
};
std::optional<Credentials> ExplicitCredentials(const QByteArray& connectionString);

} // namespace korvel
