#include "editor/printing/PrintPreviewForm.h"

#include "document/LabelDocument.h"
#include "editor/ChildForm.h"
#include "editor/Language.h"
#include "editor/UserPrompts.h"
#include "editor/printing/DesignerPrint.h"
#include "printing/job/BoundObjects.h"
#include "printing/job/JobRecords.h"
#include "variables/database/DataSourceBinding.h"

#include "ui_PrintPreviewForm.h"

#include <QApplication>
#include <QPixmap>
#include <QScrollBar>
#include <QTimer>

namespace korvel {

namespace {

QString text(const char* key, const QString& fallback)
{
    return LookupText(QStringLiteral("PrintPreviewFormInside"), QString::fromLatin1(key), fallback);
}

/// A printed page in black on white, as the paper shows it.
QImage paperPicture(const QImage& mono)
{
    QImage out = mono.convertToFormat(QImage::Format_Mono);
    out.setColorCount(2);
    out.setColor(0, qRgb(255, 255, 255));
    out.setColor(1, qRgb(0, 0, 0));
    return out;
}

} // namespace

TPrintPreviewForm::TPrintPreviewForm(const QByteArray& labelImage, const LabelReadOptions& readOptions,
    std::unique_ptr<DatabaseSource> source, const PrintJobOptions& options, const PreviewRequest& request,
    QWidget* parent)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::PrintPreviewForm>())
    , labelImage_(labelImage)
    , readOptions_(readOptions)
    , source_(std::move(source))
    , options_(options)
    , request_(request)
{
    ui_->setupUi(this);
    if (source_ && source_->isOpen())
        records_ = std::make_unique<DatabaseJobRecords>(*source_);
    ui_->ImagePage->setBackgroundRole(QPalette::Base);
    ui_->ImagePage->setAutoFillBackground(true);
    TranslateWindow(this);
    connect(ui_->BtnFirst, &QPushButton::clicked, this, [this] { showPage(1); });
    connect(ui_->BtnPrior, &QPushButton::clicked, this, [this] { showPage(shown_.page - 1); });
    connect(ui_->BtnNext, &QPushButton::clicked, this, [this] { showPage(shown_.page + 1); });
    connect(ui_->BtnLast, &QPushButton::clicked, this, [this] { showPage(shown_.pages); });
    connect(ui_->ComboZoom, &QComboBox::currentIndexChanged, this, [this] { showImage(); });
    connect(ui_->BtnClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->BtnPrint, &QPushButton::clicked, this, [this] {
        printRequested_ = true;
        accept();
    });
    showPage(1);
}

TPrintPreviewForm::~TPrintPreviewForm() = default;

void TPrintPreviewForm::showPage(int page)
{
    // Every page starts from the label as it is: the pages before step the counters only in
    // the copy the page is printed from.
    LabelDocument copy;
    const LabelFileResult read = ReadLabelBytes(labelImage_, copy, readOptions_);
    if (!read.opened())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    shown_ = PreviewJobPage(copy, records_.get(), options_, request_, std::max(page, 1));
    QApplication::restoreOverrideCursor();

    QString where = FormatText(FormatText(text("Page", QStringLiteral("第 %s 页 / 共 %s 页")), QString::number(shown_.page)),
        QString::number(shown_.pages));
    if (shown_.firstRecord > 0)
        where += QStringLiteral("  ") + FormatText(text("Record", QStringLiteral("记录 %s")), QString::number(shown_.firstRecord));
    ui_->LabelPage->setText(where);
    ui_->BtnFirst->setEnabled(shown_.page > 1);
    ui_->BtnPrior->setEnabled(shown_.page > 1);
    ui_->BtnNext->setEnabled(shown_.page < shown_.pages);
    ui_->BtnLast->setEnabled(shown_.page < shown_.pages);

    QStringList info;
    if (!shown_.image.isNull())
        info << FormatText(FormatText(text("Size", QStringLiteral("%s × %s 点")), QString::number(shown_.image.width())),
            QString::number(shown_.image.height()));
    if (!shown_.result.ok() && shown_.result.outcome != JobOutcome::Cancelled)
        info << LookupText(shown_.result.message.section, shown_.result.message.key, shown_.result.message.defaultText)
                + QStringLiteral(" ") + shown_.result.status.text();
    for (const QString& w : shown_.warnings.mid(0, 5))
        info << text("Warning", QStringLiteral("打印机跳过: ")) + w;
    ui_->LabelInfo->setText(info.join(QStringLiteral("\n")));
    showImage();
}

