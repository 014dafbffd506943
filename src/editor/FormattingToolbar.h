#pragma once

#include "editor/formatting/FormattingBar.h"

#include <QPointer>
#include <QToolBar>

class QAction;
class QComboBox;

namespace korvel {

class TChildForm;

/// The text formatting bar of the main window: shows the active document's formatting state
/// and forwards every action to it.
class FormattingToolbar : public QToolBar {
    Q_OBJECT
public:
    explicit FormattingToolbar(QWidget* parent = nullptr);

    /// Shows the state of a document window (none: everything disabled).
    void showState(TChildForm* child);
    QComboBox* fontBox() const { return fonts_; }
    QComboBox* sizeBox() const { return sizes_; }
    QAction* button(FormatButton button) const { return buttons_[static_cast<int>(button)]; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fontChosen();
    void sizeChosen();

    QComboBox* fonts_;
    QComboBox* sizes_;
    QAction* buttons_[9] = {};
    QPointer<TChildForm> child_;
    /// What was forwarded last: the boxes show it again when they lose the focus.
    QString lastFont_ = QStringLiteral("Arial");
    QString lastSize_ = QStringLiteral("8");
    bool showing_ = false;
};

} // namespace korvel
