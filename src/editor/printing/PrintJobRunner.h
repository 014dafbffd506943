#pragma once

#include "printing/job/PrintJob.h"
#include "printing/ports/CountingPort.h"

#include <QElapsedTimer>
#include <QObject>

#include <atomic>
#include <memory>
#include <mutex>

class QThread;

namespace korvel {

class JobRecords;
class LabelDocument;

/// What a progress display shows of a running job.
struct JobFigures {
    std::int64_t labelsSent = 0;
    std::int64_t labelsTotal = 0;
    qint64 bytes = 0;
    qint64 elapsedMs = 0;

    /// Labels per second so far; 0 until a label went out.
    double rate() const;
    /// Seconds left at the rate so far; -1 while unknown.
    qint64 secondsLeft() const;
};

/// Runs one print job on its own thread, so the window keeps painting and Cancel is heard.
/// The document and the records belong to the job while it runs: the caller must not touch
/// them until finished() (the window shows a modal progress dialog meanwhile).
class PrintJobRunner : public QObject {
    Q_OBJECT
public:
    /// target: the port the job writes to (the printer, or the write-to-file target when
    /// writeToFile is set). records may be null.
    PrintJobRunner(LabelDocument& document, JobRecords* records, std::unique_ptr<PrinterPort> target,
        bool writeToFile, PrintJobOptions options, QObject* parent = nullptr);
    ~PrintJobRunner() override;

    /// Starts PrintLabels on the job's thread; finished() is emitted on this object's thread.
    void start(int startRecord, std::int64_t labelCount, int copies);
    /// Stops the job between two labels (or inside a port write); the port is then closed.
    void cancel();
    bool isRunning() const { return running_.load(); }
    bool cancelRequested() const { return cancel_.load(); }

    /// Safe to call from the runner's thread while the job runs.
    JobFigures figures() const;
    /// The job's end; valid after finished().
    const JobResult& result() const { return result_; }
    /// Whether the port was left open after the job (it never should be).
    bool portLeftOpen() const;
    /// Blocks until the job's thread ended (for tests and for closing the window).
    void wait();

signals:
    void finished();

private:
    LabelDocument& document_;
    JobRecords* records_;
    std::unique_ptr<CountingPort> port_;
    bool writeToFile_;
    PrintJobOptions options_;
    std::atomic<bool> cancel_ { false };
    std::atomic<bool> running_ { false };
    std::atomic<std::int64_t> sent_ { 0 };
    std::atomic<std::int64_t> total_ { 0 };
    QElapsedTimer clock_;
    JobResult result_;
    QThread* thread_ = nullptr;
};

} // namespace korvel
