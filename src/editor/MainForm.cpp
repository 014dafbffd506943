#include "editor/MainForm.h"

#include "document/DataPaths.h"
#include "document/LabelDocument.h"
#include "editor/ChildForm.h"
#include "editor/FirstForm.h"
#include "editor/HelpWindow.h"
#include "editor/Language.h"
#include "editor/OAWorkSpace.h"
#include "editor/OptionsForm.h"
#include "editor/PageLayoutDialogs.h"
#include "editor/ToolIcons.h"
#include "editor/UserPrompts.h"
#include "persistence/RecentFileList.h"
#include "persistence/RegistryStore.h"
#include "printing/PrinterProfiles.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

namespace korvel {

namespace {

QString text(const char* section, const char* key, const QString& fallback)
{
    return LookupText(QString::fromLatin1(section), QString::fromLatin1(key), fallback);
}

QString promptTitle()
{
    return text("All", "tishi", QStringLiteral("提示"));
}

constexpr int StatusPanelCount = 6;

/// Toolbar captions' keys in "BarManagercaption"; the fifth is the data-source panel.
const char* const kBarKeys[5] = { "test1", "test2", "test3", "test4", "test5" };

} // namespace

TMainForm::TMainForm(const QString& settingsDirectory, QWidget* parent)
    : QMainWindow(parent)
    , settingsDirectory_(settingsDirectory)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Korvel 标签设计打印系统"));
    resize(1180, 760);

    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName(QStringLiteral("MdiArea"));
    mdiArea_->setBackground(QColor(0x8C, 0x96, 0xA3));
    mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea_);
    connect(mdiArea_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
        if (sub)
            if (auto* child = qobject_cast<TChildForm*>(sub->widget()))
                childActivated(child);
    });

    buildActions();
    buildMenus();
    buildToolbars();
    buildStatusBar();
    updateCommandStates();
}

TMainForm::~TMainForm()
{
    // The document windows hold nothing of the main window; they go with the area.
    if (CurrentHelpWindow())
        CurrentHelpWindow()->close();
}

// ---- building the frame -----------------------------------------------------------------

QAction* TMainForm::makeAction(const char* name, const QString& caption, const QKeySequence& key)
{
    auto* a = new QAction(caption, this);
    a->setObjectName(QLatin1String(name));
    if (!key.isEmpty())
        a->setShortcut(key);
    return a;
}

QAction* TMainForm::commandAction(
    const char* name, const QString& caption, Command command, int wParam, int lParam, const QKeySequence& key)
{
    QAction* a = makeAction(name, caption, key);
    a->setProperty("command", static_cast<int>(command));
    a->setProperty("wParam", wParam);
    a->setProperty("lParam", lParam);
    connect(a, &QAction::triggered, this, [this, command, wParam, lParam] { sendCommand(command, wParam, lParam); });
    return a;
}

