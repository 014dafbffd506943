#include "editor/properties/LineWidthSpinBox.h"

#include <algorithm>

namespace korvel {

TLineWidthSpinBox::TLineWidthSpinBox(QWidget* parent)
    : QDoubleSpinBox(parent)
{
}

void TLineWidthSpinBox::stepBy(int steps)
{
    const double next = value() + steps * singleStep();
    if (steps > 0 && next > spinMaximum_) {
        setValue(std::max(value(), spinMaximum_));
        return;
    }
    QDoubleSpinBox::stepBy(steps);
}

QAbstractSpinBox::StepEnabled TLineWidthSpinBox::stepEnabled() const
{
    StepEnabled e = QDoubleSpinBox::stepEnabled();
    if (value() >= spinMaximum_)
        e &= ~StepUpEnabled;
    return e;
}

} // namespace korvel
