#include "EditorTestSupport.h"

#include "document/CodePage.h"
#include "document/IniFile.h"
#include "editor/FirstForm.h"
#include "editor/OptionsForm.h"
#include "editor/PageLayoutDialogs.h"
#include "editor/data/DataSourcePanel.h"
#include "persistence/RegistryStore.h"
#include "variables/DataSourceTree.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

namespace korvel::test {
namespace {

/// Points the data folder elsewhere for one test.
class ScopedData {
public:
    explicit ScopedData(const QString& path)
        : previous_(qgetenv("KORVEL_DATA"))
    {
        qputenv("KORVEL_DATA", path.toUtf8());
    }
    ~ScopedData() { qputenv("KORVEL_DATA", previous_); }

private:
    QByteArray previous_;
};

/// Writes a language file in its code page.
void writeLanguage(const QString& dataDir, const QString& language, const QString& text, int codePage)
{
    QDir(dataDir).mkpath(QStringLiteral("Language"));
    writeFile(dataDir + QStringLiteral("/Language/") + language + QStringLiteral(".lan"),
        CodePage(codePage).fromUnicode(text));
}

TEST(Language, NamesAndCodePagesOfTheIndexes)
{
    const struct {
        int index;
        const char* name;
        int codePage;
    } rows[]
        = { { 0, "Simplified", 936 }, { 1, "English", 1252 }, { 2, "Traditional", 936 }, { 3, "Traditional2", 950 } };
    for (const auto& row : rows) {
        EXPECT_EQ(LanguageName(row.index), QLatin1String(row.name));
        EXPECT_EQ(LanguageCodePage(row.index), row.codePage);
    }
    EXPECT_TRUE(LanguageName(4).isEmpty());
    EXPECT_TRUE(LanguageName(-1).isEmpty());
}

TEST(Language, OptionEntriesMapToIndexes)
{
    EXPECT_EQ(LanguageIndexOfOptionEntry(0, QStringLiteral("0404")), 0);
    EXPECT_EQ(LanguageIndexOfOptionEntry(1, QStringLiteral("0404")), 1);
    EXPECT_EQ(LanguageIndexOfOptionEntry(2, QStringLiteral("0404")), 3);
    EXPECT_EQ(LanguageIndexOfOptionEntry(2, QStringLiteral("0804")), 2);
    EXPECT_EQ(LanguageIndexOfOptionEntry(2, QStringLiteral("0409")), 2);
    for (int index = 0; index < LanguageCount; ++index)
        EXPECT_EQ(LanguageIndexOfOptionEntry(
                      OptionEntryOfLanguageIndex(index), index == 3 ? QStringLiteral("0404") : QString()),
            index);
}

TEST(Language, FormatTextFillsTheFirstPlaceholder)
{
    EXPECT_EQ(FormatText(QStringLiteral("文件%s不存在"), QStringLiteral("/a.kvl")), QStringLiteral("文件/a.kvl不存在"));
    EXPECT_EQ(FormatText(QStringLiteral("error"), QStringLiteral("/a.kvl")), QStringLiteral("error"));
    EXPECT_EQ(FormatText(QStringLiteral("%s and %s"), QStringLiteral("x")), QStringLiteral("x and %s"));
}

TEST(Language, LookupReadsEachFileInItsCodePageAndFallsBack)
{
    QTemporaryDir data;
    ScopedData scoped(data.path());
    writeLanguage(
        data.path(), QStringLiteral("Simplified"), QStringLiteral("[All]\r\ntishi=提示\r\nspaced=\" 左移 \"\r\n"), 936);
    writeLanguage(data.path(), QStringLiteral("Traditional2"), QStringLiteral("[All]\r\ntishi=說明\r\n"), 950);
    writeLanguage(data.path(), QStringLiteral("English"), QStringLiteral("[All]\r\ntishi=Caf\u00e9\r\n"), 1252);

    SetCurrentLanguage(0);
    EXPECT_EQ(LookupText(QStringLiteral("All"), QStringLiteral("tishi"), QStringLiteral("x")), QStringLiteral("提示"));
    EXPECT_EQ(
        LookupText(QStringLiteral("All"), QStringLiteral("spaced"), QStringLiteral("x")), QStringLiteral(" 左移 "));
    EXPECT_EQ(
        LookupText(QStringLiteral("All"), QStringLiteral("missing"), QStringLiteral("默认")), QStringLiteral("默认"));
    EXPECT_EQ(
        LookupText(QStringLiteral("Nowhere"), QStringLiteral("tishi"), QStringLiteral("默认")), QStringLiteral("默认"));
    SetCurrentLanguage(3);
    EXPECT_EQ(LookupText(QStringLiteral("All"), QStringLiteral("tishi"), QStringLiteral("x")), QStringLiteral("說明"));
    SetCurrentLanguage(1);
    EXPECT_EQ(
        LookupText(QStringLiteral("All"), QStringLiteral("tishi"), QStringLiteral("x")), QStringLiteral("Caf\u00e9"));
    // Traditional has no file here: every lookup gives the caller's default.
    SetCurrentLanguage(2);
    EXPECT_EQ(
        LookupText(QStringLiteral("All"), QStringLiteral("tishi"), QStringLiteral("默认")), QStringLiteral("默认"));
    SetCurrentLanguage(7);
    EXPECT_EQ(
        LookupText(QStringLiteral("All"), QStringLiteral("tishi"), QStringLiteral("默认")), QStringLiteral("默认"));
    SetCurrentLanguage(0);

    // An edited file is read again.
    writeLanguage(data.path(), QStringLiteral("Simplified"), QStringLiteral("[All]\r\ntishi=注意事项\r\n"), 936);
    EXPECT_EQ(
        LookupText(QStringLiteral("All"), QStringLiteral("tishi"), QStringLiteral("x")), QStringLiteral("注意事项"));
}

/// A window with one component of every translated kind.
struct SampleWindow {
    QWidget window;
    QLabel* label;
    QPushButton* button;
    QCheckBox* check;
    QLineEdit* edit;
    QPlainTextEdit* memo;
    QListWidget* list;
    QComboBox* combo;
    QComboBox* editableCombo;
    QGroupBox* radioGroup;
    QTabWidget* tabs;
    QWidget* sheet;
    QTableWidget* grid;
    QTreeWidget* tree;
    QStatusBar* status;
    QLabel* panel;
    QMenu* menu;
    QAction* menuItem;
    QAction* toolButton;
    QLabel* unnamed;
    QDialog* nested;
    QLabel* nestedLabel;