void TMainForm::buildActions()
{
    // File
    connect(makeAction("mnuNew", QStringLiteral("新建(&N)..."), QKeySequence(Qt::CTRL | Qt::Key_N)),
        &QAction::triggered, this, [this] { newLabel(); });
    connect(makeAction("mnuOpen", QStringLiteral("打开(&O)..."), QKeySequence(Qt::CTRL | Qt::Key_O)),
        &QAction::triggered, this, [this] { openWithDialog(); });
    QAction* close = makeAction("mnuClose", QStringLiteral("关闭(&C)"));
    close->setProperty("needsDocument", true);
    connect(close, &QAction::triggered, this, [this] { closeActive(); });
    QAction* closeAllAction = makeAction("mnuCloseAll", QStringLiteral("全部关闭(&L)"));
    closeAllAction->setProperty("needsDocument", true);
    connect(closeAllAction, &QAction::triggered, this, [this] { closeAll(); });
    commandAction("mnuSave", QStringLiteral("保存(&S)"), Command::Save, 0, 0, QKeySequence(Qt::CTRL | Qt::Key_S));
    commandAction("mnuSaveAs", QStringLiteral("另存为(&A)..."), Command::SaveAs, 0, 0, QKeySequence(Qt::Key_F12));
    commandAction("mnuPageSetup", QStringLiteral("页面设置(&U)..."), Command::PageSetup);
    commandAction(
        "mnuPrinterSet", QStringLiteral("打印机设置(&T)..."), Command::PrinterSettings, 0, 0, QKeySequence(Qt::Key_F5));
    commandAction("mnuPrint", QStringLiteral("打印(&P)..."), Command::Print, 1, 0, QKeySequence(Qt::CTRL | Qt::Key_P));
    commandAction("mnuQuickPrint", QStringLiteral("快速打印(&Q)"), Command::Print, 0, 0);
    commandAction("mnuPrintPreview", QStringLiteral("打印预览(&V)..."), Command::PrintPreview);
    connect(makeAction("mnuExit", QStringLiteral("退出(&X)"), QKeySequence(Qt::ALT | Qt::Key_X)), &QAction::triggered,
        this, &QWidget::close);

    // Edit
    commandAction("mnuUndo", QStringLiteral("撤消(&U)"), Command::Undo, 0, 0, QKeySequence(Qt::CTRL | Qt::Key_Z));
    commandAction("mnuRedo", QStringLiteral("重做(&R)"), Command::Redo, 0, 0, QKeySequence(Qt::CTRL | Qt::Key_Y));
    commandAction("mnuCut", QStringLiteral("剪切(&T)"), Command::Cut, 0, 0, QKeySequence(Qt::CTRL | Qt::Key_X));
    commandAction("mnuCopy", QStringLiteral("复制(&C)"), Command::Copy, 0, 0, QKeySequence(Qt::CTRL | Qt::Key_C));
    commandAction("mnuPaste", QStringLiteral("粘贴(&P)"), Command::Paste, 0, 0, QKeySequence(Qt::CTRL | Qt::Key_V));
    commandAction(
        "mnuDelete", QStringLiteral("删除(&D)"), Command::DeleteSelection, 0, 0, QKeySequence(Qt::Key_Delete));
    commandAction(
        "mnuSelectAll", QStringLiteral("全选(&A)"), Command::SelectAll, 0, 0, QKeySequence(Qt::CTRL | Qt::Key_A));

    // View
    commandAction("mnuZoomIn", QStringLiteral("放大(&I)"), Command::ZoomIn);
    commandAction("mnuZoomOut", QStringLiteral("缩小(&O)"), Command::ZoomOut);
    commandAction("mnuFitWindow", QStringLiteral("调整到窗口大小(&F)"), Command::FitToWindow);
    commandAction("mnuActualSize", QStringLiteral("实际大小(&R)"), Command::ActualSize);
    commandAction("mnuRebuildTree", QStringLiteral("刷新数据源(&D)"), Command::RebuildDataTree);

    // Create: the drawing tools, which the object-creation step wires up.
    const struct {
        const char* name;
        const char* caption;
        int kind;
    } tools[] = {
        { "mnuCreateText", "文本(&T)", 1 },
        { "mnuCreateBarcode", "条码(&B)", 2 },
        { "mnuCreateInverse", "反色区域(&V)", 8 },
        { "mnuCreateDatabase", "数据库(&D)", 0 },
        { "mnuCreateRectangle", "矩形(&R)", 5 },
        { "mnuCreateImage", "图像(&I)", 3 },
        { "mnuCreateHVLine", "直线(&H)", 7 },
        { "mnuCreateLine", "斜线(&L)", 4 },
        { "mnuCreateEllipse", "椭圆(&E)", 6 },
    };
    for (const auto& t : tools) {
        QAction* a = makeAction(t.name, QString::fromUtf8(t.caption));
        a->setProperty("tool", t.kind);
        a->setEnabled(false);
    }

    // Arrange: the alignment codes are the menu items' tags.
    const struct {
        const char* name;
        const char* caption;
        int code;
    } aligns[] = {
        { "mnuAlignLeft", "横向靠左对齐", 0 },
        { "mnuAlignHCenter", "横向居中对齐", 4 },
        { "mnuAlignRight", "横向靠右对齐", 2 },
        { "mnuAlignTop", "纵向靠上对齐", 3 },
        { "mnuAlignVCenter", "纵向居中对齐", 1 },
        { "mnuAlignBottom", "纵向靠下对齐", 5 },
        { "mnuSpaceHor", "横向等间距", 6 },
        { "mnuSpaceVer", "纵向等间距", 7 },
        { "mnuCenterHor", "横向居中", 8 },
        { "mnuCenterVer", "纵向居中", 9 },
    };
    for (const auto& a : aligns)
        commandAction(a.name, QString::fromUtf8(a.caption), Command::Arrange, a.code);
    commandAction("mnuMoveUp", QStringLiteral("上移"), Command::MoveSelection, static_cast<int>(MoveDirection::Up), 0);
    commandAction(
        "mnuMoveLeft", QStringLiteral("左移 "), Command::MoveSelection, static_cast<int>(MoveDirection::Left), 0);
    commandAction(
        "mnuMoveDown", QStringLiteral("下移"), Command::MoveSelection, static_cast<int>(MoveDirection::Down), 0);
    commandAction(
        "mnuMoveRight", QStringLiteral("右移"), Command::MoveSelection, static_cast<int>(MoveDirection::Right), 0);
    commandAction("mnuRotateRight", QStringLiteral("右旋 90度(&R)"), Command::Rotate, 450);
    commandAction("mnuRotateLeft", QStringLiteral("左旋 90度(&L)"), Command::Rotate, 270);

    // Tools
    connect(makeAction("mnuUsbId", QStringLiteral("USB设备ID设置")), &QAction::triggered, this, &TMainForm::runUsbTool);
    connect(makeAction("mnuOptions", QStringLiteral("系统选项")), &QAction::triggered, this, &TMainForm::showOptions);

    // Window
    QAction* cascade = makeAction("mnuCascade", QStringLiteral("层叠(&C)"));
    cascade->setProperty("needsDocument", true);
    connect(cascade, &QAction::triggered, mdiArea_, &QMdiArea::cascadeSubWindows);
    QAction* tileH = makeAction("mnuTileHor", QStringLiteral("水平平铺(&H)"));
    tileH->setProperty("needsDocument", true);
    connect(tileH, &QAction::triggered, this, [this] { tile(Qt::Horizontal); });
    QAction* tileV = makeAction("mnuTileVer", QStringLiteral("垂直平铺(&V)"));
    tileV->setProperty("needsDocument", true);
    connect(tileV, &QAction::triggered, this, [this] { tile(Qt::Vertical); });

    // Help
    connect(makeAction("mnuHelpContents", QStringLiteral("帮助主题(&C)"), QKeySequence(Qt::Key_F1)),
        &QAction::triggered, this, &TMainForm::showHelp);
    connect(makeAction("mnuAbout", QStringLiteral("关于(&A)...")), &QAction::triggered, this, &TMainForm::showAbout);
}

