#pragma once

#include "variables/database/DataSourceBinding.h"
#include "variables/database/DatabaseSource.h"
#include "variables/database/SourceBlock.h"
#include "variables/database/SourceSpec.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace korvel {

/// The file types of the data-source dialog, by list position.
enum class DataFileType : int {
    Excel = 0, ///< .xls and .xlsx
    Access = 1,
    Text = 2, ///< delimited text with its "schema.ini" entry
    Other = 3, ///< a connection string typed by the user (ODBC string or PostgreSQL URI)
    SQLite = 4,
};

/// The file dialog filter of a file type.
QString DataFileFilter(DataFileType type);
/// The file type a path's extension stands for.
DataFileType DataFileTypeOf(const QString& path);

/// What the data-source dialog is editing: the source, the TXT options and the whole stored
/// block (tables, fields, selection, filters and sort). Widget-free, so each step of the dialog
/// is a function here and is tested without a window.
struct DataSourceDraft {
    bool odbc = false;
    QString odbcName;
    DataFileType fileType = DataFileType::Text;
    QString filePath;
    /// The typed connection string of "其他".
    QString connection;
    TextFileSettings text;
    TDataSourceBlock block;
    bool handSql = false;
    /// The query text: composed from the parts unless edited by hand.
    QByteArray sql;

    /// The source to open, or why there is none.
    SpecResult sourceSpec() const;
    /// The parts of the query, in the block.
    QueryParts parts() const { return QueryParts::fromBlock(block); }
    /// The composed SQL text (CR LF between clauses).
    QByteArray composedSql() const;
    /// The text the query runs: as typed when edited by hand, else composed.
    QByteArray effectiveSql() const { return handSql ? sql : composedSql(); }
    /// What OK hands over.
    DataSourceChoice choice() const;
};

/// The dialog's state for a document: the stored block with its source and TXT options
/// ("schema.ini" read back for a text file; a stored name that is a known ODBC source selects
/// the ODBC choice), the stored SQL; a hand-edited query when the stored text is not the one
/// the parts compose.
DataSourceDraft DraftFromBinding(const DatabaseBinding& binding);

/// Connects to the draft's source: for a text file its "schema.ini" section is written first
/// (through the safe-write path); then the table list of the block is filled (at most 100
/// names) and the table choice, fields and selection are reset unless the old choice is still
/// there. False, with the lists empty and the reason in `error`, when the source cannot be
/// opened.
bool ConnectDraft(DataSourceDraft& draft, DatabaseSource& source, QString* error);

/// Chooses a table and lists its columns into the block (all selected when `selectAll`);
/// a failure while listing clears the table choice.
bool ChooseDraftTable(DataSourceDraft& draft, DatabaseSource& source, int index, std::vector<FieldInfo>* columns,
    bool selectAll = true);

/// Refusals of the filter page.
enum class FilterRefusal { None, NoFields, NoValue };
/// The message of a refusal ("请先选择数据表和字段名称!" / "必须输入操作值, 请重新输入!").
QString FilterRefusalMessage(FilterRefusal refusal);
/// Adds a filter row; the value is stored quoted unless it is a number.
FilterRefusal AddDraftFilter(DataSourceDraft& draft, FilterJoin join, const QByteArray& field, int op, const QByteArray& typed);
/// Adds a sort entry; false without a field or at 100 entries.
bool AddDraftSort(DataSourceDraft& draft, const QByteArray& field, bool descending);
/// How a filter row and a sort entry are listed on their pages.
QString FilterRowText(const TFilterRow& row, bool first);
QString SortEntryText(const TSortEntry& entry);

} // namespace korvel
