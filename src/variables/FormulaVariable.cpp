#include "variables/FormulaVariable.h"

#include "document/CodePage.h"
#include "document/LabelDocument.h"

#include <algorithm>

namespace korvel {

QList<QByteArray> SplitFormula(const QByteArray& expression)
{
    return expression.split('+');
}

QByteArray FormulaSubstring(const QByteArray& value, int start, int length, SubstringDirection direction)
{
    if (length <= 0) {
        // Shown and kept by the dialog as "from the first character, 200 characters".
        start = SubstringMin;
        length = SubstringMax;
    }
    start = std::max(start, 1);

    const CodePage& cp = CodePage::document();
    std::vector<qsizetype> starts; // byte position of every character, plus the end
    for (qsizetype i = 0; i < value.size(); i += cp.charLength(value, i))
        starts.push_back(i);
    const qint64 count = static_cast<qint64>(starts.size());
    starts.push_back(value.size());

    qint64 first = 0; // 1-based character positions, inclusive
    qint64 last = 0;
    if (direction == SubstringDirection::RightToLeft) {
        last = count - start + 1;
        first = length < last ? last - length + 1 : 1;
    } else {
        first = start;
        last = std::min<qint64>(count, qint64(start) + length - 1);
    }
    if (first < 1 || last < first || first > count)
        return {};
    const qsizetype from = starts[static_cast<size_t>(first - 1)];
    const qsizetype to = starts[static_cast<size_t>(last)];
    return value.mid(from, to - from);
}

QByteArray NormalizeFullWidth(const QByteArray& text)
{
    QByteArray out;
    out.reserve(text.size());
    // Walk by characters: a trail byte 0xA3 must not pair with the next character's lead byte.
    for (qsizetype i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b > 0x80 && i + 1 < text.size()) {
            const auto t = static_cast<unsigned char>(text[i + 1]);
            if (b == 0xA3 && t == 0xAB)
                out.append('+');
            else if (b == 0xA3 && t >= 0xB0 && t <= 0xB9)
                out.append(static_cast<char>('0' + (t - 0xB0)));
            else if (b == 0xA1 && t == 0xA1)
                out.append(' ');
            else
                out.append(text.mid(i, 2));
            i += 2;
            continue;
        }
        out.append(text[i]);
        ++i;
    }
    return out;
}

bool ValidateFormula(const VariableTables& tables, const QByteArray& name, const QByteArray& expression)
{
    for (const QByteArray& part : SplitFormula(expression)) {
        if (!part.startsWith(ConstMarker) && !IsKnownOperand(tables, part))
            return false;
        if (SameName(part, name))
            return false;
    }
    return true;
}

bool ValidateFormula(const LabelDocument& document, const QByteArray& name, const QByteArray& expression)
{
    return ValidateFormula(document.variables, name, expression);
}

// --- TFormulaForm ------------------------------------------------------------------------

std::vector<FormulaOperand> FormulaAvailableOperands(const VariableTables& tables)
{
    std::vector<FormulaOperand> out;
    for (VariableKind kind :
        { VariableKind::Database, VariableKind::Date, VariableKind::Time, VariableKind::Counter }) {
        const int count = EntryCount(tables, kind);
        for (int i = 1; i <= count; ++i)
            out.push_back({ kind, EntryName(tables, kind, i) });
    }
    return out;
}

QString FormulaPartText(const VariableTables& tables, const QByteArray& part, const KindWords& words)
{
    const CodePage& cp = CodePage::document();
    if (part.startsWith(ConstMarker))
        return cp.toUnicode(part.mid(int(sizeof(ConstMarker)) - 1));
    const VariableKind kind = VariableKindOf(tables, part);
    if (kind == VariableKind::Constant)
        return cp.toUnicode(part);
    const auto& word = words[static_cast<size_t>(kind)];
    return DisplayedVariableName(kind, TrimSpaces(part), word.value_or(QString()));
}

FormulaPartList::FormulaPartList(const QByteArray& expression)
{
    const QByteArray trimmed = TrimSpaces(expression);
    if (trimmed.isEmpty())
        return;
    for (const QByteArray& part : SplitFormula(trimmed))
        parts_.push_back(part);
}

QByteArray FormulaPartList::expression() const
{
    QByteArray out;
    for (size_t i = 0; i < parts_.size(); ++i) {
        if (i > 0)
            out.append('+');
        out.append(parts_[i]);
    }
    return out;
}

