#pragma once

#include "variables/DateTimeVariables.h"
#include "variables/VariableEntries.h"
#include "variables/VariableModel.h"

#include <QByteArray>

namespace korvel {

class FieldValues;
class LabelDocument;

/// What evaluation reads besides the tables: the current database record, the clock and the
/// display patterns. Every member may be left empty: no open query, the system clock, the
/// built-in patterns.
struct EvaluationContext {
    const FieldValues* fields = nullptr;
    Clock clock;
    const DateTimePatterns* patterns = nullptr;
};

/// The value of a variable to show or print, as bytes in the document code page. Kinds: 0 the
/// text after the first ">" of the name; 1 the current record's column through the entry's
/// format (" " when blank or when no query is open); 2 and 3 the clock; 4 the counter's value;
/// 5 the formula. A name that the kind's table does not hold evaluates like a constant; any
/// other kind gives the empty text.
QByteArray EvaluateVariable(
    const LabelDocument& document, const QByteArray& name, VariableKind kind, const EvaluationContext& context = {});
QByteArray EvaluateVariable(
    const VariableTables& tables, const QByteArray& name, VariableKind kind, const EvaluationContext& context = {});

/// The constant rule: the text after the first ">", or the whole name without one.
QByteArray ConstantText(const QByteArray& name);

/// A database-field entry's value for the current record.
QByteArray EvaluateDatabaseField(ConstDatabaseFieldEntry entry, const FieldValues* fields);

/// The formula's parts joined, database parts cut by its substring setting, then formatted; an
/// empty expression gives the empty text unformatted. A formula that reaches itself again
/// through other formulas gives the empty text for that part.
QByteArray EvaluateFormula(
    const VariableTables& tables, ConstFormulaEntry entry, const EvaluationContext& context = {});

} // namespace korvel
