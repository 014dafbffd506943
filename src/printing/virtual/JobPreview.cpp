#include "printing/virtual/JobPreview.h"

#include "document/LabelDocument.h"
#include "persistence/LabelFile.h"
#include "printing/job/BoundObjects.h"
#include "printing/job/JobRecords.h"

#include <algorithm>

namespace korvel {

namespace {

/// A port that prints straight into a virtual printer.
class VirtualPrinterPort : public PrinterPort {
public:
    explicit VirtualPrinterPort(VirtualPrinter& printer)
        : PrinterPort(PortLimits {})
        , printer_(printer)
    {
    }
    PortCategory category() const override { return PortCategory::File; }
    QString describe() const override { return QStringLiteral("preview"); }
    bool isOpen() const override { return open_; }
    PortStatus OpenPort() override
    {
        open_ = true;
        return PortStatus::success();
    }
    PortStatus SendPiece(const QByteArray& piece) override
    {
        if (limits_.cancelled())
            return PortStatus::failure(PortError::Cancelled, QStringLiteral("preview cancelled"));
        printer_.feed(piece);
        return PortStatus::success();
    }
    PortStatus ClosePort() override
    {
        open_ = false;
        return PortStatus::success();
    }

private:
    VirtualPrinter& printer_;
    bool open_ = false;
};

} // namespace

std::unique_ptr<LabelDocument> CopyDocument(LabelDocument& document, QString* error)
{
    const bool modified = document.modified;
    const QByteArray image = WriteLabelBytes(document, error);
    document.modified = modified;
    if (image.isEmpty())
        return nullptr;
    auto copy = std::make_unique<LabelDocument>();
    LabelReadOptions options;
    options.currentModel = document.printerModel;
    options.currentPrinter = document.printer;
    const LabelFileResult r = ReadLabelBytes(image, *copy, options);
    if (!r.opened()) {
        if (error)
            *error = r.message;
        return nullptr;
    }
    return copy;
}

PreviewPage PreviewJobPage(LabelDocument& document, JobRecords* records, const PrintJobOptions& options,
    const PreviewRequest& request, int page)
{
    PreviewPage out;
    const TPageRecord& grid = document.page();
    const int perPage = std::max(1, int(grid.LabelColumn) * int(grid.LabelRow));
    const int copies = std::max(1, request.copies);
    const bool variable = HasVariables(document);
    const bool database = variable && records && records->isOpen() && HasDatabase(document);

    // The pages of the whole job, and what one page holds.
    std::int64_t labelCount = 0;
    int startRecord = request.startRecord;
    int keepFormat = 0; // which format of the run is the page shown
    if (!variable) {
        const std::int64_t total = std::max<std::int64_t>(request.count, 0) * copies;
        out.pages = int(std::clamp<std::int64_t>((total + perPage - 1) / perPage, 1, 1 << 30));
        out.page = std::clamp(page, 1, out.pages);
        // Every full page is the same picture; the last one may hold fewer labels.
        const std::int64_t before = std::int64_t(out.page - 1) * perPage;
        labelCount = std::min<std::int64_t>(perPage, std::max<std::int64_t>(total - before, 0));
    } else {
        const int recordsPerPage = std::max(1, perPage / copies);
        std::int64_t records64 = std::max<std::int64_t>(request.count, 0);
        if (database)
            records64 = std::min<std::int64_t>(records64, std::max(0, records->recordCount() - startRecord + 1));
        out.pages = int(std::clamp<std::int64_t>((records64 + recordsPerPage - 1) / recordsPerPage, 1, 1 << 30));
        out.page = std::clamp(page, 1, out.pages);
        const std::int64_t skipped = std::int64_t(out.page - 1) * recordsPerPage;
        if (database) {
            // The data set goes straight to the page's first record.
            startRecord += int(skipped);
            labelCount = std::min<std::int64_t>(recordsPerPage, records64 - skipped);
            out.firstRecord = startRecord;
        } else {
            // Counters step from the first label: the pages before are run and not kept.
            labelCount = std::min<std::int64_t>(skipped + recordsPerPage, records64);
            keepFormat = out.page - 1;
        }
    }
    if (labelCount <= 0)
        return out;

    VirtualPrinterOptions printerOptions;
    printerOptions.dpi = document.printer.dpi();
    VirtualPrinter printer(printerOptions);
    VirtualPrinterPort port(printer);
    JobTargets targets;
    targets.printer = &port;
    PrintJobOptions runOptions = options;
    runOptions.progress = nullptr;
    PrintJob job(document, records, targets, runOptions);
    out.result = variable ? job.PrintLabels(startRecord, labelCount, copies)
                          : job.PrintLabels(startRecord, labelCount, 1);
    printer.finish();
    const QList<VirtualLabelFormat>& formats = printer.formats();
    if (!formats.isEmpty()) {
        const VirtualLabelFormat& f = formats[std::clamp(keepFormat, 0, int(formats.size()) - 1)];
        out.image = f.image;
        out.quantity = f.quantity;
    }
    for (const VirtualPrinterWarning& w : printer.warnings())
        out.warnings << QStringLiteral("%1: %2").arg(w.offset).arg(w.message);
    return out;
}

} // namespace korvel
