#pragma once

#include "variables/database/QueryText.h"

#include <QString>
#include <QVariantList>

namespace korvel {

/// How the engine quotes identifiers: one quote character on both sides, doubled inside.
/// `splitTableSchema` lets "schema.table" name a table in a schema (servers), where a memory
/// table may carry a dot in its own name.
struct IdentifierQuoting {
    QChar quote = QLatin1Char('"');
    bool splitTableSchema = false;

    QString field(const QString& name) const;
    QString table(const QString& name) const;
};

/// What is handed to the engine: SQL text with "?" placeholders and the values bound to them.
struct EngineQuery {
    QString text;
    QVariantList values;

    bool operator==(const EngineQuery&) const = default;
};

/// The engine's query for the stored parts. The stored text of a filter value is never pasted
/// into the SQL: a number (checked by IsNumberValue, so only digits, "-" and ".") is written as a
/// numeric literal, every other value is bound as a parameter with its outer quotes removed.
/// Names are quoted identifiers. Without selected fields every column is read. Fails (and says
/// why) without a table or with an operator index outside the list.
bool ComposeEngineQuery(const QueryParts& parts, const IdentifierQuoting& quoting, EngineQuery* out, QString* error);

/// Hand-written query text in the stored dialect, made fit for the engine: "[name]" becomes a
/// quoted identifier and a double-quoted string becomes a single-quoted literal with its quotes
/// escaped. Single-quoted literals and comments pass unchanged.
QString TranslateSqlText(const QString& text, const IdentifierQuoting& quoting);

} // namespace korvel