void TMainForm::buildMenus()
{
    auto menu = [this](const char* name, const QString& title) {
        QMenu* m = menuBar()->addMenu(title);
        m->setObjectName(QLatin1String(name));
        return m;
    };
    auto add = [this](QMenu* m, std::initializer_list<const char*> names) {
        for (const char* n : names) {
            if (!*n)
                m->addSeparator();
            else
                m->addAction(action(QLatin1String(n)));
        }
    };

    QMenu* file = menu("mnuFile", QStringLiteral("文件(&F)"));
    add(file,
        { "mnuNew", "mnuOpen", "mnuClose", "mnuCloseAll", "", "mnuSave", "mnuSaveAs", "", "mnuPageSetup",
            "mnuPrinterSet" });
    printerMenu_ = file->addMenu(QStringLiteral("选择打印机(&E)"));
    printerMenu_->setObjectName(QStringLiteral("mnuSelectPrinter"));
    for (const PrinterModel& model : PrinterModels()) {
        // Model names are names, not texts: no object name, so no translation.
        QAction* a = printerMenu_->addAction(model.name);
        a->setCheckable(true);
        a->setProperty("printerModel", model.index);
    }
    add(file, { "mnuPrintPreview", "mnuPrint", "mnuQuickPrint", "" });
    recentMenu_ = file->addMenu(QStringLiteral("最近打开的标签 "));
    recentMenu_->setObjectName(QStringLiteral("mnuRecent"));
    add(file, { "", "mnuExit" });

    add(menu("mnuEdit", QStringLiteral("编辑(&E)")),
        { "mnuUndo", "mnuRedo", "", "mnuCut", "mnuCopy", "mnuPaste", "mnuDelete", "", "mnuSelectAll" });

    QMenu* view = menu("mnuView", QStringLiteral("查看(&V)"));
    const struct {
        const char* name;
        const char* caption;
    } bars[]
        = { { "mnuViewStandard", "标准工具栏" }, { "mnuViewDraw", "绘图工具栏" }, { "mnuViewArrange", "排列工具栏" },
              { "mnuViewDatabase", "数据库工具栏" }, { "mnuViewDataSource", "数据源面板" } };
    for (const auto& b : bars) {
        QAction* a = makeAction(b.name, QString::fromUtf8(b.caption));
        a->setCheckable(true);
        view->addAction(a);
    }
    view->addSeparator();
    add(view, { "mnuZoomIn", "mnuZoomOut", "mnuFitWindow", "mnuActualSize", "", "mnuRebuildTree" });

    add(menu("mnuCreate", QStringLiteral("创建(&C)")),
        { "mnuCreateText", "mnuCreateBarcode", "mnuCreateInverse", "mnuCreateDatabase", "mnuCreateRectangle",
            "mnuCreateImage", "mnuCreateHVLine", "mnuCreateLine", "mnuCreateEllipse" });
    add(menu("mnuArrange", QStringLiteral("排列(&A)")),
        { "mnuAlignLeft", "mnuAlignHCenter", "mnuAlignRight", "mnuAlignTop", "mnuAlignVCenter", "mnuAlignBottom", "",
            "mnuSpaceHor", "mnuSpaceVer", "mnuCenterHor", "mnuCenterVer", "", "mnuMoveUp", "mnuMoveLeft", "mnuMoveDown",
            "mnuMoveRight", "", "mnuRotateRight", "mnuRotateLeft" });
    add(menu("mnuTools", QStringLiteral("工具(&T)")), { "mnuUsbId", "mnuOptions" });
    windowMenu_ = menu("mnuWindow", QStringLiteral("窗口(&W)"));
    add(windowMenu_, { "mnuCascade", "mnuTileHor", "mnuTileVer" });
    windowMenu_->addSeparator();
    connect(windowMenu_, &QMenu::aboutToShow, this, &TMainForm::rebuildWindowMenu);
    add(menu("mnuHelp", QStringLiteral("帮助(&H)")), { "mnuHelpContents", "", "mnuAbout" });
}

