#pragma once

#include "document/PageRecord.h"
#include "printing/commands/QcmlCommands.h"
#include "printing/ports/PortStatus.h"
#include "printing/ports/PrinterPort.h"
#include "variables/Evaluation.h"

#include <QByteArray>
#include <QImage>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <functional>

namespace korvel {

class JobRecords;
class LabelDocument;
class TOAControl;

/// How the labels of a job fall onto the page grid: C columns and R rows per page.
struct GridPlan {
    std::int64_t total = 0; ///< labels in the job (count × copies)
    int columns = 0;
    int rows = 0;
    std::int64_t pages = 0; ///< full pages: total div (C × R)
    int rest = 0; ///< labels after the full pages: total mod (C × R)
    int fullRows = 0; ///< rows the rest fills completely: rest div C
    int lastColumns = 0; ///< labels of the rest's partial row: rest mod C

    int perPage() const { return columns * rows; }
    /// False for a grid without cells (nothing can be placed on it).
    bool valid() const { return columns > 0 && rows > 0; }

    static GridPlan of(std::int64_t total, int columns, int rows);
};

/// Why a job ended. The values only keep messages and test expectations stable.
enum class JobOutcome : int {
    Completed = 0,
    NothingToPrint = 1, ///< a label count of 0: nothing sent, no port opened
    PortOpenFailed = 2, ///< the printer port or the write-to-file target did not open
    QueueFailed = 3, ///< the print queue refused to start or end the job's document
    PrintError = 4, ///< a refused piece, a failed write or an object that could not be emitted
    TooFewRecords = 5, ///< the data set holds fewer records than asked for
    OutOfRecords = 6, ///< the data set ran out of records during the job
    Cancelled = 7, ///< the cancel flag was raised
    NoLabelGrid = 8, ///< the page grid has no cell, or the labels do not fit the page
    BadQuantityField = 9, ///< quantities from a field without an open data set or such a field
    PageTooLong = 10, ///< the page is longer than the label start can state (999.9 mm)
};

/// The end of a job: what the user is told, the technical cause and how far it got.
struct JobResult {
    JobOutcome outcome = JobOutcome::Completed;
    /// The message to show (language-file section, key and built-in text); empty on success.
    MessageText message;
    /// The port or builder failure behind a print error or an opening failure.
    PortStatus status;
    /// Labels whose fields reached the port, counting every copy a format's quantity prints.
    std::int64_t labelsSent = 0;
    std::int64_t labelsTotal = 0;
    /// Records whose quantity field held no usable number (they printed nothing).
    int unusableQuantities = 0;
    /// What the user should know although the job went on (a lean stream sent as the default).
    QStringList notes;

    bool ok() const { return outcome == JobOutcome::Completed || outcome == JobOutcome::NothingToPrint; }
    /// One line for a log or a terminal: the message's built-in text and the technical detail.
    QString text() const;
};

struct JobProgress {
    std::int64_t labelsSent = 0;
    std::int64_t labelsTotal = 0; ///< 0 while unknown
};

/// Graphics memory assumed for a lean stream when no setting says otherwise (the printer models
/// do not state theirs).
inline constexpr qint64 kLeanGraphicsLimit = 256 * 1024;

/// Where the job's bytes go. With write-to-file set, every piece goes to the file target and
/// the printer port is never opened; otherwise the printer port takes them.
struct JobTargets {
    PrinterPort* printer = nullptr;
    PrinterPort* file = nullptr;
    bool writeToFile = false;
};

struct PrintJobOptions {
    /// Command set selector, drawing mode and printer model for the command builders.
    CommandContext commands;
    /// Clock and display patterns for variables (the record comes from the job's records).
    EvaluationContext evaluation;
    /// The quantity-from-field flag and the field's name (trimmed before use).
    bool quantityFromField = false;
    QByteArray quantityField;
    /// Called after every label (and after every format of a plain job).
    std::function<void(const JobProgress&)> progress;
    /// Raised by another thread to stop the job between labels; the port is then closed.
    const std::atomic<bool>* cancel = nullptr;
    int ppi = 96;
    /// Stored-graphic pictures by object (see EmissionContext::storedPicture); empty: the
    /// objects' own printer copies.
    std::function<QImage(const TOAControl& object, int dpi)> storedPicture;
    /// Lean stream: the graphics memory is cleared once, the pictures the labels place are
    /// downloaded once before the first format and recalled by name in every format, and
    /// pictures no label places are not sent. The labels print the same as with the default
    /// stream, which sends every stored picture again before each format of a variable job.
    bool lean = false;
    /// Graphics memory (bytes) the lean stream may fill for a job; a job whose pictures need
    /// more is sent as the default stream, with a note.
    qint64 leanGraphicsLimit = kLeanGraphicsLimit;
};

/// Largest quantity and cut count one label format can carry (four decimal digits).
inline constexpr int kMaxFormatQuantity = 9999;

/// The refusal of a page longer than the printer can be told (nothing is sent).
JobResult PageTooLongResult(const TPageRecord& page);

/// One print run of a document: the frame (port, job setup, queue document) around one of the
/// three loops. Each call runs a complete job and leaves the port closed whatever the exit.
///
/// Counters step at the advance points (after the last copy of each record) with one running
/// number throughout: the ordinal, within the job, of the record whose labels were just
/// printed (1 for the first record printed). A counter therefore steps when that record's
/// number in the data set, ordinal + start record − 1, is a multiple of its labels per step.
/// Records skipped before a quantity-from-field job step with their own data-set numbers.
///
/// A cancel or a failed write ends the job between two labels with the port closed. The
/// document then keeps exactly what the labels already sent changed: the counter steps of
/// their records, and the bound texts and barcodes showing the current values; its objects,
/// layout and other variables stay as they were.
class PrintJob {
public:
    /// records may be null (no data source).
    PrintJob(LabelDocument& document, JobRecords* records, const JobTargets& targets, const PrintJobOptions& options);

    /// Chooses the loop: nothing for a count of 0, the plain loop for a document without
    /// variables, otherwise the variable loop or, with the quantity-from-field flag, the
    /// quantity loop.
    JobResult PrintLabels(int startRecord, std::int64_t labelCount, int copies);
    JobResult PrintPlain(std::int64_t labelCount, int copies);
    JobResult PrintVariable(int startRecord, std::int64_t recordCount, bool hasDatabase, int copies);
    JobResult PrintQuantityFromField(int startRecord, std::int64_t recordCount, bool hasDatabase);

private:
    class Run;
    LabelDocument& document_;
    JobRecords* records_;
    JobTargets targets_;
    PrintJobOptions options_;
};

} // namespace korvel
