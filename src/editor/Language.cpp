#include "editor/Language.h"

#include "document/CodePage.h"
#include "document/DataPaths.h"
#include "document/IniFile.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <QGroupBox>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <functional>
#include <memory>

namespace korvel {

namespace {

int g_language = 0;

const char* const kNames[LanguageCount] = { "Simplified", "English", "Traditional", "Traditional2" };

/// A parsed language file, kept while the file on disk stays the same.
struct LoadedFile {
    QDateTime modified;
    qint64 size = -1;
    std::shared_ptr<const IniFile> ini;
    int codePage = 936;
    bool utf8 = false;
};

int codePageOfFile(const QString& path)
{
    const QString base = QFileInfo(path).completeBaseName();
    for (int i = 0; i < LanguageCount; ++i)
        if (base.compare(QLatin1String(kNames[i]), Qt::CaseInsensitive) == 0)
            return LanguageCodePage(i);
    return 936;
}

/// The language file as last read; a missing file gives an empty INI. Reading is cached by
/// modification time and size, which gives the same result as opening the file for every
/// lookup without the cost.
const LoadedFile& loadLanguageFile(const QString& path)
{
    static QHash<QString, LoadedFile> cache;
    const QFileInfo info(path);
    LoadedFile& entry = cache[path];
    const QDateTime modified = info.exists() ? info.lastModified() : QDateTime();
    const qint64 size = info.exists() ? info.size() : -1;
    if (entry.ini && entry.modified == modified && entry.size == size)
        return entry;
    QByteArray bytes;
    if (info.exists()) {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly))
            bytes = f.readAll();
    }
    entry.utf8 = bytes.startsWith("\xEF\xBB\xBF");
    if (entry.utf8)
        bytes.remove(0, 3);
    entry.ini = std::make_shared<const IniFile>(IniFile::parse(bytes));
    entry.codePage = codePageOfFile(path);
    entry.modified = modified;
    entry.size = size;
    return entry;
}

/// Reads one key as text. Like the Windows profile functions, a value in double quotes loses
/// them, which lets a text keep leading or trailing spaces.
std::optional<QString> readKey(const LoadedFile& file, const QString& section, const QString& key)
{
    const std::optional<QByteArray> raw = file.ini->value(section.toUtf8(), key.toUtf8());
    if (!raw)
        return std::nullopt;
    QByteArray v = *raw;
    if (v.size() >= 2 && v.startsWith('"') && v.endsWith('"'))
        v = v.mid(1, v.size() - 2);
    if (file.utf8)
        return QString::fromUtf8(v);
    return CodePage(file.codePage).toUnicode(v);
}

// ---- translation of one window --------------------------------------------------------

enum PropertyBit : int {
    CaptionBit = 1,
    HintBit = 2,
    TextBit = 4,
    LinesBit = 8,
    ItemsBit = 16,
    CellsBit = 32,
    ColumnsBit = 64,
    PanelsBit = 128,
    PagesBit = 256,
    HintsBit = 512,
    AllBits = 1023,
};

/// The component classes of the language-file table. A widget may name its class in the
/// dynamic property "componentClass" where the Qt class alone does not tell (a group box
/// that is a radio group, a button with a hint, a tree that is a list view).
enum class Component {
    None,
    MenuItem,
    ToolButton,
    Caption,
    CaptionHint,
    Edit,
    Memo,
    ListBox,
    ComboBox,
    RadioGroup,
    TabSheet,
    StringGrid,
    TreeView,
    ListView,
    StatusBar,
    Notebook,
    DBNavigator,
};

