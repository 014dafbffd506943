#include "editor/OAWorkSpace.h"

#include "document/DesignView.h"
#include "document/LabelDocument.h"
#include "document/Rounding.h"
#include "document/Units.h"
#include "editor/editing/ObjectMotion.h"
#include "editor/editing/SelectionHandles.h"
#include "editor/editing/SurfaceEditor.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>

namespace korvel {

namespace {
const QColor kCanvas(0xA0, 0xA0, 0xA0);
const QColor kShadow(0x70, 0x70, 0x70);
const QColor kLabelEdge(0x50, 0x50, 0x50);
const QColor kMoveOutline(0x00, 0xFF, 0x00);
const QColor kSingleOutline(169, 251, 160);
} // namespace

TOAWorkspace::TOAWorkspace(LabelDocument& document, QWidget* parent)
    : QWidget(parent)
    , document_(document)
{
    setObjectName(QStringLiteral("OAWorkspace"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    refresh();
}

void TOAWorkspace::setDrawingMode(int mode)
{
    if ((mode != 0 && mode != 1) || mode == drawingMode_)
        return;
    drawingMode_ = mode;
    refresh();
}

const SurfaceGrid* TOAWorkspace::grid() const
{
    return editor_ ? &editor_->grid : nullptr;
}

QSize TOAWorkspace::labelSize() const
{
    const double z = document_.zoom() / 100.0;
    return { static_cast<int>(Round(z * document_.pixels().labelWidth)) + 1,
        static_cast<int>(Round(z * document_.pixels().labelHeight)) + 1 };
}

void TOAWorkspace::refresh()
{
    picture_ = RenderDesignView(document_, document_.zoom(), drawingMode_);
    relayout();
    update();
}

void TOAWorkspace::setViewportSize(QSize size)
{
    if (size == viewport_)
        return;
    viewport_ = size;
    relayout();
}

QSize TOAWorkspace::sizeHint() const
{
    const QSize content = picture_.size().expandedTo(labelSize()) + QSize(2 * CanvasMargin, 2 * CanvasMargin);
    return content.expandedTo(viewport_);
}

void TOAWorkspace::relayout()
{
    const QSize size = sizeHint();
    const QSize content = picture_.size().expandedTo(labelSize());
    // Centred while the label is smaller than the view, else a margin of canvas around it.
    origin_ = QPoint(std::max(CanvasMargin, (size.width() - content.width()) / 2),
        std::max(CanvasMargin, (size.height() - content.height()) / 2));
    if (size != this->size())
        resize(size);
}

void TOAWorkspace::paintGrid(QPainter& p, const QRect& area) const
{
    const SurfaceGrid* g = grid();
    if (!g || !g->visible)
        return;
    const double step = ScreenPPI / 25.4 * document_.zoom() / 100.0;
    if (step < 3)
        return;
    const QRect label(origin_, labelSize());
    const QRect r = area.intersected(label);
    if (r.isEmpty())
        return;
    // Multiplied over the picture, the lines tint only the white: they lie under the objects.
    p.save();
    p.setClipRect(r);
    p.setCompositionMode(QPainter::CompositionMode_Multiply);
    const int firstX = static_cast<int>(std::floor((r.left() - origin_.x()) / step));
    const int lastX = static_cast<int>(std::ceil((r.right() - origin_.x()) / step));
    for (int i = std::max(0, firstX); i <= lastX; ++i) {
        p.setPen(i % 10 == 0 ? QColor(0xB0, 0xC8, 0xFF) : QColor(0xE0, 0xEA, 0xFF));
        const int x = origin_.x() + static_cast<int>(std::lround(i * step));
        p.drawLine(x, r.top(), x, r.bottom());
    }
    const int firstY = static_cast<int>(std::floor((r.top() - origin_.y()) / step));
    const int lastY = static_cast<int>(std::ceil((r.bottom() - origin_.y()) / step));
    for (int i = std::max(0, firstY); i <= lastY; ++i) {
        p.setPen(i % 10 == 0 ? QColor(0xB0, 0xC8, 0xFF) : QColor(0xE0, 0xEA, 0xFF));
        const int y = origin_.y() + static_cast<int>(std::lround(i * step));
        p.drawLine(r.left(), y, r.right(), y);
    }
    p.restore();
}

void TOAWorkspace::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    const QRect area = event->rect();
    p.fillRect(area, kCanvas);
    const QRect label(origin_, labelSize());
    p.fillRect(label.translated(3, 3).intersected(area), kShadow);
    if (!picture_.isNull()) {
        // The surface colour beyond the label but under objects shows as canvas.
        const QRect target = QRect(origin_, picture_.size()).intersected(area);
        if (!target.isEmpty())
            p.drawImage(target, picture_, target.translated(-origin_));
    }
    paintGrid(p, area);
    p.setPen(kLabelEdge);
    p.drawRect(label.adjusted(-1, -1, 0, 0));

    const GestureOverlay overlay = editor_ ? editor_->overlay() : GestureOverlay{};
    p.translate(origin_);
    if (!overlay.hideHandles)
        paintHandles(p);
    paintOverlay(p, overlay);
}

void TOAWorkspace::paintHandles(QPainter& p) const
{
    const auto& selection = document_.selection();
    if (selection.empty())
        return;
    const bool single = selection.size() == 1;
    const QColor fill = single ? kMoveOutline : QApplication::palette().color(QPalette::ToolTipBase);
    for (const TOAControl* o : selection) {
        if (!IsLineKind(*o)) {
            QPen pen(single ? kSingleOutline : QColor(Qt::black));
            pen.setStyle(single ? Qt::SolidLine : Qt::DotLine);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRect(o->Left(), o->Top(), o->Width() - 1, o->Height() - 1));
        }
        p.setPen(Qt::black);
        p.setBrush(fill);
        for (const QRect& h : HandleRects(*o))
            p.drawRect(h.adjusted(0, 0, -1, -1));
    }
    p.setBrush(Qt::NoBrush);
}

void TOAWorkspace::paintOverlay(QPainter& p, const GestureOverlay& ov) const
{
    QPen green(kMoveOutline);
    green.setStyle(Qt::DotLine);
    p.setPen(green);
    p.setBrush(Qt::NoBrush);
    for (const QRect& r : ov.outlines)
        p.drawRect(r.adjusted(0, 0, -1, -1));
    for (const QLine& l : ov.lines)
        p.drawLine(l);
    QPen band(Qt::black);
    band.setStyle(Qt::DotLine);
    p.setPen(band);
    if (!ov.band.isNull())
        p.drawRect(ov.band.adjusted(0, 0, -1, -1));
    if (!ov.bandLine.isNull())
        p.drawLine(ov.bandLine);
}

QRect TOAWorkspace::handleLayer() const
{
    QRect r;
    for (const TOAControl* o : document_.selection())
        r |= HandleLayerRect(*o);
    return r.translated(origin_);
}

void TOAWorkspace::updateCursor(QPoint s)
{
    if (editor_ && editor_->tool != 0)
        return; // a drawing tool keeps its own cursor until the arrow is chosen again
    int shape = 0;
    if (editor_ && document_.selection().size() == 1)
        shape = HandleCursorShape(*document_.selection().front(), editor_->handleAt(s));
    static const Qt::CursorShape shapes[] = { Qt::ArrowCursor, Qt::SizeFDiagCursor, Qt::SizeBDiagCursor,
        Qt::SizeVerCursor, Qt::SizeHorCursor };
    const Qt::CursorShape wanted = shapes[shape];
    if (cursor().shape() != wanted)
        setCursor(wanted);
}

void TOAWorkspace::mousePressEvent(QMouseEvent* event)
{
    if (!editor_ || event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (ignoreNextPress_) {
        ignoreNextPress_ = false;
        return;
    }
    const QRect before = handleLayer();
    const Qt::KeyboardModifiers m = event->modifiers();
    // The press grabs the mouse until the release (Qt's implicit grab), so the gesture
    // always sees its end even outside the window.
    editor_->press(toSurface(event->position().toPoint()),
        { m.testFlag(Qt::ShiftModifier), m.testFlag(Qt::ControlModifier) });
    lastOverlay_ = QRect();
    update(before | handleLayer());
    emit selectionChanged();
}

void TOAWorkspace::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint s = toSurface(event->position().toPoint());
    if (!editor_ || !editor_->busy()) {
        updateCursor(s);
        emit pointerMoved(s);
        return;
    }
    const bool handlesShown = !editor_->overlay().hideHandles;
    if (!editor_->move(s)) {
        emit pointerMoved(s);
        return;
    }
    const GestureOverlay ov = editor_->overlay();
    const QRect now = ov.area().translated(origin_);
    QRect dirty = lastOverlay_ | now;
    if (handlesShown && ov.hideHandles)
        dirty |= handleLayer();
    lastOverlay_ = now;
    if (!dirty.isEmpty())
        update(dirty.adjusted(-2, -2, 2, 2));
    emit pointerMoved(s);
}

void TOAWorkspace::mouseReleaseEvent(QMouseEvent* event)
{
    if (!editor_ || event->button() != Qt::LeftButton || !editor_->busy()) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const bool changed = editor_->release(toSurface(event->position().toPoint()));
    lastOverlay_ = QRect();
    if (changed) {
        refresh();
        emit documentChanged();
    } else {
        update();
        emit selectionChanged();
    }
    emit pointerMoved(toSurface(event->position().toPoint()));
}

void TOAWorkspace::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    // The first click of the pair already chose the object; the second one only opens.
    emit doubleClicked();
}

} // namespace korvel
