#include "printing/job/PrintJob.h"

#include "document/LabelDocument.h"
#include "printing/emission/LabelEmitter.h"
#include "printing/job/BoundObjects.h"
#include "printing/job/JobRecords.h"
#include "printing/ports/PortMessages.h"
#include "printing/ports/QueuePort.h"
#include "variables/CounterVariable.h"
#include "variables/VariableModel.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace korvel {

namespace {

MessageText childFormMessage(const char* key)
{
    return { QStringLiteral("ChildFormInside"), QString::fromLatin1(key), QStringLiteral("error") };
}

bool feedsByPage(const TPrinterSetting& s)
{
    return s.FeedType == 4 || s.FeedType == 5;
}

int formatCount(std::int64_t n)
{
    return static_cast<int>(std::clamp<std::int64_t>(n, 0, kMaxFormatQuantity));
}

} // namespace

GridPlan GridPlan::of(std::int64_t total, int columns, int rows)
{
    GridPlan g;
    g.total = std::max<std::int64_t>(total, 0);
    g.columns = columns;
    g.rows = rows;
    if (!g.valid())
        return g;
    const std::int64_t per = std::int64_t(columns) * rows;
    g.pages = g.total / per;
    g.rest = static_cast<int>(g.total % per);
    g.fullRows = g.rest / columns;
    g.lastColumns = g.rest % columns;
    return g;
}

QString JobResult::text() const
{
    QString line = message.defaultText;
    if (!status.ok()) {
        const QString detail = status.text();
        line = line.isEmpty() ? detail : QStringLiteral("%1 (%2)").arg(line, detail);
    }
    return line;
}

// --- one run of a job -----------------------------------------------------------------------

/// The frame around a loop: it opens the target, brackets the queue document, owns the
/// emitter, counts labels and makes sure that every exit closes the port.
class PrintJob::Run {
public:
    Run(PrintJob& job, bool variable)
        : job_(job)
        , variable_(variable)
    {
    }

    LabelDocument& document() { return job_.document_; }
    const TPrinterSetting& printer() const { return job_.document_.printer; }
    const CommandContext& commands() const { return job_.options_.commands; }
    LabelEmitter& emitter() { return *emitter_; }
    PrinterPort& port() { return *port_; }
    JobRecords* records() const { return job_.records_; }
    bool dataOpen() const { return records() && records()->isOpen(); }

    void setTotal(std::int64_t total) { result_.labelsTotal = total; }
    const JobResult& result() const { return result_; }

    JobResult outcome(JobOutcome outcome, const MessageText& message = {})
    {
        result_.outcome = outcome;
        result_.message = message;
        return result_;
    }

    /// Common frame steps 1-4: the target port, the queue document and the job setup.
    bool open()
    {
        const JobTargets& t = job_.targets_;
        port_ = t.writeToFile ? t.file : t.printer;
        if (!port_) {
            result_.status = PortStatus::failure(PortError::NoPort,
                t.writeToFile ? QStringLiteral("no write-to-file target") : QStringLiteral("no port"));
            outcome(JobOutcome::PortOpenFailed, childFormMessage("message7"));
            return false;
        }
        if (job_.options_.cancel) {
            PortLimits limits = port_->limits();
            limits.cancel = job_.options_.cancel;
            port_->setLimits(limits);
        }
        if (PortStatus s = port_->OpenPort(); !s) {
            result_.status = s;
            port_->ClosePort();
            outcome(JobOutcome::PortOpenFailed, childFormMessage("message7"));
            return false;
        }
        if (PortStatus s = port_->StartDocument(QString::fromLatin1(kQueueDocumentName)); !s) {
            result_.status = s;
            port_->ClosePort();
            outcome(JobOutcome::QueueFailed, PortMessageFor(s.code));
            return false;
        }
        EmissionContext ctx;
        ctx.commands = commands();
        ctx.evaluation = evaluation();
        ctx.dataSetEmpty = !dataOpen() || records()->recordCount() == 0;
        ctx.ppi = job_.options_.ppi;
        ctx.storedPicture = job_.options_.storedPicture;
        emitter_.emplace(document(), ctx, *port_);
        if (job_.options_.lean) {
            const qint64 kept = emitter_->PlacedGraphicsBytes();
            lean_ = kept <= job_.options_.leanGraphicsLimit;
            if (!lean_)
                result_.notes << QStringLiteral("the pictures kept for a lean stream take %1 bytes, more than the "
                                                "%2 bytes of graphics memory allowed; the default stream was sent")
                                     .arg(kept)
                                     .arg(job_.options_.leanGraphicsLimit);
        }
        if (PortStatus s = SendJobSetup(commands(), printer(), document().printPositionAdjust, *port_); !s) {
            failWith(s);
            return false;
        }
        return true;
    }

