#include "variables/database/SourceBlock.h"

#include "document/Binary.h"

#include <algorithm>

namespace korvel {

namespace {

QByteArray lengthPrefixed(const QByteArray& value, int capacity)
{
    FixedRecord r(capacity + 1);
    r.setStr(0, capacity, value);
    return r.bytes();
}

QByteArray readLengthPrefixed(ByteReader& in, int capacity)
{
    return FixedRecord(in.bytes(capacity + 1)).str(0, capacity);
}

template <typename T>
qsizetype capped(const std::vector<T>& v)
{
    return std::min<qsizetype>(static_cast<qsizetype>(v.size()), TDataSourceBlock::MaxEntries);
}

bool fail(QString* error, const QString& message)
{
    if (error)
        *error = message;
    return false;
}

} // namespace

QByteArray TDataSourceBlock::chosenTable() const
{
    if (tableIndex < 0 || tableIndex >= static_cast<std::int32_t>(tables.size()))
        return {};
    return tables[static_cast<size_t>(tableIndex)];
}

std::vector<QByteArray> TDataSourceBlock::selectedFields() const
{
    std::vector<QByteArray> out;
    for (size_t i = 0; i < fields.size(); ++i)
        if (i < selected.size() && selected[i])
            out.push_back(fields[i]);
    return out;
}

QByteArray TDataSourceBlock::toBytes() const
{
    ByteWriter out;
    const qsizetype nTables = capped(tables);
    const qsizetype nFields = capped(fields);
    const qsizetype nSort = capped(sort);
    const qsizetype nFilters = capped(filters);

    out.i32(static_cast<std::int32_t>(nTables));
    out.i32(tableIndex < nTables ? tableIndex : -1);
    out.i32(static_cast<std::int32_t>(nFields));
    out.u8(static_cast<std::uint8_t>(nSort));
    out.u8(static_cast<std::uint8_t>(nFilters));
    for (qsizetype i = 0; i < nTables; ++i)
        out.bytes(lengthPrefixed(tables[i], NameCapacity));
    for (qsizetype i = 0; i < nFields; ++i)
        out.bytes(lengthPrefixed(fields[i], NameCapacity));
    for (qsizetype i = 0; i < nFields; ++i)
        out.u8(static_cast<size_t>(i) < selected.size() && selected[i] ? 1 : 0);
    for (qsizetype i = 0; i < nSort; ++i) {
        out.bytes(lengthPrefixed(sort[i].field, TSortEntry::FieldCapacity));
        out.u8(sort[i].descending ? 1 : 0);
    }
    for (qsizetype i = 0; i < nFilters; ++i) {
        const TFilterRow& f = filters[i];
        out.u8(static_cast<std::uint8_t>(f.join));
        out.bytes(lengthPrefixed(f.field, TFilterRow::FieldCapacity));
        out.u8(f.op);
        out.bytes(lengthPrefixed(f.value, TFilterRow::ValueCapacity));
    }
    out.i32(isFile ? 1 : 0);
    if (isFile)
        out.bytes(lengthPrefixed(filePath, FilePathCapacity));
    const QByteArray t = text.left(TextCapacity);
    out.i32(static_cast<std::int32_t>(t.size()));
    out.bytes(t);
    out.zeros(TextCapacity - t.size());
    return out.take();
}

std::optional<TDataSourceBlock> TDataSourceBlock::fromBytes(const QByteArray& bytes, QString* error)
{
    if (error)
        error->clear();
    if (bytes.isEmpty())
        return std::nullopt;

    ByteReader in(bytes);
    TDataSourceBlock b;
    const std::int32_t nTables = in.i32();
    b.tableIndex = in.i32();
    const std::int32_t nFields = in.i32();
    const int nSort = in.u8();
    const int nFilters = in.u8();
    if (!in.ok()) {
        fail(error, QStringLiteral("data-source block too short"));
        return std::nullopt;
    }
    if (nTables < 0 || nTables > MaxEntries || nFields < 0 || nFields > MaxEntries || nSort > MaxEntries
        || nFilters > MaxEntries) {
        fail(error, QStringLiteral("data-source block has impossible list sizes"));
        return std::nullopt;
    }
    for (int i = 0; i < nTables; ++i)
        b.tables.push_back(readLengthPrefixed(in, NameCapacity));
    for (int i = 0; i < nFields; ++i)
        b.fields.push_back(readLengthPrefixed(in, NameCapacity));
    for (int i = 0; i < nFields; ++i)
        b.selected.push_back(in.u8() == 1);
    for (int i = 0; i < nSort; ++i) {
        TSortEntry s;
        s.field = readLengthPrefixed(in, TSortEntry::FieldCapacity);
        s.descending = in.u8() != 0;
        b.sort.push_back(s);
    }
    for (int i = 0; i < nFilters; ++i) {
        TFilterRow f;
        f.join = in.u8() == 1 ? FilterJoin::Or : FilterJoin::And;
        f.field = readLengthPrefixed(in, TFilterRow::FieldCapacity);
        f.op = in.u8();
        f.value = readLengthPrefixed(in, TFilterRow::ValueCapacity);
        b.filters.push_back(f);
    }
    b.isFile = in.i32() == 1;
    if (b.isFile)
        b.filePath = readLengthPrefixed(in, FilePathCapacity);
    const std::int32_t textLength = in.i32();
    const QByteArray text = in.bytes(TextCapacity);
    if (!in.ok()) {
        fail(error, QStringLiteral("data-source block is cut short"));
        return std::nullopt;
    }
    if (textLength < 0 || textLength > TextCapacity) {
        fail(error, QStringLiteral("data-source block has a bad text length"));
        return std::nullopt;
    }
    b.text = text.left(textLength);
    return b;
}

} // namespace korvel