Component componentOf(QObject* o)
{
    const QString declared = o->property("componentClass").toString();
    if (!declared.isEmpty()) {
        static const QHash<QString, Component> byName = {
            { "TMenuItem", Component::MenuItem },
            { "TToolButton", Component::ToolButton },
            { "TLabel", Component::Caption },
            { "TButton", Component::Caption },
            { "TCheckBox", Component::Caption },
            { "TRadioButton", Component::Caption },
            { "TGroupBox", Component::Caption },
            { "TStaticText", Component::Caption },
            { "TToolBar", Component::Caption },
            { "TEdit", Component::Edit },
            { "TMaskEdit", Component::Edit },
            { "TMemo", Component::Memo },
            { "TRichEdit", Component::Memo },
            { "TListBox", Component::ListBox },
            { "TCheckListBox", Component::ListBox },
            { "TComboBox", Component::ComboBox },
            { "TRadioGroup", Component::RadioGroup },
            { "TBitBtn", Component::CaptionHint },
            { "TSpeedButton", Component::CaptionHint },
            { "TTabSheet", Component::TabSheet },
            { "TStringGrid", Component::StringGrid },
            { "TTreeView", Component::TreeView },
            { "TListView", Component::ListView },
            { "TStatusBar", Component::StatusBar },
            { "TNotebook", Component::Notebook },
            { "TDBNavigator", Component::DBNavigator },
        };
        return byName.value(declared, Component::None);
    }
    if (auto* a = qobject_cast<QAction*>(o)) {
        for (QObject* user : a->associatedObjects())
            if (qobject_cast<QToolBar*>(user))
                return Component::ToolButton;
        return Component::MenuItem;
    }
    if (qobject_cast<QMenu*>(o))
        return Component::MenuItem;
    if (qobject_cast<QToolButton*>(o))
        return Component::CaptionHint;
    if (qobject_cast<QAbstractButton*>(o) || qobject_cast<QLabel*>(o) || qobject_cast<QGroupBox*>(o)
        || qobject_cast<QToolBar*>(o))
        return Component::Caption;
    if (qobject_cast<QLineEdit*>(o))
        return Component::Edit;
    if (qobject_cast<QPlainTextEdit*>(o) || qobject_cast<QTextEdit*>(o))
        return Component::Memo;
    if (qobject_cast<QListWidget*>(o))
        return Component::ListBox;
    if (qobject_cast<QComboBox*>(o))
        return Component::ComboBox;
    if (qobject_cast<QTableWidget*>(o))
        return Component::StringGrid;
    if (qobject_cast<QTreeWidget*>(o))
        return Component::TreeView;
    if (qobject_cast<QStatusBar*>(o))
        return Component::StatusBar;
    if (auto* w = qobject_cast<QWidget*>(o)) {
        // A tab page sits in the tab widget's internal stack.
        QWidget* stack = w->parentWidget();
        if (stack && qobject_cast<QStackedWidget*>(stack) && qobject_cast<QTabWidget*>(stack->parentWidget()))
            return Component::TabSheet;
    }
    return Component::None;
}

class Translator {
public:
    Translator(const LoadedFile& file, const QString& section)
        : file_(file)
        , section_(section)
    {
        // Every document window shares the tool-button hints of the first one.
        hintSection_ = section.left(9) == QLatin1String("ChildForm") ? QStringLiteral("ChildForm") : section;
    }

    QString get(const QString& key, const QString& current) const
    {
        return readKey(file_, section_, key).value_or(current);
    }
    QString getFrom(const QString& section, const QString& key, const QString& current) const
    {
        return readKey(file_, section, key).value_or(current);
    }

    void windowItself(QWidget* w, int mask)
    {
        const QString name = w->objectName();
        if (name.isEmpty())
            return;
        if (mask & CaptionBit)
            w->setWindowTitle(get(name + ".Caption", w->windowTitle()));
        if (mask & HintBit)
            w->setToolTip(get(name + ".Hint", w->toolTip()));
    }