    EvaluationContext evaluation() const
    {
        EvaluationContext e = job_.options_.evaluation;
        e.fields = dataOpen() ? &records()->fields() : nullptr;
        return e;
    }

    /// The stored pictures before a format: every time in the default stream, the first time
    /// only in a lean one.
    PortStatus downloadGraphics()
    {
        if (!lean_)
            return emitter().DownloadGraphics();
        if (downloaded_)
            return PortStatus::success();
        downloaded_ = true;
        return emitter().DownloadPlacedGraphics();
    }

    bool cancelled() const { return job_.options_.cancel && job_.options_.cancel->load(std::memory_order_relaxed); }

    /// A print error or a cancel: the port is closed without ending the queue document, so a
    /// broken stream never prints from a queue.
    JobResult failWith(const PortStatus& s)
    {
        result_.status = s;
        const bool cancel = s.code == PortError::Cancelled;
        wrapUp();
        port_->ClosePort();
        return outcome(cancel ? JobOutcome::Cancelled : JobOutcome::PrintError,
            cancel ? PortMessageFor(PortError::Cancelled) : childFormMessage("message7"));
    }

    JobResult cancel() { return failWith(PortStatus::failure(PortError::Cancelled, QStringLiteral("job cancelled"))); }

    /// Common frame steps 6-7, also taken by the two "records" exits: the queue document is
    /// ended and the port closed. A failure to finish the stream is reported, never success.
    JobResult finish(JobOutcome end = JobOutcome::Completed, const MessageText& message = {})
    {
        wrapUp();
        PortStatus ended = port_->EndDocument();
        PortStatus closed = port_->ClosePort();
        if (!ended) {
            result_.status = ended;
            return outcome(JobOutcome::QueueFailed, PortMessageFor(ended.code));
        }
        if (!closed) {
            result_.status = closed;
            return outcome(JobOutcome::PrintError, childFormMessage("message7"));
        }
        // Only a complete job is delivered where the port holds its output back (a fresh file
        // keeps its old contents when the records run out).
        if (end == JobOutcome::Completed) {
            if (PortStatus delivered = port_->CommitOutput(); !delivered) {
                result_.status = delivered;
                return outcome(JobOutcome::PrintError, childFormMessage("message7"));
            }
        }
        return outcome(end, message);
    }

    void labelsDone(std::int64_t n)
    {
        result_.labelsSent += n;
        if (job_.options_.progress)
            job_.options_.progress({ result_.labelsSent, result_.labelsTotal });
    }

    void noteUnusableQuantity() { ++result_.unusableQuantities; }

    /// Emits the labels of a grid pass: rows 1..rows at full width, then `lastColumns` labels of
    /// the next row. after(n) runs after each label with its index within the pass (1-based)
    /// and may end the job by returning a result.
    std::optional<JobResult> gridPass(int rows, int lastColumns, bool countEach,
        const std::function<std::optional<JobResult>(int r, int c, bool partialRow)>& after = {})
    {
        const GridPlan& g = grid;
        const TPageRecord& page = document().page();
        const DotScale& sc = emitter().scale();
        auto one = [&](int r, int c, bool partial) -> std::optional<JobResult> {
            if (cancelled())
                return cancel();
            const int x = sc.gridOffset(c, page.LabelWidth, page.LabelSpace);
            const int y = sc.gridOffset(r, page.LabelHeight, page.LabelInterval);
            if (PortStatus s = emitter().EmitLabel(x, y); !s)
                return failWith(s);
            if (countEach)
                labelsDone(1);
            if (after)
                return after(r, c, partial);
            return std::nullopt;
        };
        for (int r = 1; r <= rows; ++r)
            for (int c = 1; c <= g.columns; ++c)
                if (auto end = one(r, c, false))
                    return end;
        for (int c = 1; c <= lastColumns; ++c)
            if (auto end = one(rows + 1, c, true))
                return end;
        return std::nullopt;
    }

