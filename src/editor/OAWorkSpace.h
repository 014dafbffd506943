#pragma once

#include "editor/editing/Gestures.h"

#include <QImage>
#include <QWidget>

namespace korvel {

class LabelDocument;
class SurfaceEditor;

/// The design surface panel of a document window: the label at the document zoom on a grey
/// canvas (thin outline, shadow, centred while smaller than the view), painted from the
/// widget-free design view, with the selection handles, the grid and the running gesture's
/// bands and outlines drawn on top, never into the label picture. It turns mouse events into
/// calls of the editing model; during a drag only the old and new overlay and the handle layer
/// are painted again.
class TOAWorkspace : public QWidget {
    Q_OBJECT
public:
    /// Margin of canvas around the label, in pixels.
    static constexpr int CanvasMargin = 24;

    explicit TOAWorkspace(LabelDocument& document, QWidget* parent = nullptr);

    /// The editing model the mouse drives (none: the surface only shows the label).
    void setEditor(SurfaceEditor* editor) { editor_ = editor; }
    /// 0 transparent, 1 XOR (1 at construction).
    int drawingMode() const { return drawingMode_; }
    void setDrawingMode(int mode);
    /// Renders the label again (after a zoom, page or object change) and resizes the panel.
    void refresh();
    /// The picture now shown (the label area and its objects).
    const QImage& picture() const { return picture_; }
    /// The visible area the panel fills at least (the scroll box's viewport).
    void setViewportSize(QSize size);
    /// Widget position of the surface's (0, 0), the label's top-left corner.
    QPoint origin() const { return origin_; }
    QPoint toSurface(QPoint widgetPoint) const { return widgetPoint - origin_; }

    const SurfaceGrid* grid() const;

    /// The label's own size at the zoom, in pixels (the outline's inside).
    QSize labelSize() const;
    QSize sizeHint() const override;

    /// Ignores the next left-button press (after a double click opened the page setup).
    void ignoreNextPress() { ignoreNextPress_ = true; }

signals:
    /// A double click on the surface (with nothing or one object selected).
    void doubleClicked();
    /// A gesture finished and changed the document.
    void documentChanged();
    /// The gesture or the pointer moved: the rulers' guides and the status panels follow.
    void pointerMoved(QPoint surfacePoint);
    /// The selection changed without a document change.
    void selectionChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void relayout();
    QRect handleLayer() const;
    void paintHandles(QPainter& painter) const;
    void paintOverlay(QPainter& painter, const GestureOverlay& overlay) const;
    void paintGrid(QPainter& painter, const QRect& area) const;
    void updateCursor(QPoint surfacePoint);

    LabelDocument& document_;
    SurfaceEditor* editor_ = nullptr;
    int drawingMode_ = 1;
    QImage picture_;
    QSize viewport_;
    QPoint origin_ { CanvasMargin, CanvasMargin };
    QRect lastOverlay_;
    bool ignoreNextPress_ = false;
};

} // namespace korvel
