#pragma once

#include <QString>

namespace korvel {

/// Whether query text typed by hand (or stored with a label) only reads: one statement that
/// begins with SELECT, WITH or "(", without a second statement after a ";", and without a word
/// that writes (INSERT, UPDATE, DELETE, MERGE, INTO, CREATE, DROP, ALTER, TRUNCATE, …) outside
/// quotes, bracketed names and comments. A query that could write to the user's database is
/// never handed to the engine; `why` names what was found.
bool IsReadOnlySqlText(const QString& text, QString* why = nullptr);

} // namespace korvel
