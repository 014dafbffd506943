#pragma once

#include "editor/Commands.h"
#include "editor/arrange/Arrange.h"
#include "editor/clipboard/ObjectClipboard.h"
#include "editor/creation/ObjectCreation.h"
#include "editor/formatting/FormattingBar.h"
#include "persistence/LabelFile.h"

#include <QWidget>

#include <functional>
#include <memory>

class QScrollArea;

namespace korvel {

class LabelDocument;
class RecoveryCopyWriter;
class SurfaceEditor;
class TDataCommands;
class TOARuler;
class TOAWorkspace;
class TOperation;

/// The document window: shows one label document on its design surface and carries out the
/// document commands. Every menu action, toolbar button and test reaches it through dispatch().
/// Whether the system clipboard holds label objects of ours.
bool ClipboardHasObjects();

class TChildForm : public QWidget {
    Q_OBJECT
public:
    /// A window for an empty document. The name is the window's component name ("ChildForm",
    /// "ChildForm_1" …), which is also its language-file section.
    explicit TChildForm(const QString& componentName = QStringLiteral("ChildForm"), QWidget* parent = nullptr);
    ~TChildForm() override;

    LabelDocument& document() { return *document_; }
    const LabelDocument& document() const { return *document_; }
    TOAWorkspace* workspace() const { return workspace_; }
    QScrollArea* scrollBox() const { return scrollBox_; }
    /// The document's undo history: commands of other parts record their steps here.
    TOperation& history() { return *history_; }
    /// The editing model of the design surface (selection, gestures, tool, grid).
    SurfaceEditor& surfaceEditor() { return *editor_; }
    TOARuler* ruler(Qt::Orientation orientation) const;

    /// The Undo and Redo menu texts, saying what the next one takes back or repeats.
    QString undoCaption(bool redo) const;
    /// Takes a document opened from a recovery copy as the document it was: its own file name
    /// (or untitled), modified, so that closing it asks whether to save.
    void adoptRecovered(const QString& fileName, bool untitled);
    RecoveryCopyWriter& recoveryCopy() { return *recovery_; }

    /// Zooms in (steps > 0) or out keeping the surface point under a viewport position still.
    void zoomAt(int steps, QPoint viewportPoint);

    /// Carries out one command; 1 when it was done, 0 when it is not available now (no
    /// document state for it, or its part of the designer is not built yet).
    int dispatch(Command command, int wParam = 0, int lParam = 0);
    /// Whether the command would be carried out now: the enabled state of its actions (for
    /// record moves `wParam` is the move, for the arrange command the alignment code).
    bool isAvailable(Command command, int wParam = 0) const;
    /// The variable and data-source commands, with the document's live data source.
    TDataCommands* dataCommands() const { return data_; }
    /// Whether this window carries out the command at all in this build.
    static bool isBuilt(Command command);

    /// Where new objects take their defaults from (the main window's settings).
    std::function<CreationSettings()> creationSettings;
    /// The drawing tool (0 the arrow, 1-8) and its surface cursor.
    void setTool(int tool);
    /// A finished creation band (ChildFormArrange.cpp); true when an object was created.
    bool createObject(int tool, const QPoint& start, const QPoint& end);
    /// The object pop-up menu at a global position.
    void showObjectMenu(const QPoint& globalPos);
    /// The pop-up menu's not-print item: flag byte 0 of the single selected object.
    bool setNotPrint(bool on);

    /// The formatting bar's state of this document (ChildFormArrange.cpp).
    FormattingBar& formatting() { return *formatting_; }
    /// The main window's font or size box text that commands 0x452 and 0x453 apply.
    void setFormatText(const QString& text) { formatText_ = text; }
    /// A toggle button of the formatting bar; true when objects changed.
    bool pressFormatButton(FormatButton button);

    /// Names the file that the finish-opening command (0x464) reads.
    void setFileToOpen(const QString& path) { fileToOpen_ = path; }
    /// The printer choice a legacy file takes (it stores none).
    void setReadOptions(const LabelReadOptions& options) { readOptions_ = options; }
    /// The result of the last finish-opening command.
    const LabelFileResult& openResult() const { return openResult_; }

    /// Save (Ctrl+S): only a modified document is written; an untitled one asks for a name.
    /// True when the document is saved afterwards (also when nothing had to be written).
    bool save();
    /// Save as (F12): asks for a name and writes. True when written.
    bool saveAs();
    /// The close question for a modified document; true when the window may close.
    bool queryClose();

    /// The caption of a file name: without its directory and without its extension.
    static QString CaptionOf(const QString& fileName);
    void refreshCaption();

    /// The document window's help topic and its language-file section.
    QString section() const;
    /// The drawing mode of the surface (0 transparent, 1 XOR); print jobs send it along.
    int drawingMode() const { return drawingMode_; }

signals:
    /// Status bar texts and the enabled state of commands may have changed.
    void stateChanged();
    /// The document was written to a file (the recent list takes it).
    void fileWritten(const QString& path);
    /// A file was read, or the page setup was confirmed: the document's page record (and after
    /// reading, its printer) become the current ones.
    void pageAdopted(bool withPrinter);
    /// The window was closed (after the close question allowed it).
    void closed();
    /// A creation step ran (true) or was refused before running (false): a one-shot tool
    /// goes back to the arrow after a step that ran.
    void creationStepDone(bool stepRan);
    /// A new text was confirmed with this font ("winfont"/"fontname" takes it).
    void textFontChosen(const QString& fontName);
    /// Status panels 4 and 5 while an object is moved or resized (both empty afterwards).
    void surfaceStatus(const QString& position, const QString& size);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // ChildFormSurface.cpp: the design surface's part of the window.
    void buildSurface();
    void attachSurface();
    int surfaceCommand(Command command, int wParam, int lParam, bool& handled);
    bool editProperties();
    void surfaceDoubleClicked();
    void surfaceChanged();
    void pointerMoved(QPoint surfacePoint);
    void syncRulers();
    bool surfaceKey(QKeyEvent* event);
    void applyZoom(int steps, bool keepCentre);

    // ChildFormArrange.cpp: arrange, delete, clipboard, creation and the pop-up menu.
    void attachArrange();
    int arrangeCommand(Command command, int wParam, int lParam, bool& handled);
    bool copySelection();
    bool pasteClipboard();
    bool runCreationStep(TOAControl& object);

    bool finishOpening();
    bool writeTo(const QString& path);
    bool runPageSetup();
    void zoomChanged();
    QSize fitArea() const;
    QString documentBaseName() const;

    std::unique_ptr<LabelDocument> document_;
    std::unique_ptr<TOperation> history_;
    std::unique_ptr<SurfaceEditor> editor_;
    QScrollArea* scrollBox_;
    TOAWorkspace* workspace_;
    std::unique_ptr<RecoveryCopyWriter> recovery_;
    TOARuler* rulerH_ = nullptr;
    TOARuler* rulerV_ = nullptr;
    TDataCommands* data_ = nullptr;
    QString fileToOpen_;
    LabelReadOptions readOptions_;
    LabelFileResult openResult_;
    bool fitPending_ = true;
    int drawingMode_ = 1;
    bool gestureStatusShown_ = false;
    int tool_ = 0;
    std::unique_ptr<FormattingBar> formatting_;
    QString formatText_;
    RotationMemory rotation_;
    PasteState pasteState_;
    static constexpr int RulerThicknessPixels = 16;
};

} // namespace korvel
