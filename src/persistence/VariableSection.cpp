#include "persistence/VariableSection.h"

namespace korvel {

namespace {

void copyStr(const FixedRecord& from, int fromAt, FixedRecord& to, int toAt, int n)
{
    to.setStr(toAt, n, from.str(fromAt, n));
}

void copyBytes(const FixedRecord& from, int first, int last, FixedRecord& to, int toAt)
{
    to.setRaw(toAt, from.raw(first, last - first + 1));
}

struct TableRead {
    int count = 0;
    int entrySize = 0;
    int capacity = VariableTables::Capacity;
    QByteArray (*convert)(const QByteArray&) = nullptr;
    std::vector<QByteArray>* target = nullptr;
};

QByteArray padTo(const QByteArray& entry, int size)
{
    return entry.left(size).leftJustified(size, '\0', true);
}

QByteArray padTime(const QByteArray& entry)
{
    return padTo(entry, VariableTables::TimeEntrySize);
}

bool readTables(ByteReader& in, std::vector<TableRead>& tables, QString& damage)
{
    for (TableRead& t : tables)
        t.count = in.u8();
    if (!in.ok()) {
        damage = QStringLiteral("the variable section is cut short");
        return false;
    }
    for (TableRead& t : tables) {
        if (t.target)
            t.target->clear();
        for (int i = 0; i < t.count; ++i) {
            const QByteArray entry = in.bytes(t.entrySize);
            if (!in.ok()) {
                damage = QStringLiteral("the variable section is cut short");
                return false;
            }
            if (!t.target)
                continue;
            if (static_cast<int>(t.target->size()) >= t.capacity) {
                damage = QStringLiteral("a variable table holds more entries than it can");
                continue;
            }
            t.target->push_back(t.convert ? t.convert(entry) : entry);
        }
    }
    return damage.isEmpty();
}

} // namespace

QByteArray ConvertDatabaseEntry344(const QByteArray& entry)
{
    const FixedRecord from(padTo(entry, 344));
    FixedRecord to(VariableTables::DatabaseEntrySize);
    copyStr(from, 0, to, 0, 30);
    copyStr(from, 31, to, 31, 200);
    to.setU8(232, from.u8(232));
    to.setI32(236, 1);
    copyBytes(from, 233, 343, to, 240);
    return to.bytes();
}

QByteArray CompleteFormulaEntry329(const QByteArray& entry)
{
    FixedRecord to(VariableTables::FormulaEntrySize);
    to.setRaw(0, padTo(entry, 329));
    to.setI32(332, 1);
    to.setI32(336, 200);
    to.setI32(340, 0);
    return to.bytes();
}

QByteArray ConvertLegacyDatabaseEntry(const QByteArray& entry)
{
    const FixedRecord from(padTo(entry, 324));
    FixedRecord to(VariableTables::DatabaseEntrySize);
    copyStr(from, 0, to, 0, 30);
    copyStr(from, 11, to, 31, 200);
    to.setU8(232, from.u8(212));
    copyBytes(from, 213, 320, to, 240);
    copyBytes(from, 321, 322, to, 348);
    to.setU8(350, from.u8(323));
    return to.bytes();
}

QByteArray ConvertLegacyDateEntry(const QByteArray& entry)
{
    const FixedRecord from(padTo(entry, 120));
    FixedRecord to(VariableTables::DateEntrySize);
    copyStr(from, 0, to, 0, 16);
    to.setI32(20, 1);
    copyStr(from, 11, to, 24, 100);
    to.setI32(128, from.i32(112));
    to.setU8(140, from.u8(116));
    return to.bytes();
}

QByteArray ConvertLegacyFormulaEntry(const QByteArray& entry)
{
    const FixedRecord from(padTo(entry, 323));
    FixedRecord to(VariableTables::FormulaEntrySize);
    copyStr(from, 0, to, 0, 16);
    copyStr(from, 11, to, 17, 200);
    copyBytes(from, 212, 319, to, 218);
    copyBytes(from, 320, 321, to, 326);
    to.setU8(328, from.u8(322));
    return to.bytes();
}

QByteArray ConvertLegacyCounterEntry(const QByteArray& entry)
{
    const FixedRecord from(padTo(entry, 200));
    FixedRecord to(VariableTables::CounterEntrySize);
    copyStr(from, 0, to, 0, 16);
    to.setU8(17, from.u8(11));
    copyStr(from, 12, to, 18, 20);
    to.setI32(40, from.i32(36));
    copyStr(from, 40, to, 44, 20);
    copyStr(from, 61, to, 65, 20);
    to.setI32(88, from.i32(84));
    copyBytes(from, 88, 195, to, 92);
    copyBytes(from, 196, 197, to, 200);
    to.setU8(202, from.u8(198));
    return to.bytes();
}

bool ReadVariableSection(ByteReader& in, VariableLayout layout, VariableTables& t, QString& damage)
{
    using V = VariableTables;
    std::vector<TableRead> tables;
    switch (layout) {
    case VariableLayout::V100:
        tables = {{0, V::DatabaseEntrySize, V::DatabaseCapacity, nullptr, &t.database},
                  {0, V::DateEntrySize, V::Capacity, nullptr, &t.dates},
                  {0, V::TimeEntrySize, V::Capacity, nullptr, &t.times},
                  {0, V::CounterEntrySize, V::Capacity, nullptr, &t.counters},
                  {0, V::FormulaEntrySize, V::Capacity, nullptr, &t.formulas}};
        break;
    case VariableLayout::V3202:
        tables = {{0, V::DatabaseEntrySize, V::DatabaseCapacity, nullptr, &t.database},
                  {0, V::DateEntrySize, V::Capacity, nullptr, &t.dates},
                  {0, V::TimeEntrySize, V::Capacity, nullptr, &t.times},
                  {0, V::CounterEntrySize, V::Capacity, nullptr, &t.counters},
                  {0, 329, V::Capacity, &CompleteFormulaEntry329, &t.formulas}};
        break;
    case VariableLayout::V310:
    case VariableLayout::V300:
        // Version 300 kept its time entries in an older 144-byte record; its fields sit where the
        // current record has them, so padding keeps the time variables usable.
        tables = {{0, 344, V::DatabaseCapacity, &ConvertDatabaseEntry344, &t.database},
                  {0, V::DateEntrySize, V::Capacity, nullptr, &t.dates},
                  {0, layout == VariableLayout::V300 ? 144 : V::TimeEntrySize, V::Capacity,
                   layout == VariableLayout::V300 ? &padTime : nullptr, &t.times},
                  {0, V::CounterEntrySize, V::Capacity, nullptr, &t.counters},
                  {0, 329, V::Capacity, &CompleteFormulaEntry329, &t.formulas}};
        break;
    case VariableLayout::Legacy:
        t.times.clear();
        tables = {{0, 324, V::DatabaseCapacity, &ConvertLegacyDatabaseEntry, &t.database},
                  {0, 120, V::Capacity, &ConvertLegacyDateEntry, &t.dates},
                  {0, 323, V::Capacity, &ConvertLegacyFormulaEntry, &t.formulas},
                  {0, 174, V::Capacity, nullptr, nullptr},
                  {0, 200, V::Capacity, &ConvertLegacyCounterEntry, &t.counters}};
        break;
    }
    return readTables(in, tables, damage);
}

void WriteVariableSection(ByteWriter& out, const VariableTables& t)
{
    const std::vector<std::pair<const std::vector<QByteArray>*, int>> tables = {
        {&t.database, VariableTables::DatabaseEntrySize}, {&t.dates, VariableTables::DateEntrySize},
        {&t.times, VariableTables::TimeEntrySize},        {&t.counters, VariableTables::CounterEntrySize},
        {&t.formulas, VariableTables::FormulaEntrySize}};
    for (const auto& [entries, size] : tables)
        out.u8(static_cast<std::uint8_t>(std::min<size_t>(entries->size(), 255)));
    for (const auto& [entries, size] : tables)
        for (size_t i = 0; i < entries->size() && i < 255; ++i)
            out.bytes(padTo((*entries)[i], size));
}

} // namespace korvel
