#include "editor/ChildForm.h"

#include "document/LabelDocument.h"
#include "editor/HelpWindow.h"
#include "editor/Language.h"
#include "editor/OAWorkSpace.h"
#include "editor/PageLayoutDialogs.h"
#include "editor/RecoveryCopies.h"
#include "editor/UserPrompts.h"
#include "editor/data/DataCommands.h"
#include "editor/editing/Operation.h"
#include "editor/editing/SurfaceEditor.h"
#include "editor/printing/DesignerPrint.h"
#include "editor/printing/PrinterSetCommand.h"
#include "editor/printing/PrintPreviewForm.h"
#include "editor/properties/PropertyDialogs.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace korvel {

namespace {
QString text(const char* section, const char* key, const QString& fallback)
{
    return LookupText(QString::fromLatin1(section), QString::fromLatin1(key), fallback);
}
} // namespace

TChildForm::TChildForm(const QString& componentName, QWidget* parent)
    : QWidget(parent)
    , document_(std::make_unique<LabelDocument>())
    , history_(std::make_unique<TOperation>(*document_))
    , editor_(std::make_unique<SurfaceEditor>(*document_, *history_))
{
    setObjectName(componentName);
    setProperty("formSection", componentName);
    // The caption is the file name; only the hint comes from the language file.
    setProperty("tag", 2);
    setAttribute(Qt::WA_DeleteOnClose);
    // Command 0x405 opens the property dialogs of the object kinds.
    RegisterPropertyDialogs();

    scrollBox_ = new QScrollArea(this);
    scrollBox_->setObjectName(QStringLiteral("ScrollBox"));
    scrollBox_->setFrameShape(QFrame::NoFrame);
    scrollBox_->setBackgroundRole(QPalette::Dark);
    QPalette pal = scrollBox_->palette();
    pal.setColor(QPalette::Dark, QColor(0xC8, 0xC8, 0xC8));
    scrollBox_->setPalette(pal);
    workspace_ = new TOAWorkspace(*document_);
    scrollBox_->setWidget(workspace_);
    scrollBox_->setWidgetResizable(false);
    data_ = new TDataCommands(*this);
    buildSurface();
    recovery_ = std::make_unique<RecoveryCopyWriter>([this] { return document_.get(); });
    connect(this, &TChildForm::stateChanged, this, [this] { recovery_->changed(); });

    // F1 reaches the window through the main window's help command.
    setProperty("helpTopic", HelpTopic::MainForm);
    resize(560, 380);
}

TChildForm::~TChildForm()
{
    recovery_.reset();
    // The surface refers to the document; it goes first.
    delete scrollBox_;
    scrollBox_ = nullptr;
    workspace_ = nullptr;
}

QString TChildForm::section() const
{
    return objectName();
}

bool TChildForm::isBuilt(Command command)
{
    switch (command) {
    case Command::ZoomIn:
    case Command::ZoomOut:
    case Command::FitToWindow:
    case Command::Refit:
    case Command::ActualSize:
    case Command::PageSetup:
    case Command::SaveAs:
    case Command::Save:
    case Command::Retranslate:
    case Command::DrawingMode:
    case Command::RepaintSurface:
    case Command::RedrawHandles:
    case Command::MoveSelection:
    case Command::Properties:
    case Command::SelectAll:
    case Command::Undo:
    case Command::Redo:
    case Command::FinishOpening:
    case Command::Print:
    case Command::PrinterSettings:
    case Command::PrintPreview:
    case Command::QuantityFieldOn:
    case Command::QuantityFieldOff:
    case Command::DeleteSelection:
    case Command::Arrange:
    case Command::Rotate:
    case Command::Cut:
    case Command::Copy:
    case Command::Paste:
    case Command::ChangeOrder:
    case Command::ApplyFontName:
    case Command::ApplyFontSize: return true;
    default: return TDataCommands::handles(command);
    }
}

bool TChildForm::isAvailable(Command command, int wParam) const
{
    if (!isBuilt(command))
        return false;
    if (TDataCommands::handles(command))
        return data_->isAvailable(command, wParam);
    switch (command) {
    case Command::ZoomIn: return document_->canZoomIn();
    case Command::ZoomOut: return document_->canZoomOut();
    case Command::Save: return document_->modified;
    case Command::FinishOpening: return !fileToOpen_.isEmpty();
    case Command::MoveSelection: return !document_->selection().empty();
    case Command::Properties: return document_->selection().size() == 1;
    case Command::SelectAll: return document_->objectCount() > 0;
    case Command::Undo: return history_->canUndo();
    case Command::Redo: return history_->canRedo();
    case Command::Arrange:
        return AlignNeeds(wParam) > 0 && static_cast<int>(document_->selection().size()) >= AlignNeeds(wParam);
    case Command::DeleteSelection:
    case Command::Cut:
    case Command::Copy:
    case Command::ChangeOrder: return !document_->selection().empty();
    case Command::Rotate: return document_->selection().size() == 1;
    case Command::ApplyFontName:
    case Command::ApplyFontSize:
        formatting_->refreshEnabling();
        return formatting_->state().boxesEnabled;
    case Command::Paste: return ClipboardHasObjects();
    default: return true;
    }
}

