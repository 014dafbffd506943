// The document window's arrange part: align, rotate, delete, z-order, the clipboard, the
// creation of new objects from the drawing tools and the object pop-up menu.
#include "editor/ChildForm.h"

#include "document/CodePage.h"
#include "document/DataPaths.h"
#include "document/LabelDocument.h"
#include "document/OAImage.h"
#include "document/OALabel.h"
#include "editor/Language.h"
#include "editor/OAWorkSpace.h"
#include "editor/properties/PropertyDialogs.h"
#include "editor/ToolIcons.h"
#include "editor/UserPrompts.h"
#include "editor/editing/Operation.h"
#include "editor/editing/SurfaceEditor.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImageReader>
#include <QMenu>
#include <QMimeData>
#include <QPainter>

#include <algorithm>

namespace korvel {

bool ClipboardHasObjects()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasFormat(QLatin1String(ObjectsMimeType));
}

namespace {
/// The cursor of a drawing tool: a small cross whose centre lies 6 pixels right of and below
/// the hot spot (where the band starts) with the tool's picture beside it.
QCursor toolCursor(int tool)
{
    if (tool == 0)
        return QCursor(Qt::ArrowCursor);
    static const char* icons[] = { "", "text", "barcode", "image", "line", "rect", "ellipse", "hvline", "inverse" };
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawLine(0, 6, 12, 6);
    painter.drawLine(6, 0, 6, 12);
    painter.drawPixmap(12, 12, ToolIcon(QLatin1String(icons[std::clamp(tool, 1, 8)])).pixmap(16, 16));
    return QCursor(pixmap, 0, 0);
}

QString childText(const char* key, const QString& fallback)
{
    return LookupText(QStringLiteral("ChildForm"), QString::fromLatin1(key), fallback);
}
} // namespace

void TChildForm::attachArrange()
{
    const QString initialFont = formatting_ ? formatting_->state().fontName : QString();
    formatting_ = std::make_unique<FormattingBar>(*document_, *history_);
    formatting_->setInitialFont(initialFont);
    // The bar shows the format of a single object selected by a click, a band, a move or a resize.
    connect(workspace_, &TOAWorkspace::selectionChanged, this, [this] { formatting_->followSelection(); });
    connect(workspace_, &TOAWorkspace::documentChanged, this, [this] { formatting_->followSelection(); });
    editor_->tool = tool_;
    editor_->creator
        = [this](int tool, const QRect& band) { return createObject(tool, band.topLeft(), band.bottomRight()); };
    workspace_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(workspace_, &QWidget::customContextMenuRequested, this,
        [this](const QPoint& pos) { showObjectMenu(workspace_->mapToGlobal(pos)); });
    workspace_->setCursor(toolCursor(tool_));
}

void TChildForm::setTool(int tool)
{
    tool_ = tool;
    editor_->tool = tool;
    workspace_->setCursor(toolCursor(tool));
}

int TChildForm::arrangeCommand(Command command, int wParam, int lParam, bool& handled)
{
    Q_UNUSED(lParam);
    handled = true;
    bool done = false;
    switch (command) {
    case Command::DeleteSelection: done = DeleteSelection(*document_, *history_); break;
    case Command::Arrange: done = ArrangeSelection(*document_, *history_, wParam); break;
    case Command::Rotate: done = RotateSelection(*document_, *history_, rotation_, wParam); break;
    case Command::ChangeOrder:
        done = wParam >= 0 && wParam <= 3 && ChangeZOrder(*document_, *history_, static_cast<ZOrderMove>(wParam));
        break;
    case Command::Copy: done = copySelection(); break;
    case Command::Cut: done = copySelection() && DeleteSelection(*document_, *history_); break;
    case Command::Paste: done = pasteClipboard(); break;
    case Command::ApplyFontName: done = formatting_->applyFontName(formatText_); break;
    case Command::ApplyFontSize: done = formatting_->applyFontSize(formatText_); break;
    default: handled = false; return 0;
    }
    if (done) {
        editor_->reset();
        workspace_->refresh();
    }
    return done ? 1 : 0;
}

bool TChildForm::copySelection()
{
    const std::vector<TOAControl*> selection = document_->selection();
    if (selection.empty())
        return false;
    pasteState_.noteCopy(selection);
    auto* data = new QMimeData;
    data->setData(QLatin1String(ObjectsMimeType), WriteObjectStream(selection));
    // Beside our own data, what other programs can take: the texts and the picture.
    data->setText(SelectionPlainText(selection));
    const QImage picture = SelectionPicture(*document_, selection);
    if (!picture.isNull())
        data->setImageData(picture);
    QGuiApplication::clipboard()->setMimeData(data);
    return true;
}

bool TChildForm::pasteClipboard()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasFormat(QLatin1String(ObjectsMimeType)))
        return false;
    QString error;
    const auto pasted
        = PasteObjectStream(*document_, *history_, pasteState_, data->data(QLatin1String(ObjectsMimeType)), &error);
    if (!error.isEmpty())
        Prompts().message(this, LookupText(QStringLiteral("All"), QStringLiteral("tishi"), QStringLiteral("提示")),
            error, UserPrompts::Icon::Warning);
    return !pasted.empty();
}