    void component(QObject* o)
    {
        const QString name = o->objectName();
        // Qt names some of its own inner widgets ("qt_toolbar_ext_button"); they are not ours.
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")))
            return;
        const QString caption = name + QStringLiteral(".Caption");
        const QString hint = name + QStringLiteral(".Hint");
        switch (componentOf(o)) {
        case Component::None: break;
        case Component::MenuItem:
            if (auto* m = qobject_cast<QMenu*>(o))
                m->setTitle(get(caption, m->title()));
            else if (auto* a = qobject_cast<QAction*>(o))
                a->setText(get(caption, a->text()));
            break;
        case Component::ToolButton:
            if (auto* a = qobject_cast<QAction*>(o)) {
                a->setText(get(caption, a->text()));
                a->setToolTip(getFrom(hintSection_, hint, a->toolTip()));
            } else if (auto* b = qobject_cast<QAbstractButton*>(o)) {
                b->setText(get(caption, b->text()));
                b->setToolTip(getFrom(hintSection_, hint, b->toolTip()));
            }
            break;
        case Component::Caption: setCaption(o, caption); break;
        case Component::CaptionHint:
            setCaption(o, caption);
            if (auto* w = qobject_cast<QWidget*>(o))
                w->setToolTip(get(hint, w->toolTip()));
            break;
        case Component::Edit:
            if (auto* e = qobject_cast<QLineEdit*>(o))
                e->setText(get(name + ".Text", e->text()));
            break;
        case Component::Memo: memo(o, name); break;
        case Component::ListBox:
            if (auto* l = qobject_cast<QListWidget*>(o))
                for (int i = 0; i < l->count(); ++i)
                    l->item(i)->setText(get(indexed(name, ".Items[", i), l->item(i)->text()));
            break;
        case Component::ComboBox:
            if (auto* c = qobject_cast<QComboBox*>(o)) {
                const int selected = c->currentIndex();
                // A typed text that no entry holds survives the refill of the entries.
                const QString typed = c->currentText();
                for (int i = 0; i < c->count(); ++i)
                    c->setItemText(i, get(indexed(name, ".Items[", i), c->itemText(i)));
                c->setCurrentIndex(selected);
                if (c->isEditable())
                    c->setEditText(get(name + ".Text", typed));
            }
            break;
        case Component::RadioGroup:
            if (auto* g = qobject_cast<QGroupBox*>(o)) {
                const QList<QRadioButton*> items
                    = g->findChildren<QRadioButton*>(QString(), Qt::FindDirectChildrenOnly);
                for (int i = 0; i < items.size(); ++i)
                    items[i]->setText(get(indexed(name, ".Items[", i), items[i]->text()));
                g->setTitle(get(caption, g->title()));
            }
            break;
        case Component::TabSheet: tabSheet(qobject_cast<QWidget*>(o), caption, hint); break;
        case Component::StringGrid:
            if (auto* t = qobject_cast<QTableWidget*>(o))
                for (int r = 0; r < t->rowCount(); ++r)
                    for (int c = 0; c < t->columnCount(); ++c)
                        if (QTableWidgetItem* item = t->item(r, c))
                            item->setText(get(name + QStringLiteral(".Cells[%1,%2]").arg(c).arg(r), item->text()));
            break;
        case Component::TreeView:
            if (auto* t = qobject_cast<QTreeWidget*>(o)) {
                int i = 0;
                std::function<void(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* item) {
                    item->setText(0, get(name + QStringLiteral(".Items[%1].Text").arg(i++), item->text(0)));
                    for (int k = 0; k < item->childCount(); ++k)
                        walk(item->child(k));
                };
                for (int k = 0; k < t->topLevelItemCount(); ++k)
                    walk(t->topLevelItem(k));
            }
            break;
        case Component::ListView:
            if (auto* t = qobject_cast<QTreeWidget*>(o)) {
                for (int i = 0; i < t->topLevelItemCount(); ++i)
                    t->topLevelItem(i)->setText(
                        0, get(name + QStringLiteral(".Items[%1].Caption").arg(i), t->topLevelItem(i)->text(0)));
                QTreeWidgetItem* header = t->headerItem();
                for (int i = 0; header && i < header->columnCount(); ++i)
                    header->setText(i, get(name + QStringLiteral(".Columns[%1].Caption").arg(i), header->text(i)));
            }
            break;
        case Component::StatusBar:
            if (auto* s = qobject_cast<QStatusBar*>(o))
                for (QLabel* panel : s->findChildren<QLabel*>()) {
                    bool ok = false;
                    const int i = panel->property("panelIndex").toInt(&ok);
                    if (ok)
                        panel->setText(get(name + QStringLiteral(".Panels[%1].Text").arg(i), panel->text()));
                }
            break;
        case Component::Notebook:
            if (auto* s = qobject_cast<QStackedWidget*>(o))
                for (int i = 0; i < s->count(); ++i)
                    s->widget(i)->setWindowTitle(get(indexed(name, ".Pages[", i), s->widget(i)->windowTitle()));
            break;
        case Component::DBNavigator:
            if (auto* w = qobject_cast<QWidget*>(o)) {
                const QList<QToolButton*> buttons
                    = w->findChildren<QToolButton*>(QString(), Qt::FindDirectChildrenOnly);
                for (int i = 0; i < buttons.size(); ++i)
                    buttons[i]->setToolTip(get(indexed(name, ".Hints[", i), buttons[i]->toolTip()));
                w->setToolTip(get(hint, w->toolTip()));
            }
            break;
        }
    }

private:
    static QString indexed(const QString& name, const char* open, int i)
    {
        return name + QLatin1String(open) + QString::number(i) + QLatin1Char(']');
    }

    void setCaption(QObject* o, const QString& key)
    {
        if (auto* l = qobject_cast<QLabel*>(o))
            l->setText(get(key, l->text()));
        else if (auto* b = qobject_cast<QAbstractButton*>(o))
            b->setText(get(key, b->text()));
        else if (auto* g = qobject_cast<QGroupBox*>(o))
            g->setTitle(get(key, g->title()));
        else if (auto* t = qobject_cast<QToolBar*>(o))
            t->setWindowTitle(get(key, t->windowTitle()));
        else if (auto* w = qobject_cast<QWidget*>(o))
            w->setWindowTitle(get(key, w->windowTitle()));
    }

