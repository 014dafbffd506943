#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace korvel {

/// A cell handed to the memory table: its text and what the source knows of its type.
struct SourceCell {
    enum class Type { Null, Guess, Text, Number };
    Type type = Type::Null;
    QString text;

    static SourceCell null() { return {}; }
    static SourceCell guess(const QString& t) { return {t.isNull() ? Type::Null : Type::Guess, t}; }
    static SourceCell textCell(const QString& t) { return {Type::Text, t}; }
    static SourceCell number(const QString& t) { return {Type::Number, t}; }
};

/// What a column of a loaded table holds, decided from the first rows (as the text driver's
/// MaxScanRows does).
enum class ColumnKind { Text, Integer, Float };

/// The description of a loaded column, kept for the field list (type names and sizes).
struct MemoryColumn {
    QString name;
    ColumnKind kind = ColumnKind::Text;
    /// The widest value in bytes of the document code page.
    int maxBytes = 0;
    /// Whether every integer fits 32 bits (a longint rather than a long int).
    bool fits32 = true;
};

/// Streams rows of a file into a table of an in-memory SQLite database: one transaction and one
/// prepared insert. The first `scanRows` rows are held back to decide the column count (when the
/// source has no header) and each column's kind; after that rows go straight to the database.
/// Integer and float columns have no affinity and take numbers only in their canonical form,
/// so a value such as "007" or "12.50" is kept as the very text it was.
class MemoryTableWriter {
public:
    static constexpr int DefaultScanRows = 25;

    /// `names` empty means the source has no header: columns are named F1, F2, ….
    MemoryTableWriter(QSqlDatabase db, const QString& table, const QStringList& names, int scanRows = DefaultScanRows);
    ~MemoryTableWriter();

    /// Forces 0-based column `column` to be kept as text.
    void forceText(int column);
    /// Adds one row. A row that has non-empty values beyond the known columns is an error
    /// (`where` names the row in the message, e.g. "line 12").
    bool addRow(const std::vector<SourceCell>& cells, const QString& where);
    /// Writes what is held back and commits.
    bool finish();

    const std::vector<MemoryColumn>& columns() const { return columns_; }
    qint64 rowCount() const { return rows_; }
    QString errorString() const { return error_; }

    /// Column names made usable: empty names become F<n>, repeated names get a number.
    static QStringList uniqueNames(const QStringList& names);

private:
    bool createTable();
    bool insert(const std::vector<SourceCell>& cells, const QString& where);
    bool fail(const QString& message);

    QSqlDatabase db_;
    QString table_;
    QStringList names_;
    int scanRows_;
    std::vector<int> forcedText_;
    std::vector<std::vector<SourceCell>> heldBack_;
    std::vector<QString> heldBackWhere_;
    std::vector<MemoryColumn> columns_;
    std::unique_ptr<QSqlQuery> insert_;
    bool created_ = false;
    bool inTransaction_ = false;
    qint64 rows_ = 0;
    QString error_;
};

/// The identifier quoting of SQLite and PostgreSQL: double quotes, inner quotes doubled.
QString QuoteIdentifier(const QString& name, QChar quote = QLatin1Char('"'));

/// Bytes the text takes in a double-byte code page (ASCII one, everything else two).
int AnsiByteLength(const QString& text);

} // namespace korvel
