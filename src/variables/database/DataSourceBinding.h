#pragma once

#include "variables/database/DatabaseSource.h"
#include "variables/database/SourceBlock.h"
#include "variables/database/SourceSpec.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace korvel {

class LabelDocument;
struct VariableTables;

/// Outcome of an operation on a document's data source. On failure the document and the live
/// source are exactly as they were, and `message` says what went wrong.
struct BindingResult {
    bool ok = true;
    QString message;
};

/// Refusal of CloseDataSource (section "ChildFormInside", key "message3").
QString DataSourceInUseMessage();

/// What the data-source dialog hands over on OK.
struct DataSourceChoice {
    SourceSpec sourceSpec;
    /// The dialog's whole choice, stored with the document.
    TDataSourceBlock block;
    /// The connection string to store; composed from `sourceSpec` when empty.
    QByteArray connectionString;
    /// The query text; composed from the block's parts when empty (give the typed text when
    /// the query was edited by hand).
    QByteArray sql;
};

/// Opens the chosen source and its query and, only when both succeed, binds them to the
/// document: the live source is replaced, the database variables are created from the first
/// record (one per column, at most the table's capacity; a column that had a variable before
/// keeps that variable's output format), the SQL text, connection string, record number and
/// block are stored, and the document is marked changed.
BindingResult ApplyDataSource(LabelDocument& document, std::unique_ptr<DatabaseSource>& live, const DataSourceChoice& choice);

/// Re-opens the stored binding of a document that was read from a file (active flag set) and
/// moves to the stored record. The document itself is not changed. An inactive binding closes
/// the live source.
BindingResult RestoreDataSource(const LabelDocument& document, std::unique_ptr<DatabaseSource>& live);

/// Replaces the stored source for one run (`korvel-cli print --data`): every column of the
/// source's table is read, and database variables bind by column name. Refused when a variable
/// the label uses names a column the source does not have. The document is not changed.
BindingResult OverrideDataSource(const LabelDocument& document, std::unique_ptr<DatabaseSource>& live, const SourceSpec& sourceSpec);

/// True when any object of the document shows a database variable.
bool UsesDatabaseVariable(const LabelDocument& document);

/// Refused with DataSourceInUseMessage() while an object uses a database variable; otherwise
/// disconnects as DisconnectDataSource does.
BindingResult CloseDataSource(LabelDocument& document, std::unique_ptr<DatabaseSource>& live);

/// Closes the live source and empties the stored binding, without the in-use check. The
/// database variables stay in their table (objects and formulas refer to them by name).
void DisconnectDataSource(LabelDocument& document, std::unique_ptr<DatabaseSource>& live);

/// Replaces the database-variable table with one entry per column of the open query (the first
/// record's values), keeping the output format of columns that had an entry before. Columns
/// beyond the table's capacity get no variable; the number of columns left out is returned.
int CreateDatabaseVariables(VariableTables& tables, const DatabaseSource& source);

/// Copies the current record number of the live source into the stored binding.
void StoreRecordNumber(LabelDocument& document, const DatabaseSource& source);

} // namespace korvel
