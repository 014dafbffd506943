#pragma once

#include "editor/Commands.h"
#include "variables/VariableModel.h"

#include <QByteArray>
#include <QObject>

#include <functional>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QStackedWidget;

namespace korvel {

class LabelDocument;

/// How a property dialog asks the document window to add (0x412) or modify (0x413) a variable;
/// returns what dispatch returns.
using VariableCommand = std::function<int(Command command, int wParam, int lParam)>;

/// The content source of the text and barcode dialogs: fixed content or a variable of one
/// kind, listed from the document's tables with the selected variable's present value. The
/// widgets come from the dialog's form; this object only fills and reads them.
class ContentSource : public QObject {
    Q_OBJECT
public:
    /// kinds: the source list ("屏幕数据", "数据库", …; position = kind); pages: page 0 the
    /// fixed content, page 1 the variable list; value: the present value of the selection.
    ContentSource(const LabelDocument& document, QComboBox* kinds, QStackedWidget* pages, QListWidget* variables,
                  QLabel* value, QObject* parent = nullptr);

    /// Shows a binding: a kind with a table and the name of one of its entries. A name the
    /// table does not hold leaves the list without a selection.
    void setSource(VariableKind kind, const QByteArray& name);
    VariableKind kind() const;
    bool isFixed() const { return kind() == VariableKind::Constant; }
    /// The selected variable's stored name; empty for fixed content or no selection.
    QByteArray name() const;
    /// The selected variable's present value (EvaluateVariable); empty without a selection.
    QByteArray presentValue() const;

    /// The add and modify buttons beside the list; they stay hidden until a command is given.
    void setButtons(QPushButton* add, QPushButton* modify);
    void setVariableCommand(VariableCommand command);
    /// The add button sends 0x412 with the kind - 1, then 0x413 on the new entry (the dialog of
    /// its kind), and 0x417 when that dialog was cancelled; the new entry becomes the selection.
    /// False when nothing was added.
    bool addVariable();
    /// The modify button sends 0x413 with the entry and the kind - 1; without a selection it
    /// shows "TextPropFormInside"/"message1" instead.
    bool modifyVariable();

signals:
    /// The kind or the selected variable changed.
    void changed();

private:
    void fillList();
    void showValue();
    void enableButtons();

    const LabelDocument& document_;
    QComboBox* kinds_;
    QStackedWidget* pages_;
    QListWidget* variables_;
    QLabel* value_;
    QPushButton* add_ = nullptr;
    QPushButton* modify_ = nullptr;
    VariableCommand command_;
};

} // namespace korvel