void TMainForm::buildToolbars()
{
    struct Button {
        const char* name;
        const char* caption;
        const char* icon;
        int command; // 0: a main-window action named by `same`
        int wParam;
        const char* same;
    };
    auto bar = [this](int index, const char* name, const QString& title, std::initializer_list<Button> buttons) {
        auto* tb = new QToolBar(title, this);
        tb->setObjectName(QLatin1String(name));
        tb->setIconSize(QSize(24, 24));
        for (const Button& b : buttons) {
            if (!*b.name) {
                tb->addSeparator();
                continue;
            }
            auto* a = new QAction(ToolIcon(QLatin1String(b.icon)), QString::fromUtf8(b.caption), this);
            a->setObjectName(QLatin1String(b.name));
            a->setToolTip(QString::fromUtf8(b.caption));
            if (b.command) {
                const auto command = static_cast<Command>(b.command);
                a->setProperty("command", b.command);
                a->setProperty("wParam", b.wParam);
                connect(a, &QAction::triggered, this, [this, command, w = b.wParam] { sendCommand(command, w); });
            } else if (b.same) {
                QAction* target = action(QLatin1String(b.same));
                connect(a, &QAction::triggered, target, &QAction::trigger);
                if (target->property("needsDocument").toBool())
                    a->setProperty("needsDocument", true);
            } else {
                a->setProperty("tool", 0);
                a->setEnabled(false);
            }
            tb->addAction(a);
        }
        addToolBar(Qt::TopToolBarArea, tb);
        toolbars_[index] = tb;
        return tb;
    };

    bar(0, "ToolBarStandard", QStringLiteral("标准工具栏"),
        { { "ToolButtonNew", "新建", "new", 0, 0, "mnuNew" }, { "ToolButtonOpen", "打开", "open", 0, 0, "mnuOpen" },
            { "ToolButtonSave", "保存", "save", 0x465, 0, nullptr },
            { "ToolButtonPrint", "打印", "print", 0x41E, 1, nullptr }, { "", "", "", 0, 0, nullptr },
            { "ToolButtonCut", "剪切", "cut", 0x40C, 0, nullptr },
            { "ToolButtonCopy", "复制", "copy", 0x40D, 0, nullptr },
            { "ToolButtonPaste", "粘贴", "paste", 0x40E, 0, nullptr },
            { "ToolButtonUndo", "撤消", "undo", 0x43E, 0, nullptr },
            { "ToolButtonRedo", "重做", "redo", 0x43D, 0, nullptr }, { "", "", "", 0, 0, nullptr },
            { "ToolButtonZoomIn", "放大", "zoomin", 0x407, 0, nullptr },
            { "ToolButtonZoomOut", "缩小", "zoomout", 0x408, 0, nullptr },
            { "ToolButtonActualSize", "实际大小", "actual", 0x44A, 0, nullptr },
            { "ToolButtonFit", "调整到窗口大小", "fit", 0x448, 0, nullptr } });
    // The actual-size button also leaves fit mode: actual size, then one step out and back in.
    if (QAction* actual = findChild<QAction*>(QStringLiteral("ToolButtonActualSize"))) {
        disconnect(actual, &QAction::triggered, this, nullptr);
        connect(actual, &QAction::triggered, this, [this] {
            sendCommand(Command::ActualSize);
            sendCommand(Command::ZoomOut);
            sendCommand(Command::ZoomIn);
        });
    }

    bar(1, "ToolBarDraw", QStringLiteral("绘图工具栏"),
        { { "ToolButtonArrow", "选择", "arrow", 0, 0, nullptr }, { "ToolButtonText", "文本", "text", 0, 0, nullptr },
            { "ToolButtonBarcode", "条码", "barcode", 0, 0, nullptr },
            { "ToolButtonImage", "图像", "image", 0, 0, nullptr }, { "ToolButtonLine", "斜线", "line", 0, 0, nullptr },
            { "ToolButtonRectangle", "矩形", "rect", 0, 0, nullptr },
            { "ToolButtonEllipse", "椭圆", "ellipse", 0, 0, nullptr },
            { "ToolButtonHVLine", "直线", "hvline", 0, 0, nullptr },
            { "ToolButtonInverse", "反色区域", "inverse", 0, 0, nullptr } });
    addToolBarBreak(Qt::TopToolBarArea);

    bar(2, "ToolBarArrange", QStringLiteral("排列工具栏"),
        { { "SpeedButtonAlignLeft", "横向靠左对齐", "alignleft", 0x403, 0, nullptr },
            { "SpeedButtonAlignCenter", "横向居中对齐", "alignhcenter", 0x403, 1, nullptr },
            { "SpeedButtonAlignRight", "横向靠右对齐", "alignright", 0x403, 2, nullptr },
            { "SpeedButtonAlignTop", "纵向靠上对齐", "aligntop", 0x403, 3, nullptr },
            { "SpeedButtonAlignMiddle", "纵向居中对齐", "alignvcenter", 0x403, 4, nullptr },
            { "SpeedButtonAlignBottom", "纵向靠下对齐", "alignbottom", 0x403, 5, nullptr },
            { "SpeedButtonSpaceHor", "横向等间距", "spacehor", 0x403, 6, nullptr },
            { "SpeedButtonSpaceVer", "纵向等间距", "spacever", 0x403, 7, nullptr },
            { "SpeedButtonCenterHor", "横向居中", "centerhor", 0x403, 8, nullptr },
            { "SpeedButtonCenterVer", "纵向居中", "centerver", 0x403, 9, nullptr }, { "", "", "", 0, 0, nullptr },
            { "SpeedButtonRotateRight", "右旋90度", "rotateright", 0x409, 90, nullptr },
            { "SpeedButtonRotateLeft", "左旋90度", "rotateleft", 0x409, 270, nullptr } });

    bar(3, "ToolBarDatabase", QStringLiteral("数据库工具栏"),
        { { "ToolButtonSetDatabase", "设置数据库", "database", 0x414, 0, nullptr },
            { "ToolButtonLocate", "定位记录", "locate", 0x416, 4, nullptr },
            { "ToolButtonDisconnect", "断开连接", "disconnect", 0x455, 0, nullptr }, { "", "", "", 0, 0, nullptr },
            { "ToolButtonFirst", "第一条记录", "first", 0x416, 0, nullptr },
            { "ToolButtonPrior", "上一条记录", "prior", 0x416, 1, nullptr },
            { "ToolButtonNext", "下一条记录", "next", 0x416, 2, nullptr },
            { "ToolButtonLast", "最后一条记录", "last", 0x416, 3, nullptr } });

    dataSourcePanel_ = new QDockWidget(QStringLiteral("数据源"), this);
    dataSourcePanel_->setObjectName(QStringLiteral("DataSourcePanel"));
    auto* tree = new QTreeWidget(dataSourcePanel_);
    tree->setHeaderHidden(true);
    dataSourcePanel_->setWidget(tree);
    addDockWidget(Qt::LeftDockWidgetArea, dataSourcePanel_);
    dataSourcePanel_->hide();

    // The View menu's check items follow the bars.
    const char* viewNames[5]
        = { "mnuViewStandard", "mnuViewDraw", "mnuViewArrange", "mnuViewDatabase", "mnuViewDataSource" };
    for (int i = 0; i < 5; ++i) {
        QAction* item = action(QLatin1String(viewNames[i]));
        QWidget* target = i < ToolbarCount ? static_cast<QWidget*>(toolbars_[i]) : dataSourcePanel_;
        item->setChecked(i < ToolbarCount);
        connect(item, &QAction::toggled, target, &QWidget::setVisible);
        if (i < ToolbarCount)
            connect(toolbars_[i], &QToolBar::visibilityChanged, item, &QAction::setChecked);
        else
            connect(dataSourcePanel_, &QDockWidget::visibilityChanged, item, &QAction::setChecked);
    }
}

void TMainForm::buildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    const int widths[StatusPanelCount] = { 200, 140, 120, 70, 180, 220 };
    for (int i = 0; i < StatusPanelCount; ++i) {
        auto* panel = new QLabel(bar);
        panel->setProperty("panelIndex", i);
        panel->setMinimumWidth(widths[i]);
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        bar->addWidget(panel, i == StatusPanelCount - 1 ? 1 : 0);
        panels_.append(panel);
    }
}

QAction* TMainForm::action(const QString& objectName) const
{
    return findChild<QAction*>(objectName);
}

QLabel* TMainForm::statusPanel(int index) const
{
    return index >= 0 && index < panels_.size() ? panels_[index] : nullptr;
}

QToolBar* TMainForm::toolbar(int index) const
{
    return index >= 0 && index < ToolbarCount ? toolbars_[index] : nullptr;
}

