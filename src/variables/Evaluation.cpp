#include "variables/Evaluation.h"

#include "document/LabelDocument.h"
#include "variables/CounterVariable.h"
#include "variables/FieldValues.h"
#include "variables/FormulaVariable.h"

#include <algorithm>
#include <vector>

namespace korvel {

namespace {

/// Formulas under evaluation, so that formulas referring to each other end instead of
/// recursing without bound.
struct FormulaTrail {
    std::vector<const QByteArray*> entries;

    bool contains(const QByteArray* e) const { return std::find(entries.begin(), entries.end(), e) != entries.end(); }
};

QByteArray evaluate(const VariableTables& tables, const QByteArray& name, VariableKind kind,
    const EvaluationContext& context, FormulaTrail& trail);

QByteArray evaluateFormula(
    const VariableTables& tables, const QByteArray* bytes, const EvaluationContext& context, FormulaTrail& trail)
{
    if (trail.contains(bytes))
        return {};
    const ConstFormulaEntry entry(bytes);
    const QByteArray expression = TrimSpaces(entry.expression());
    if (expression.isEmpty())
        return {};
    trail.entries.push_back(bytes);
    QByteArray joined;
    for (const QByteArray& part : SplitFormula(expression)) {
        const VariableKind kind = VariableKindOf(tables, part);
        // A part found by its trimmed name is that variable, spaces around it or not.
        const QByteArray name = kind == VariableKind::Constant ? part : TrimSpaces(part);
        QByteArray value = evaluate(tables, name, kind, context, trail);
        if (kind == VariableKind::Database)
            value
                = FormulaSubstring(value, entry.substringStart(), entry.substringLength(), entry.substringDirection());
        joined.append(value);
    }
    trail.entries.pop_back();
    return FormatOutput(joined, entry.outputFormat());
}

QByteArray evaluate(const VariableTables& tables, const QByteArray& name, VariableKind kind,
    const EvaluationContext& context, FormulaTrail& trail)
{
    if (kind == VariableKind::Constant)
        return ConstantText(name);
    if (!HasTable(kind))
        return {};
    const int number = FindVariable(tables, kind, name);
    if (number == 0)
        return ConstantText(name);
    const QByteArray* bytes = Entry(tables, kind, number);
    static const DateTimePatterns builtIn = DateTimePatterns::builtIn();
    const DateTimePatterns& patterns = context.patterns ? *context.patterns : builtIn;

    switch (kind) {
    case VariableKind::Database: return EvaluateDatabaseField(ConstDatabaseFieldEntry(bytes), context.fields);
    case VariableKind::Date: return EvaluateDate(ConstDateEntry(bytes), Now(context.clock), patterns);
    case VariableKind::Time: return EvaluateTime(ConstTimeEntry(bytes), Now(context.clock), patterns);
    case VariableKind::Counter: return EvaluateCounter(ConstCounterEntry(bytes));
    case VariableKind::Formula: return evaluateFormula(tables, bytes, context, trail);
    default: return {};
    }
}

} // namespace

QByteArray ConstantText(const QByteArray& name)
{
    const qsizetype gt = name.indexOf('>');
    return gt < 0 ? name : name.mid(gt + 1);
}

QByteArray EvaluateDatabaseField(ConstDatabaseFieldEntry entry, const FieldValues* fields)
{
    if (!fields || !fields->isOpen())
        return " ";
    QByteArray value = FormatOutput(fields->value(entry.name()).value_or(QByteArray()), entry.outputFormat());
    if (entry.trim())
        value = TrimSpaces(value);
    return value.isEmpty() ? QByteArray(" ") : value;
}

QByteArray EvaluateFormula(const VariableTables& tables, ConstFormulaEntry entry, const EvaluationContext& context)
{
    FormulaTrail trail;
    return evaluateFormula(tables, entry.bytes(), context, trail);
}

QByteArray EvaluateVariable(
    const VariableTables& tables, const QByteArray& name, VariableKind kind, const EvaluationContext& context)
{
    FormulaTrail trail;
    return evaluate(tables, name, kind, context, trail);
}

QByteArray EvaluateVariable(
    const LabelDocument& document, const QByteArray& name, VariableKind kind, const EvaluationContext& context)
{
    return EvaluateVariable(document.variables, name, kind, context);
}

} // namespace korvel
