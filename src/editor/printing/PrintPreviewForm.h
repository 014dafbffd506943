#pragma once

#include "persistence/LabelFile.h"
#include "printing/job/PrintJob.h"
#include "printing/virtual/JobPreview.h"

#include <QDialog>

#include <memory>

namespace Ui {
class PrintPreviewForm;
}

namespace korvel {

class DatabaseSource;
class DatabaseJobRecords;
class LabelDocument;
class TChildForm;

/// File › Print preview: the labels of the print job as the printer prints them — the job's
/// command stream run through the virtual printer, one page at a time, at 100 % as printer
/// dots or zoomed, with page (record) navigation for variable jobs. The preview works on a
/// copy of the document: counters and records of the label stay as they are.
class TPrintPreviewForm : public QDialog {
    Q_OBJECT
public:
    /// labelImage: the label file image of the document (every page starts from it afresh).
    TPrintPreviewForm(const QByteArray& labelImage, const LabelReadOptions& readOptions,
        std::unique_ptr<DatabaseSource> source, const PrintJobOptions& options, const PreviewRequest& request,
        QWidget* parent = nullptr);
    ~TPrintPreviewForm() override;

    void showPage(int page);
    int page() const { return shown_.page; }
    int pages() const { return shown_.pages; }
    const PreviewPage& shownPage() const { return shown_; }
    /// 0: 100 % printer dots, 1: 50 %, 2: 200 %, 3: 400 %, 4: fit to the window.
    void setZoomChoice(int choice);
    /// The picture as shown (after the zoom).
    QImage shownImage() const;
    /// Whether the user asked to print from the preview.
    bool printRequested() const { return printRequested_; }

    Ui::PrintPreviewForm& form() { return *ui_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void showImage();

    std::unique_ptr<Ui::PrintPreviewForm> ui_;
    QByteArray labelImage_;
    LabelReadOptions readOptions_;
    std::unique_ptr<DatabaseSource> source_;
    std::unique_ptr<DatabaseJobRecords> records_;
    PrintJobOptions options_;
    PreviewRequest request_;
    PreviewPage shown_;
    bool printRequested_ = false;
};

/// Opens the preview of the document window's job with its stored print numbers. True when
/// the preview was shown.
bool ShowPrintPreview(TChildForm& child);

} // namespace korvel