void FormulaPartList::insert(int position, const std::vector<QByteArray>& names)
{
    if (position < 0 || position > size())
        position = size();
    parts_.insert(parts_.begin() + position, names.begin(), names.end());
}

void FormulaPartList::appendAll(const std::vector<FormulaOperand>& available)
{
    for (const FormulaOperand& o : available)
        parts_.push_back(o.name);
}

void FormulaPartList::remove(std::vector<int> positions)
{
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    for (auto it = positions.rbegin(); it != positions.rend(); ++it) {
        if (*it >= 0 && *it < size())
            parts_.erase(parts_.begin() + *it);
    }
}

bool FormulaPartList::addConstant(int position, const QByteArray& text)
{
    if (text.isEmpty())
        return false;
    insert(position, { QByteArray(ConstMarker) + text });
    return true;
}

std::optional<QByteArray> FormulaPartList::removeConstant(int position)
{
    if (position < 0 || position >= size() || !parts_[static_cast<size_t>(position)].startsWith(ConstMarker))
        return std::nullopt;
    QByteArray text = parts_[static_cast<size_t>(position)].mid(int(sizeof(ConstMarker)) - 1);
    parts_.erase(parts_.begin() + position);
    return text;
}

bool FormulaPartList::moveUp(int position)
{
    if (position < 1 || position >= size())
        return false;
    std::swap(parts_[static_cast<size_t>(position)], parts_[static_cast<size_t>(position - 1)]);
    return true;
}

bool FormulaPartList::moveDown(int position)
{
    if (position < 0 || position + 1 >= size())
        return false;
    std::swap(parts_[static_cast<size_t>(position)], parts_[static_cast<size_t>(position + 1)]);
    return true;
}

void FormulaSubstringShown(std::int32_t start, std::int32_t length, int* shownStart, int* shownLength)
{
    int s = std::clamp<std::int32_t>(start, SubstringMin, SubstringMax);
    int n = length;
    if (length <= 0) {
        s = SubstringMin;
        n = SubstringMax;
    } else if (length > SubstringMax) {
        n = SubstringMax;
    }
    if (shownStart)
        *shownStart = s;
    if (shownLength)
        *shownLength = n;
}

FormulaFormFields FormulaFieldsFromEntry(ConstFormulaEntry entry)
{
    FormulaFormFields f;
    f.parts = FormulaPartList(entry.expression());
    FormulaSubstringShown(entry.substringStart(), entry.substringLength(), &f.substringStart, &f.substringLength);
    f.direction = entry.substringDirection() == SubstringDirection::RightToLeft ? SubstringDirection::RightToLeft
                                                                                : SubstringDirection::LeftToRight;
    f.format = FieldsFromFormat(entry.outputFormat());
    return f;
}

FormCheck AcceptFormulaForm(
    const VariableTables& tables, const FormulaFormFields& f, const QByteArray& name, FormulaEntry entry)
{
    int fillWidth = 0;
    ParseInt(f.format.fillWidth, &fillWidth);
    if (MaxLengthTooShort(f.format, fillWidth))
        return { false, QStringLiteral("CounterFormInside"), QStringLiteral("message2"), 0 };

    const int start = std::clamp(f.substringStart, SubstringMin, SubstringMax);
    const int length = std::clamp(f.substringLength, SubstringMin, SubstringMax);
    const CodePage& cp = CodePage::document();
    for (const QByteArray& part : f.parts.parts()) {
        const int entryNo = FindVariable(tables, VariableKind::Database, part);
        if (entryNo == 0)
            continue;
        ConstDatabaseFieldEntry db(Entry(tables, VariableKind::Database, entryNo));
        if (cp.CharNum(db.value()) < start)
            return { false, QStringLiteral("FormulaFormInside"), QStringLiteral("message2"), 0 };
    }

    const QByteArray expression = NormalizeFullWidth(f.parts.expression());
    if (!ValidateFormula(tables, name, expression))
        return { false, QStringLiteral("FormulaFormInside"), QStringLiteral("message1"), 0 };

    entry.setName(name);
    entry.setExpression(expression);
    entry.setSubstring(start, length, f.direction);
    entry.setOutputFormat(StoreOutputFormat(f.format, EmptyFillChar::None));
    return {};
}

} // namespace korvel