bool TMainForm::isModelButtonDown(int model) const
{
    for (QAction* a : printerMenu_->actions())
        if (a->property("printerModel").toInt() == model)
            return a->isChecked();
    return false;
}

// ---- start-up ---------------------------------------------------------------------------

bool TMainForm::initialize()
{
    const QString repaired = EnsureSettingsDirectory(settingsDirectory_);
    if (!repaired.isEmpty())
        Prompts().message(this, promptTitle(), repaired, UserPrompts::Icon::Warning);

    registry_ = std::make_unique<RegistryStore>(settingsDirectory_ + QStringLiteral("/registry.ini"));
    recent_ = std::make_unique<TRecentFileList>(*registry_);
    if (!registry_->hasKey(RecentFilesKey))
        Prompts().message(this, promptTitle(),
            text("MainFormInside", "RegistryFailed", QStringLiteral("读取注册表文件失败!")),
            UserPrompts::Icon::Warning);

    const SettingsResult loaded = LoadSystemSettings(settingsDirectory_, registry_.get(), settings_);
    if (!loaded.ok) {
        Prompts().message(this, loaded.title.isEmpty() ? QStringLiteral("系统错误") : loaded.title,
            loaded.message.isEmpty() ? QStringLiteral("加载系统配置文件错误，请重新安装程序") : loaded.message,
            UserPrompts::Icon::Critical);
        return false;
    }
    initialized_ = true;
    SetCurrentLanguage(settings_.languageIndex());
    languageChanged();
    post(Command::RebuildRecentMenu);
    rebuildRecentMenu();
    return true;
}

void TMainForm::startUp(const QStringList& arguments)
{
    if (arguments.size() > 1) {
        const QFileInfo file(arguments.at(1));
        if (file.isFile() && file.suffix().toUpper() == QLatin1String("KVL")) {
            openLabel(file.absoluteFilePath());
            return;
        }
    }
    if (settings_.showStartPage()) {
        showStartPage();
        return;
    }
    switch (settings_.startOption()) {
    case 0: {
        const QStringList recent = recentLabels();
        if (!recent.isEmpty())
            openRecent(recent.first());
        break;
    }
    case 1: newLabel(); break;
    case 2: newEmptyLabel(settings_.defaultPage); break;
    default: break;
    }
}

void TMainForm::showStartPage()
{
    if (startPage()) {
        mdiArea_->setActiveSubWindow(startPageWindow_);
        return;
    }
    auto* page = new TFirstForm(recentLabels());
    startPage_ = page;
    QMdiSubWindow* sub = mdiArea_->addSubWindow(page, Qt::FramelessWindowHint);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    startPageWindow_ = sub;
    sub->resize(page->sizeHint().expandedTo(QSize(460, 360)));
    const QSize area = mdiArea_->viewport()->size();
    sub->move(std::max(0, (area.width() - sub->width()) / 2), std::max(0, (area.height() - sub->height()) / 3));
    connect(page, &TFirstForm::accepted, this, &TMainForm::startPageChosen);
    connect(page, &TFirstForm::cancelled, sub, &QWidget::close);
    sub->show();
}

TFirstForm* TMainForm::startPage() const
{
    return startPageWindow_ && !startPageWindow_->isHidden() ? startPage_.data() : nullptr;
}

QStringList TMainForm::recentLabels() const
{
    // Only the entries within the stored count: a deleted entry keeps its value in the store
    // and must not come back in the menu.
    QStringList out;
    if (recent_)
        for (const QString& path : recent_->GetFileList())
            if (!path.trimmed().isEmpty())
                out.append(path);
    return out;
}

void TMainForm::startPageChosen()
{
    TFirstForm* page = startPage();
    if (!page)
        return;
    settings_.setShowStartPage(!page->dontShowAgain());
    const TFirstForm::Choice choice = page->choice();
    const QString recentPath = page->recentPath();
    if (startPageWindow_)
        startPageWindow_->close();
    switch (choice) {
    case TFirstForm::Choice::NewLabel: newLabel(); break;
    case TFirstForm::Choice::Recent:
        if (!recentPath.isEmpty())
            openRecent(recentPath);
        break;
    case TFirstForm::Choice::Other: openWithDialog(dataDirectory() + QStringLiteral("/Samples")); break;
    }
}

// ---- commands ---------------------------------------------------------------------------

int TMainForm::sendCommand(Command command, int wParam, int lParam)
{
    switch (command) {
    case Command::RebuildRecentMenu: rebuildRecentMenu(); return 1;
    case Command::LanguageChanged: languageChanged(); return 1;
    case Command::AnotherInstance: anotherInstance(QString()); return 1;
    default: break;
    }
    TChildForm* child = activeChild();
    const int result = child ? child->dispatch(command, wParam, lParam) : 0;
    updateCommandStates();
    showDocumentStatus();
    return result;
}

void TMainForm::post(Command command, int wParam)
{
    QTimer::singleShot(0, this, [this, command, wParam] { sendCommand(command, wParam); });
}

void TMainForm::updateCommandStates()
{
    TChildForm* child = activeChild();
    for (QAction* a : findChildren<QAction*>()) {
        bool ok = false;
        const int command = a->property("command").toInt(&ok);
        if (ok)
            a->setEnabled(child && child->isAvailable(static_cast<Command>(command)));
        if (child && (a->objectName() == QLatin1String("mnuUndo") || a->objectName() == QLatin1String("mnuRedo")))
            a->setText(child->undoCaption(a->objectName() == QLatin1String("mnuRedo")));
        else if (a->property("needsDocument").toBool())
            a->setEnabled(child != nullptr);
    }
}

void TMainForm::showDocumentStatus()
{
    TChildForm* child = activeChild();
    if (!child)
        return;
    const DocumentStatus status = ShowDocumentStatus(child->document(), LanguageLookup());
    panels_[0]->setText(status.label);
    panels_[1]->setText(status.printer);
    if (!status.port.isEmpty())
        panels_[2]->setText(status.port);
    panels_[3]->setText(status.zoom);
}

