#pragma once

#include "variables/DateTimeVariables.h"
#include "variables/VariableModel.h"

#include <QByteArray>
#include <QString>

class QWidget;

namespace korvel {

/// A text of the current language file, or the fallback.
QString DataText(const char* section, const char* key, const QString& fallback);
/// The message boxes of the data dialogs: title "All"/"tishi", text by section and key.
void ShowDataMessage(QWidget* parent, const char* section, const char* key, const QString& fallback);
/// The same with a text already looked up.
void ShowDataMessageText(QWidget* parent, const QString& text);

/// The words for the kinds from section "All" of the language file; unset where it lacks one.
KindWords LanguageKindWords();
/// The word for one kind as the dialogs show it (the tree's default when the file lacks it).
QString LanguageKindWord(VariableKind kind);

/// The display patterns of the current language: dates from section "Common1", times from
/// "Common2" (keys "message1"…). A language file without either section gives the built-in
/// lists; a key missing from a section that is there gives an empty pattern (the system's
/// short date and long time).
DateTimePatterns LanguagePatterns();
/// The same read from a given language file.
DateTimePatterns LanguagePatternsIn(const QString& languageFile);

} // namespace korvel
