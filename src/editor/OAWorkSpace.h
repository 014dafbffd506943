#pragma once

#include <QImage>
#include <QWidget>

namespace korvel {

class LabelDocument;

/// The design surface panel of a document window: the label at the document zoom on the grey
/// surface, painted from the widget-free design view. Its size is the scroll range of the zoom
/// (round(zoom x 2700 / 100) by round(zoom x 1700 / 100) pixels), or the picture when larger.
class TOAWorkspace : public QWidget {
    Q_OBJECT
public:
    explicit TOAWorkspace(LabelDocument& document, QWidget* parent = nullptr);

    /// 0 transparent, 1 XOR (1 at construction).
    int drawingMode() const { return drawingMode_; }
    void setDrawingMode(int mode);
    /// Renders the label again (after a zoom, page or object change) and resizes the panel.
    void refresh();
    /// The picture now shown (the label area and its objects).
    const QImage& picture() const { return picture_; }

    static QSize scrollRange(int zoomPercent);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    LabelDocument& document_;
    int drawingMode_ = 1;
    QImage picture_;
};

} // namespace korvel
