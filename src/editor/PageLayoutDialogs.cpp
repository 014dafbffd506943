#include "editor/PageLayoutDialogs.h"

#include "document/Rounding.h"
#include "editor/HelpWindow.h"
#include "editor/Language.h"
#include "persistence/LabelFile.h"

#include <QCheckBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace korvel {

namespace {

constexpr int PreviewCap = 1100;

QString mm(int tenths)
{
    return QString::number(tenths / 10.0, 'f', 1);
}

std::uint16_t tenthsOf(double millimetres)
{
    return static_cast<std::uint16_t>(std::clamp<long long>(Round(millimetres * 10.0), 0, 65535));
}

QDoubleSpinBox* lengthField(const char* name, double low, double high, QWidget* parent)
{
    auto* f = new QDoubleSpinBox(parent);
    f->setObjectName(QLatin1String(name));
    f->setDecimals(1);
    f->setSingleStep(0.1);
    f->setRange(low, high);
    f->setKeyboardTracking(false);
    // A value typed outside the range is brought to the nearest bound when the field is left.
    f->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    f->setMinimumWidth(90);
    return f;
}

QLabel* caption(const char* name, const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

QPushButton* button(const char* name, const QString& text, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setProperty("componentClass", QStringLiteral("TBitBtn"));
    return b;
}

QLabel* errorLabel(QWidget* parent)
{
    // Its text is set at run time from "NewFormInside"; no name keeps it out of translation.
    auto* l = new QLabel(parent);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, Qt::red);
    l->setPalette(p);
    return l;
}

QString gridMessage()
{
    return LookupText(QStringLiteral("NewFormInside"), QStringLiteral("message1"), QStringLiteral("error"));
}

} // namespace

// ---- preview ----------------------------------------------------------------------------

TPagePreview::TPagePreview(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("ImagePreview"));
    setMinimumSize(260, 220);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(0xC8, 0xC8, 0xC8));
    setPalette(p);
}

void TPagePreview::setPage(const TPageRecord& page)
{
    page_ = page;
    update();
}

bool TPagePreview::fits() const
{
    return GridFits(page_);
}

QRectF TPagePreview::pageRect() const
{
    const int pageWidth = std::min<int>(page_.PaperWidth, PreviewCap);
    const int pageHeight = page_.PaperHeight;
    if (pageWidth <= 0 || pageHeight <= 0)
        return {};
    // The size captions go below and to the right of the page: the page takes what they leave,
    // at most two thirds of the picture each way, and the whole group is centred.
    const QFontMetricsF fm(font());
    const double captionHeight = fm.height() + CaptionGap;
    const double captionWidth = fm.horizontalAdvance(heightCaption()) + CaptionGap;
    const double room = 2.0 * CaptionGap;
    const double s = std::min((std::min(width() * 2.0 / 3.0, width() - captionWidth - room)) / pageWidth,
        (std::min(height() * 2.0 / 3.0, height() - captionHeight - room)) / pageHeight);
    if (s <= 0)
        return {};
    const double w = pageWidth * s;
    const double h = pageHeight * s;
    const double x0 = (width() - w - captionWidth) / 2.0;
    const double y0 = (height() - h - captionHeight) / 2.0;
    return QRectF(x0, y0, w, h);
}

QString TPagePreview::widthCaption() const
{
    return mm(page_.PaperWidth) + LookupText(QStringLiteral("All"), QStringLiteral("danwei"), QStringLiteral("毫米"));
}

QString TPagePreview::heightCaption() const
{
    return mm(page_.PaperHeight) + LookupText(QStringLiteral("All"), QStringLiteral("danwei"), QStringLiteral("毫米"));
}

