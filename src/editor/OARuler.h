#pragma once

#include <QWidget>

#include <vector>

namespace korvel {

/// A millimetre ruler beside the design surface (`TOARuler`): white, 16 pixels thick, its
/// zero at the label's origin; it follows the surface's scrolling and shows guide lines (one at
/// the pointer, the two edges of a moving selection). Guides are painted over the ticks, never
/// into them, so removing one is a repaint.
class TOARuler : public QWidget {
    Q_OBJECT
public:
    explicit TOARuler(Qt::Orientation orientation, QWidget* parent = nullptr);

    Qt::Orientation orientation() const { return orientation_; }
    /// Zoom factor (1.0 = 100 %).
    void setZoom(double zoom);
    /// Where the label's origin lies, in this ruler's own pixels.
    void setOrigin(int pixels);
    /// Guide positions in surface pixels (empty: none).
    void setGuides(const std::vector<int>& guides);
    const std::vector<int>& guides() const { return guides_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Qt::Orientation orientation_;
    double zoom_ = 1.0;
    int origin_ = 0;
    std::vector<int> guides_;
};

} // namespace korvel