QImage TPrintPreviewForm::shownImage() const
{
    if (shown_.image.isNull())
        return {};
    const QImage paper = paperPicture(shown_.image);
    switch (ui_->ComboZoom->currentIndex()) {
    case 1: return paper.scaled(paper.size() / 2, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    case 2: return paper.scaled(paper.size() * 2, Qt::KeepAspectRatio, Qt::FastTransformation);
    case 3: return paper.scaled(paper.size() * 4, Qt::KeepAspectRatio, Qt::FastTransformation);
    case 4: {
        const QSize room = ui_->ScrollPage->viewport()->size() - QSize(8, 8);
        if (room.isEmpty())
            return paper;
        return paper.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    default: return paper; // one screen pixel per printer dot
    }
}

void TPrintPreviewForm::setZoomChoice(int choice)
{
    ui_->ComboZoom->setCurrentIndex(choice);
}

void TPrintPreviewForm::showImage()
{
    const QImage image = shownImage();
    ui_->ImagePage->setPixmap(QPixmap::fromImage(image));
    ui_->ImagePage->resize(image.isNull() ? QSize(1, 1) : image.size());
}

void TPrintPreviewForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The room to fit into is known only once the window is laid out.
    if (ui_->ComboZoom->currentIndex() == 4)
        QTimer::singleShot(0, this, [this] { showImage(); });
}

void TPrintPreviewForm::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (ui_->ComboZoom->currentIndex() == 4)
        showImage();
}

bool ShowPrintPreview(TChildForm& child)
{
    LabelDocument& doc = child.document();
    if (const std::optional<MessageText> refusal = CheckPrintCommand(doc)) {
        Prompts().message(&child, LookupText(QStringLiteral("All"), QStringLiteral("tishi"), QString()),
            LookupText(refusal->section, refusal->key, refusal->defaultText), UserPrompts::Icon::Information);
        return false;
    }
    QString error;
    const bool modified = doc.modified;
    const QByteArray image = WriteLabelBytes(doc, &error);
    doc.modified = modified;
    if (image.isEmpty()) {
        Prompts().message(&child, LookupText(QStringLiteral("All"), QStringLiteral("tishi"), QString()), error,
            UserPrompts::Icon::Warning);
        return false;
    }
    std::unique_ptr<DatabaseSource> live;
    if (doc.database.active)
        RestoreDataSource(doc, live);

    DesignerPrintState& state = PrintState();
    const StoredPrintNumbers stored = state.numbers.get(WindowNumberOf(child.objectName()));
    const PrintNumbers numbers
        = InitialPrintNumbers(stored, HasDatabase(doc), live && live->isOpen() ? live->recordNumber() : 0);
    PreviewRequest request;
    request.startRecord = numbers.startRecord;
    request.count = numbers.count;
    request.copies = int(std::min<std::int64_t>(numbers.copies, 99999));
    // A database job without stored numbers shows every record from the start record on.
    if (HasDatabase(doc) && live && live->isOpen() && stored.count == 0)
        request.count = std::max(1, live->recordCount() - numbers.startRecord + 1);
    PrintJobOptions options = DesignerJobOptions(doc, child.drawingMode(), ModelButtonsOf(child));
    options.quantityFromField = state.quantityFromField && HasVariables(doc);
    options.quantityField = stored.quantityField;

    LabelReadOptions readOptions;
    readOptions.currentModel = doc.printerModel;
    readOptions.currentPrinter = doc.printer;
    TPrintPreviewForm preview(image, readOptions, std::move(live), options, request, &child);
    const bool shown = true;
    if (Prompts().runDialog(&preview) && preview.printRequested())
        child.dispatch(Command::Print, 1);
    return shown;
}

} // namespace korvel
