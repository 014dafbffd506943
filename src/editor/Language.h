#pragma once

#include "printing/PrinterProfiles.h"

#include <QString>

class QWidget;

namespace korvel {

/// Language indexes: 0 "Simplified", 1 "English", 2 "Traditional", 3 "Traditional2".
inline constexpr int LanguageCount = 4;

/// The language name of an index; empty for any other value.
QString LanguageName(int index);
/// The code page a language file is written in: Simplified and Traditional in 936 (the
/// traditional characters of GBK), English in 1252, Traditional2 in 950 (Big5).
int LanguageCodePage(int index);

/// The process-wide language index.
int CurrentLanguage();
void SetCurrentLanguage(int index);

/// <data directory>/Language/<current language name>.lan
QString LanguageFilePath();

/// Looks a text up in the current language file; the fallback when the file, section or key
/// is missing.
QString LookupText(const QString& section, const QString& key, const QString& fallback);
/// The same in a given language file (code page from the file's language name).
QString LookupTextIn(const QString& languageFile, const QString& section, const QString& key, const QString& fallback);
/// Replaces the first "%s" of a language text by the argument (texts are C format strings).
QString FormatText(const QString& format, const QString& argument);
/// LookupText in the shape the printing layer takes for its status texts.
TextLookup LanguageLookup();

/// Applies the window section of a language file to a window and every component it owns:
/// menus and actions, labels, buttons, check boxes, group boxes, tool bars, edits, lists,
/// combo boxes (keeping the selected index), tab pages, tables, trees and status bar panels,
/// each by object name. Windows nested inside (document windows, dialogs) are left to
/// translate themselves. A missing key leaves the text as it is.
void TranslateWindow(QWidget* window, const QString& languageFile, const QString& section);
/// TranslateWindow with the current language file and the window's object name as section.
void TranslateWindow(QWidget* window);

/// The system's default language as a Windows language identifier ("0404" for Taiwan and
/// Hong Kong Chinese, "0804" for other Chinese, "0409" otherwise), from the locale.
QString SystemDefaultLanguageId();
/// The language index of an entry of the options dialog's language box (0 Simplified,
/// 1 English, 2 Traditional), given the system default language.
int LanguageIndexOfOptionEntry(int entry, const QString& systemLanguageId);
/// The options dialog entry that shows a language index.
int OptionEntryOfLanguageIndex(int index);

} // namespace korvel