    GridPlan grid;

private:
    void wrapUp()
    {
        if (emitter_)
            emitter_->finish();
        // Texts that printed their own text for want of records keep it.
        if (variable_)
            RefreshBoundObjects(
                document(), evaluation(), [this](const TOAControl& o) { return emitter_ && emitter_->setAside(o); });
    }

    PrintJob& job_;
    bool variable_;
    PrinterPort* port_ = nullptr;
    bool lean_ = false;
    bool downloaded_ = false;
    std::optional<LabelEmitter> emitter_;
    JobResult result_;
};

// --- the loops ------------------------------------------------------------------------------

PrintJob::PrintJob(
    LabelDocument& document, JobRecords* records, const JobTargets& targets, const PrintJobOptions& options)
    : document_(document)
    , records_(records)
    , targets_(targets)
    , options_(options)
{
}

JobResult PageTooLongResult(const TPageRecord& page)
{
    JobResult r;
    r.outcome = JobOutcome::PageTooLong;
    r.message = { QStringLiteral("ChildFormInside"), QStringLiteral("PageTooLong"),
        QStringLiteral("标签纸长度超过 999.9 mm，打印机无法打印") };
    r.status = CheckPageLength(page);
    return r;
}

JobResult PrintJob::PrintLabels(int startRecord, std::int64_t labelCount, int copies)
{
    if (labelCount <= 0) {
        JobResult r;
        r.outcome = JobOutcome::NothingToPrint;
        return r;
    }
    if (!HasVariables(document_))
        return PrintPlain(labelCount, copies);
    if (options_.quantityFromField)
        return PrintQuantityFromField(startRecord, labelCount, HasDatabase(document_));
    return PrintVariable(startRecord, labelCount, HasDatabase(document_), copies);
}

JobResult PrintJob::PrintPlain(std::int64_t labelCount, int copies)
{
    // Before anything moves: a page the label start cannot state would print nothing.
    if (!PageLengthPrintable(document_.page()))
        return PageTooLongResult(document_.page());
    Run run(*this, false);
    const TPageRecord& page = document_.page();
    run.grid = GridPlan::of(labelCount * std::max(copies, 0), page.LabelColumn, page.LabelRow);
    const GridPlan& g = run.grid;
    if (!g.valid())
        return run.outcome(JobOutcome::NoLabelGrid, childFormMessage("message5"));
    if (g.total == 0)
        return run.outcome(JobOutcome::NothingToPrint);
    run.setTotal(g.total);
    if (!run.open())
        return run.result();
    if (PortStatus s = run.downloadGraphics(); !s)
        return run.failWith(s);
    const CommandContext& ctx = run.commands();
    const bool byPage = feedsByPage(document_.printer);

    // All full pages travel as one format printed `pages` times (in formats of at most 9999
    // when there are more pages than one quantity can say).
    for (std::int64_t left = g.pages; left > 0;) {
        const int quantity = formatCount(left);
        if (PortStatus s = SendLabelStart(ctx, document_.printer, page, run.port()); !s)
            return run.failWith(s);
        if (auto end = run.gridPass(g.rows, 0, false))
            return *end;
        if (PortStatus s = SendLabelEnd(ctx, quantity, byPage ? quantity : 1, run.port()); !s)
            return run.failWith(s);
        run.labelsDone(std::int64_t(quantity) * g.perPage());
        left -= quantity;
    }
    if (g.rest > 0) {
        if (PortStatus s = SendLabelStart(ctx, document_.printer, page, run.port()); !s)
            return run.failWith(s);
        if (auto end = run.gridPass(g.fullRows, g.lastColumns, true))
            return *end;
        if (PortStatus s = SendLabelEnd(ctx, 1, 1, run.port()); !s)
            return run.failWith(s);
    }
    return run.finish();
}

