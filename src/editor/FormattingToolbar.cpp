#include "editor/FormattingToolbar.h"

#include "editor/ChildForm.h"
#include "editor/Commands.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QFontDatabase>
#include <QLineEdit>

namespace korvel {

FormattingToolbar::FormattingToolbar(QWidget* parent)
    : QToolBar(QStringLiteral("格式工具栏"), parent)
{
    setObjectName(QStringLiteral("ToolBarFormat"));
    fonts_ = new QComboBox(this);
    fonts_->setObjectName(QStringLiteral("ComboBoxFonts"));
    fonts_->addItems(QFontDatabase::families());
    fonts_->setMinimumContentsLength(14);
    sizes_ = new QComboBox(this);
    sizes_->setObjectName(QStringLiteral("ComboBoxFontSize"));
    sizes_->setEditable(true);
    sizes_->setInsertPolicy(QComboBox::NoInsert);
    sizes_->addItems(FormattingBar::SizeChoices());
    sizes_->setMinimumContentsLength(4);
    addWidget(fonts_);
    addWidget(sizes_);
    fonts_->installEventFilter(this);
    sizes_->installEventFilter(this);
    connect(fonts_, &QComboBox::activated, this, [this] { fontChosen(); });
    connect(sizes_, &QComboBox::activated, this, [this] { sizeChosen(); });
    connect(sizes_->lineEdit(), &QLineEdit::returnPressed, this, [this] { sizeChosen(); });

    const struct {
        const char* name;
        const char* hint;
        const char* label;
    } buttons[] = {
        { "ToolButtonBold", "粗体", "B" },
        { "ToolButtonItalic", "斜体", "I" },
        { "ToolButtonUnderline", "下划线", "U" },
        { "ToolButtonReverse", "黑底白字", "R" },
        { "ToolButtonOutLine", "轮廓", "O" },
        { "ToolButtonLeft", "左对齐", "L" },
        { "ToolButtonMiddle", "中间对齐", "C" },
        { "ToolButtonRight", "右对齐", "R" },
        { "TBFenSan", "分散对齐", "D" },
    };
    for (int i = 0; i < 9; ++i) {
        if (i == 3 || i == 5)
            addSeparator();
        auto* a = addAction(QString::fromLatin1(buttons[i].label));
        a->setObjectName(QLatin1String(buttons[i].name));
        a->setToolTip(QString::fromUtf8(buttons[i].hint));
        a->setCheckable(true);
        QFont f = font();
        f.setBold(i == 0);
        f.setItalic(i == 1);
        f.setUnderline(i == 2);
        a->setFont(f);
        const auto button = static_cast<FormatButton>(i);
        connect(a, &QAction::triggered, this, [this, button] {
            if (child_)
                child_->pressFormatButton(button);
            showState(child_);
        });
        buttons_[i] = a;
    }
    showState(nullptr);
}

void FormattingToolbar::fontChosen()
{
    if (!child_ || showing_)
        return;
    lastFont_ = fonts_->currentText();
    child_->setFormatText(lastFont_);
    child_->dispatch(Command::ApplyFontName, fonts_->currentIndex());
    showState(child_);
}

void FormattingToolbar::sizeChosen()
{
    if (!child_ || showing_)
        return;
    const QString text = sizes_->currentText();
    if (!FormattingBar::IsWholeNumberText(text))
        return;
    lastSize_ = text;
    child_->setFormatText(text);
    child_->dispatch(Command::ApplyFontSize);
    showState(child_);
}

void FormattingToolbar::showState(TChildForm* child)
{
    child_ = child;
    showing_ = true;
    FormatState state;
    if (child) {
        child->formatting().refreshEnabling();
        state = child->formatting().state();
    }
    fonts_->setEnabled(state.boxesEnabled);
    sizes_->setEnabled(state.boxesEnabled);
    const int index = fonts_->findText(state.fontName);
    if (index >= 0)
        fonts_->setCurrentIndex(index);
    if (!sizes_->hasFocus())
        sizes_->setEditText(state.sizeText);
    for (int i = 0; i < 9; ++i) {
        const auto button = static_cast<FormatButton>(i);
        buttons_[i]->setEnabled(state.enabled(button));
        buttons_[i]->setChecked(state.pressed(button));
    }
    showing_ = false;
}

bool FormattingToolbar::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        showing_ = true;
        if (watched == fonts_) {
            const int index = fonts_->findText(lastFont_);
            if (index >= 0)
                fonts_->setCurrentIndex(index);
        } else if (watched == sizes_) {
            sizes_->setEditText(lastSize_);
        }
        showing_ = false;
    }
    return QToolBar::eventFilter(watched, event);
}

} // namespace korvel
