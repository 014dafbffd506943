// The design surface's part of the document window: rulers, mouse and keyboard routing,
// the surface commands (moves, select all, properties, undo and redo) and zooming at a point.
#include "editor/ChildForm.h"

#include "document/LabelDocument.h"
#include "editor/Language.h"
#include "editor/OARuler.h"
#include "editor/OAWorkSpace.h"
#include "editor/PropertyEditors.h"
#include "editor/UserPrompts.h"
#include "editor/editing/Operation.h"
#include "editor/editing/StatusTexts.h"
#include "editor/editing/SurfaceEditor.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QWheelEvent>

namespace korvel {

namespace {
QString surfaceText(const char* key, const QString& fallback)
{
    return LookupText(QStringLiteral("DesignSurface"), QString::fromLatin1(key), fallback);
}

SurfaceTextLookup statusLookup()
{
    return [](const char* section, const char* key, const QString& fallback) {
        return LookupText(QString::fromLatin1(section), QString::fromLatin1(key), fallback);
    };
}
} // namespace

void TChildForm::buildSurface()
{
    rulerH_ = new TOARuler(Qt::Horizontal, this);
    rulerV_ = new TOARuler(Qt::Vertical, this);
    auto* corner = new QWidget(this);
    corner->setFixedSize(RulerThicknessPixels, RulerThicknessPixels);
    corner->setAutoFillBackground(true);
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(corner, 0, 0);
    layout->addWidget(rulerH_, 0, 1);
    layout->addWidget(rulerV_, 1, 0);
    layout->addWidget(scrollBox_, 1, 1);

    connect(scrollBox_->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { syncRulers(); });
    connect(scrollBox_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { syncRulers(); });
    scrollBox_->viewport()->installEventFilter(this);
    scrollBox_->installEventFilter(this);

    const auto shortcut = [this](const QKeySequence& keys, auto slot) {
        auto* s = new QShortcut(keys, this);
        s->setContext(Qt::WidgetWithChildrenShortcut);
        connect(s, &QShortcut::activated, this, slot);
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Equal), [this] { dispatch(Command::ZoomIn); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Plus), [this] { dispatch(Command::ZoomIn); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus), [this] { dispatch(Command::ZoomOut); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_F4), [this] {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
            sub->close();
        else
            close();
    });
    attachSurface();
}

void TChildForm::attachSurface()
{
    workspace_->setEditor(editor_.get());
    workspace_->setFocusPolicy(Qt::StrongFocus);
    workspace_->installEventFilter(this);
    connect(workspace_, &TOAWorkspace::documentChanged, this, [this] { surfaceChanged(); });
    connect(workspace_, &TOAWorkspace::selectionChanged, this, [this] { emit stateChanged(); });
    connect(workspace_, &TOAWorkspace::pointerMoved, this, [this](QPoint p) { pointerMoved(p); });
    connect(workspace_, &TOAWorkspace::doubleClicked, this, [this] { surfaceDoubleClicked(); });
    workspace_->setViewportSize(scrollBox_->viewport()->size());
    syncRulers();
    attachArrange();
}

TOARuler* TChildForm::ruler(Qt::Orientation orientation) const
{
    return orientation == Qt::Horizontal ? rulerH_ : rulerV_;
}

void TChildForm::syncRulers()
{
    if (!rulerH_ || !workspace_)
        return;
    const double zoom = document_->zoom() / 100.0;
    rulerH_->setZoom(zoom);
    rulerV_->setZoom(zoom);
    // The rulers start where the viewport starts; the label's origin scrolls with the surface.
    const QPoint inViewport = workspace_->mapTo(scrollBox_->viewport(), workspace_->origin());
    const QPoint viewportInForm = scrollBox_->viewport()->mapTo(this, QPoint(0, 0));
    rulerH_->setOrigin(inViewport.x() + viewportInForm.x() - rulerH_->x());
    rulerV_->setOrigin(inViewport.y() + viewportInForm.y() - rulerV_->y());
}

void TChildForm::pointerMoved(QPoint surfacePoint)
{
    const GestureOverlay ov = editor_->overlay();
    if (editor_->busy() && !ov.guidesX.empty()) {
        rulerH_->setGuides(ov.guidesX);
        rulerV_->setGuides(ov.guidesY);
    } else {
        rulerH_->setGuides({ surfacePoint.x() });
        rulerV_->setGuides({ surfacePoint.y() });
    }
    if (const auto status = editor_->status()) {
        const GestureStatusTexts texts = StatusTextsOf(*status, statusLookup());
        emit surfaceStatus(texts.position, texts.size);
        gestureStatusShown_ = true;
    } else if (gestureStatusShown_) {
        gestureStatusShown_ = false;
        emit surfaceStatus(QString(), QString());
    }
}

void TChildForm::surfaceChanged()
{
    // The document was changed by a finished gesture; its undo step is recorded.
    emit stateChanged();
}

QString TChildForm::undoCaption(bool redo) const
{
    const std::optional<OperationCode> next = redo ? history_->nextRedo() : history_->nextUndo();
    if (!next)
        return redo ? surfaceText("Redo", QStringLiteral("重做(&R)")) : surfaceText("Undo", QStringLiteral("撤消(&U)"));
    struct Caption {
        OperationCode code;
        const char* undoKey;
        const char* undoText;
        const char* redoKey;
        const char* redoText;
    };
    static const Caption captions[] = {
        { OperationCode::Created, "Undo4", "撤消新建(&U)", "Redo4", "重做新建(&R)" },
        { OperationCode::Deleted, "Undo8", "撤消删除(&U)", "Redo8", "重做删除(&R)" },
        { OperationCode::Changed, "Undo16", "撤消修改(&U)", "Redo16", "重做修改(&R)" },
        { OperationCode::Moved, "Undo32", "撤消移动(&U)", "Redo32", "重做移动(&R)" },
        { OperationCode::Rotated, "Undo64", "撤消旋转(&U)", "Redo64", "重做旋转(&R)" },
    };
    for (const Caption& c : captions)
        if (c.code == *next)
            return redo ? surfaceText(c.redoKey, QString::fromUtf8(c.redoText))
                        : surfaceText(c.undoKey, QString::fromUtf8(c.undoText));
    return QString();
}