int TChildForm::dispatch(Command command, int wParam, int lParam)
{
    if (!isAvailable(command, wParam))
        return 0;
    // An edit that leaves no undo step (page setup, variables) means no undo can bring back
    // the saved state any more.
    const std::uint64_t historyBefore = history_->serial();
    const std::uint64_t changesBefore = document_->changeSerial;
    bool handled = false;
    int surfaceResult = surfaceCommand(command, wParam, lParam, handled);
    if (!handled)
        surfaceResult = arrangeCommand(command, wParam, lParam, handled);
    if (handled) {
        if (document_->changeSerial != changesBefore && history_->serial() == historyBefore)
            history_->forgetSavedState();
        emit stateChanged();
        return surfaceResult;
    }
    bool done = true;
    switch (command) {
    case Command::ZoomIn: applyZoom(1, true); break;
    case Command::ZoomOut: applyZoom(-1, true); break;
    case Command::FitToWindow: {
        const QSize client = fitArea();
        document_->fitZoom(client.width(), client.height());
        document_->FitMode = 1;
        zoomChanged();
        // A fitted label is seen from its beginning, whatever was scrolled before.
        scrollBox_->horizontalScrollBar()->setValue(0);
        scrollBox_->verticalScrollBar()->setValue(0);
        break;
    }
    case Command::Refit:
        if (document_->FitMode == 1) {
            const QSize client = fitArea();
            if (document_->fitZoom(client.width(), client.height()))
                zoomChanged();
        }
        break;
    case Command::ActualSize:
        document_->setZoom(100);
        zoomChanged();
        break;
    case Command::PageSetup: done = runPageSetup(); break;
    case Command::SaveAs: done = saveAs(); break;
    case Command::Save: done = save(); break;
    case Command::Retranslate: TranslateWindow(this); break;
    case Command::DrawingMode:
        if (wParam == 0 || wParam == 1) {
            drawingMode_ = wParam;
            workspace_->setDrawingMode(wParam);
        } else {
            done = false;
        }
        break;
    case Command::RepaintSurface:
    case Command::RedrawHandles: workspace_->update(); break;
    case Command::FinishOpening: done = finishOpening(); break;
    case Command::Print: done = RunPrintCommand(*this, wParam != 0); break;
    case Command::PrinterSettings: done = RunPrinterSetCommand(*this); break;
    case Command::PrintPreview: done = ShowPrintPreview(*this); break;
    case Command::QuantityFieldOn: PrintState().quantityFromField = true; break;
    case Command::QuantityFieldOff: PrintState().quantityFromField = false; break;
    default: done = TDataCommands::handles(command) && data_->dispatch(command, wParam, lParam); break;
    }
    if (document_->changeSerial != changesBefore && history_->serial() == historyBefore)
        history_->forgetSavedState();
    emit stateChanged();
    return done ? 1 : 0;
}

QSize TChildForm::fitArea() const
{
    // A fitted label keeps its canvas margin and shadow in view
    // (and the label's one-pixel edge, so that a fitted label never brings up scroll bars).
    const int margin = 2 * TOAWorkspace::CanvasMargin + 2;
    return scrollBox_->viewport()->size() - QSize(margin, margin);
}

void TChildForm::zoomChanged()
{
    editor_->reset();
    workspace_->setViewportSize(scrollBox_->viewport()->size());
    workspace_->refresh();
    syncRulers();
}

bool TChildForm::finishOpening()
{
    const QString path = fileToOpen_;
    fileToOpen_.clear();
    // Reading goes into a fresh document so a failed read leaves nothing half-filled behind.
    auto fresh = std::make_unique<LabelDocument>();
    openResult_ = ReadLabelFile(path, *fresh, readOptions_);
    if (!openResult_.opened())
        return false;
    delete scrollBox_->takeWidget();
    editor_.reset();
    history_.reset();
    document_ = std::move(fresh);
    history_ = std::make_unique<TOperation>(*document_);
    editor_ = std::make_unique<SurfaceEditor>(*document_, *history_);
    // Objects read from the file already stand at the document's zoom; only a file whose
    // objects do not is zoomed again (which renders every object once more). This comes
    // before the surface is made, so that the label picture is rendered once, at that zoom.
    const double factor = document_->zoom() / 100.0;
    bool zoomed = true;
    for (const auto& o : document_->objects())
        zoomed = zoomed && o->Zoom() == factor;
    if (!zoomed)
        document_->setZoom(document_->zoom());
    workspace_ = new TOAWorkspace(*document_);
    workspace_->setDrawingMode(drawingMode_);
    scrollBox_->setWidget(workspace_);
    attachSurface();
    document_->fileName = QFileInfo(path).absoluteFilePath();
    document_->untitled = false;
    document_->modified = false;
    history_->markSaved();
    syncRulers();
    fitPending_ = document_->FitMode == 1;
    refreshCaption();
    data_->documentOpened();
    emit pageAdopted(true);
    return true;
}

