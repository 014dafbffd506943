#include "editor/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

namespace korvel {

namespace {
QPointer<QTranslator> g_installed;
}

QString QtTranslationLocale(int languageIndex)
{
    switch (languageIndex) {
    case 0: return QStringLiteral("zh_CN");
    case 2:
    case 3: return QStringLiteral("zh_TW");
    default: return {};
    }
}

bool UseQtTranslations(int languageIndex)
{
    if (g_installed) {
        QCoreApplication::removeTranslator(g_installed);
        delete g_installed;
    }
    const QString locale = QtTranslationLocale(languageIndex);
    if (locale.isEmpty())
        return true;
    auto* translator = new QTranslator(QCoreApplication::instance());
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    // "qt_" is the catalogue that pulls in the modules' files; "qtbase_" alone covers the
    // dialogs and buttons when only that file is installed.
    if (!translator->load(QStringLiteral("qt_") + locale, folder)
        && !translator->load(QStringLiteral("qtbase_") + locale, folder)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    g_installed = translator;
    return true;
}

} // namespace korvel
