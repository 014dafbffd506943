#pragma once

#include "variables/FieldValues.h"
#include "variables/database/EngineQuery.h"
#include "variables/database/QueryText.h"
#include "variables/database/SourceSpec.h"
#include "variables/database/TableLoaders.h"

#include <QByteArray>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class QSqlRecord;
class QTemporaryDir;

namespace korvel {

class ResultWindow;

/// One column of a table or of the open query, as the field grid shows it.
struct FieldInfo {
    /// Name in the document code page.
    QByteArray name;
    /// The engine's field type number (0 … 35 have names, see FieldTypeName).
    int typeNumber = 0;
    /// Data size in bytes.
    int size = 0;

    bool operator==(const FieldInfo&) const = default;
};

/// The name of a field type number as the field grid shows it ("unknown", "Text", …); numbers
/// without a name show as "unknown".
QString FieldTypeName(int number);

/// A connected data source and its open query. Data files are loaded into an in-memory SQLite
/// database (one per source, under a connection name of its own); SQLite files, ODBC sources
/// and PostgreSQL servers are queried in place. The result of the query is read once into
/// memory, so the record count is known and moving between records costs nothing; values are
/// handed out as text in the document code page.
///
/// A result of more than LargeResultRows records on an SQLite engine (data files, SQLite files)
/// is not read into memory: it stays in a temporary table of the engine and a window of rows
/// around the current record is read as the record moves. A delimited text file larger than
/// LargeTextFileBytes is loaded into a temporary database on disk instead of into memory.
///
/// Record movement follows the data-set rules the print job relies on: Next on the last record
/// stays there and sets eof(), Prior on the first stays there and sets bof().
class DatabaseSource final : public FieldValues {
public:
    static constexpr int LargeResultRows = 100000;
    static constexpr qint64 LargeTextFileBytes = 32 * 1024 * 1024;

    DatabaseSource();
    ~DatabaseSource() override;
    DatabaseSource(const DatabaseSource&) = delete;
    DatabaseSource& operator=(const DatabaseSource&) = delete;

    /// Connects (or loads the file). On failure the source stays closed and errorString() says why.
    bool open(const SourceSpec& sourceSpec);
    void close();
    bool isConnected() const { return connected_; }
    const SourceSpec& sourceSpec() const { return spec_; }
    QString errorString() const { return error_; }

    /// The tables of the source (for a text file its one table, for a workbook one per sheet).
    QStringList tables() const;
    /// The table a query reads when none is named: the SourceSpec's table, else the first one.
    QString defaultTable() const;
    /// The columns of a table with their type numbers and sizes; false when the table is unknown.
    bool columns(const QString& table, std::vector<FieldInfo>* out);

    /// Runs the query of the stored parts, with every name checked against the table first (a
    /// column that is gone gives a clear message instead of an engine error).
    bool openQuery(const QueryParts& parts);
    /// Runs query text in the stored dialect, as typed by hand.
    bool openSql(const QByteArray& sqlText);
    /// Runs the stored query text of a binding: when the text is exactly what the block's
    /// parts compose, the parts are run (values bound safely); otherwise the text was edited
    /// by hand and is run as it stands.
    bool openStored(const QByteArray& sqlText, const std::optional<TDataSourceBlock>& block);
    /// Runs every column of a table (the default table when empty).
    bool openTable(const QString& table = QString());
    /// Runs the query openStored would run, without reading its records: `out` is the executed
    /// engine query, for a view that fetches rows only as it shows them (a table of a million
    /// rows is not read to show its first page). The open query, if any, stays as it is.
    bool previewStored(const QByteArray& sqlText, const std::optional<TDataSourceBlock>& block, QSqlQuery* out);
    void closeQuery();

    // FieldValues
    bool isOpen() const override { return queryOpen_; }
    std::optional<QByteArray> value(const QByteArray& fieldName) const override;

    int recordCount() const { return rowCount_; }
    /// The 1-based current record; 0 when the query is closed or empty.
    int recordNumber() const { return rowCount_ ? current_ + 1 : 0; }
    bool bof() const { return bof_; }
    bool eof() const { return eof_; }
    void first();
    void prior();
    void next();
    void last();
    /// Makes a record current; false (nothing moves) when there is no such record.
    bool locate(int recordNumber);

    int fieldCount() const { return static_cast<int>(fields_.size()); }
    const std::vector<FieldInfo>& fields() const { return fields_; }
    /// Index of a field by name (case-insensitive), or -1.
    int fieldIndex(const QByteArray& name) const;
    /// The current record's value of a column as text in the document code page (empty for
    /// NULL, out-of-range columns and an empty query).
    QByteArray valueAt(int column) const;
    /// The value at any record (1-based), for the result page's grid.
    QByteArray valueAt(int recordNumber, int column) const;
    bool isNull(int column) const;

    /// The connection name of the engine (unique per source).
    QString connectionName() const { return connectionName_; }

private:
    bool fail(const QString& message);
    bool loadFile();
    /// The text of a cell by its index (row × fieldCount + column).
    QString cellText(size_t index) const;
    bool runQuery(const QString& text, const QVariantList& values, bool prepared, const QString& table);
    /// The record count of a query on an SQLite engine, or -1 when it cannot be told cheaply.
    qint64 countRecords(const QString& text, const QVariantList& values, bool prepared);
    bool runWindowed(const QString& text, const QVariantList& values, bool prepared, const QString& table);
    bool sqliteEngine() const;
    IdentifierQuoting quoting() const;
    const LoadedTable* loadedTable(const QString& name) const;
    /// Runs a query that must return records; false (and the reason) when it fails.
    bool execSelect(QSqlQuery& q, const QString& text, const QVariantList& values, bool prepared);
    /// Fills the fields from a result's columns; false (and the reason) when it has none.
    bool describeResult(const QSqlRecord& record, const QString& table);
    void describeResultField(int index, const QString& name, const QString& table, int metaType, int length);

    SourceSpec spec_;
    QString connectionName_;
    QSqlDatabase db_;
    bool connected_ = false;
    bool memory_ = false;
    std::vector<LoadedTable> loaded_;
    QString error_;

    bool queryOpen_ = false;
    std::vector<FieldInfo> fields_;
    QStringList fieldNames_;
    // The result, read once: every cell's text one after another in one buffer, where each
    // cell starts, and which cells are NULL. Far smaller than a string object per cell.
    QString pool_;
    std::vector<quint32> cellStart_;
    std::vector<bool> cellNull_;
    int rowCount_ = 0;
    int current_ = 0;
    bool bof_ = true;
    bool eof_ = true;
    mutable QHash<QByteArray, int> lookup_;
    /// The large result kept in the engine (null while the result is in memory).
    std::unique_ptr<ResultWindow> window_;
    /// The working database of a large text file.
    std::unique_ptr<QTemporaryDir> workDir_;
};

} // namespace korvel
