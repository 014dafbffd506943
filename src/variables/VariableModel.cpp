#include "variables/VariableModel.h"

#include "document/CodePage.h"
#include "document/LabelDocument.h"
#include "variables/VariableEntries.h"

#include <algorithm>

namespace korvel {

bool HasTable(VariableKind kind)
{
    switch (kind) {
    case VariableKind::Database:
    case VariableKind::Date:
    case VariableKind::Time:
    case VariableKind::Counter:
    case VariableKind::Formula: return true;
    default: return false;
    }
}

int TableCapacity(VariableKind kind)
{
    if (kind == VariableKind::Database)
        return VariableTables::DatabaseCapacity;
    return HasTable(kind) ? VariableTables::Capacity : 0;
}

int EntrySize(VariableKind kind)
{
    switch (kind) {
    case VariableKind::Database: return VariableTables::DatabaseEntrySize;
    case VariableKind::Date: return VariableTables::DateEntrySize;
    case VariableKind::Time: return VariableTables::TimeEntrySize;
    case VariableKind::Counter: return VariableTables::CounterEntrySize;
    case VariableKind::Formula: return VariableTables::FormulaEntrySize;
    default: return 0;
    }
}

QByteArray NamePrefix(VariableKind kind)
{
    switch (kind) {
    case VariableKind::Date: return "Date";
    case VariableKind::Time: return "Time";
    case VariableKind::Counter: return "Counter";
    case VariableKind::Formula: return "Formula";
    default: return {};
    }
}

QString KindLanguageKey(VariableKind kind)
{
    switch (kind) {
    case VariableKind::Database: return QStringLiteral("shujukubianliang");
    case VariableKind::Date: return QStringLiteral("riqi");
    case VariableKind::Time: return QStringLiteral("shijian");
    case VariableKind::Counter: return QStringLiteral("jishuqi");
    case VariableKind::Formula: return QStringLiteral("gongshi");
    default: return {};
    }
}

std::vector<QByteArray>* Table(VariableTables& t, VariableKind kind)
{
    switch (kind) {
    case VariableKind::Database: return &t.database;
    case VariableKind::Date: return &t.dates;
    case VariableKind::Time: return &t.times;
    case VariableKind::Counter: return &t.counters;
    case VariableKind::Formula: return &t.formulas;
    default: return nullptr;
    }
}

const std::vector<QByteArray>* Table(const VariableTables& t, VariableKind kind)
{
    return Table(const_cast<VariableTables&>(t), kind);
}

int EntryCount(const VariableTables& tables, VariableKind kind)
{
    const auto* table = Table(tables, kind);
    return table ? static_cast<int>(table->size()) : 0;
}

QByteArray* Entry(VariableTables& tables, VariableKind kind, int entry)
{
    auto* table = Table(tables, kind);
    if (!table || entry < 1 || entry > static_cast<int>(table->size()))
        return nullptr;
    return &(*table)[static_cast<size_t>(entry - 1)];
}

const QByteArray* Entry(const VariableTables& tables, VariableKind kind, int entry)
{
    return Entry(const_cast<VariableTables&>(tables), kind, entry);
}

namespace {

int nameCapacity(VariableKind kind)
{
    return kind == VariableKind::Database ? 30 : 16;
}

QByteArray nameOf(const QByteArray& entry, VariableKind kind)
{
    return FixedRecord(entry).str(0, nameCapacity(kind));
}

} // namespace

QByteArray EntryName(const VariableTables& tables, VariableKind kind, int entry)
{
    const QByteArray* e = Entry(tables, kind, entry);
    return e ? nameOf(*e, kind) : QByteArray();
}

QByteArray UpperAscii(const QByteArray& text)
{
    const CodePage& cp = CodePage::document();
    QByteArray out = text;
    for (qsizetype i = 0; i < out.size();) {
        const int len = cp.charLength(out, i);
        if (len == 1 && out[i] >= 'a' && out[i] <= 'z')
            out[i] = static_cast<char>(out[i] - 'a' + 'A');
        i += std::max(len, 1);
    }
    return out;
}

bool SameName(const QByteArray& a, const QByteArray& b)
{
    return a.size() == b.size() && UpperAscii(a) == UpperAscii(b);
}

QByteArray TrimSpaces(const QByteArray& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ')
        ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ')
        --end;
    return text.mid(begin, end - begin);
}

bool IsBlank(const QByteArray& text)
{
    return TrimSpaces(text).isEmpty();
}

QByteArray SurfaceText(const QByteArray& value)
{
    return IsBlank(value) ? QByteArray(NullMarker) : value;
}

QByteArray PrintedText(const QByteArray& value)
{
    return IsBlank(value) ? QByteArray(" ") : value;
}

QStringList ContentSourceLabels()
{
    return { QStringLiteral("屏幕数据"), QStringLiteral("数据库"), QStringLiteral("日期"), QStringLiteral("时间"),
        QStringLiteral("计数器"), QStringLiteral("公式") };
}

void ChooseContentSource(TOAControl& object, VariableKind kind, const QByteArray& name)
{
    if (kind == VariableKind::Constant || !HasTable(kind)) {
        object.VarName.clear();
        object.VarType = static_cast<std::int32_t>(VariableKind::Constant);
        return;
    }
    object.VarName = name;
    object.VarType = static_cast<std::int32_t>(kind);
}

bool CanAddVariable(const VariableTables& tables, VariableKind kind)
{
    return HasTable(kind) && EntryCount(tables, kind) < TableCapacity(kind);
}

int FindVariable(const VariableTables& tables, VariableKind kind, const QByteArray& name)
{
    const auto* table = Table(tables, kind);
    if (!table)
        return 0;
    for (size_t i = 0; i < table->size(); ++i) {
        if (SameName(nameOf((*table)[i], kind), name))
            return static_cast<int>(i) + 1;
    }
    return 0;
}

int FindVariable(const LabelDocument& document, VariableKind kind, const QByteArray& name)
{
    return FindVariable(document.variables, kind, name);
}

VariableKind VariableKindOf(const VariableTables& tables, const QByteArray& name)
{
    if (name.startsWith("<CONST>"))
        return VariableKind::Constant;
    const QByteArray trimmed = TrimSpaces(name);
    for (VariableKind kind : { VariableKind::Database, VariableKind::Date, VariableKind::Time, VariableKind::Formula,
             VariableKind::Counter }) {
        if (FindVariable(tables, kind, trimmed) > 0)
            return kind;
    }
    return VariableKind::Constant;
}

VariableKind VariableKindOf(const LabelDocument& document, const QByteArray& name)
{
    return VariableKindOf(document.variables, name);
}

bool IsKnownOperand(const VariableTables& tables, const QByteArray& name)
{
    if (name.startsWith(ConstMarker))
        return true;
    for (VariableKind kind : { VariableKind::Database, VariableKind::Date, VariableKind::Time, VariableKind::Counter,
             VariableKind::Formula }) {
        if (FindVariable(tables, kind, name) > 0)
            return true;
    }
    return false;
}

bool IsKnownOperand(const LabelDocument& document, const QByteArray& name)
{
    return IsKnownOperand(document.variables, name);
}

QByteArray NextVariableName(const VariableTables& tables, VariableKind kind)
{
    const QByteArray prefix = NamePrefix(kind);
    if (prefix.isEmpty())
        return {};
    // At most count + 1 candidates are needed: the table cannot hold them all.
    const int count = EntryCount(tables, kind);
    for (int n = 1; n <= count + 1; ++n) {
        const QByteArray candidate = prefix + QByteArray::number(n);
        if (FindVariable(tables, kind, candidate) == 0)
            return candidate;
    }
    return prefix + QByteArray::number(count + 1);
}

QByteArray NextVariableName(const LabelDocument& document, VariableKind kind)
{
    return NextVariableName(document.variables, kind);
}

bool IsUsedByFormula(const VariableTables& tables, const QByteArray& name)
{
    if (name.isEmpty())
        return false;
    const QByteArray wanted = UpperAscii(name);
    for (const QByteArray& entry : tables.formulas) {
        QByteArray expression = ConstFormulaEntry(entry).expression();
        expression.replace(" ", "");
        if (UpperAscii(expression).contains(wanted))
            return true;
    }
    return false;
}

bool IsVariableInUse(const LabelDocument& document, VariableKind kind, int entry)
{
    const QByteArray* bytes = Entry(document.variables, kind, entry);
    if (!bytes)
        return false;
    const QByteArray name = nameOf(*bytes, kind);
    for (const auto& object : document.objects()) {
        const ObjectKind k = object->kind();
        if ((k == ObjectKind::Text || k == ObjectKind::BarCode) && object->VarType == static_cast<std::int32_t>(kind)
            && object->VarName == name)
            return true;
    }
    return IsUsedByFormula(document.variables, name);
}

QByteArray VariableNumber(const QByteArray& name)
{
    QByteArray digits;
    for (char c : name) {
        if (c >= '0' && c <= '9')
            digits.append(c);
    }
    return digits;
}

QString DisplayedVariableName(VariableKind kind, const QByteArray& name, const QString& kindWord)
{
    const CodePage& cp = CodePage::document();
    if (kind == VariableKind::Database)
        return cp.toUnicode(name);
    return kindWord + QString::fromLatin1(VariableNumber(name));
}

QByteArray NewDatabaseFieldEntry(const QByteArray& column, const QByteArray& firstValue)
{
    QByteArray bytes(DatabaseFieldEntry::Size, '\0');
    DatabaseFieldEntry e(bytes);
    e.setName(column);
    e.setValue(firstValue);
    e.setTrim(true);
    e.setOutputFormat(TOutputFormat {});
    return bytes;
}

QByteArray NewEntry(VariableKind kind, const QByteArray& name)
{
    const int size = EntrySize(kind);
    if (size == 0)
        return {};
    QByteArray bytes(size, '\0');
    switch (kind) {
    case VariableKind::Database: return NewDatabaseFieldEntry(name, {});
    case VariableKind::Date: {
        DateEntry e(bytes);
        e.setName(name);
        e.setPatternIndex(0);
        break;
    }
    case VariableKind::Time: {
        TimeEntry e(bytes);
        e.setName(name);
        e.setPatternIndex(0);
        break;
    }
    case VariableKind::Counter: {
        CounterEntry e(bytes);
        e.setName(name);
        e.setType(CounterType::Decimal);
        e.setValue("0");
        e.setStep(1);
        e.setLimit("9");
        e.setResetValue("0");
        e.setLabelsPerStep(1);
        e.setOutputFormat(TOutputFormat {});
        break;
    }
    case VariableKind::Formula: {
        FormulaEntry e(bytes);
        e.setName(name);
        e.setOutputFormat(TOutputFormat {});
        // The substring setting that takes every character, as older entries are completed.
        e.setSubstring(1, 200, SubstringDirection::LeftToRight);
        break;
    }
    default: break;
    }
    return bytes;
}

int AddVariable(LabelDocument& document, VariableKind kind)
{
    auto* table = Table(document.variables, kind);
    if (!table || NamePrefix(kind).isEmpty())
        return 0;
    if (static_cast<int>(table->size()) >= TableCapacity(kind))
        return 0;
    table->push_back(NewEntry(kind, NextVariableName(document.variables, kind)));
    document.markModified();
    return static_cast<int>(table->size());
}

bool RemoveEntry(VariableTables& tables, VariableKind kind, int entry)
{
    auto* table = Table(tables, kind);
    if (!table || !Entry(tables, kind, entry))
        return false;
    table->erase(table->begin() + (entry - 1));
    return true;
}

DeleteResult DeleteVariable(LabelDocument& document, VariableKind kind, int entry)
{
    if (!Entry(document.variables, kind, entry))
        return DeleteResult::NoSuchEntry;
    if (IsVariableInUse(document, kind, entry))
        return DeleteResult::InUse;
    RemoveEntry(document.variables, kind, entry);
    document.markModified();
    return DeleteResult::Deleted;
}

} // namespace korvel
