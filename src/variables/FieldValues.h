#pragma once

#include <QByteArray>

#include <optional>

namespace korvel {

/// Read access to the current record of a document's open query. Values are text in the
/// document code page. The database source implements it; evaluation and printing read it.
class FieldValues {
public:
    virtual ~FieldValues() = default;
    /// Whether a query is open (a closed source evaluates database variables to " ").
    virtual bool isOpen() const = 0;
    /// The current record's value of a column, by name (case-insensitive); nullopt when there is
    /// no such column. A NULL value is returned as an empty array.
    virtual std::optional<QByteArray> value(const QByteArray& fieldName) const = 0;
};

} // namespace korvel