// ---- documents --------------------------------------------------------------------------

TChildForm* TMainForm::activeChild() const
{
    // The frame keeps its own record of the active document window: the area only reports one
    // while the application has the focus.
    const QList<TChildForm*> open = childForms();
    if (current_ && open.contains(current_.data()))
        return current_.data();
    return open.isEmpty() ? nullptr : open.last();
}

QList<TChildForm*> TMainForm::childForms() const
{
    QList<TChildForm*> list;
    for (QMdiSubWindow* sub : mdiArea_->subWindowList(QMdiArea::CreationOrder))
        if (auto* child = qobject_cast<TChildForm*>(sub->widget()); child && !sub->isHidden())
            list.append(child);
    return list;
}

QMdiSubWindow* TMainForm::subWindowOf(const TChildForm* child) const
{
    for (QMdiSubWindow* sub : mdiArea_->subWindowList())
        if (sub->widget() == child)
            return sub;
    return nullptr;
}

TChildForm* TMainForm::findOpen(const QString& path) const
{
    const QFileInfo wanted(path);
    const QString absolute = wanted.absoluteFilePath();
    const QString canonical = wanted.canonicalFilePath();
    for (TChildForm* child : childForms()) {
        const LabelDocument& d = child->document();
        if (d.untitled)
            continue;
        const QFileInfo open(d.fileName);
        if (open.absoluteFilePath() == absolute || (!canonical.isEmpty() && open.canonicalFilePath() == canonical))
            return child;
    }
    return nullptr;
}

void TMainForm::activate(TChildForm* child)
{
    if (QMdiSubWindow* sub = subWindowOf(child)) {
        if (sub->isMinimized())
            sub->showNormal();
        mdiArea_->setActiveSubWindow(sub);
        childActivated(child);
    }
}

void TMainForm::childActivated(TChildForm* child)
{
    current_ = child;
    // The current printer follows the active document; its page becomes the default for new
    // labels, except while the new-label dialog edits that default.
    settings_.currentModel = child->document().printerModel;
    if (!newDialogOpen_)
        settings_.defaultPage = child->document().page();
    TranslateWindow(child);
    updateCommandStates();
    showDocumentStatus();
}

TChildForm* TMainForm::createChild()
{
    const QString name
        = childCounter_ == 0 ? QStringLiteral("ChildForm") : QStringLiteral("ChildForm_%1").arg(childCounter_);
    ++childCounter_;
    auto* child = new TChildForm(name);
    child->setReadOptions({ settings_.currentModel, settings_.current });
    child->dispatch(Command::DrawingMode, settings_.drawingMode());
    connect(child, &TChildForm::stateChanged, this, [this, child] {
        if (child == activeChild()) {
            updateCommandStates();
            showDocumentStatus();
        }
    });
    connect(child, &TChildForm::surfaceStatus, this, [this](const QString& position, const QString& size) {
        panels_[4]->setText(position);
        panels_[5]->setText(size);
    });
    connect(child, &TChildForm::fileWritten, this, [this](const QString& path) {
        if (recent_)
            recent_->AddFileName(path);
        post(Command::RebuildRecentMenu);
    });
    connect(child, &TChildForm::pageAdopted, this, [this, child](bool withPrinter) {
        settings_.defaultPage = child->document().page();
        if (withPrinter) {
            settings_.currentModel = child->document().printerModel;
            settings_.current = child->document().printer;
        }
    });
    connect(child, &TChildForm::closed, this, [this] {
        QTimer::singleShot(0, this, [this] {
            if (!activeChild()) {
                panels_[0]->clear();
            }
            updateCommandStates();
            showDocumentStatus();
        });
    });
    return child;
}

TChildForm* TMainForm::openLabel(const QString& path)
{
    const QFileInfo file(path);
    if (!file.isFile()) {
        Prompts().message(this, promptTitle(),
            FormatText(text("MainFormInside", "message5", QStringLiteral("文件%s不存在")), path),
            UserPrompts::Icon::Information);
        return nullptr;
    }
    if (TChildForm* open = findOpen(path)) {
        activate(open);
        return open;
    }
    TChildForm* child = createChild();
    child->setFileToOpen(file.absoluteFilePath());
    if (!child->dispatch(Command::FinishOpening, 1)) {
        const LabelFileResult& r = child->openResult();
        QString message;
        if (r.status == LabelFileResult::Status::NotLabelFile)
            message = FormatText(
                text("ChildFormInside", "message1", QStringLiteral("标签文件格式错误")), file.absoluteFilePath());
        else
            message = FormatText(text("MainFormInside", "OpenFailed", QStringLiteral("无法打开标签文件%s")),
                          file.absoluteFilePath())
                + QStringLiteral("\n") + r.message;
        Prompts().message(this, promptTitle(), message, UserPrompts::Icon::Warning);
        delete child;
        return nullptr;
    }
    showChild(child);
    if (child->openResult().status == LabelFileResult::Status::Damaged) {
        // The file opened only in part: say so, so the user does not overwrite it unawares.
        Prompts().message(this, promptTitle(),
            FormatText(text("MainFormInside", "DamagedFile", QStringLiteral("标签文件%s已损坏，只读出了一部分。")),
                file.absoluteFilePath())
                + QStringLiteral("\n") + child->openResult().message,
            UserPrompts::Icon::Warning);
    }
    if (recent_)
        recent_->AddFileName(file.absoluteFilePath());
    post(Command::RebuildRecentMenu);
    return child;
}

TChildForm* TMainForm::openWithDialog(const QString& directory)
{
    const QString path
        = Prompts().openFileName(this, text("MainFormInside", "OpenDialogTitle", QStringLiteral("打开标签")), directory,
            text("MainFormInside", "OpenDialogFilter", QStringLiteral("标签文件 (*.kvl)")));
    if (path.isEmpty())
        return nullptr;
    return openLabel(path);
}

