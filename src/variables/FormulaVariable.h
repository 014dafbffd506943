#pragma once

#include "variables/CounterVariable.h"
#include "variables/OutputFormat.h"
#include "variables/VariableEntries.h"
#include "variables/VariableModel.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

namespace korvel {

class LabelDocument;

/// The parts of an expression: split at every "+", empty parts kept.
QList<QByteArray> SplitFormula(const QByteArray& expression);
/// Cuts a database value for a formula. Positions count characters of the document code page.
/// Left to right: `length` characters from position `start`; right to left: position `start`
/// counted from the end is the last character taken.
QByteArray FormulaSubstring(const QByteArray& value, int start, int length, SubstringDirection direction);
/// Full-width plus, digits and ideographic space (GBK) become their ASCII forms.
QByteArray NormalizeFullWidth(const QByteArray& text);
/// Every part is a "<const>" part or a known variable name, and none is the formula's own name.
bool ValidateFormula(const VariableTables& tables, const QByteArray& name, const QByteArray& expression);
bool ValidateFormula(const LabelDocument& document, const QByteArray& name, const QByteArray& expression);

// --- TFormulaForm ---------------------------------------------------------------------------

/// An operand the formula dialog offers: database, date, time and counter variables, in table
/// order.
struct FormulaOperand {
    VariableKind kind = VariableKind::Constant;
    QByteArray name;
};
std::vector<FormulaOperand> FormulaAvailableOperands(const VariableTables& tables);
/// How a chosen part is shown: the displayed name of its variable, or the constant's text.
QString FormulaPartText(const VariableTables& tables, const QByteArray& part, const KindWords& words);

/// The chosen parts by internal name, in order (the hidden twin list of the dialog).
class FormulaPartList {
public:
    FormulaPartList() = default;
    explicit FormulaPartList(const QByteArray& expression);

    const std::vector<QByteArray>& parts() const { return parts_; }
    int size() const { return static_cast<int>(parts_.size()); }
    QByteArray expression() const;

    /// ">": inserts names at a position (out of range: at the end).
    void insert(int position, const std::vector<QByteArray>& names);
    /// ">>": appends every available variable.
    void appendAll(const std::vector<FormulaOperand>& available);
    /// "<": removes the parts at the given positions.
    void remove(std::vector<int> positions);
    /// "<<".
    void clear() { parts_.clear(); }
    /// "增加常量": inserts "<const>" + text; false (nothing happens) when the text is empty.
    bool addConstant(int position, const QByteArray& text);
    /// "移除常量": removes the part when it is a constant and gives back its text.
    std::optional<QByteArray> removeConstant(int position);
    /// The arrow buttons; false when the part cannot move.
    bool moveUp(int position);
    bool moveDown(int position);

private:
    std::vector<QByteArray> parts_;
};

struct FormulaFormFields {
    FormulaPartList parts;
    int substringStart = 1;
    int substringLength = 200;
    SubstringDirection direction = SubstringDirection::LeftToRight;
    OutputFormatFields format;
};
inline constexpr int SubstringMin = 1;
inline constexpr int SubstringMax = 200;

/// The substring setting shown for a loaded entry: a length of 0 or less shows start 1 and
/// length 200, a length above 200 shows 200.
void FormulaSubstringShown(std::int32_t start, std::int32_t length, int* shownStart, int* shownLength);
/// The fields showing a stored entry.
FormulaFormFields FormulaFieldsFromEntry(ConstFormulaEntry entry);
/// The formula dialog's OK: the checks in order, then the entry is stored.
FormCheck AcceptFormulaForm(
    const VariableTables& tables, const FormulaFormFields& fields, const QByteArray& name, FormulaEntry entry);

} // namespace korvel
