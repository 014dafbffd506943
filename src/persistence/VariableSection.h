#pragma once

#include "document/Binary.h"
#include "document/VariableTables.h"

#include <QString>

namespace korvel {

/// Layouts of the variable section across file versions.
enum class VariableLayout { V300, V310, V3202, V100, Legacy };

/// Reads the five counts and the entries, converting older entry sizes to the current records.
/// Entries beyond a table's capacity are read past but not kept, and reported as damage.
bool ReadVariableSection(ByteReader& in, VariableLayout layout, VariableTables& tables, QString& damage);
/// Writes the version-100 section.
void WriteVariableSection(ByteWriter& out, const VariableTables& tables);

/// The entry conversions of older layouts, exposed for tests.
QByteArray ConvertDatabaseEntry344(const QByteArray& entry);
QByteArray CompleteFormulaEntry329(const QByteArray& entry);
QByteArray ConvertLegacyDatabaseEntry(const QByteArray& entry);
QByteArray ConvertLegacyDateEntry(const QByteArray& entry);
QByteArray ConvertLegacyFormulaEntry(const QByteArray& entry);
QByteArray ConvertLegacyCounterEntry(const QByteArray& entry);

} // namespace korvel
