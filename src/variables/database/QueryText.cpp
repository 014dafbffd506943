#include "variables/database/QueryText.h"

#include <algorithm>

namespace korvel {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool sameNameBytes(const QByteArray& a, const QByteArray& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

bool IsNumberValue(const QByteArray& value)
{
    if (value.isEmpty())
        return false;
    if (value.startsWith('-')) {
        const QByteArray digits = value.mid(1);
        return !digits.isEmpty() && std::all_of(digits.begin(), digits.end(), isDigit);
    }
    int dots = 0;
    int digits = 0;
    for (char c : value) {
        if (c == '.')
            ++dots;
        else if (isDigit(c))
            ++digits;
        else
            return false;
    }
    return dots <= 1 && digits > 0;
}

QByteArray StoredFilterValue(const QByteArray& typed)
{
    if (IsNumberValue(typed))
        return typed;
    return '"' + typed + '"';
}

QByteArray UnquotedFilterValue(const QByteArray& stored)
{
    if (stored.size() >= 2 && stored.startsWith('"') && stored.endsWith('"'))
        return stored.mid(1, stored.size() - 2);
    return stored;
}

QueryParts QueryParts::fromBlock(const TDataSourceBlock& block)
{
    QueryParts p;
    p.fields = block.selectedFields();
    p.table = block.chosenTable();
    p.filters = block.filters;
    p.sort = block.sort;
    return p;
}

std::vector<QByteArray> QueryParts::referencedFields() const
{
    std::vector<QByteArray> out;
    auto add = [&out](const QByteArray& name) {
        if (name.isEmpty())
            return;
        for (const QByteArray& n : out)
            if (sameNameBytes(n, name))
                return;
        out.push_back(name);
    };
    for (const QByteArray& f : fields)
        add(f);
    for (const TFilterRow& f : filters)
        add(f.field);
    for (const TSortEntry& s : sort)
        add(s.field);
    return out;
}

QList<QByteArray> BuildSqlLines(const QueryParts& parts)
{
    QList<QByteArray> lines;
    if (!parts.fields.empty()) {
        QByteArray select = "Select ";
        for (size_t i = 0; i < parts.fields.size(); ++i) {
            if (i > 0)
                select += ',';
            select += '[' + parts.fields[i] + ']';
        }
        lines << select;
    }
    if (!parts.table.isEmpty())
        lines << "From [" + parts.table + ']';
    if (!parts.filters.empty()) {
        QByteArray where = "Where ";
        for (size_t i = 0; i < parts.filters.size(); ++i) {
            const TFilterRow& f = parts.filters[i];
            if (i > 0)
                where += f.join == FilterJoin::Or ? " or " : " and ";
            const QByteArray op = f.op < FilterOperatorCount ? QByteArray(FilterOperators[f.op]) : QByteArray();
            where += '(' + f.field + ' ' + op + ' ' + f.value + ')';
        }
        lines << where;
    }
    if (!parts.sort.empty()) {
        QByteArray order = "Order By ";
        for (const TSortEntry& s : parts.sort)
            order += s.field + (s.descending ? " Desc," : " Asc,");
        order.chop(1);
        lines << order;
    }
    return lines;
}

QByteArray JoinSqlLines(const QList<QByteArray>& lines)
{
    return lines.join("\r\n");
}

QList<QByteArray> SplitSqlLines(const QByteArray& text)
{
    QList<QByteArray> out;
    for (QByteArray line : text.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.trimmed().isEmpty())
            out << line;
    }
    return out;
}

bool SameSqlText(const QByteArray& a, const QByteArray& b)
{
    QList<QByteArray> la = SplitSqlLines(a);
    QList<QByteArray> lb = SplitSqlLines(b);
    if (la.size() != lb.size())
        return false;
    for (qsizetype i = 0; i < la.size(); ++i) {
        QByteArray x = la[i];
        QByteArray y = lb[i];
        while (x.endsWith(' ') || x.endsWith('\t'))
            x.chop(1);
        while (y.endsWith(' ') || y.endsWith('\t'))
            y.chop(1);
        if (x != y)
            return false;
    }
    return true;
}

} // namespace korvel
