#pragma once

#include "variables/OutputFormat.h"
#include "variables/VariableEntries.h"

#include <QString>

namespace korvel {

/// What `TDataPropertyForm` shows for a database variable: the column name, its current value
/// (both read-only) and the output format.
struct DataPropertyFormFields {
    QString column;
    QString value;
    OutputFormatFields format;
};
DataPropertyFormFields DataPropertyFieldsFromEntry(ConstDatabaseFieldEntry entry, const QByteArray& currentValue);

/// The database-variable dialog's OK: warns (see CheckDataPropertyForm) but stores the format
/// nonetheless, keeps only a non-empty fill character and clears the entry's trim flag.
DataPropertyWarnings AcceptDataPropertyForm(const OutputFormatFields& fields, DatabaseFieldEntry entry);

} // namespace korvel
