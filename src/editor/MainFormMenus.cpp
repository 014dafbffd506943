// The frame's menus, toolbars and the actions behind them: every item either routes a
// document command to the active window or calls the main window.
#include "editor/MainForm.h"

#include "editor/ChildForm.h"
#include "editor/FrameSettings.h"
#include "editor/SurfaceViewMenu.h"
#include "editor/ToolIcons.h"
#include "editor/WindowArrangement.h"
#include "editor/data/DataSourcePanel.h"
#include "printing/PrinterProfiles.h"

#include <QAction>
#include <QActionGroup>
#include <QDockWidget>
#include <QMdiArea>
#include <QMenuBar>
#include <QToolBar>
#include <QTreeWidget>

namespace korvel {

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
    commandAction("mnuBringToFront", QStringLiteral("移到最前(&F)"), Command::ChangeOrder, 0);
    commandAction("mnuSendToBack", QStringLiteral("移到最后(&K)"), Command::ChangeOrder, 1);
    commandAction("mnuRaise", QStringLiteral("上移一层(&W)"), Command::ChangeOrder, 2);
    commandAction("mnuLower", QStringLiteral("下移一层(&B)"), Command::ChangeOrder, 3);

    // Tools
    connect(makeAction("mnuUsbId", QStringLiteral("USB设备ID设置")), &QAction::triggered, this, &TMainForm::runUsbTool);
    connect(makeAction("mnuOptions", QStringLiteral("系统选项")), &QAction::triggered, this, &TMainForm::showOptions);

    // Window
    QAction* cascade = makeAction("mnuCascade", QStringLiteral("层叠(&C)"));
    cascade->setProperty("needsDocument", true);
    connect(cascade, &QAction::triggered, this, [this] { CascadeWindows(mdiArea_, subWindows()); });
    QAction* tileH = makeAction("mnuTileHor", QStringLiteral("水平平铺(&H)"));
    tileH->setProperty("needsDocument", true);
    connect(tileH, &QAction::triggered, this, [this] { TileWindows(mdiArea_, subWindows(), Qt::Horizontal); });
    QAction* tileV = makeAction("mnuTileVer", QStringLiteral("垂直平铺(&V)"));
    tileV->setProperty("needsDocument", true);
    connect(tileV, &QAction::triggered, this, [this] { TileWindows(mdiArea_, subWindows(), Qt::Vertical); });

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
    auto* printerGroup = new QActionGroup(printerMenu_);
    for (const PrinterModel& model : PrinterModels()) {
        // Model names are names, not texts: no object name, so no translation.
        QAction* a = printerMenu_->addAction(model.name);
        a->setCheckable(true);
        a->setProperty("printerModel", model.index);
        printerGroup->addAction(a);
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
    AddGridMenu(view, [this] { return activeChild(); });

    add(menu("mnuCreate", QStringLiteral("创建(&C)")),
        { "mnuCreateText", "mnuCreateBarcode", "mnuCreateInverse", "mnuCreateDatabase", "mnuCreateRectangle",
            "mnuCreateImage", "mnuCreateHVLine", "mnuCreateLine", "mnuCreateEllipse" });
    add(menu("mnuArrange", QStringLiteral("排列(&A)")),
        { "mnuAlignLeft", "mnuAlignHCenter", "mnuAlignRight", "mnuAlignTop", "mnuAlignVCenter", "mnuAlignBottom", "",
            "mnuSpaceHor", "mnuSpaceVer", "mnuCenterHor", "mnuCenterVer", "", "mnuMoveUp", "mnuMoveLeft", "mnuMoveDown",
            "mnuMoveRight", "", "mnuRotateRight", "mnuRotateLeft", "", "mnuBringToFront", "mnuSendToBack", "mnuRaise",
            "mnuLower" });
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
    auto* tree = new TDataSourcePanel(dataSourcePanel_);
    connect(tree, &TDataSourcePanel::command, this, [this](Command c, int w, int l) { sendCommand(c, w, l); });
    dataSourcePanel_->setWidget(tree);
    // "Set database" with no open source starts the dialog afresh (lParam 1); the stored
    // choice gives way only when OK sets a new one.
    if (QAction* setDatabase = action(QStringLiteral("ToolButtonSetDatabase"))) {
        setDatabase->disconnect(this);
        connect(setDatabase, &QAction::triggered, this, [this] {
            TChildForm* child = activeChild();
            sendCommand(Command::SetDatabase, 0, child && child->isAvailable(Command::ForgetDataSource) ? 1 : 0);
        });
        // Create › Database is the same step from the menu: the label's data source.
        if (QAction* createDatabase = action(QStringLiteral("mnuCreateDatabase"))) {
            createDatabase->setProperty("command", static_cast<int>(Command::SetDatabase));
            connect(createDatabase, &QAction::triggered, setDatabase, &QAction::trigger);
        }
    }
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
        // Minimising the window, or a panel tabbed behind another, also reports "not visible";
        // only a bar the user closed is unticked, or restoring would leave it hidden.
        auto follow = [item, target] { item->setChecked(!target->isHidden()); };
        if (i < ToolbarCount)
            connect(toolbars_[i], &QToolBar::visibilityChanged, item, follow);
        else
            connect(dataSourcePanel_, &QDockWidget::visibilityChanged, item, follow);
        frameSettings_->watch(target);
    }
}

} // namespace korvel