int TChildForm::surfaceCommand(Command command, int wParam, int lParam, bool& handled)
{
    handled = true;
    switch (command) {
    case Command::MoveSelection: {
        // From the keyboard or the menu a step is 1.0 mm; lParam bit 2 continues a held key.
        if (wParam < 0 || wParam > 3)
            return 0;
        const bool done = editor_->moveSelection(wParam, true, (lParam & 2) != 0);
        if (done)
            workspace_->refresh();
        return done ? 1 : 0;
    }
    case Command::SelectAll:
        editor_->selectAll();
        workspace_->update();
        return 1;
    case Command::Properties: return editProperties() ? 1 : 0;
    case Command::Undo:
    case Command::Redo: {
        editor_->reset();
        const bool done = command == Command::Undo ? history_->undo() : history_->redo();
        workspace_->refresh();
        return done ? 1 : 0;
    }
    default: handled = false; return 0;
    }
}

bool TChildForm::editProperties()
{
    if (document_->selection().size() != 1)
        return false;
    TOAControl* object = document_->selection().front();
    if (object->kind() == ObjectKind::InvertArea)
        return false; // an inverse area has no properties to edit
    const PropertyEditor* editor = FindPropertyEditor(object->kind());
    if (!editor) {
        Prompts().message(this, LookupText(QStringLiteral("All"), QStringLiteral("tishi"), QStringLiteral("提示")),
            surfaceText("NoPropertyDialog", QStringLiteral("这类对象的属性对话框在此版本中尚未提供。")),
            UserPrompts::Icon::Information);
        return false;
    }
    editor_->reset();
    history_->recordChanged({ object });
    if (!(*editor)(this, *document_, *object)) {
        history_->dropNewestGroup();
        workspace_->update();
        return false;
    }
    document_->refreshContainment(object);
    document_->markModified();
    workspace_->refresh();
    return true;
}

void TChildForm::surfaceDoubleClicked()
{
    const size_t selected = document_->selection().size();
    if (selected == 0) {
        workspace_->ignoreNextPress();
        dispatch(Command::PageSetup);
    } else if (selected == 1) {
        dispatch(Command::Properties);
    }
}

bool TChildForm::surfaceKey(QKeyEvent* event)
{
    int direction = -1;
    switch (event->key()) {
    case Qt::Key_Up: direction = 0; break;
    case Qt::Key_Down: direction = 1; break;
    case Qt::Key_Left: direction = 2; break;
    case Qt::Key_Right: direction = 3; break;
    case Qt::Key_Return:
    case Qt::Key_Enter: dispatch(Command::Properties); return true;
    case Qt::Key_Escape:
        if (editor_->busy()) {
            editor_->cancel();
            workspace_->update();
            return true;
        }
        return false;
    default: return false;
    }
    if (document_->selection().empty())
        return false;
    const bool repeat = event->isAutoRepeat();
    if (event->modifiers().testFlag(Qt::ControlModifier)) {
        if (editor_->moveSelection(direction, false, repeat))
            workspace_->refresh();
        emit stateChanged();
    } else {
        dispatch(Command::MoveSelection, direction, 1 | (repeat ? 2 : 0));
    }
    return true;
}

bool TChildForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && (watched == workspace_ || watched == scrollBox_))
        return surfaceKey(static_cast<QKeyEvent*>(event)) || QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::Wheel && watched == scrollBox_->viewport()) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers().testFlag(Qt::ControlModifier)) {
            const int delta = wheel->angleDelta().y();
            if (delta != 0)
                zoomAt(delta > 0 ? 1 : -1, wheel->position().toPoint());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TChildForm::applyZoom(int steps, bool keepCentre)
{
    const QSize v = scrollBox_->viewport()->size();
    zoomAt(steps, keepCentre ? QPoint(v.width() / 2, v.height() / 2) : QPoint(0, 0));
}

void TChildForm::zoomAt(int steps, QPoint viewportPoint)
{
    if ((steps > 0 && !document_->canZoomIn()) || (steps < 0 && !document_->canZoomOut()) || steps == 0)
        return;
    QScrollBar* h = scrollBox_->horizontalScrollBar();
    QScrollBar* v = scrollBox_->verticalScrollBar();
    // The surface point under the anchor, in pixels at 100 %.
    const double before = document_->zoom() / 100.0;
    const QPointF anchor
        = QPointF(viewportPoint + QPoint(h->value(), v->value()) - workspace_->origin()) / before;
    if (steps > 0)
        document_->zoomIn();
    else
        document_->zoomOut();
    zoomChanged();
    const double after = document_->zoom() / 100.0;
    const QPointF now = anchor * after + QPointF(workspace_->origin()) - QPointF(viewportPoint);
    h->setValue(static_cast<int>(std::lround(now.x())));
    v->setValue(static_cast<int>(std::lround(now.y())));
    syncRulers();
    emit stateChanged();
}

} // namespace korvel
