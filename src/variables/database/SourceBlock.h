#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace korvel {

/// How a filter row joins the rows before it (ignored on the first row).
enum class FilterJoin : std::uint8_t { And = 0, Or = 1 };

/// Operators of a filter row, by the index stored in the row.
inline constexpr const char* FilterOperators[] = {"=", "<>", "<", ">", "<=", ">=", "LIKE"};
inline constexpr int FilterOperatorCount = 7;

/// One filter row of the query (74 bytes in the block). The value is kept as stored: a value
/// that is not a number carries its double quotes.
struct TFilterRow {
    static constexpr int Size = 74;
    static constexpr int FieldCapacity = 20;
    static constexpr int ValueCapacity = 50;

    FilterJoin join = FilterJoin::And;
    QByteArray field;
    std::uint8_t op = 0;
    QByteArray value;

    bool operator==(const TFilterRow&) const = default;
};

/// One sort entry of the query (22 bytes in the block).
struct TSortEntry {
    static constexpr int Size = 22;
    static constexpr int FieldCapacity = 20;

    QByteArray field;
    bool descending = false;

    bool operator==(const TSortEntry&) const = default;
};

/// The data-source settings block the document stores with its database binding: the whole
/// choice of the data-source dialog. Texts are bytes in the document code page.
struct TDataSourceBlock {
    static constexpr int MaxEntries = 100;
    static constexpr int NameCapacity = 20;
    static constexpr int FilePathCapacity = 255;
    static constexpr int TextCapacity = 4096;

    std::vector<QByteArray> tables;
    std::int32_t tableIndex = -1;
    std::vector<QByteArray> fields;
    /// One flag per field (same length as `fields`).
    std::vector<bool> selected;
    std::vector<TSortEntry> sort;
    std::vector<TFilterRow> filters;
    bool isFile = false;
    /// The data file (only stored when isFile).
    QByteArray filePath;
    /// For an ODBC source the data source name, for a data file the connection string.
    QByteArray text;

    bool operator==(const TDataSourceBlock&) const = default;

    /// The chosen table, or empty when tableIndex does not name one.
    QByteArray chosenTable() const;
    /// The selected fields in list order.
    std::vector<QByteArray> selectedFields() const;

    /// The stored form. Lists longer than 100 entries and names longer than their capacity are
    /// cut, so the result always reads back.
    QByteArray toBytes() const;
    /// Reads a stored block. An empty array gives nullopt with an empty error (no data source);
    /// a damaged block gives nullopt and says what is wrong.
    static std::optional<TDataSourceBlock> fromBytes(const QByteArray& bytes, QString* error = nullptr);
};

} // namespace korvel
