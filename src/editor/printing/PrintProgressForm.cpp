#include "editor/printing/PrintProgressForm.h"

#include "editor/Language.h"
#include "editor/printing/PrintJobRunner.h"

#include "ui_PrintProgressForm.h"

#include <QTimer>

namespace korvel {

namespace {

QString text(const char* key, const QString& fallback)
{
    return LookupText(QStringLiteral("PrintProgressFormInside"), QString::fromLatin1(key), fallback);
}

QString byteText(qint64 bytes)
{
    if (bytes < 10 * 1024)
        return QStringLiteral("%1 B").arg(bytes);
    if (bytes < 10LL * 1024 * 1024)
        return QStringLiteral("%1 KB").arg(bytes / 1024);
    return QStringLiteral("%1 MB").arg(bytes / (1024 * 1024));
}

QString durationText(qint64 seconds)
{
    if (seconds < 0)
        return QStringLiteral("-");
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg((seconds / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

TPrintProgressForm::TPrintProgressForm(PrintJobRunner& runner, QWidget* parent)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::PrintProgressForm>())
    , runner_(runner)
    , timer_(new QTimer(this))
{
    ui_->setupUi(this);
    setWindowModality(Qt::ApplicationModal);
    TranslateWindow(this);
    connect(ui_->BitBtnCancel, &QPushButton::clicked, this, &TPrintProgressForm::reject);
    connect(timer_, &QTimer::timeout, this, &TPrintProgressForm::refresh);
    timer_->start(200);
    refresh();
}

TPrintProgressForm::~TPrintProgressForm() = default;

QStringList TPrintProgressForm::FigureTexts(const JobFigures& f)
{
    QStringList t;
    t << (f.labelsTotal > 0
                 ? FormatText(FormatText(text("LabelsOf", QStringLiteral("%s / %s")), QString::number(f.labelsSent)),
                       QString::number(f.labelsTotal))
                 : QString::number(f.labelsSent));
    t << byteText(f.bytes);
    const double rate = f.rate();
    t << (rate > 0 ? FormatText(text("Rate", QStringLiteral("%s 张/秒")), QString::number(rate, 'f', 1))
                   : QStringLiteral("-"));
    t << durationText(f.secondsLeft());
    return t;
}

void TPrintProgressForm::refresh()
{
    const JobFigures f = runner_.figures();
    const QStringList t = FigureTexts(f);
    ui_->ValueLabels->setText(t[0]);
    ui_->ValueBytes->setText(t[1]);
    ui_->ValueRate->setText(t[2]);
    ui_->ValueTimeLeft->setText(t[3]);
    if (f.labelsTotal > 0) {
        // The bar counts in thousandths: the label totals can exceed an int.
        ui_->ProgressBar->setRange(0, 1000);
        ui_->ProgressBar->setValue(int(std::min<std::int64_t>(1000, f.labelsSent * 1000 / f.labelsTotal)));
    } else {
        ui_->ProgressBar->setRange(0, 0);
    }
}

void TPrintProgressForm::reject()
{
    runner_.cancel();
    ui_->BitBtnCancel->setEnabled(false);
}

} // namespace korvel