TChildForm* TMainForm::openRecent(const QString& path)
{
    if (!QFileInfo(path).isFile()) {
        Prompts().message(this, promptTitle(),
            FormatText(text("MainFormInside", "message1", QStringLiteral("File not exist")), path),
            UserPrompts::Icon::Information);
        if (recent_)
            recent_->DeleteFileName(path);
        post(Command::RebuildRecentMenu);
        return nullptr;
    }
    return openLabel(path);
}

TChildForm* TMainForm::newLabel()
{
    TNewForm dialog(settings_.defaultPage, dataDirectory() + QStringLiteral("/Samples"), true, this);
    newDialogOpen_ = true;
    const bool ok = Prompts().runDialog(&dialog);
    newDialogOpen_ = false;
    if (!ok)
        return nullptr;
    if (!dialog.sampleChosen()) {
        settings_.defaultPage = dialog.page();
        return newEmptyLabel(dialog.page());
    }
    // A sample is a template: the new label takes its contents but not its file, so saving
    // never writes over the shipped sample.
    TChildForm* child = createChild();
    child->setFileToOpen(dialog.samplePath());
    if (!child->dispatch(Command::FinishOpening, 1)) {
        Prompts().message(this, promptTitle(),
            FormatText(text("ChildFormInside", "message1", QStringLiteral("标签文件格式错误")), dialog.samplePath()),
            UserPrompts::Icon::Warning);
        delete child;
        return nullptr;
    }
    child->document().fileName = QStringLiteral("Label%1").arg(++newLabelCounter_);
    child->document().untitled = true;
    child->refreshCaption();
    showChild(child);
    return child;
}

void TMainForm::showChild(TChildForm* child)
{
    // New windows step down and right from the top-left corner, as a cascade does.
    const int step = 28 * static_cast<int>(childForms().size() % 8);
    QMdiSubWindow* sub = mdiArea_->addSubWindow(child);
    sub->setWindowIcon(ToolIcon(QStringLiteral("barcode")));
    const QSize area = mdiArea_->viewport()->size();
    sub->setGeometry(step, step, std::max(480, area.width() * 3 / 4), std::max(320, area.height() * 3 / 4));
    sub->show();
    activate(child);
    if (startPageWindow_)
        startPageWindow_->close();
}

TChildForm* TMainForm::newEmptyLabel(const TPageRecord& page)
{
    TChildForm* child = createChild();
    LabelDocument& d = child->document();
    d.setPage(page);
    d.printerModel = settings_.currentModel;
    d.printer = settings_.current;
    d.FitMode = 1;
    d.fileName = QStringLiteral("Label%1").arg(++newLabelCounter_);
    d.untitled = true;
    d.modified = false;
    child->workspace()->refresh();
    child->refreshCaption();
    showChild(child);
    return child;
}

bool TMainForm::closeActive()
{
    TChildForm* child = activeChild();
    if (!child)
        return true;
    QMdiSubWindow* sub = subWindowOf(child);
    return sub ? sub->close() : child->close();
}

bool TMainForm::closeAll()
{
    const QList<TChildForm*> open = childForms();
    for (auto it = open.rbegin(); it != open.rend(); ++it) {
        QMdiSubWindow* sub = subWindowOf(*it);
        if (!(sub ? sub->close() : (*it)->close()))
            return false;
    }
    panels_[0]->clear();
    updateCommandStates();
    return true;
}

// ---- main-window messages ---------------------------------------------------------------

void TMainForm::rebuildRecentMenu()
{
    recentMenu_->clear();
    if (!recent_)
        return;
    const QStringList entries = recentLabels();
    int i = 0;
    for (const QString& path : entries) {
        QAction* a = recentMenu_->addAction(QStringLiteral("&%1 %2").arg(++i).arg(path));
        a->setData(path);
        connect(a, &QAction::triggered, this, [this, path] { openRecent(path); });
    }
    recentMenu_->setEnabled(!entries.isEmpty());
}

void TMainForm::languageChanged()
{
    TranslateWindow(this);
    for (int i = 0; i < ToolbarCount; ++i)
        toolbars_[i]->setWindowTitle(text("BarManagercaption", kBarKeys[i], toolbars_[i]->windowTitle()));
    dataSourcePanel_->setWindowTitle(text("BarManagercaption", kBarKeys[4], dataSourcePanel_->windowTitle()));
    refreshUsbToolEntry();
    showDocumentStatus();
}

void TMainForm::anotherInstance(const QString& path)
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
    QString wanted = path;
    if (wanted.isEmpty() && registry_) {
        registry_->reload();
        wanted = QString::fromUtf8(registry_->value(RecentFilesKey, "ExtendRecentFileName").value_or(QByteArray()));
    }
    const QFileInfo file(wanted);
    if (!wanted.isEmpty() && file.isFile() && file.suffix().toUpper() == QLatin1String("KVL"))
        openLabel(file.absoluteFilePath());
}

void TMainForm::showOptions()
{
    TOptionsForm dialog(OptionEntryOfLanguageIndex(CurrentLanguage()), settings_.startOption(), settings_.drawingMode(),
        settings_.showStartPage(), this);
    if (!Prompts().runDialog(&dialog))
        return;
    applyOptions(dialog.languageEntry(), dialog.startOption(), dialog.drawingMode(), dialog.showStartPage());
}

void TMainForm::applyOptions(int languageEntry, int startOption, int drawingMode, bool showStartPage)
{
    const int index = LanguageIndexOfOptionEntry(languageEntry, SystemDefaultLanguageId());
    settings_.setLanguageIndex(index);
    settings_.setStartOption(startOption);
    settings_.setDrawingMode(drawingMode);
    settings_.setShowStartPage(showStartPage);
    SetCurrentLanguage(index);
    sendCommand(Command::LanguageChanged);
    if (activeChild()) {
        sendCommand(Command::RebuildDataTree);
        sendCommand(Command::Retranslate);
        sendCommand(Command::DrawingMode, drawingMode);
    }
    // Windows that are not active take the drawing mode now and their texts when activated.
    for (TChildForm* child : childForms())
        child->dispatch(Command::DrawingMode, drawingMode);
}

