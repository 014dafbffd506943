#pragma once

#include <QString>

namespace korvel {

/// The locale of Qt's own translations for a language index: "zh_CN" for Simplified Chinese,
/// "zh_TW" for both Traditional ones, empty for English (Qt's own texts are English).
QString QtTranslationLocale(int languageIndex);

/// Puts Qt's own translations (standard buttons, file and colour dialogs, context menus of the
/// edit fields) into the application for a language index, replacing those of the previous
/// language. False when the language needs them and they are not installed (the texts then
/// stay English).
bool UseQtTranslations(int languageIndex);

} // namespace korvel