void TPagePreview::paintEvent(QPaintEvent*)
{
    const int pageWidth = std::min<int>(page_.PaperWidth, PreviewCap);
    const QRectF area = pageRect();
    if (area.isEmpty())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = area.width() / pageWidth;
    const double w = area.width();
    const double h = area.height();
    const double x0 = area.left();
    const double y0 = area.top();
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(x0, y0, w, h));

    // Column by column, row by row: the last (largest) cell decides the final state.
    const int columns = std::max<int>(page_.LabelColumn, 1);
    const int rows = std::max<int>(page_.LabelRow, 1);
    int number = 0;
    p.setBrush(Qt::NoBrush);
    for (int c = 1; c <= columns; ++c) {
        for (int r = 1; r <= rows; ++r) {
            const double cx = x0 + (page_.PaperLeftMargin + (c - 1) * (page_.LabelWidth + page_.LabelSpace)) * s;
            const double cy = y0 + (page_.PaperTopMargin + (r - 1) * (page_.LabelHeight + page_.LabelInterval)) * s;
            const QRectF cell(cx, cy, page_.LabelWidth * s, page_.LabelHeight * s);
            p.setPen(QPen(CellFits(page_, c, r) ? QColor(Qt::black) : QColor(0xFF, 0, 0), 1));
            const double radius = std::min({ 10.0, cell.width() / 2, cell.height() / 2 });
            p.drawRoundedRect(cell, radius, radius);
            ++number;
            if (number <= 5)
                p.drawText(cell, Qt::AlignCenter, number <= 4 ? QString::number(number) : QStringLiteral("..."));
        }
    }
    // The captions are centred on the page's edges and never clipped to the page's size.
    p.setPen(Qt::black);
    const double lineHeight = QFontMetricsF(font()).height();
    p.drawText(QRectF(x0 + w / 2 - width(), y0 + h + CaptionGap / 2, 2.0 * width(), lineHeight),
        Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip, widthCaption());
    p.drawText(QRectF(x0 + w + CaptionGap / 2, y0 + h / 2 - lineHeight / 2, width(), lineHeight),
        Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, heightCaption());
}

// ---- fields -----------------------------------------------------------------------------

PageLayoutFields::PageLayoutFields(QTabWidget* tabs, int capWidth, QObject* parent)
    : QObject(parent)
    , capWidth_(capWidth)
{
    pageTab_ = new QWidget(tabs);
    pageTab_->setObjectName(QStringLiteral("TabSheetPage"));
    auto* pageForm = new QFormLayout(pageTab_);
    paperWidth_ = lengthField("EditPaperWidth", 10.0, 110.0, pageTab_);
    paperHeight_ = lengthField("EditPaperHeight", 5.0, 390.0, pageTab_);
    topMargin_ = lengthField("EditTopMargin", 0.0, 100.0, pageTab_);
    leftMargin_ = lengthField("EditLeftMargin", 0.0, 100.0, pageTab_);
    autoSize_ = new QCheckBox(QStringLiteral("自动计算页面尺寸"), pageTab_);
    autoSize_->setObjectName(QStringLiteral("CheckBoxAutoSize"));
    pageForm->addRow(caption("LabelPaperWidth", QStringLiteral("纸张宽度(毫米):"), pageTab_), paperWidth_);
    pageForm->addRow(caption("LabelPaperHeight", QStringLiteral("纸张高度(毫米):"), pageTab_), paperHeight_);
    pageForm->addRow(caption("LabelTopMargin", QStringLiteral("上边距(毫米):"), pageTab_), topMargin_);
    pageForm->addRow(caption("LabelLeftMargin", QStringLiteral("左边距(毫米):"), pageTab_), leftMargin_);
    pageForm->addRow(autoSize_);
    tabs->addTab(pageTab_, QStringLiteral("页面"));

    labelTab_ = new QWidget(tabs);
    labelTab_->setObjectName(QStringLiteral("TabSheetLabel"));
    auto* labelForm = new QFormLayout(labelTab_);
    labelWidth_ = lengthField("EditLabelWidth", 1.0, 110.0, labelTab_);
    labelHeight_ = lengthField("EditLabelHeight", 1.0, 390.0, labelTab_);
    interval_ = lengthField("EditLabelInterval", 0.0, 100.0, labelTab_);
    space_ = lengthField("EditLabelSpace", 0.0, 100.0, labelTab_);
    rows_ = new QSpinBox(labelTab_);
    rows_->setObjectName(QStringLiteral("EditRows"));
    rows_->setRange(1, 10);
    rows_->setKeyboardTracking(false);
    rows_->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    columns_ = new QSpinBox(labelTab_);
    columns_->setObjectName(QStringLiteral("EditColumns"));
    columns_->setRange(1, 10);
    columns_->setKeyboardTracking(false);
    columns_->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    labelForm->addRow(caption("LabelLabelWidth", QStringLiteral("标签宽度(毫米):"), labelTab_), labelWidth_);
    labelForm->addRow(caption("LabelLabelHeight", QStringLiteral("标签高度(毫米):"), labelTab_), labelHeight_);
    labelForm->addRow(caption("LabelLabelInterval", QStringLiteral("纵向间距(毫米):"), labelTab_), interval_);
    labelForm->addRow(caption("LabelLabelSpace", QStringLiteral("横向间距(毫米):"), labelTab_), space_);
    labelForm->addRow(caption("LabelRows", QStringLiteral("行数:"), labelTab_), rows_);
    labelForm->addRow(caption("LabelColumns", QStringLiteral("列数:"), labelTab_), columns_);
    tabs->addTab(labelTab_, QStringLiteral("标签 "));

    for (QDoubleSpinBox* f :
        { paperWidth_, paperHeight_, topMargin_, leftMargin_, labelWidth_, labelHeight_, interval_, space_ })
        connect(f, &QDoubleSpinBox::valueChanged, this, &PageLayoutFields::readFields);
    for (QSpinBox* f : { rows_, columns_ })
        connect(f, &QSpinBox::valueChanged, this, &PageLayoutFields::readFields);
    connect(autoSize_, &QCheckBox::toggled, this, &PageLayoutFields::readFields);
}

