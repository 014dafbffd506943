#pragma once

#include <QDoubleSpinBox>

namespace korvel {

/// The line width field of the shape dialogs: its arrows stop at their own limit, below what
/// may be typed (the dialog checks the typed value on OK).
class TLineWidthSpinBox : public QDoubleSpinBox {
    Q_OBJECT
public:
    explicit TLineWidthSpinBox(QWidget* parent = nullptr);

    void setSpinMaximum(double v) { spinMaximum_ = v; }
    double spinMaximum() const { return spinMaximum_; }

    void stepBy(int steps) override;

protected:
    StepEnabled stepEnabled() const override;

private:
    double spinMaximum_ = 9999.0;
};

} // namespace korvel
