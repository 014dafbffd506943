#include "variables/database/EngineQuery.h"

#include "document/CodePage.h"

namespace korvel {

QString IdentifierQuoting::field(const QString& name) const
{
    QString q = name;
    q.replace(quote, QString(2, quote));
    return quote + q + quote;
}

QString IdentifierQuoting::table(const QString& name) const
{
    if (!splitTableSchema || !name.contains(QLatin1Char('.')))
        return field(name);
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    return field(name.left(dot)) + QLatin1Char('.') + field(name.mid(dot + 1));
}

bool ComposeEngineQuery(const QueryParts& parts, const IdentifierQuoting& quoting, EngineQuery* out, QString* error)
{
    *out = {};
    if (parts.table.isEmpty()) {
        *error = QStringLiteral("no table is chosen");
        return false;
    }
    QString sql = QStringLiteral("SELECT ");
    if (parts.fields.empty()) {
        sql += QLatin1Char('*');
    } else {
        for (size_t i = 0; i < parts.fields.size(); ++i) {
            if (i > 0)
                sql += QStringLiteral(", ");
            sql += quoting.field(FromDocumentBytes(parts.fields[i]));
        }
    }
    sql += QStringLiteral(" FROM ") + quoting.table(FromDocumentBytes(parts.table));

    for (size_t i = 0; i < parts.filters.size(); ++i) {
        const TFilterRow& f = parts.filters[i];
        if (f.op >= FilterOperatorCount) {
            *error = QStringLiteral("filter row %1 has an unknown operator (%2)").arg(i + 1).arg(f.op);
            return false;
        }
        if (f.field.isEmpty()) {
            *error = QStringLiteral("filter row %1 names no field").arg(i + 1);
            return false;
        }
        sql += i == 0 ? QStringLiteral(" WHERE ") : (f.join == FilterJoin::Or ? QStringLiteral(" OR ") : QStringLiteral(" AND "));
        sql += QLatin1Char('(') + quoting.field(FromDocumentBytes(f.field)) + QLatin1Char(' ') + QLatin1String(FilterOperators[f.op]) + QLatin1Char(' ');
        if (IsNumberValue(f.value)) {
            sql += QString::fromLatin1(f.value);
        } else {
            sql += QLatin1Char('?');
            out->values << FromDocumentBytes(UnquotedFilterValue(f.value));
        }
        sql += QLatin1Char(')');
    }

    for (size_t i = 0; i < parts.sort.size(); ++i) {
        sql += i == 0 ? QStringLiteral(" ORDER BY ") : QStringLiteral(", ");
        sql += quoting.field(FromDocumentBytes(parts.sort[i].field)) + (parts.sort[i].descending ? QStringLiteral(" DESC") : QStringLiteral(" ASC"));
    }
    out->text = sql;
    return true;
}

QString TranslateSqlText(const QString& text, const IdentifierQuoting& quoting)
{
    QString out;
    out.reserve(text.size() + 16);
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text[i];
        if (c == QLatin1Char('\'')) {
            // A standard literal passes as it is, doubled quotes included.
            qsizetype j = i + 1;
            while (j < n) {
                if (text[j] == QLatin1Char('\'')) {
                    if (j + 1 < n && text[j + 1] == QLatin1Char('\'')) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            out += text.mid(i, std::min(j + 1, n) - i);
            if (j >= n)
                out += QLatin1Char('\''); // close an open literal rather than hand the engine half a query
            i = j + 1;
        } else if (c == QLatin1Char('"')) {
            QString value;
            qsizetype j = i + 1;
            while (j < n) {
                if (text[j] == QLatin1Char('"')) {
                    if (j + 1 < n && text[j + 1] == QLatin1Char('"')) {
                        value += QLatin1Char('"');
                        j += 2;
                        continue;
                    }
                    break;
                }
                value += text[j++];
            }
            value.replace(QLatin1Char('\''), QStringLiteral("''"));
            out += QLatin1Char('\'') + value + QLatin1Char('\'');
            i = j + 1;
        } else if (c == QLatin1Char('[')) {
            const qsizetype close = text.indexOf(QLatin1Char(']'), i + 1);
            const qsizetype end = close < 0 ? n : close;
            out += quoting.table(text.mid(i + 1, end - i - 1));
            i = end + 1;
        } else if (c == QLatin1Char('-') && i + 1 < n && text[i + 1] == QLatin1Char('-')) {
            const qsizetype eol = text.indexOf(QLatin1Char('\n'), i);
            const qsizetype end = eol < 0 ? n : eol;
            out += text.mid(i, end - i);
            i = end;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

} // namespace korvel