void PageLayoutFields::setPage(const TPageRecord& page)
{
    page_ = page;
    if (page_.PaperWidth == 0 || page_.PaperHeight == 0 || page_.LabelWidth == 0 || page_.LabelHeight == 0)
        page_.PaperWidth = page_.PaperHeight = page_.LabelWidth = page_.LabelHeight = 800;
    filling_ = true;
    autoSize_->setChecked(page_.AutoSize == 1);
    // The automatic width may exceed what a user may type; the range opens while it is shown.
    paperWidth_->setMaximum(page_.AutoSize == 1 ? 6553.5 : 110.0);
    paperHeight_->setMaximum(page_.AutoSize == 1 ? 6553.5 : 390.0);
    paperWidth_->setValue(page_.PaperWidth / 10.0);
    paperHeight_->setValue(page_.PaperHeight / 10.0);
    topMargin_->setValue(page_.PaperTopMargin / 10.0);
    leftMargin_->setValue(page_.PaperLeftMargin / 10.0);
    labelWidth_->setValue(page_.LabelWidth / 10.0);
    labelHeight_->setValue(page_.LabelHeight / 10.0);
    interval_->setValue(page_.LabelInterval / 10.0);
    space_->setValue(page_.LabelSpace / 10.0);
    rows_->setValue(page_.LabelRow);
    columns_->setValue(page_.LabelColumn);
    filling_ = false;
    readFields();
}

bool PageLayoutFields::showsAcceptably(const TPageRecord& wanted) const
{
    if (!GridFits(page_))
        return false;
    // A value the fields had to bring into their range is not the layout that was asked for.
    const bool grid = page_.LabelWidth == wanted.LabelWidth && page_.LabelHeight == wanted.LabelHeight
        && page_.LabelInterval == wanted.LabelInterval && page_.LabelSpace == wanted.LabelSpace
        && page_.LabelRow == wanted.LabelRow && page_.LabelColumn == wanted.LabelColumn;
    if (!grid || page_.AutoSize != wanted.AutoSize)
        return false;
    return page_.AutoSize == 1
        || (page_.PaperWidth == wanted.PaperWidth && page_.PaperHeight == wanted.PaperHeight
            && page_.PaperTopMargin == wanted.PaperTopMargin && page_.PaperLeftMargin == wanted.PaperLeftMargin);
}

