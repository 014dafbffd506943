#pragma once

#include <QByteArray>

#include <vector>

namespace korvel {

/// The five variable tables of a document, held as their fixed-size file records so that
/// every byte survives a round trip. The variables library gives the fields their meaning.
struct VariableTables {
    static constexpr int DatabaseEntrySize = 352;
    static constexpr int DateEntrySize = 152;
    static constexpr int TimeEntrySize = 152;
    static constexpr int CounterEntrySize = 204;
    static constexpr int FormulaEntrySize = 344;
    /// Capacity of every table (entries are numbered from 1; the count is one byte).
    static constexpr int Capacity = 99;
    /// The database-field table holds one entry fewer.
    static constexpr int DatabaseCapacity = 98;

    std::vector<QByteArray> database;
    std::vector<QByteArray> dates;
    std::vector<QByteArray> times;
    std::vector<QByteArray> counters;
    std::vector<QByteArray> formulas;

    bool operator==(const VariableTables&) const = default;
};

/// The document's database binding as stored in the label file; the variables library opens it.
struct DatabaseBinding {
    bool active = false;
    std::int32_t recordNumber = 0;
    QByteArray sql;
    QByteArray connectionString;
    QByteArray sourceBlock;

    bool operator==(const DatabaseBinding&) const = default;
};

} // namespace korvel