    SampleWindow()
    {
        window.setObjectName(QStringLiteral("TestForm"));
        window.setWindowTitle(QStringLiteral("old"));
        label = new QLabel(QStringLiteral("old"), &window);
        label->setObjectName(QStringLiteral("Label1"));
        button = new QPushButton(QStringLiteral("old"), &window);
        button->setObjectName(QStringLiteral("Button1"));
        check = new QCheckBox(QStringLiteral("old"), &window);
        check->setObjectName(QStringLiteral("CheckBox1"));
        edit = new QLineEdit(QStringLiteral("old"), &window);
        edit->setObjectName(QStringLiteral("Edit1"));
        memo = new QPlainTextEdit(QStringLiteral("a\nb\nc"), &window);
        memo->setObjectName(QStringLiteral("Memo1"));
        list = new QListWidget(&window);
        list->setObjectName(QStringLiteral("ListBox1"));
        list->addItems({ QStringLiteral("a"), QStringLiteral("b") });
        combo = new QComboBox(&window);
        combo->setObjectName(QStringLiteral("ComboBox1"));
        combo->addItems({ QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c") });
        combo->setCurrentIndex(2);
        editableCombo = new QComboBox(&window);
        editableCombo->setObjectName(QStringLiteral("ComboBox2"));
        editableCombo->setEditable(true);
        editableCombo->addItem(QStringLiteral("a"));
        radioGroup = new QGroupBox(QStringLiteral("old"), &window);
        radioGroup->setObjectName(QStringLiteral("RadioGroup1"));
        radioGroup->setProperty("componentClass", QStringLiteral("TRadioGroup"));
        new QRadioButton(QStringLiteral("a"), radioGroup);
        new QRadioButton(QStringLiteral("b"), radioGroup);
        tabs = new QTabWidget(&window);
        sheet = new QWidget;
        sheet->setObjectName(QStringLiteral("TabSheet1"));
        tabs->addTab(sheet, QStringLiteral("old"));
        grid = new QTableWidget(2, 2, &window);
        grid->setObjectName(QStringLiteral("StringGrid1"));
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 2; ++c)
                grid->setItem(r, c, new QTableWidgetItem(QStringLiteral("old")));
        tree = new QTreeWidget(&window);
        tree->setObjectName(QStringLiteral("TreeView1"));
        auto* root = new QTreeWidgetItem(tree, { QStringLiteral("root") });
        new QTreeWidgetItem(root, { QStringLiteral("child") });
        new QTreeWidgetItem(tree, { QStringLiteral("second") });
        status = new QStatusBar(&window);
        status->setObjectName(QStringLiteral("StatusBar1"));
        panel = new QLabel(QStringLiteral("old"), status);
        panel->setProperty("panelIndex", 1);
        status->addWidget(panel);
        menu = new QMenu(QStringLiteral("old"), &window);
        menu->setObjectName(QStringLiteral("mnuFile"));
        menuItem = new QAction(QStringLiteral("old"), &window);
        menuItem->setObjectName(QStringLiteral("mnuNew"));
        menuItem->setToolTip(QStringLiteral("tip"));
        menu->addAction(menuItem);
        auto* bar = new QToolBar(QStringLiteral("old"), &window);
        bar->setObjectName(QStringLiteral("ToolBar1"));
        toolButton = new QAction(QStringLiteral("old"), &window);
        toolButton->setObjectName(QStringLiteral("ToolButton1"));
        bar->addAction(toolButton);
        unnamed = new QLabel(QStringLiteral("old"), &window);
        nested = new QDialog(&window);
        nested->setObjectName(QStringLiteral("Nested"));
        nestedLabel = new QLabel(QStringLiteral("old"), nested);
        nestedLabel->setObjectName(QStringLiteral("Label1"));
    }
};

const char* const kSampleSection = R"([TestForm]
TestForm.Caption=窗口
TestForm.Hint=窗口提示
Label1.Caption=标签
Button1.Caption=按钮
CheckBox1.Caption=选中
Edit1.Text=编辑
Memo1.Lines[0]=第一行
Memo1.Lines[2]=第三行
ListBox1.Items[1]=乙
ComboBox1.Items[0]=甲
ComboBox1.Items[2]=丙
ComboBox2.Text=可编辑
RadioGroup1.Caption=单选组
RadioGroup1.Items[0]=选项一
TabSheet1.Caption=页一
TabSheet1.Hint=页提示
StringGrid1.Cells[1,0]=格
TreeView1.Items[1].Text=子节点
TreeView1.Items[2].Text=第二
StatusBar1.Panels[1].Text=面板
mnuFile.Caption=文件
mnuNew.Caption=新建
mnuNew.Hint=不用于菜单项
ToolBar1.Caption=工具栏
ToolButton1.Caption=按钮二
ToolButton1.Hint=提示二
[ChildForm]
ToolButton1.Hint=共用提示
)";

TEST(TranslateWindow, AppliesTheComponentTable)
{
    QTemporaryDir data;
    writeLanguage(data.path(), QStringLiteral("Simplified"), QString::fromUtf8(kSampleSection), 936);
    const QString file = data.path() + QStringLiteral("/Language/Simplified.lan");
    SampleWindow w;
    TranslateWindow(&w.window, file, QStringLiteral("TestForm"));

    EXPECT_EQ(w.window.windowTitle(), QStringLiteral("窗口"));
    EXPECT_EQ(w.window.toolTip(), QStringLiteral("窗口提示"));
    EXPECT_EQ(w.label->text(), QStringLiteral("标签"));
    EXPECT_EQ(w.button->text(), QStringLiteral("按钮"));
    EXPECT_EQ(w.check->text(), QStringLiteral("选中"));
    EXPECT_EQ(w.edit->text(), QStringLiteral("编辑"));
    EXPECT_EQ(w.memo->toPlainText(), QStringLiteral("第一行\nb\n第三行"));
    EXPECT_EQ(w.list->item(0)->text(), QStringLiteral("a"));
    EXPECT_EQ(w.list->item(1)->text(), QStringLiteral("乙"));
    EXPECT_EQ(w.combo->itemText(0), QStringLiteral("甲"));
    EXPECT_EQ(w.combo->itemText(1), QStringLiteral("b"));
    EXPECT_EQ(w.combo->currentIndex(), 2); // the selection survives the new items
    EXPECT_EQ(w.combo->currentText(), QStringLiteral("丙"));
    EXPECT_EQ(w.editableCombo->currentText(), QStringLiteral("可编辑"));
    EXPECT_EQ(w.radioGroup->title(), QStringLiteral("单选组"));
    const auto radios = w.radioGroup->findChildren<QRadioButton*>();
    EXPECT_EQ(radios[0]->text(), QStringLiteral("选项一"));
    EXPECT_EQ(radios[1]->text(), QStringLiteral("b"));
    EXPECT_EQ(w.tabs->tabText(0), QStringLiteral("页一"));
    EXPECT_EQ(w.tabs->tabToolTip(0), QStringLiteral("页提示"));
    EXPECT_EQ(w.grid->item(0, 1)->text(), QStringLiteral("格"));
    EXPECT_EQ(w.grid->item(1, 0)->text(), QStringLiteral("old"));
    EXPECT_EQ(w.tree->topLevelItem(0)->text(0), QStringLiteral("root"));
    EXPECT_EQ(w.tree->topLevelItem(0)->child(0)->text(0), QStringLiteral("子节点"));
    EXPECT_EQ(w.tree->topLevelItem(1)->text(0), QStringLiteral("第二"));
    EXPECT_EQ(w.panel->text(), QStringLiteral("面板"));
    EXPECT_EQ(w.menu->title(), QStringLiteral("文件"));
    EXPECT_EQ(w.menuItem->text(), QStringLiteral("新建"));
    EXPECT_EQ(w.menuItem->toolTip(), QStringLiteral("tip")); // menu items take the caption only
    EXPECT_EQ(w.toolButton->text(), QStringLiteral("按钮二"));
    EXPECT_EQ(w.toolButton->toolTip(), QStringLiteral("提示二"));
    EXPECT_EQ(w.unnamed->text(), QStringLiteral("old"));
    EXPECT_EQ(w.nestedLabel->text(), QStringLiteral("old")); // a dialog translates itself
}

TEST(TranslateWindow, TheWindowTagMasksTheWindowsOwnProperties)
{
    QTemporaryDir data;
    writeLanguage(data.path(), QStringLiteral("Simplified"), QString::fromUtf8(kSampleSection), 936);
    const QString file = data.path() + QStringLiteral("/Language/Simplified.lan");
    SampleWindow w;
    w.window.setProperty("tag", 2); // hints only
    TranslateWindow(&w.window, file, QStringLiteral("TestForm"));
    EXPECT_EQ(w.window.windowTitle(), QStringLiteral("old"));
    EXPECT_EQ(w.window.toolTip(), QStringLiteral("窗口提示"));
    EXPECT_EQ(w.label->text(), QStringLiteral("标签")); // components always take everything
}

TEST(TranslateWindow, LaterDocumentWindowsShareTheToolButtonHints)
{
    QTemporaryDir data;
    writeLanguage(data.path(), QStringLiteral("Simplified"), QString::fromUtf8(kSampleSection), 936);
    const QString file = data.path() + QStringLiteral("/Language/Simplified.lan");
    SampleWindow w;
    w.window.setObjectName(QStringLiteral("ChildForm_1"));
    TranslateWindow(&w.window, file, QStringLiteral("ChildForm_1"));
    EXPECT_EQ(w.toolButton->toolTip(), QStringLiteral("共用提示"));
    EXPECT_EQ(w.label->text(), QStringLiteral("old")); // its own section has no such key
}

TEST(TranslateWindow, AMissingFileLeavesEveryText)
{
    SampleWindow w;
    TranslateWindow(&w.window, QStringLiteral("/nonexistent/Simplified.lan"), QStringLiteral("TestForm"));
    EXPECT_EQ(w.window.windowTitle(), QStringLiteral("old"));
    EXPECT_EQ(w.label->text(), QStringLiteral("old"));
    EXPECT_EQ(w.combo->currentIndex(), 2);
}

TEST_F(DesignerTest, WithoutALanguageFolderTheBuiltInTextsStay)
{
    QTemporaryDir empty;
    ScopedData scoped(empty.path());
    form->applyOptions(1, 0, 1, true);
    EXPECT_EQ(CurrentLanguage(), 1);
    EXPECT_EQ(form->findChild<QMenu*>(QStringLiteral("mnuFile"))->title(), QStringLiteral("文件(&F)"));
    EXPECT_EQ(form->action(QStringLiteral("mnuOpen"))->text(), QStringLiteral("打开(&O)..."));
}

TEST_F(DesignerTest, SwitchingTheLanguageRetranslatesTheWindows)
{
    TChildForm* child = form->openLabel(starter());
    ASSERT_NE(child, nullptr);
    auto* file = form->findChild<QMenu*>(QStringLiteral("mnuFile"));
    EXPECT_EQ(file->title(), QStringLiteral("文件(&F)"));

    form->applyOptions(1, 0, 1, true);
    EXPECT_EQ(form->settings().languageIndex(), 1);
    EXPECT_EQ(file->title(), QStringLiteral("&File"));
    EXPECT_EQ(form->action(QStringLiteral("mnuSaveAs"))->text(), QStringLiteral("Save &as..."));
    EXPECT_EQ(form->action(QStringLiteral("ToolButtonOpen"))->toolTip(), QStringLiteral("Open a label"));
    EXPECT_EQ(form->toolbar(0)->windowTitle(), QStringLiteral("Standard"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Korvel Label Designer"));
    EXPECT_EQ(form->statusPanel(0)->text(), QStringLiteral("Label: 60mm x 40mm"));
    EXPECT_EQ(form->statusPanel(1)->text(), QStringLiteral("Printer: VTX-M1"));
    // The document window keeps its file name as caption.
    EXPECT_EQ(child->windowTitle(), QStringLiteral("Starter"));
    // The data tree's pop-up menu reads the language in force when it opens.
    auto* tree = qobject_cast<TDataSourcePanel*>(form->dataSourcePanel()->widget());
    ASSERT_NE(tree, nullptr);
    std::unique_ptr<QMenu> add(tree->menuFor(3, -1));
    EXPECT_EQ(add->actions()[0]->text(), QStringLiteral("&Add"));

    form->applyOptions(2, 0, 1, true);
    EXPECT_EQ(file->title(), QStringLiteral("檔案(&F)"));

    form->applyOptions(0, 0, 1, true);
    EXPECT_EQ(file->title(), QStringLiteral("文件(&F)"));
    EXPECT_EQ(form->statusPanel(0)->text(), QStringLiteral("标签:60毫米*40毫米"));
}

TEST_F(DesignerTest, TheOptionsDialogTranslatesItselfWhenShown)
{
    SetCurrentLanguage(1);
    TOptionsForm dialog(1, 0, 1, true, form.get());
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("System options"));
    EXPECT_EQ(
        dialog.findChild<QGroupBox*>(QStringLiteral("RadioGroupDrawMode"))->title(), QStringLiteral("Drawing mode"));
    EXPECT_EQ(dialog.findChild<QComboBox*>(QStringLiteral("ComboBoxLanguage"))->currentIndex(), 1);
    dialog.hide();
}

TEST(RegistryLanguage, AChoiceInTheRegistryAppliesToOneStart)
{
    ScopedHome home;
    FakePrompts prompts;
    SetPrompts(&prompts);
    {
        EnsureSettingsDirectory(home.path());
        RegistryStore registry(QDir(home.path()).filePath(QStringLiteral("registry.ini")));
        registry.setValue(LanguageKey, "Language", "en");
        ASSERT_TRUE(registry.save());
    }
    {
        TMainForm form(home.path());
        ASSERT_TRUE(form.initialize());
        EXPECT_EQ(CurrentLanguage(), 1);
        EXPECT_EQ(form.findChild<QMenu*>(QStringLiteral("mnuFile"))->title(), QStringLiteral("&File"));
    }
    RegistryStore after(QDir(home.path()).filePath(QStringLiteral("registry.ini")));
    EXPECT_EQ(after.value(LanguageKey, "Language").value_or(QByteArray()), QByteArray("Null"));
    {
        TMainForm form(home.path());
        ASSERT_TRUE(form.initialize());
        EXPECT_EQ(CurrentLanguage(), 0); // the stored index: the choice was not saved at exit
    }
    SetPrompts(nullptr);
    SetCurrentLanguage(0);
}

/// Every named text of every window built so far has its key in every language file.
TEST_F(DesignerTest, EveryLanguageFileCoversEveryNamedText)
{
    std::vector<std::pair<QString, QWidget*>> windows;
    windows.emplace_back(QStringLiteral("MainForm"), form.get());
    TOptionsForm options(0, 0, 1, true);
    windows.emplace_back(QStringLiteral("OptionsForm"), &options);
    TNewForm newForm(TPageRecord::defaultRecord(), dataDir() + QStringLiteral("/Samples"));
    windows.emplace_back(QStringLiteral("NewForm"), &newForm);
    TPageSetupForm pageSetup(TPageRecord::defaultRecord());
    windows.emplace_back(QStringLiteral("PageSetupForm"), &pageSetup);
    TFirstForm first(QStringList {});
    windows.emplace_back(QStringLiteral("FirstForm"), &first);

    for (int index = 0; index < LanguageCount; ++index) {
        const QString path = dataDir() + QStringLiteral("/Language/") + LanguageName(index) + QStringLiteral(".lan");
        const IniFile ini = IniFile::load(path);
        ASSERT_FALSE(ini.sections().empty()) << path.toStdString();
        for (const auto& [section, window] : windows) {
            const QByteArray s = section.toUtf8();
            auto expect = [&](const QString& key) {
                EXPECT_TRUE(ini.value(s, key.toUtf8()).has_value())
                    << LanguageName(index).toStdString() << " [" << s.toStdString() << "] " << key.toStdString();
            };
            expect(section + QStringLiteral(".Caption"));
            for (QObject* o : window->findChildren<QObject*>()) {
                const QString name = o->objectName();
                // The tab bar's own scroll buttons are Qt's, not the window's.
                if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) || o->property("formSection").isValid()
                    || qobject_cast<QTabBar*>(o->parent()))
                    continue;
                auto* w = qobject_cast<QWidget*>(o);
                if (qobject_cast<QAction*>(o) || qobject_cast<QMenu*>(o) || qobject_cast<QAbstractButton*>(o)
                    || qobject_cast<QLabel*>(o) || qobject_cast<QToolBar*>(o) || qobject_cast<QGroupBox*>(o)
                    || (w
                        && qobject_cast<QTabWidget*>(w->parentWidget() ? w->parentWidget()->parentWidget() : nullptr)))
                    expect(name + QStringLiteral(".Caption"));
            }
        }
        for (const char* key : { "message1", "message2", "message3", "message4", "message5" })
            EXPECT_TRUE(ini.value("MainFormInside", key).has_value()) << key;
        for (const char* key : { "message1", "message10", "SaveLabelFileDialogTitle1", "SaveLabelFileDialogTitle2" })
            EXPECT_TRUE(ini.value("ChildFormInside", key).has_value()) << key;
        for (const char* key : { "test1", "test2", "test3", "test4", "test5" })
            EXPECT_TRUE(ini.value("BarManagercaption", key).has_value()) << key;
        for (int top = 0; top < 5; ++top)
            for (int child : { -1, 0 })
                for (const TreeMenuItem& item : DataSourceTreeMenu(top, child))
                    EXPECT_TRUE(ini.value("ChildForm", item.key).has_value()) << item.key;
    }
}

} // namespace
} // namespace korvel::test