    void memo(QObject* o, const QString& name)
    {
        QStringList lines;
        if (auto* p = qobject_cast<QPlainTextEdit*>(o))
            lines = p->toPlainText().split(QLatin1Char('\n'));
        else if (auto* t = qobject_cast<QTextEdit*>(o))
            lines = t->toPlainText().split(QLatin1Char('\n'));
        for (int i = 0; i < lines.size(); ++i)
            lines[i] = get(indexed(name, ".Lines[", i), lines[i]);
        const QString text = lines.join(QLatin1Char('\n'));
        if (auto* p = qobject_cast<QPlainTextEdit*>(o))
            p->setPlainText(text);
        else if (auto* t = qobject_cast<QTextEdit*>(o))
            t->setPlainText(text);
    }

    void tabSheet(QWidget* page, const QString& caption, const QString& hint)
    {
        auto* tabs = qobject_cast<QTabWidget*>(page->parentWidget()->parentWidget());
        const int i = tabs->indexOf(page);
        if (i < 0)
            return;
        tabs->setTabText(i, get(caption, tabs->tabText(i)));
        tabs->setTabToolTip(i, get(hint, tabs->tabToolTip(i)));
    }

    const LoadedFile& file_;
    QString section_;
    QString hintSection_;
};

/// A widget that is a window of its own (a dialog, a document window) translates itself with
/// its own section, so the walk does not enter it. Pop-up menus are windows too, but they
/// belong to the window that owns them.
bool isOwnWindow(QObject* o)
{
    auto* w = qobject_cast<QWidget*>(o);
    if (!w)
        return false;
    if (w->property("formSection").isValid())
        return true;
    return w->isWindow() && !qobject_cast<QMenu*>(w);
}

void walk(QObject* parent, Translator& t)
{
    for (QObject* child : parent->children()) {
        if (isOwnWindow(child))
            continue;
        t.component(child);
        walk(child, t);
    }
}

} // namespace

QString LanguageName(int index)
{
    if (index < 0 || index >= LanguageCount)
        return {};
    return QString::fromLatin1(kNames[index]);
}

int LanguageCodePage(int index)
{
    switch (index) {
    case 1: return 1252;
    case 3: return 950;
    default: return 936;
    }
}

int CurrentLanguage()
{
    return g_language;
}

void SetCurrentLanguage(int index)
{
    g_language = index;
}

QString LanguageFilePath()
{
    return dataDirectory() + QStringLiteral("/Language/") + LanguageName(g_language) + QStringLiteral(".lan");
}

QString LookupTextIn(const QString& languageFile, const QString& section, const QString& key, const QString& fallback)
{
    return readKey(loadLanguageFile(languageFile), section, key).value_or(fallback);
}

QString LookupText(const QString& section, const QString& key, const QString& fallback)
{
    return LookupTextIn(LanguageFilePath(), section, key, fallback);
}

QString FormatText(const QString& format, const QString& argument)
{
    QString out = format;
    const qsizetype at = out.indexOf(QLatin1String("%s"));
    if (at >= 0)
        out.replace(at, 2, argument);
    return out;
}

TextLookup LanguageLookup()
{
    return [](const char* section, const char* key, const QString& fallback) {
        return LookupText(QString::fromLatin1(section), QString::fromLatin1(key), fallback);
    };
}

void TranslateWindow(QWidget* window, const QString& languageFile, const QString& section)
{
    if (!window)
        return;
    const LoadedFile& file = loadLanguageFile(languageFile);
    Translator t(file, section);
    bool ok = false;
    int mask = window->property("tag").toInt(&ok);
    if (!ok || mask == 0)
        mask = AllBits;
    t.windowItself(window, mask);
    walk(window, t);
}

void TranslateWindow(QWidget* window)
{
    if (!window)
        return;
    const QString section = window->property("formSection").toString();
    TranslateWindow(window, LanguageFilePath(), section.isEmpty() ? window->objectName() : section);
}

QString SystemDefaultLanguageId()
{
    const QLocale locale = QLocale::system();
    if (locale.language() != QLocale::Chinese)
        return QStringLiteral("0409");
    const QLocale::Territory t = locale.territory();
    if (t == QLocale::Taiwan || t == QLocale::HongKong || t == QLocale::Macao
        || locale.script() == QLocale::TraditionalChineseScript)
        return QStringLiteral("0404");
    return QStringLiteral("0804");
}

int LanguageIndexOfOptionEntry(int entry, const QString& systemLanguageId)
{
    if (entry == 2)
        return systemLanguageId == QLatin1String("0404") ? 3 : 2;
    return entry == 1 ? 1 : 0;
}

int OptionEntryOfLanguageIndex(int index)
{
    if (index == 1)
        return 1;
    if (index == 2 || index == 3)
        return 2;
    return 0;
}

} // namespace korvel