bool TChildForm::runCreationStep(TOAControl& object)
{
    if (object.kind() == ObjectKind::Image) {
        const QString folder = dataDirectory() + QStringLiteral("/Pictures");
        QStringList patterns;
        for (const QByteArray& format : QImageReader::supportedImageFormats())
            patterns << QStringLiteral("*.") + QString::fromLatin1(format);
        const QString path = Prompts().openFileName(this,
            LookupText(QStringLiteral("ChildFormInside"), QStringLiteral("OpenPictureTitle"), QStringLiteral("打开图像")),
            folder, QStringLiteral("(%1)").arg(patterns.join(QLatin1Char(' '))));
        if (path.isEmpty())
            return false;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || !LoadNewPicture(static_cast<TOAImage&>(object), file.readAll())) {
            Prompts().message(this, LookupText(QStringLiteral("All"), QStringLiteral("tishi"), QStringLiteral("提示")),
                LookupText(QStringLiteral("ChildFormInside"), QStringLiteral("message2"), QStringLiteral("此位图文件不存在!")),
                UserPrompts::Icon::Warning);
            return false;
        }
        return true;
    }
    if (object.kind() != ObjectKind::Text && object.kind() != ObjectKind::BarCode)
        return true;
    // Texts and barcodes are made in their property dialog; Cancel refuses the step.
    PropertyDialogOptions options;
    options.creating = true;
    if (isBuilt(Command::AddVariable) && isBuilt(Command::ModifyVariable))
        options.variableCommand = [this](Command command, int wParam, int lParam) { return dispatch(command, wParam, lParam); };
    if (!EditProperties(this, *document_, object, options))
        return false;
    if (auto* text = dynamic_cast<TOAText*>(&object)) {
        ShowBoundValue(*document_, *text);
        emit textFontChosen(text->TextFont().Name);
    }
    return true;
}

bool TChildForm::createObject(int tool, const QPoint& start, const QPoint& end)
{
    const CreationSettings settings = creationSettings ? creationSettings() : CreationSettings {};
    std::unique_ptr<TOAControl> object = PrepareNewObject(*document_, tool, { start, end }, settings);
    if (!object) {
        emit creationStepDone(false);
        return false;
    }
    document_->clearSelection();
    const bool confirmed = runCreationStep(*object);
    // A cancelled picture choice keeps the image tool; a cancelled text or barcode does not.
    const bool stepRan = confirmed || tool != 3;
    TOAControl* added = confirmed ? InsertNewObject(*document_, *history_, std::move(object)) : nullptr;
    if (added) {
        formatting_->followSelection();
        workspace_->refresh();
    }
    else
        workspace_->update();
    emit creationStepDone(stepRan);
    emit stateChanged();
    return added != nullptr;
}

bool TChildForm::pressFormatButton(FormatButton button)
{
    const bool done = formatting_->press(button);
    if (done) {
        workspace_->refresh();
        emit stateChanged();
    }
    return done;
}

bool TChildForm::setNotPrint(bool on)
{
    if (document_->selection().size() != 1)
        return false;
    document_->selection().front()->flags[0] = on ? 1 : 0;
    document_->markModified();
    history_->forgetSavedState(); // no undo step brings this back
    emit stateChanged();
    return true;
}

void TChildForm::showObjectMenu(const QPoint& globalPos)
{
    QMenu menu(this);
    const auto item = [&](const char* key, const QString& fallback, Command command) {
        QAction* a = menu.addAction(childText(key, fallback));
        a->setEnabled(isAvailable(command));
        connect(a, &QAction::triggered, this, [this, command] { dispatch(command); });
        return a;
    };
    item("pmnuCut.Caption", QStringLiteral("剪切(&T)"), Command::Cut);
    item("pmnuCopy.Caption", QStringLiteral("复制(&C)"), Command::Copy);
    item("pmnuPaste.Caption", QStringLiteral("粘贴(&P)"), Command::Paste);
    item("pmnuDele.Caption", QStringLiteral("删除(&D)"), Command::DeleteSelection);
    QAction* notPrint = menu.addAction(childText("pmnuNotPrint.Caption", QStringLiteral("不打印(&N)")));
    notPrint->setCheckable(true);
    const auto& selection = document_->selection();
    notPrint->setChecked(!selection.empty() && selection.front()->flags[0] != 0);
    notPrint->setEnabled(selection.size() == 1);
    connect(notPrint, &QAction::toggled, this, [this](bool on) { setNotPrint(on); });
    QAction* properties = item("pmnuAttr.Caption", QStringLiteral("属性(&P)..."), Command::Properties);
    properties->setEnabled(selection.size() == 1 && selection.front()->kind() != ObjectKind::InvertArea);
    menu.exec(globalPos);
}

} // namespace korvel