QString TChildForm::CaptionOf(const QString& fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0)
        return name;
    return name.left(dot);
}

void TChildForm::refreshCaption()
{
    setWindowTitle(CaptionOf(document_->fileName));
}

QString TChildForm::documentBaseName() const
{
    return QFileInfo(document_->fileName).fileName();
}

bool TChildForm::writeTo(const QString& path)
{
    const LabelFileResult r = WriteLabelFile(path, *document_);
    if (r.status != LabelFileResult::Status::Ok) {
        // A failed write is told: the document stays modified, nothing is lost silently.
        Prompts().message(this, text("All", "tishi", QStringLiteral("提示")),
            FormatText(text("ChildFormInside", "SaveFailed", QStringLiteral("保存标签文件%s失败。")), path)
                + QStringLiteral("\n") + r.message,
            UserPrompts::Icon::Warning);
        return false;
    }
    emit fileWritten(QFileInfo(path).absoluteFilePath());
    return true;
}

namespace {
QString labelFilter()
{
    return LookupText(
        QStringLiteral("MainFormInside"), QStringLiteral("OpenDialogFilter"), QStringLiteral("标签文件 (*.kvl)"));
}

QString withExtension(QString path)
{
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".kvl");
    return path;
}
} // namespace

bool TChildForm::save()
{
    if (!document_->modified)
        return true;
    QString path = document_->fileName;
    if (document_->untitled) {
        path
            = Prompts().saveFileName(this, text("ChildFormInside", "SaveLabelFileDialogTitle1", QStringLiteral("save")),
                QString(), documentBaseName(), QStringLiteral("kvl"), labelFilter());
        if (path.trimmed().isEmpty())
            return false;
        path = withExtension(path);
    }
    if (!writeTo(path))
        return false;
    document_->fileName = QFileInfo(path).absoluteFilePath();
    document_->untitled = false;
    document_->modified = false;
    history_->markSaved();
    refreshCaption();
    emit stateChanged();
    return true;
}

bool TChildForm::saveAs()
{
    const QString directory = document_->untitled ? QString() : QFileInfo(document_->fileName).absolutePath();
    QString path
        = Prompts().saveFileName(this, text("ChildFormInside", "SaveLabelFileDialogTitle2", QStringLiteral("Save as")),
            directory, documentBaseName(), QStringLiteral("kvl"), labelFilter());
    if (path.trimmed().isEmpty())
        return false;
    path = withExtension(path);
    if (!writeTo(path))
        return false;
    document_->fileName = QFileInfo(path).absoluteFilePath();
    // Once written under a name the label has a file: the next Save writes there.
    document_->untitled = false;
    document_->modified = false;
    history_->markSaved();
    refreshCaption();
    emit stateChanged();
    return true;
}

bool TChildForm::queryClose()
{
    if (!document_->modified)
        return true;
    const QString name = text("All", "wenjian", QStringLiteral("file")) + QStringLiteral("\"") + documentBaseName()
        + QStringLiteral("\"");
    const QString question = FormatText(text("ChildFormInside", "message10", QStringLiteral("error")), name);
    switch (Prompts().askYesNoCancel(this, text("All", "tishi", QStringLiteral("error")), question)) {
    case UserPrompts::Answer::Yes:
        // A save that was cancelled or failed keeps the window, and the label, open.
        return save();
    case UserPrompts::Answer::No: return true;
    case UserPrompts::Answer::Cancel: break;
    }
    return false;
}

bool TChildForm::runPageSetup()
{
    TPageSetupForm dialog(document_->page(), this);
    if (!Prompts().runDialog(&dialog))
        return false;
    document_->setPage(dialog.page());
    const QSize client = fitArea();
    if (document_->fitZoom(client.width(), client.height()))
        document_->FitZoom = document_->zoom();
    document_->FitMode = 1;
    document_->refreshPixels();
    document_->markModified();
    zoomChanged();
    emit pageAdopted(false);
    return true;
}

void TChildForm::closeEvent(QCloseEvent* event)
{
    if (!queryClose()) {
        event->ignore();
        return;
    }
    event->accept();
    recovery_->remove();
    emit closed();
}

void TChildForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    workspace_->setViewportSize(scrollBox_->viewport()->size());
    // Before the first show the scroll box has not laid out its viewport yet: a fit now would
    // zoom (and render every object) for a size the window never has. The show event fits.
    if (!fitPending_ || isVisible())
        dispatch(Command::Refit);
    syncRulers();
}

void TChildForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (fitPending_) {
        fitPending_ = false;
        dispatch(Command::Refit);
    }
}

} // namespace korvel