JobResult PrintJob::PrintVariable(int startRecord, std::int64_t recordCount, bool hasDatabase, int copies)
{
    // Before anything moves: a page the label start cannot state would print nothing.
    if (!PageLengthPrintable(document_.page()))
        return PageTooLongResult(document_.page());
    Run run(*this, true);
    const TPageRecord& page = document_.page();
    run.grid = GridPlan::of(recordCount * std::max(copies, 0), page.LabelColumn, page.LabelRow);
    const GridPlan& g = run.grid;
    if (!g.valid())
        return run.outcome(JobOutcome::NoLabelGrid, childFormMessage("message5"));
    if (g.total == 0)
        return run.outcome(JobOutcome::NothingToPrint);
    run.setTotal(g.total);
    JobRecords* records = records_;
    const bool dataOpen = run.dataOpen();
    if (dataOpen) {
        records->first();
        for (int i = 1; i < startRecord; ++i)
            records->next();
    }
    if (!run.open())
        return run.result();
    const bool walkRecords = hasDatabase && dataOpen;
    if (walkRecords && std::int64_t(records->recordCount()) - startRecord < recordCount - 1)
        return run.finish(JobOutcome::TooFewRecords, childFormMessage("message8"));

    const CommandContext& ctx = run.commands();
    const int feed = document_.printer.FeedType;
    const bool byPage = feedsByPage(document_.printer);
    const std::int64_t perPage = g.perPage();
    const std::int64_t pages = g.pages;

    auto outOfRecords = [&]() -> JobResult {
        records->first();
        return run.finish(JobOutcome::OutOfRecords, childFormMessage("message9"));
    };
    // After the last copy of a record: the next record, and the counters with the ordinal of
    // the record just printed.
    auto advance = [&](std::int64_t n, bool partialRow) -> std::optional<JobResult> {
        if (n % copies != 0)
            return std::nullopt;
        if (walkRecords) {
            if (records->eof()) {
                if (!partialRow)
                    return outOfRecords();
            } else {
                records->next();
            }
        }
        StepCountersInUse(document_, n / copies, startRecord);
        return std::nullopt;
    };
    auto send = [&](FeedModeCommand c) { return SendFeedModeCommand(c, run.port()); };
    const FeedModeCommand lastPage = feed == 4 ? FeedModeCommand::LastPagePeelOff : FeedModeCommand::LastPageTearOff;

    for (std::int64_t d = 1; d <= pages; ++d) {
        if (d == pages && byPage) {
            if (PortStatus s = send(g.rest > 0 ? FeedModeCommand::MorePages : lastPage); !s)
                return run.failWith(s);
        }
        if (d == 1 && pages > 1 && byPage) {
            if (PortStatus s = send(FeedModeCommand::MorePages); !s)
                return run.failWith(s);
        }
        if (walkRecords && records->eof())
            return outOfRecords();
        if (PortStatus s = run.downloadGraphics(); !s)
            return run.failWith(s);
        if (PortStatus s = SendLabelStart(ctx, document_.printer, page, run.port()); !s)
            return run.failWith(s);
        const std::int64_t before = (d - 1) * perPage;
        if (auto end = run.gridPass(g.rows, 0, true,
                [&](int r, int c, bool) { return advance(before + std::int64_t(r - 1) * g.columns + c, false); }))
            return *end;
        if (PortStatus s = SendLabelEnd(ctx, 1, byPage ? formatCount(pages) : 1, run.port()); !s)
            return run.failWith(s);
    }
    if (g.rest > 0) {
        if (byPage) {
            if (PortStatus s = send(lastPage); !s)
                return run.failWith(s);
        }
        if (walkRecords && records->eof())
            return outOfRecords();
        // Stored graphics are downloaded with every page; a job shorter than one page has had
        // no download yet.
        if (pages == 0) {
            if (PortStatus s = run.downloadGraphics(); !s)
                return run.failWith(s);
        }
        if (PortStatus s = SendLabelStart(ctx, document_.printer, page, run.port()); !s)
            return run.failWith(s);
        const std::int64_t before = pages * perPage;
        if (auto end = run.gridPass(g.fullRows, g.lastColumns, true, [&](int r, int c, bool partial) {
                return advance(before + std::int64_t(r - 1) * g.columns + c, partial);
            }))
            return *end;
        if (PortStatus s = SendLabelEnd(ctx, 1, 1, run.port()); !s)
            return run.failWith(s);
    }
    if (walkRecords)
        records->first();
    return run.finish();
}

