#pragma once

#include "printing/job/PrintJob.h"
#include "printing/virtual/VirtualPrinter.h"

#include <QImage>
#include <QStringList>

#include <memory>

namespace korvel {

class JobRecords;
class LabelDocument;

/// A document of its own with the same contents (through the label file image), so a preview
/// may step counters and move records without touching what the user edits. Null when the
/// document cannot be written (the reason in *error).
std::unique_ptr<LabelDocument> CopyDocument(LabelDocument& document, QString* error = nullptr);

/// One page of a job as the printer prints it.
struct PreviewPage {
    /// The printed page (Format_Mono in printer dots, colour index 1 a dot); null when the
    /// job printed nothing.
    QImage image;
    int quantity = 0; ///< how often the printer prints this format
    int page = 1; ///< the page shown (1-based)
    int pages = 1; ///< the pages of the whole preview
    int firstRecord = 0; ///< the data record of the page's first label; 0 without records
    JobResult result; ///< the job's end (a print error shows what the printer would not get)
    QStringList warnings; ///< what the printer skipped in the stream
};

/// What the preview runs: the print dialog's numbers.
struct PreviewRequest {
    int startRecord = 1;
    std::int64_t count = 1; ///< labels (plain) or records (variable)
    int copies = 1;
};

/// Page `page` (1-based, clamped to the preview's pages) of the job, run through the label
/// emission and the virtual printer exactly as a print job sends it. The document should be a
/// copy (CopyDocument): the job steps its counters. records may be null.
PreviewPage PreviewJobPage(LabelDocument& document, JobRecords* records, const PrintJobOptions& options,
    const PreviewRequest& request, int page);

} // namespace korvel
