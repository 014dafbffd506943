#include "editor/FirstForm.h"

#include "editor/HelpWindow.h"
#include "editor/Language.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace korvel {

TFirstForm::TFirstForm(const QStringList& recentLabels, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("FirstForm"));
    setProperty("formSection", QStringLiteral("FirstForm"));
    setWindowTitle(QStringLiteral("选择您想操作的标签"));
    setAutoFillBackground(true);

    auto* title = new QLabel(QStringLiteral("选择您想操作的标签"), this);
    title->setObjectName(QStringLiteral("LabelTitle"));
    QFont f = title->font();
    f.setPointSizeF(f.pointSizeF() * 1.4);
    f.setBold(true);
    title->setFont(f);

    newLabel_ = new QRadioButton(QStringLiteral("创建空标签"), this);
    newLabel_->setObjectName(QStringLiteral("RadioButtonNew"));
    recent_ = new QRadioButton(QStringLiteral("打开最近使用标签"), this);
    recent_->setObjectName(QStringLiteral("RadioButtonRecent"));
    recentList_ = new QListWidget(this);
    // The entries are paths, not texts of the program: no name, so no translation.
    recentList_->setObjectName(QString());
    recentList_->addItems(recentLabels);
    recentList_->setMinimumHeight(90);
    other_ = new QRadioButton(QStringLiteral("打开其他标签"), this);
    other_->setObjectName(QStringLiteral("RadioButtonOther"));
    noShow_ = new QCheckBox(QStringLiteral("再次运行不显示"), this);
    noShow_->setObjectName(QStringLiteral("CheckBoxNoShow"));

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("BitBtnOK"));
    ok->setProperty("componentClass", QStringLiteral("TBitBtn"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("BitBtnCancel"));
    cancel->setProperty("componentClass", QStringLiteral("TBitBtn"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 20);
    layout->addWidget(title);
    layout->addSpacing(10);
    layout->addWidget(newLabel_);
    layout->addWidget(recent_);
    auto* indented = new QHBoxLayout;
    indented->addSpacing(22);
    indented->addWidget(recentList_);
    layout->addLayout(indented);
    layout->addWidget(other_);
    layout->addSpacing(8);
    layout->addWidget(noShow_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    if (recentLabels.isEmpty()) {
        recent_->setEnabled(false);
        recentList_->setEnabled(false);
        newLabel_->setChecked(true);
    } else {
        recent_->setChecked(true);
        recentList_->setCurrentRow(0);
    }
    connect(recentList_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            recent_->setChecked(true);
    });
    connect(recentList_, &QListWidget::itemDoubleClicked, this, [this] {
        recent_->setChecked(true);
        emit accepted();
    });
    connect(ok, &QPushButton::clicked, this, &TFirstForm::accepted);
    connect(cancel, &QPushButton::clicked, this, &TFirstForm::cancelled);
    // F1 reaches the page through the main window's help command.
    setProperty("helpTopic", HelpTopic::StartPage);
}

void TFirstForm::showEvent(QShowEvent* event)
{
    TranslateWindow(this);
    QWidget::showEvent(event);
}

void TFirstForm::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    p.setPen(QColor(0x1E, 0x6F, 0xC8));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

TFirstForm::Choice TFirstForm::choice() const
{
    if (recent_->isChecked())
        return Choice::Recent;
    if (other_->isChecked())
        return Choice::Other;
    return Choice::NewLabel;
}

void TFirstForm::setChoice(Choice choice)
{
    switch (choice) {
    case Choice::NewLabel: newLabel_->setChecked(true); break;
    case Choice::Recent: recent_->setChecked(true); break;
    case Choice::Other: other_->setChecked(true); break;
    }
}

QString TFirstForm::recentPath() const
{
    QListWidgetItem* item = recentList_->currentItem();
    return item ? item->text() : QString();
}

void TFirstForm::setRecentRow(int row)
{
    recentList_->setCurrentRow(row);
}

bool TFirstForm::dontShowAgain() const
{
    return noShow_->isChecked();
}

void TFirstForm::setDontShowAgain(bool on)
{
    noShow_->setChecked(on);
}

// ---- splash -----------------------------------------------------------------------------

TSplashForm::TSplashForm(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("SplashForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(420, 240);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    QTimer::singleShot(DisplayMilliseconds, this, &QWidget::close);
}

void TSplashForm::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, QColor(0x1E, 0x6F, 0xC8));
    g.setColorAt(1, QColor(0x10, 0x3C, 0x78));
    p.fillRect(rect(), g);
    // A strip of bars: the program prints labels.
    const int widths[] = { 2, 1, 3, 1, 1, 2, 1, 3, 2, 1, 1, 3, 1, 2, 2, 1, 3, 1, 1, 2, 1, 2, 3, 1 };
    int x = 40;
    bool black = true;
    for (int w : widths) {
        if (black)
            p.fillRect(QRect(x, 150, w * 3, 50), Qt::white);
        x += w * 3;
        black = !black;
    }
    p.setPen(Qt::white);
    QFont big = font();
    big.setPixelSize(44);
    big.setBold(true);
    p.setFont(big);
    p.drawText(QRect(40, 30, width() - 80, 60), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Korvel"));
    QFont small = font();
    small.setPixelSize(16);
    p.setFont(small);
    p.drawText(QRect(40, 90, width() - 80, 30), Qt::AlignLeft | Qt::AlignVCenter,
        LookupText(
            QStringLiteral("MainFormInside"), QStringLiteral("SplashText"), QStringLiteral("标签设计与打印系统")));
}

void TSplashForm::mousePressEvent(QMouseEvent*)
{
    close();
}

} // namespace korvel
