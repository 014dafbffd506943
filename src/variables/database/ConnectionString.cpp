#include "variables/database/ConnectionString.h"

namespace korvel {

namespace {

qsizetype lastSeparator(const QByteArray& path)
{
    return std::max(path.lastIndexOf('\\'), path.lastIndexOf('/'));
}

} // namespace

QByteArray DirectoryOf(const QByteArray& path)
{
    const qsizetype sep = lastSeparator(path);
    if (sep < 0)
        return {};
    if (sep == 0)
        return path.left(1);
    return path.left(sep);
}

QByteArray ComposeConnectionString(int number, const ConnectionValues& v)
{
    switch (number) {
    case static_cast<int>(ConnectionTemplate::Excel):
        return "Provider=Microsoft.Jet.OLEDB.4.0;Password=\"\";User ID=Admin;Data Source=" + v.path
            + ";Mode=Share Deny None;Extended Properties=\"Excel 8.0;HDR=Yes;\";";
    case static_cast<int>(ConnectionTemplate::Access):
        return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + v.path + ";User Id=admin;Password=;";
    case static_cast<int>(ConnectionTemplate::DelimitedText):
        return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + DirectoryOf(v.path)
            + "\\;Extended Properties=\"text;FMT=Delimited;\";";
    case static_cast<int>(ConnectionTemplate::SqlServer):
        return "Provider=SQLOLEDB;Data Source=" + v.server + ";Initial Catalog=" + v.database
            + ";Userid=sa;Integrated Security=SSPI;";
    case static_cast<int>(ConnectionTemplate::DriverDirectory): {
        // The directory keeps its trailing separator here; the last character of the whole
        // string is then replaced by ";".
        QByteArray s = "Driver=" + v.name + ";Data ID=" + QByteArray::number(number) + ";Dbq="
            + v.path.left(lastSeparator(v.path) + 1);
        s.chop(1);
        return s + ';';
    }
    case static_cast<int>(ConnectionTemplate::SQLiteFile):
        return "Provider=SQLite;Data Source=" + v.path + ';';
    default:
        return "Provider=MSDASQL.1;Persist Security Info=False;Data Source=" + v.name + ';';
    }
}

int OdbcTemplateNumber(const QByteArray& driverName, int driverId)
{
    if (driverName == "SQL Server")
        return static_cast<int>(ConnectionTemplate::SqlServer);
    return driverId;
}

QList<std::pair<QByteArray, QByteArray>> ConnectionEntries(const QByteArray& s)
{
    QList<std::pair<QByteArray, QByteArray>> out;
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n) {
        const qsizetype eq = s.indexOf('=', i);
        const qsizetype semi = s.indexOf(';', i);
        if (eq < 0 || (semi >= 0 && semi < eq)) {
            // A piece without "=" (or an empty piece): skip it.
            i = semi < 0 ? n : semi + 1;
            continue;
        }
        const QByteArray key = s.mid(i, eq - i).trimmed();
        qsizetype j = eq + 1;
        while (j < n && s[j] == ' ')
            ++j;
        QByteArray value;
        if (j < n && (s[j] == '"' || s[j] == '\'')) {
            const char quote = s[j];
            ++j;
            while (j < n) {
                if (s[j] == quote) {
                    if (j + 1 < n && s[j + 1] == quote) {
                        value += quote;
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                value += s[j++];
            }
            while (j < n && s[j] != ';')
                ++j;
        } else {
            const qsizetype end = s.indexOf(';', j);
            value = s.mid(j, (end < 0 ? n : end) - j).trimmed();
            j = end < 0 ? n : end;
        }
        if (!key.isEmpty())
            out.append({key, value});
        i = j + 1;
    }
    return out;
}

std::optional<QByteArray> ConnectionEntry(const QByteArray& connectionString, const QByteArray& key)
{
    for (const auto& [k, v] : ConnectionEntries(connectionString))
        if (k.compare(key, Qt::CaseInsensitive) == 0)
            return v;
    return std::nullopt;
}

std::optional<Credentials> ExplicitCredentials(const QByteArray& connectionString)
{
    const std::optional<QByteArray> user = ConnectionEntry(connectionString, "User ID");
    if (!user)
        return std::nullopt;
    return Credentials{*user, ConnectionEntry(connectionString, "Password").value_or(QByteArray())};
}

} // namespace korvel