void PageLayoutFields::readFields()
{
    if (filling_)
        return;
    page_.AutoSize = autoSize_->isChecked() ? 1 : 0;
    page_.LabelWidth = tenthsOf(labelWidth_->value());
    page_.LabelHeight = tenthsOf(labelHeight_->value());
    page_.LabelInterval = tenthsOf(interval_->value());
    page_.LabelSpace = tenthsOf(space_->value());
    page_.LabelRow = static_cast<std::uint16_t>(rows_->value());
    page_.LabelColumn = static_cast<std::uint16_t>(columns_->value());
    // The dialogs have no fields for these two; they are always 0 from here.
    page_.PaperRightMargin = 0;
    page_.PaperBottomMargin = 0;
    if (page_.AutoSize == 1) {
        page_.applyAutoSize(capWidth_);
    } else {
        paperWidth_->setMaximum(110.0);
        paperHeight_->setMaximum(390.0);
        page_.PaperWidth = tenthsOf(paperWidth_->value());
        page_.PaperHeight = tenthsOf(paperHeight_->value());
        page_.PaperTopMargin = tenthsOf(topMargin_->value());
        page_.PaperLeftMargin = tenthsOf(leftMargin_->value());
    }
    showAutoSize();
    emit changed();
}

void PageLayoutFields::showAutoSize()
{
    const bool automatic = page_.AutoSize == 1;
    filling_ = true;
    if (automatic) {
        paperWidth_->setMaximum(6553.5);
        paperHeight_->setMaximum(6553.5);
        paperWidth_->setValue(page_.PaperWidth / 10.0);
        paperHeight_->setValue(page_.PaperHeight / 10.0);
        topMargin_->setValue(0.0);
        leftMargin_->setValue(0.0);
    }
    filling_ = false;
    for (QDoubleSpinBox* f : { paperWidth_, paperHeight_, topMargin_, leftMargin_ }) {
        f->setEnabled(!automatic);
        QPalette p = f->palette();
        p.setColor(QPalette::Base, automatic ? f->palette().color(QPalette::Button) : QColor(Qt::white));
        f->setPalette(p);
    }
}

// ---- new label --------------------------------------------------------------------------

TNewForm::TNewForm(const TPageRecord& current, const QString& samplesDirectory, bool newLayout, QWidget* parent)
    : QDialog(parent)
    , samplesDirectory_(samplesDirectory)
{
    setObjectName(QStringLiteral("NewForm"));
    setWindowTitle(QStringLiteral("新建标签"));
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("PageControl1"));
    fields_ = new PageLayoutFields(tabs_, 0, this);

    sampleTab_ = new QWidget(tabs_);
    sampleTab_->setObjectName(QStringLiteral("TabSheetSample"));
    auto* sampleLayout = new QVBoxLayout(sampleTab_);
    samples_ = new QListWidget(sampleTab_);
    samples_->setObjectName(QStringLiteral("ListBoxSamples"));
    sampleInfo_ = new QLabel(sampleTab_);
    sampleInfo_->setWordWrap(true);
    sampleLayout->addWidget(samples_);
    sampleLayout->addWidget(sampleInfo_);
    tabs_->addTab(sampleTab_, QStringLiteral("存档标签"));
    const QStringList files
        = QDir(samplesDirectory_).entryList({ QStringLiteral("*.kvl") }, QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString& f : files)
        samples_->addItem(QFileInfo(f).completeBaseName());

    preview_ = new TPagePreview(this);
    message_ = errorLabel(this);
    ok_ = button("BitBtnOK", QStringLiteral("确定"), this);
    ok_->setDefault(true);
    QPushButton* cancel = button("BitBtnCancel", QStringLiteral("取消"), this);
    QPushButton* help = button("BitBtnHelp", QStringLiteral("帮助"), this);

    auto* right = new QVBoxLayout;
    right->addWidget(preview_, 1);
    right->addWidget(message_);
    auto* top = new QHBoxLayout;
    top->addWidget(tabs_, 1);
    top->addLayout(right, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    buttons->addWidget(help);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);

    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [] { ShowHelpTopic(HelpTopic::NewLabel); });
    connect(fields_, &PageLayoutFields::changed, this, &TNewForm::refresh);
    connect(tabs_, &QTabWidget::currentChanged, this, &TNewForm::refresh);
    connect(samples_, &QListWidget::currentRowChanged, this, &TNewForm::sampleSelected);
    BindHelpKey(this, HelpTopic::NewLabel);

    // The active label may have a layout this dialog does not take (a page wider than its
    // fields allow): start from the defaults rather than from a layout that OK refuses.
    fields_->setPage(current);
    const bool blank = current.PaperWidth == 0 || current.PaperHeight == 0 || current.LabelWidth == 0
        || current.LabelHeight == 0; // the fields' own 80 x 80 mm start
    if (!blank && !fields_->showsAcceptably(current))
        fields_->setPage(TPageRecord::defaultRecord());
    tabs_->setCurrentWidget(newLayout ? fields_->labelTab() : sampleTab_);
    refresh();
}

