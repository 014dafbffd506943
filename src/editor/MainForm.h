#pragma once

#include "editor/Commands.h"
#include "persistence/SystemSettings.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <memory>

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QToolBar;
class QDockWidget;

namespace korvel {

class FrameSettings;
class HandOverQueue;
class RegistryStore;
class StatusPanels;
class DrawingTools;
class FormattingToolbar;
class TChildForm;
class TFirstForm;
class TRecentFileList;

/// The main window: menus, toolbars, status bar and the document windows of the open labels.
/// It starts up, keeps the recent labels and the process-wide settings, and routes every
/// document command to the active document window.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    /// The toolbars, in the order of their captions "test1" … "test4" of "BarManagercaption".
    static constexpr int ToolbarCount = 4;

    explicit TMainForm(const QString& settingsDirectory, QWidget* parent = nullptr);
    ~TMainForm() override;

    /// Start-up steps up to the settings: repairs a missing or damaged settings folder (telling
    /// the user), opens the recent labels, reads the system settings, applies the language.
    /// False when the settings cannot be read (the user was told; the program ends).
    bool initialize();
    /// The rest of the start-up: the label named on the command line, else the start page or
    /// the start option. arguments[0] is the program.
    void startUp(const QStringList& arguments);
    /// Offers to open each recovery copy a designer that did not end normally left behind;
    /// damaged copies are set aside with a message (RecoveryCopies.cpp). Returns how many
    /// were opened.
    int offerRecoveryCopies();

    /// Sends a command: main-window messages are handled here, document commands go to the
    /// active document window. Returns the window's result (0 when nothing carried it out).
    int sendCommand(Command command, int wParam = 0, int lParam = 0);
    /// Posts a main-window message (handled when the event loop next runs).
    void post(Command command, int wParam = 0);

    // --- documents -----------------------------------------------------------------------
    /// Opens a label, or activates its window when it is already open. Null when the file is
    /// missing or not a label (the user was told).
    TChildForm* openLabel(const QString& path);
    /// The new-label dialog and then a new label (or a label from the chosen sample).
    TChildForm* newLabel();
    /// An empty label with the given page, named by the new-label counter.
    TChildForm* newEmptyLabel(const TPageRecord& page);
    /// The open dialog (starting in the given folder, or the last one) and then openLabel.
    TChildForm* openWithDialog(const QString& directory = QString());
    /// Opens a recent label; a recent path that no longer exists is told and dropped.
    TChildForm* openRecent(const QString& path);
    bool closeActive();
    /// Closes every document window, last first; false when a close question kept one open.
    bool closeAll();

    TChildForm* activeChild() const;
    QList<TChildForm*> childForms() const;
    /// The window of an open label path, or null.
    TChildForm* findOpen(const QString& path) const;
    void activate(TChildForm* child);

    // --- process-wide state --------------------------------------------------------------
    SystemSettings& settings() { return settings_; }
    const QString& settingsDirectory() const { return settingsDirectory_; }
    RegistryStore* registry() const { return registry_.get(); }
    TRecentFileList* recentFiles() const { return recent_.get(); }
    int newLabelCounter() const { return newLabelCounter_; }
    /// Whether the check button of a printer model in "Select printer" is down.
    bool isModelButtonDown(int model) const;

    /// Another start handed over a path (message 0x466; empty: the path is in the registry).
    /// The path waits while a modal dialog is open; hand-overs are opened one at a time.
    void anotherInstance(const QString& path);
    /// Applies the options dialog's choices (language entry 0–2, start option, drawing mode,
    /// start page) and refreshes the windows.
    void applyOptions(int languageEntry, int startOption, int drawingMode, bool showStartPage);
    void showOptions();
    void showStartPage();
    /// The start page while it is shown, else null.
    TFirstForm* startPage() const;
    /// The recent labels as the menu and the start page list them, newest first.
    QStringList recentLabels() const;
    /// The start page's OK.
    void startPageChosen();
    /// Writes the settings now; false (the user was told) when they could not be written.
    /// Changed settings are written as they change; this is the exit's final write.
    bool writeSettings();

    // --- for tests and the next parts ----------------------------------------------------
    QAction* action(const QString& objectName) const;
    /// A status-bar panel; one without text is hidden.
    QLabel* statusPanel(int index) const;
    QMenu* recentMenu() const { return recentMenu_; }
    QMdiArea* mdiArea() const { return mdiArea_; }
    QToolBar* toolbar(int index) const;
    DrawingTools* drawingTools() const { return drawingTools_; }
    FormattingToolbar* formatBar() const { return formatBar_; }
    QDockWidget* dataSourcePanel() const { return dataSourcePanel_; }
    /// Re-reads the enabled state of every command from the active document window.
    void updateCommandStates();
    /// Writes the status-bar texts of the active document (the printer alone without one).
    void showDocumentStatus();
    void rebuildRecentMenu();
    /// The help topic of the window that has the focus (F1).
    QString currentHelpTopic() const;
    /// The path of the outside USB identifier tool.
    static QString usbToolPath();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildActions();
    void buildMenus();
    void buildToolbars();
    QAction* makeAction(const char* name, const QString& caption, const QKeySequence& key = {});
    QAction* commandAction(const char* name, const QString& caption, Command command, int wParam = 0, int lParam = 0,
        const QKeySequence& key = {});
    TChildForm* createChild();
    /// Puts a document window into the frame, shows and activates it.
    void showChild(TChildForm* child);
    QMdiSubWindow* subWindowOf(const TChildForm* child) const;
    QList<QMdiSubWindow*> subWindows() const;
    /// Opens a label named from outside (command line, hand-over): a missing file is told;
    /// a file that is not a ".kvl" is left alone. True when a label window is active after it.
    bool openNamedLabel(const QString& path);
    void openHandedOver(const QString& path);
    /// Writes the system settings when they differ from what is on disk.
    void settingsChanged();
    void childActivated(TChildForm* child);
    void languageChanged();
    void rebuildWindowMenu();
    void refreshUsbToolEntry();
    void showAbout();
    void runUsbTool();
    void showHelp();

    QString settingsDirectory_;
    SystemSettings settings_;
    std::unique_ptr<RegistryStore> registry_;
    std::unique_ptr<TRecentFileList> recent_;
    int newLabelCounter_ = 0;
    int childCounter_ = 0;
    bool newDialogOpen_ = false;
    bool settingsWritten_ = false;
    bool initialized_ = false;

    QMdiArea* mdiArea_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    QMenu* printerMenu_ = nullptr;
    QList<QAction*> windowListActions_;
    QToolBar* toolbars_[ToolbarCount] = {};
    QDockWidget* dataSourcePanel_ = nullptr;
    std::unique_ptr<StatusPanels> statusPanels_;
    FrameSettings* frameSettings_ = nullptr;
    HandOverQueue* handOvers_ = nullptr;
    DrawingTools* drawingTools_ = nullptr;
    FormattingToolbar* formatBar_ = nullptr;
    QPointer<QMdiSubWindow> startPageWindow_;
    QPointer<TFirstForm> startPage_;
    QPointer<TChildForm> current_;
};

} // namespace korvel
