#include "editor/OptionsForm.h"

#include "editor/HelpWindow.h"
#include "editor/Language.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace korvel {

namespace {
QPushButton* button(const char* name, const QString& text, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setProperty("componentClass", QStringLiteral("TBitBtn"));
    return b;
}
} // namespace

TOptionsForm::TOptionsForm(int languageEntry, int startOption, int drawingMode, bool showStartPage, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("OptionsForm"));
    setWindowTitle(QStringLiteral("系统选项"));

    auto* languageLabel = new QLabel(QStringLiteral("界面语言:"), this);
    languageLabel->setObjectName(QStringLiteral("LabelLanguage"));
    language_ = new QComboBox(this);
    language_->setObjectName(QStringLiteral("ComboBoxLanguage"));
    // The names stay in their own language so that a user can always find theirs.
    language_->addItems({ QStringLiteral("简体中文"), QStringLiteral("English"), QStringLiteral("繁體中文") });

    startGroup_ = new QGroupBox(QStringLiteral("启动时"), this);
    startGroup_->setObjectName(QStringLiteral("RadioGroupStart"));
    startGroup_->setProperty("componentClass", QStringLiteral("TRadioGroup"));
    auto* startLayout = new QVBoxLayout(startGroup_);
    const QString startTexts[3]
        = { QStringLiteral("打开最近设计的标签"), QStringLiteral("打开新建标签对话框"), QStringLiteral("创建空标签") };
    for (int i = 0; i < 3; ++i) {
        start_[i] = new QRadioButton(startTexts[i], startGroup_);
        startLayout->addWidget(start_[i]);
    }

    drawGroup_ = new QGroupBox(QStringLiteral("绘图方式"), this);
    drawGroup_->setObjectName(QStringLiteral("RadioGroupDrawMode"));
    drawGroup_->setProperty("componentClass", QStringLiteral("TRadioGroup"));
    auto* drawLayout = new QVBoxLayout(drawGroup_);
    const QString drawTexts[2] = { QStringLiteral("透明"), QStringLiteral("异或") };
    for (int i = 0; i < 2; ++i) {
        draw_[i] = new QRadioButton(drawTexts[i], drawGroup_);
        drawLayout->addWidget(draw_[i]);
    }

    startPage_ = new QCheckBox(QStringLiteral("启动时显示向导页"), this);
    startPage_->setObjectName(QStringLiteral("CheckBoxStartPage"));

    QPushButton* ok = button("BitBtnOK", QStringLiteral("确定"), this);
    ok->setDefault(true);
    QPushButton* cancel = button("BitBtnCancel", QStringLiteral("取消"), this);
    QPushButton* help = button("BitBtnHelp", QStringLiteral("帮助"), this);

    auto* languageRow = new QHBoxLayout;
    languageRow->addWidget(languageLabel);
    languageRow->addWidget(language_, 1);
    auto* groups = new QHBoxLayout;
    groups->addWidget(startGroup_);
    groups->addWidget(drawGroup_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(help);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(languageRow);
    layout->addLayout(groups);
    layout->addWidget(startPage_);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [] { ShowHelpTopic(HelpTopic::Options); });
    BindHelpKey(this, HelpTopic::Options);

    setLanguageEntry(languageEntry);
    setStartOption(startOption);
    setDrawingMode(drawingMode);
    setShowStartPage(showStartPage);
}

void TOptionsForm::showEvent(QShowEvent* event)
{
    TranslateWindow(this);
    QDialog::showEvent(event);
}

int TOptionsForm::languageEntry() const
{
    return language_->currentIndex();
}

void TOptionsForm::setLanguageEntry(int entry)
{
    language_->setCurrentIndex(entry >= 0 && entry < 3 ? entry : 0);
}

int TOptionsForm::startOption() const
{
    for (int i = 0; i < 3; ++i)
        if (start_[i]->isChecked())
            return i;
    return 0;
}

void TOptionsForm::setStartOption(int option)
{
    start_[option >= 0 && option < 3 ? option : 0]->setChecked(true);
}

int TOptionsForm::drawingMode() const
{
    return draw_[0]->isChecked() ? 0 : 1;
}

void TOptionsForm::setDrawingMode(int mode)
{
    draw_[mode == 0 ? 0 : 1]->setChecked(true);
}

bool TOptionsForm::showStartPage() const
{
    return startPage_->isChecked();
}

void TOptionsForm::setShowStartPage(bool show)
{
    startPage_->setChecked(show);
}

} // namespace korvel