// ---- window menu ------------------------------------------------------------------------

void TMainForm::rebuildWindowMenu()
{
    for (QAction* a : windowListActions_) {
        windowMenu_->removeAction(a);
        a->deleteLater();
    }
    windowListActions_.clear();
    int i = 0;
    TChildForm* current = activeChild();
    for (TChildForm* child : childForms()) {
        auto* a = new QAction(QStringLiteral("&%1 %2").arg(++i).arg(child->windowTitle()), windowMenu_);
        a->setCheckable(true);
        a->setChecked(child == current);
        connect(a, &QAction::triggered, this, [this, child] { activate(child); });
        windowMenu_->addAction(a);
        windowListActions_.append(a);
    }
}

void TMainForm::tile(Qt::Orientation orientation)
{
    QList<QMdiSubWindow*> windows;
    for (TChildForm* child : childForms())
        if (QMdiSubWindow* sub = subWindowOf(child)) {
            sub->showNormal();
            windows.append(sub);
        }
    if (windows.isEmpty())
        return;
    const QSize area = mdiArea_->viewport()->size();
    const int n = static_cast<int>(windows.size());
    for (int i = 0; i < n; ++i) {
        // Horizontal tiling stacks the windows one above the other, each as wide as the area.
        if (orientation == Qt::Horizontal) {
            const int h = area.height() / n;
            windows[i]->setGeometry(0, i * h, area.width(), h);
        } else {
            const int w = area.width() / n;
            windows[i]->setGeometry(i * w, 0, w, area.height());
        }
    }
}

// ---- tools, help, about -----------------------------------------------------------------

QString TMainForm::usbToolPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/USBPrinterIDSet");
}

void TMainForm::refreshUsbToolEntry()
{
    QAction* entry = action(QStringLiteral("mnuUsbId"));
    const QFileInfo tool(usbToolPath());
    const bool present = tool.isFile() && tool.isExecutable();
    QString caption = entry->text();
    const QString missing = text("MainFormInside", "UsbToolMissing", QStringLiteral("（未安装）"));
    if (!present && !caption.endsWith(missing))
        caption += missing;
    entry->setText(caption);
    entry->setEnabled(present);
}

void TMainForm::runUsbTool()
{
    if (!QProcess::startDetached(usbToolPath(), {}, QFileInfo(usbToolPath()).absolutePath()))
        Prompts().message(this, promptTitle(),
            FormatText(text("MainFormInside", "UsbToolFailed", QStringLiteral("无法运行%s")), usbToolPath()),
            UserPrompts::Icon::Warning);
}

QString TMainForm::currentHelpTopic() const
{
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget()) {
        const QString topic = w->property("helpTopic").toString();
        if (!topic.isEmpty())
            return topic;
    }
    if (startPageWindow_ && startPageWindow_ == mdiArea_->currentSubWindow())
        return HelpTopic::StartPage;
    return HelpTopic::MainForm;
}

void TMainForm::showHelp()
{
    ShowHelpTopic(currentHelpTopic());
}

void TMainForm::showAbout()
{
    QMessageBox::about(this, text("MainFormInside", "AboutTitle", QStringLiteral("关于 Korvel")),
        text("MainFormInside", "AboutText",
            QStringLiteral("Korvel 标签设计打印系统 %1\n为热敏和热转印标签打印机设计并打印标签。")
                .arg(QStringLiteral("0.1"))));
}

// ---- showing and closing ----------------------------------------------------------------

void TMainForm::loadToolbarLayout()
{
    const IniFile ini = IniFile::load(settingsDirectory_ + QStringLiteral("/ToolbarPostion.ini"));
    const QByteArray state = QByteArray::fromHex(ini.value("MainForm", "State", QByteArray()));
    if (!state.isEmpty())
        restoreState(state);
    const QByteArray geometry = QByteArray::fromHex(ini.value("MainForm", "Geometry", QByteArray()));
    if (!geometry.isEmpty())
        restoreGeometry(geometry);
}

void TMainForm::saveToolbarLayout()
{
    IniFile ini;
    ini.setValue("MainForm", "State", saveState().toHex());
    ini.setValue("MainForm", "Geometry", saveGeometry().toHex());
    ini.save(settingsDirectory_ + QStringLiteral("/ToolbarPostion.ini"));
}

void TMainForm::showEvent(QShowEvent* event)
{
    if (!layoutLoaded_) {
        layoutLoaded_ = true;
        loadToolbarLayout();
    }
    QMainWindow::showEvent(event);
}

bool TMainForm::writeSettings()
{
    const SettingsResult r = SaveSystemSettings(settingsDirectory_, settings_);
    if (!r.ok) {
        Prompts().message(this, r.title.isEmpty() ? promptTitle() : r.title,
            text("MainFormInside", "SaveSettingsFailed", QStringLiteral("保存系统信息失败!")) + QStringLiteral("\n")
                + r.message,
            UserPrompts::Icon::Warning);
        return false;
    }
    return true;
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    // Settings that were never read are never written back over the files on disk.
    if (settingsWritten_ || !initialized_) {
        event->accept();
        return;
    }
    // The open labels join the recent list, the last opened on top.
    QStringList openPaths;
    for (TChildForm* child : childForms())
        if (!child->document().untitled)
            openPaths.append(child->document().fileName);
    if (!closeAll()) {
        event->ignore();
        return;
    }
    if (recent_)
        for (const QString& path : openPaths)
            recent_->AddFileName(path);
    if (layoutLoaded_)
        saveToolbarLayout();
    writeSettings();
    settingsWritten_ = true;
    if (CurrentHelpWindow())
        CurrentHelpWindow()->close();
    event->accept();
}

} // namespace korvel
