#include "editor/HelpWindow.h"

#include "document/DataPaths.h"
#include "editor/Language.h"

#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QPointer>
#include <QShortcut>
#include <QTextBrowser>

namespace korvel {

namespace {
QPointer<QTextBrowser> g_help;
}

QStringList HelpTopic::all()
{
    return { MainForm, StartPage, Options, NewLabel, PageSetup, PrinterSettings, Print, Text, Barcode, Image, Rectangle,
        Ellipse, Lines, Counter, Date, Time, Formula, Database };
}

QString HelpFilePath(const QString& topic)
{
    // A topic is a plain file name; anything that climbs out of the help folder is refused.
    if (topic.isEmpty() || topic.contains(QLatin1Char('/')) || topic.contains(QLatin1Char('\\'))
        || topic.startsWith(QLatin1Char('.')))
        return {};
    const QString base = dataDirectory() + QStringLiteral("/help/");
    if (CurrentLanguage() == 1) {
        const QString english = base + QStringLiteral("English/") + topic;
        if (QFileInfo::exists(english))
            return english;
    }
    const QString chinese = base + topic;
    return QFileInfo::exists(chinese) ? chinese : QString();
}

QString HelpWindowCaption()
{
    return LookupText(QStringLiteral("MainFormInside"), QStringLiteral("HelpTitle"), HelpWindowTitle);
}

namespace {
/// A window opened while a modal dialog is up is blocked behind it unless the dialog is its
/// parent. The help window therefore belongs to the dialog while the dialog is open and
/// becomes a window of its own when the dialog closes, so it stays with the user.
void attachToModalDialog(QTextBrowser* browser)
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
        return;
    browser->setParent(modal, Qt::Window);
    if (auto* dialog = qobject_cast<QDialog*>(modal))
        QObject::connect(dialog, &QDialog::finished, browser, [browser] {
            const QRect where = browser->geometry();
            const bool shown = browser->isVisible();
            browser->setParent(nullptr, Qt::Window);
            browser->setGeometry(where);
            if (shown)
                browser->show();
        });
}
} // namespace

QTextBrowser* ShowHelpTopic(const QString& topic)
{
    // One help window at a time: the window of the previous topic goes first. Its title
    // follows the language, so it is known by its name.
    if (g_help) {
        g_help->close();
        g_help->deleteLater();
    }
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && (w->objectName() == QLatin1String("HelpForm") || w->windowTitle() == HelpWindowTitle))
            w->close();

    auto* browser = new QTextBrowser;
    browser->setAttribute(Qt::WA_DeleteOnClose);
    browser->setObjectName(QStringLiteral("HelpForm"));
    browser->setWindowTitle(HelpWindowCaption());
    attachToModalDialog(browser);
    browser->setOpenLinks(true);
    browser->resize(640, 520);
    const QString path = HelpFilePath(topic);
    if (path.isEmpty()) {
        browser->setHtml(QStringLiteral("<h2>%1</h2><p>%2</p>")
                             .arg(HelpWindowCaption().toHtmlEscaped(),
                                 FormatText(LookupText(QStringLiteral("MainFormInside"), QStringLiteral("helpmissing"),
                                                QStringLiteral("帮助主题%s不存在")),
                                     topic)
                                     .toHtmlEscaped()));
    } else {
        browser->setSearchPaths({ QFileInfo(path).absolutePath() });
        browser->setSource(QUrl::fromLocalFile(path));
    }
    browser->show();
    browser->raise();
    browser->activateWindow();
    g_help = browser;
    return browser;
}

QTextBrowser* CurrentHelpWindow()
{
    return g_help.data();
}

void BindHelpKey(QWidget* window, const QString& topic)
{
    auto* shortcut = new QShortcut(QKeySequence(Qt::Key_F1), window);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(shortcut, &QShortcut::activated, window, [topic] { ShowHelpTopic(topic); });
    window->setProperty("helpTopic", topic);
}

} // namespace korvel
