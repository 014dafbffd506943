#pragma once

#include "editor/Commands.h"
#include "persistence/LabelFile.h"

#include <QWidget>

#include <memory>

class QScrollArea;

namespace korvel {

class LabelDocument;
class TOAWorkspace;

/// The document window: shows one label document on its design surface and carries out the
/// document commands. Every menu action, toolbar button and test reaches it through dispatch().
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

    /// Carries out one command; 1 when it was done, 0 when it is not available now (no
    /// document state for it, or its part of the designer is not built yet).
    int dispatch(Command command, int wParam = 0, int lParam = 0);
    /// Whether the command would be carried out now: the enabled state of its actions.
    bool isAvailable(Command command) const;
    /// Whether this window carries out the command at all in this build.
    static bool isBuilt(Command command);

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

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool finishOpening();
    bool writeTo(const QString& path);
    bool runPageSetup();
    void zoomChanged();
    QString documentBaseName() const;

    std::unique_ptr<LabelDocument> document_;
    QScrollArea* scrollBox_;
    TOAWorkspace* workspace_;
    QString fileToOpen_;
    LabelReadOptions readOptions_;
    LabelFileResult openResult_;
    bool fitPending_ = true;
    int drawingMode_ = 1;
};

} // namespace korvel
