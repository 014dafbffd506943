#include "variables/database/ReadOnlyQuery.h"

#include <QStringList>

namespace korvel {

namespace {

/// The text with quoted strings, quoted names and comments replaced by a space each, so that
/// only the words of the statement remain. An unclosed quote or comment swallows the rest.
QString bareWords(const QString& text)
{
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    qsizetype i = 0;
    auto skipQuoted = [&](QChar close) {
        ++i;
        while (i < n) {
            if (text[i] == close) {
                // A doubled closing quote stands for one inside.
                if (i + 1 < n && text[i + 1] == close && close != QLatin1Char(']')) {
                    i += 2;
                    continue;
                }
                ++i;
                return;
            }
            ++i;
        }
    };
    while (i < n) {
        const QChar c = text[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`')) {
            skipQuoted(c);
            out += QLatin1Char(' ');
        } else if (c == QLatin1Char('[')) {
            skipQuoted(QLatin1Char(']'));
            out += QLatin1Char(' ');
        } else if (c == QLatin1Char('-') && i + 1 < n && text[i + 1] == QLatin1Char('-')) {
            while (i < n && text[i] != QLatin1Char('\n'))
                ++i;
            out += QLatin1Char(' ');
        } else if (c == QLatin1Char('/') && i + 1 < n && text[i + 1] == QLatin1Char('*')) {
            const qsizetype end = text.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
            out += QLatin1Char(' ');
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

bool refuse(QString* why, const QString& message)
{
    if (why)
        *why = message;
    return false;
}

} // namespace

bool IsReadOnlySqlText(const QString& text, QString* why)
{
    QString words = bareWords(text).trimmed();
    // One statement: a ";" may only end it.
    while (words.endsWith(QLatin1Char(';')))
        words = words.chopped(1).trimmed();
    if (words.contains(QLatin1Char(';')))
        return refuse(why, QStringLiteral("the query holds more than one statement"));
    if (words.isEmpty())
        return refuse(why, QStringLiteral("the query is empty"));

    QStringList list;
    QString current;
    for (const QChar c : words) {
        if (c.isLetterOrNumber() || c == QLatin1Char('_')) {
            current += c.toUpper();
        } else {
            if (!current.isEmpty())
                list << current;
            current.clear();
            if (c == QLatin1Char('('))
                list << QStringLiteral("(");
        }
    }
    if (!current.isEmpty())
        list << current;
    if (list.isEmpty())
        return refuse(why, QStringLiteral("the query is empty"));
    const QString& first = list.front();
    if (first != u"SELECT" && first != u"WITH" && first != u"(")
        return refuse(why, QStringLiteral("only a query that reads (SELECT) can be run, not %1").arg(first));
    static const QStringList writing = { QStringLiteral("INSERT"), QStringLiteral("UPDATE"), QStringLiteral("DELETE"),
        QStringLiteral("MERGE"), QStringLiteral("INTO"), QStringLiteral("CREATE"), QStringLiteral("DROP"),
        QStringLiteral("ALTER"), QStringLiteral("TRUNCATE"), QStringLiteral("GRANT"), QStringLiteral("REVOKE"),
        QStringLiteral("ATTACH"), QStringLiteral("DETACH"), QStringLiteral("PRAGMA"), QStringLiteral("VACUUM"),
        QStringLiteral("CALL"), QStringLiteral("EXEC"), QStringLiteral("EXECUTE"), QStringLiteral("COPY"),
        QStringLiteral("LOCK"), QStringLiteral("UPSERT"), QStringLiteral("REINDEX") };
    for (const QString& w : list)
        if (writing.contains(w))
            return refuse(why, QStringLiteral("the query would change the database (%1)").arg(w));
    return true;
}

} // namespace korvel