JobResult PrintJob::PrintQuantityFromField(int startRecord, std::int64_t recordCount, bool hasDatabase)
{
    // Before anything moves: a page the label start cannot state would print nothing.
    if (!PageLengthPrintable(document_.page()))
        return PageTooLongResult(document_.page());
    Run run(*this, true);
    const TPageRecord& page = document_.page();
    run.grid = GridPlan::of(0, page.LabelColumn, page.LabelRow);
    const GridPlan& g = run.grid;
    if (!g.valid())
        return run.outcome(JobOutcome::NoLabelGrid, childFormMessage("message5"));
    if (recordCount <= 0)
        return run.outcome(JobOutcome::NothingToPrint);
    JobRecords* records = records_;
    const QByteArray field = TrimSpaces(options_.quantityField);
    if (!run.dataOpen() || records->recordCount() == 0) {
        run.outcome(JobOutcome::BadQuantityField);
        JobResult r = run.result();
        r.status
            = PortStatus::failure(PortError::InvalidInput, QStringLiteral("no data source for the quantity field"));
        return r;
    }
    records->first();
    if (!records->fields().value(field)) {
        run.outcome(JobOutcome::BadQuantityField);
        JobResult r = run.result();
        r.status = PortStatus::failure(PortError::InvalidInput,
            QStringLiteral("the data source has no field \"%1\"").arg(QString::fromUtf8(field)));
        return r;
    }

    // The quantity of the current record; a value that is not a count prints nothing.
    auto quantity = [&](bool note) -> std::int64_t {
        const std::optional<QByteArray> v = records->fields().value(field);
        bool ok = false;
        const qlonglong q = v ? TrimSpaces(*v).toLongLong(&ok) : 0;
        if (!ok || q < 0 || q > std::numeric_limits<int>::max()) {
            if (note)
                run.noteUnusableQuantity();
            return 0;
        }
        return q;
    };
    auto skipToStart = [&](bool stepCounters) {
        records->first();
        for (int m = 1; m < startRecord; ++m) {
            records->next();
            if (stepCounters)
                StepCountersInUse(document_, std::int64_t(m) - startRecord + 1, startRecord);
        }
    };

    // How many labels the records hold, for the progress report.
    skipToStart(false);
    std::int64_t total = 0;
    for (std::int64_t j = 1; j <= recordCount; ++j) {
        total += quantity(false);
        records->next();
    }
    run.setTotal(total);
    skipToStart(true);

    if (!run.open())
        return run.result();
    // Quantities come from the records themselves, so the records must be there whatever the
    // variables: the data set never repeats its last record.
    (void)hasDatabase;
    if (std::int64_t(records->recordCount()) - startRecord < recordCount - 1)
        return run.finish(JobOutcome::TooFewRecords, childFormMessage("message8"));
    if (PortStatus s = run.downloadGraphics(); !s)
        return run.failWith(s);

    const CommandContext& ctx = run.commands();
    const bool byPage = feedsByPage(document_.printer);
    const int perPage = g.perPage();
    const DotScale& sc = run.emitter().scale();
    int placed = 0; // labels on the open format
    bool formatOpen = false;
    for (std::int64_t j = 1; j <= recordCount; ++j) {
        std::int64_t q = quantity(true);
        while (q > 0) {
            if (!formatOpen && q >= perPage) {
                // Whole pages of this record alone: one format with their number as quantity.
                std::int64_t whole = q / perPage;
                q -= whole * perPage;
                while (whole > 0) {
                    const int n = formatCount(whole);
                    if (PortStatus s = SendLabelStart(ctx, document_.printer, page, run.port()); !s)
                        return run.failWith(s);
                    if (auto end = run.gridPass(g.rows, 0, false))
                        return *end;
                    if (PortStatus s = SendLabelEnd(ctx, n, byPage ? n : 1, run.port()); !s)
                        return run.failWith(s);
                    run.labelsDone(std::int64_t(n) * perPage);
                    whole -= n;
                }
                continue;
            }
            if (!formatOpen) {
                if (PortStatus s = SendLabelStart(ctx, document_.printer, page, run.port()); !s)
                    return run.failWith(s);
                formatOpen = true;
                placed = 0;
            }
            if (run.cancelled())
                return run.cancel();
            const int r = placed / g.columns + 1;
            const int c = placed % g.columns + 1;
            const int x = sc.gridOffset(c, page.LabelWidth, page.LabelSpace);
            const int y = sc.gridOffset(r, page.LabelHeight, page.LabelInterval);
            if (PortStatus s = run.emitter().EmitLabel(x, y); !s)
                return run.failWith(s);
            run.labelsDone(1);
            --q;
            if (++placed == perPage) {
                if (PortStatus s = SendLabelEnd(ctx, 1, 1, run.port()); !s)
                    return run.failWith(s);
                formatOpen = false;
                placed = 0;
            }
        }
        records->next();
        StepCountersInUse(document_, j, startRecord);
    }
    if (formatOpen) {
        if (PortStatus s = SendLabelEnd(ctx, 1, 1, run.port()); !s)
            return run.failWith(s);
    }
    return run.finish();
}

} // namespace korvel
