#include "editor/MainForm.h"

#include "document/CodePage.h"
#include "document/DataPaths.h"
#include "document/LabelDocument.h"
#include "editor/ChildForm.h"
#include "editor/DrawingTools.h"
#include "editor/FormattingToolbar.h"
#include "editor/FirstForm.h"
#include "editor/FrameSettings.h"
#include "editor/HandOverQueue.h"
#include "editor/HelpWindow.h"
#include "editor/Language.h"
#include "editor/OAWorkSpace.h"
#include "editor/OptionsForm.h"
#include "editor/PageLayoutDialogs.h"
#include "editor/QtTranslations.h"
#include "editor/StatusPanels.h"
#include "editor/ToolIcons.h"
#include "editor/UserPrompts.h"
#include "editor/data/DataCommands.h"
#include "editor/data/DataSourcePanel.h"
#include "editor/WindowArrangement.h"
#include "persistence/RecentFileList.h"
#include "persistence/RegistryStore.h"
#include "printing/PrinterProfiles.h"
#include "printing/ports/PortSettingsStore.h"

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
#include <QClipboard>
#include <QGuiApplication>
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

    frameSettings_ = new FrameSettings(this, settingsDirectory_, settings_);
    handOvers_ = new HandOverQueue([this](const QString& path) { openHandedOver(path); }, this);
    buildActions();
    buildMenus();
    buildToolbars();
    drawingTools_ = new DrawingTools(this);
    drawingTools_->wire();
    formatBar_ = new FormattingToolbar(this);
    addToolBar(Qt::TopToolBarArea, formatBar_);
    frameSettings_->watch(formatBar_);
    // Paste follows what the clipboard holds, also when another program changed it.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] { updateCommandStates(); });
    statusPanels_ = std::make_unique<StatusPanels>(statusBar());
    updateCommandStates();
}

TMainForm::~TMainForm()
{
    // The layout keeper outlives the settings it reads (it goes with the children).
    removeEventFilter(frameSettings_);
    // The document windows hold nothing of the main window; they go with the area.
    if (CurrentHelpWindow())
        CurrentHelpWindow()->close();
}

QAction* TMainForm::action(const QString& objectName) const
{
    return findChild<QAction*>(objectName);
}

QLabel* TMainForm::statusPanel(int index) const
{
    return statusPanels_->panel(index);
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
    frameSettings_->markStored();
    for (QAction* a : printerMenu_->actions())
        a->setChecked(a->property("printerModel").toInt() == settings_.currentModel);
    SetCurrentLanguage(settings_.languageIndex());
    languageChanged();
    post(Command::RebuildRecentMenu);
    rebuildRecentMenu();
    return true;
}

void TMainForm::startUp(const QStringList& arguments)
{
    // Labels restored after a crash are what the user works on; the start page would cover them.
    if (offerRecoveryCopies() > 0 && arguments.size() <= 1)
        return;
    // A label that cannot be opened is told, and the start goes on as without one.
    if (arguments.size() > 1 && openNamedLabel(arguments.at(1)))
        return;
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
    settingsChanged();
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
    if (formatBar_)
        formatBar_->showState(child);
    for (QAction* a : findChildren<QAction*>()) {
        bool ok = false;
        const int command = a->property("command").toInt(&ok);
        if (ok)
            a->setEnabled(child && child->isAvailable(static_cast<Command>(command), a->property("wParam").toInt()));
        if (child && (a->objectName() == QLatin1String("mnuUndo") || a->objectName() == QLatin1String("mnuRedo")))
            a->setText(child->undoCaption(a->objectName() == QLatin1String("mnuRedo")));
        else if (a->property("needsDocument").toBool())
            a->setEnabled(child != nullptr);
    }
    if (auto* tree = qobject_cast<TDataSourcePanel*>(dataSourcePanel_->widget()))
        tree->showDocument(child ? &child->document() : nullptr, child && child->dataCommands()->isConnected());
}

void TMainForm::showDocumentStatus()
{
    TChildForm* child = activeChild();
    statusPanels_->showStatus(child ? &child->document() : nullptr, settings_.current,
        registry_ ? ReadPortSettings(*registry_) : PortSettings());
}

void TMainForm::settingsChanged()
{
    if (initialized_ && !settingsWritten_)
        frameSettings_->storeIfChanged();
}

QList<QMdiSubWindow*> TMainForm::subWindows() const
{
    QList<QMdiSubWindow*> list;
    for (TChildForm* child : childForms())
        if (QMdiSubWindow* sub = subWindowOf(child))
            list.append(sub);
    return list;
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
    settingsChanged();
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
    child->creationSettings = [this] {
        return CreationSettings { settings_.languageIndex() == 1, CodePage::document().toUnicode(settings_.defaultFontName) };
    };
    connect(child, &TChildForm::creationStepDone, drawingTools_, &DrawingTools::stepDone);
    connect(child, &TChildForm::textFontChosen, this, [this](const QString& name) {
        settings_.defaultFontName = CodePage::document().fromUnicode(name);
        RememberTextFont(settingsDirectory_, name);
    });
    drawingTools_->applyTo(child);
    connect(child, &TChildForm::surfaceStatus, this, [this](const QString& position, const QString& size) {
        statusPanels_->setText(4, position);
        statusPanels_->setText(5, size);
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
        settingsChanged();
    });
    connect(child, &TChildForm::closed, this, [this] {
        QTimer::singleShot(0, this, [this] {
            if (!activeChild())
                statusPanels_->setText(0, QString());
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
        settingsChanged();
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
    // A new window takes the next place of a cascade inside the area, sized so that a few
    // more can step down beside it.
    const int n = static_cast<int>(childForms().size());
    QMdiSubWindow* sub = mdiArea_->addSubWindow(child);
    sub->setWindowIcon(ToolIcon(QStringLiteral("barcode")));
    const QList<QRect> places
        = CascadeGeometry(mdiArea_->viewport()->size(), std::max(n + 1, 4), CascadeStep(mdiArea_));
    if (n < places.size())
        sub->setGeometry(places[n]);
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
    statusPanels_->setText(0, QString());
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
    UseQtTranslations(CurrentLanguage());
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
    // A dialog that is open keeps the hand-over waiting: bring it forward so the user sees why.
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
    handOvers_->add(path);
}

void TMainForm::openHandedOver(const QString& path)
{
    QString wanted = path;
    if (wanted.isEmpty() && registry_) {
        registry_->reload();
        wanted = QString::fromUtf8(registry_->value(RecentFilesKey, "ExtendRecentFileName").value_or(QByteArray()));
    }
    if (!wanted.isEmpty())
        openNamedLabel(wanted);
}

bool TMainForm::openNamedLabel(const QString& path)
{
    const QFileInfo file(path);
    // A missing file is told (openLabel says so); another kind of file is not ours to open.
    if (file.exists() && file.suffix().toUpper() != QLatin1String("KVL"))
        return false;
    return openLabel(file.absoluteFilePath()) != nullptr;
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
    settingsChanged();
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

void TMainForm::showEvent(QShowEvent* event)
{
    if (!frameSettings_->layoutLoaded())
        frameSettings_->loadLayout();
    QMainWindow::showEvent(event);
}

bool TMainForm::writeSettings()
{
    return frameSettings_->store();
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
    frameSettings_->saveLayout();
    writeSettings();
    settingsWritten_ = true;
    if (CurrentHelpWindow())
        CurrentHelpWindow()->close();
    event->accept();
}

} // namespace korvel
