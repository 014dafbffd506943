#pragma once

#include "variables/database/SourceBlock.h"

#include <QByteArray>
#include <QList>

#include <vector>

namespace korvel {

/// True when a filter value counts as a number: an optional leading "-" followed by digits
/// only, or digits with at most one ".". Numbers go into the query text without quotes.
bool IsNumberValue(const QByteArray& value);

/// The form in which a typed filter value is stored: unchanged for a number, otherwise between
/// double-quote characters.
QByteArray StoredFilterValue(const QByteArray& typed);

/// The value a stored filter value stands for: the text between the outer double quotes when
/// it has them, else the stored text.
QByteArray UnquotedFilterValue(const QByteArray& stored);

/// The parts a query is composed from. Names and values are bytes in the document code page.
struct QueryParts {
    std::vector<QByteArray> fields;
    QByteArray table;
    std::vector<TFilterRow> filters;
    std::vector<TSortEntry> sort;

    bool operator==(const QueryParts&) const = default;

    /// The chosen table, the selected fields, the filters and the sort of a stored block.
    static QueryParts fromBlock(const TDataSourceBlock& block);
    /// Every named field (selected, filtered and sorted), each once, in that order.
    std::vector<QByteArray> referencedFields() const;
};

/// The lines of the SQL text the document stores: "Select …", "From …", "Where …",
/// "Order By …", each only when its part is not empty.
QList<QByteArray> BuildSqlLines(const QueryParts& parts);

/// Joins query lines with the line breaks of the stored text (CR LF).
QByteArray JoinSqlLines(const QList<QByteArray>& lines);

/// Splits stored query text into lines (CR LF or LF); empty lines are dropped.
QList<QByteArray> SplitSqlLines(const QByteArray& text);

/// True when two query texts hold the same lines, whatever their line breaks and the spaces
/// at line ends.
bool SameSqlText(const QByteArray& a, const QByteArray& b);

} // namespace korvel