void TNewForm::showEvent(QShowEvent* event)
{
    TranslateWindow(this);
    QDialog::showEvent(event);
}

TPageRecord TNewForm::page() const
{
    return fields_->page();
}

bool TNewForm::sampleChosen() const
{
    return tabs_->currentWidget() == sampleTab_ && sampleReadable_;
}

QString TNewForm::samplePath() const
{
    QListWidgetItem* item = samples_->currentItem();
    if (!item)
        return {};
    return QDir(samplesDirectory_).filePath(item->text() + QStringLiteral(".kvl"));
}

void TNewForm::sampleSelected()
{
    const QString path = samplePath();
    sampleReadable_ = false;
    if (!path.isEmpty() && IsLabelFile(path)) {
        if (const std::optional<TPageRecord> record = ReadSamplePageRecord(path)) {
            samplePage_ = *record;
            sampleReadable_ = true;
        }
    }
    if (sampleReadable_) {
        const QString unit = LookupText(QStringLiteral("All"), QStringLiteral("danwei"), QStringLiteral("毫米"));
        sampleInfo_->setText(QStringLiteral("%1 × %2 %3, %4 × %5")
                                 .arg(mm(samplePage_.LabelWidth), mm(samplePage_.LabelHeight), unit)
                                 .arg(samplePage_.LabelColumn)
                                 .arg(samplePage_.LabelRow));
    } else if (!path.isEmpty()) {
        sampleInfo_->setText(
            LookupText(QStringLiteral("NewFormInside"), QStringLiteral("message2"), QStringLiteral("非V3.0格式文件")));
    } else {
        sampleInfo_->clear();
    }
    refresh();
}

void TNewForm::refresh()
{
    if (tabs_->currentWidget() == sampleTab_) {
        preview_->setPage(sampleReadable_ ? samplePage_ : TPageRecord {});
        message_->clear();
        ok_->setEnabled(sampleReadable_);
        return;
    }
    preview_->setPage(fields_->page());
    const bool fits = preview_->fits();
    message_->setText(fits ? QString() : gridMessage());
    ok_->setEnabled(fits);
}

// ---- page setup -------------------------------------------------------------------------

TPageSetupForm::TPageSetupForm(const TPageRecord& page, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("PageSetupForm"));
    setWindowTitle(QStringLiteral("页面设置"));
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("PageControl1"));
    fields_ = new PageLayoutFields(tabs_, PreviewCap, this);
    preview_ = new TPagePreview(this);
    message_ = errorLabel(this);
    ok_ = button("BitBtnOK", QStringLiteral("确定"), this);
    ok_->setDefault(true);
    QPushButton* cancel = button("BitBtnCancel", QStringLiteral("取消"), this);
    QPushButton* help = button("BitBtnHelp", QStringLiteral("帮助"), this);

    auto* right = new QVBoxLayout;
    right->addWidget(preview_, 1);
    right->addWidget(message_);
    auto* top = new QHBoxLayout;
    top->addWidget(tabs_, 1);
    top->addLayout(right, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    buttons->addWidget(help);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);

    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [] { ShowHelpTopic(HelpTopic::PageSetup); });
    connect(fields_, &PageLayoutFields::changed, this, &TPageSetupForm::refresh);
    BindHelpKey(this, HelpTopic::PageSetup);

    fields_->setPage(page);
    refresh();
}

void TPageSetupForm::showEvent(QShowEvent* event)
{
    TranslateWindow(this);
    QDialog::showEvent(event);
}

TPageRecord TPageSetupForm::page() const
{
    TPageRecord p = fields_->page();
    p.head[0] = 0;
    return p;
}

void TPageSetupForm::refresh()
{
    preview_->setPage(fields_->page());
    const bool fits = preview_->fits();
    message_->setText(fits ? QString() : gridMessage());
    ok_->setEnabled(fits);
}

} // namespace korvel
