#pragma once

#include "variables/OutputFormat.h"

#include <QGroupBox>

#include <memory>

namespace Ui {
class TOutputFormatBox;
}

namespace korvel {

/// The "输出形式" fields that the counter, formula and database-variable dialogs share. The
/// rules while typing are the shared ones; what leaving a field does differs by dialog.
class TOutputFormatBox : public QGroupBox {
    Q_OBJECT
public:
    /// Which dialog the box sits in: decides the replacement of bad decimal places and what
    /// leaving an empty maximum length or fill width does.
    enum class Flavour { DataProperty, Counter, Formula };

    explicit TOutputFormatBox(QWidget* parent = nullptr);
    ~TOutputFormatBox() override;

    void setFlavour(Flavour flavour) { flavour_ = flavour; }
    void setFields(const OutputFormatFields& fields);
    OutputFormatFields fields() const;
    Ui::TOutputFormatBox& ui() { return *ui_; }

    /// Runs the rules of leaving each field (as a click on OK leaves the focused one).
    void leaveFields();

private:
    void maxLengthEdited(const QString& text);
    void maxLengthLeft();
    void decimalPlacesLeft();
    void fillWidthLeft();
    void fillCharEdited();

    std::unique_ptr<Ui::TOutputFormatBox> ui_;
    Flavour flavour_ = Flavour::Formula;
};

} // namespace korvel
