#pragma once

#include "document/OAControl.h"
#include "document/ShapeRules.h"
#include "editor/properties/PropertyForm.h"

#include <QColor>

#include <functional>
#include <memory>
#include <vector>

class QDoubleSpinBox;
class QLabel;

namespace Ui {
class HVLinePropForm;
class LinePropForm;
class EllipsePropForm;
class RectanglePropForm;
}

namespace korvel {

class TOAEllipse;
class TOAHVLine;
class TOALine;
class TOARectangle;

/// The standard colour dialog; tests replace it.
using ColorChooser = std::function<QColor(const QColor& initial, QWidget* parent)>;
void SetColorChooser(ColorChooser chooser);

/// What the four shape dialogs share: millimetre fields with one decimal, checked on OK by the
/// shape's own rule (on a copy of the object) and refused field by field with the range message.
class TShapePropForm : public TPropertyForm {
    Q_OBJECT
public:
    /// The field OK refused last (in the rule's order, the line width last), or -1.
    int refusedField() const { return refused_; }
    const QColor& color() const { return color_; }
    void accept() override;

protected:
    TShapePropForm(ShapeDialog dialog, const TOAControl& object, QWidget* parent);
    /// Called by the subclass once its form is set up: the fields in the rule's order.
    void setFields(std::vector<QDoubleSpinBox*> fields, QDoubleSpinBox* lineWidth, QLabel* colorSample = nullptr);
    /// Runs the dialog's rule on a copy of the object with the fields' values.
    virtual ShapeDialogCheck tryOn(TOAControl& scratch) const = 0;
    void showColor();
    void chooseColor();

    ShapeDialog dialog_;
    std::unique_ptr<TOAControl> scratch_;
    std::vector<QDoubleSpinBox*> fields_;
    QLabel* colorSample_ = nullptr;
    QColor color_ { Qt::black };
    int refused_ = -1;
};

/// "直线设置": a horizontal or vertical line.
class THVLinePropForm : public TShapePropForm {
    Q_OBJECT
public:
    THVLinePropForm(const TOAHVLine& line, QWidget* parent = nullptr);
    ~THVLinePropForm() override;
    HVLineDialogValues values() const;
    Ui::HVLinePropForm* form() const { return ui_.get(); }

protected:
    ShapeDialogCheck tryOn(TOAControl& scratch) const override;

private:
    std::unique_ptr<Ui::HVLinePropForm> ui_;
};

/// "斜线设置": a free line.
class TLinePropForm : public TShapePropForm {
    Q_OBJECT
public:
    TLinePropForm(const TOALine& line, QWidget* parent = nullptr);
    ~TLinePropForm() override;
    LineDialogValues values() const;
    Ui::LinePropForm* form() const { return ui_.get(); }

protected:
    ShapeDialogCheck tryOn(TOAControl& scratch) const override;

private:
    std::unique_ptr<Ui::LinePropForm> ui_;
};

/// "椭圆设置": centre and radii.
class TEllipsePropForm : public TShapePropForm {
    Q_OBJECT
public:
    TEllipsePropForm(const TOAEllipse& ellipse, QWidget* parent = nullptr);
    ~TEllipsePropForm() override;
    EllipseDialogValues values() const;
    Ui::EllipsePropForm* form() const { return ui_.get(); }

protected:
    ShapeDialogCheck tryOn(TOAControl& scratch) const override;

private:
    std::unique_ptr<Ui::EllipsePropForm> ui_;
};

/// "矩形设置": corner and size.
class TRectanglePropForm : public TShapePropForm {
    Q_OBJECT
public:
    TRectanglePropForm(const TOARectangle& rectangle, QWidget* parent = nullptr);
    ~TRectanglePropForm() override;
    RectangleDialogValues values() const;
    Ui::RectanglePropForm* form() const { return ui_.get(); }

protected:
    ShapeDialogCheck tryOn(TOAControl& scratch) const override;

private:
    std::unique_ptr<Ui::RectanglePropForm> ui_;
};

} // namespace korvel
