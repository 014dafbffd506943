#include "editor/data/DataTexts.h"

#include "document/CodePage.h"
#include "editor/Language.h"
#include "editor/UserPrompts.h"
#include "variables/DataSourceTree.h"

namespace korvel {

QString DataText(const char* section, const char* key, const QString& fallback)
{
    return LookupText(QString::fromLatin1(section), QString::fromLatin1(key), fallback);
}

void ShowDataMessageText(QWidget* parent, const QString& text)
{
    Prompts().message(parent, DataText("All", "tishi", QStringLiteral("提示")), text, UserPrompts::Icon::Information);
}

void ShowDataMessage(QWidget* parent, const char* section, const char* key, const QString& fallback)
{
    ShowDataMessageText(parent, DataText(section, key, fallback));
}

KindWords LanguageKindWords()
{
    KindWords words;
    for (int k = 1; k <= 5; ++k) {
        const QString word = LookupText(QStringLiteral("All"), KindLanguageKey(static_cast<VariableKind>(k)), QString());
        if (!word.isNull())
            words[static_cast<size_t>(k)] = word;
    }
    return words;
}

QString LanguageKindWord(VariableKind kind)
{
    return KindWord(kind, LanguageKindWords(), true);
}

namespace {
QStringList patternSection(const QString& file, const char* section, int count, const QStringList& builtIn)
{
    QStringList list;
    bool any = false;
    for (int i = 1; i <= count; ++i) {
        const QString p = LookupTextIn(file, QString::fromLatin1(section), QStringLiteral("message%1").arg(i), QString());
        any = any || !p.isNull();
        list.append(p.isNull() ? QString() : p);
    }
    return any ? list : builtIn;
}
} // namespace

DateTimePatterns LanguagePatternsIn(const QString& languageFile)
{
    const DateTimePatterns builtIn = DateTimePatterns::builtIn();
    DateTimePatterns p;
    p.date = patternSection(languageFile, "Common1", 7, builtIn.date);
    p.time = patternSection(languageFile, "Common2", 8, builtIn.time);
    return p;
}

DateTimePatterns LanguagePatterns()
{
    return LanguagePatternsIn(LanguageFilePath());
}

} // namespace korvel
