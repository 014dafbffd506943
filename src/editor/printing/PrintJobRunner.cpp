#include "editor/printing/PrintJobRunner.h"

#include <QThread>

#include <cmath>

namespace korvel {

double JobFigures::rate() const
{
    if (labelsSent <= 0 || elapsedMs <= 0)
        return 0.0;
    return double(labelsSent) * 1000.0 / double(elapsedMs);
}

qint64 JobFigures::secondsLeft() const
{
    const double r = rate();
    if (r <= 0.0 || labelsTotal <= 0)
        return -1;
    const std::int64_t left = std::max<std::int64_t>(labelsTotal - labelsSent, 0);
    return qint64(std::ceil(double(left) / r));
}

PrintJobRunner::PrintJobRunner(LabelDocument& document, JobRecords* records, std::unique_ptr<PrinterPort> target,
    bool writeToFile, PrintJobOptions options, QObject* parent)
    : QObject(parent)
    , document_(document)
    , records_(records)
    , port_(std::make_unique<CountingPort>(std::move(target)))
    , writeToFile_(writeToFile)
    , options_(std::move(options))
{
    options_.cancel = &cancel_;
    // The job's own progress callback (if any) still runs; the figures are kept here as well.
    auto chained = options_.progress;
    options_.progress = [this, chained](const JobProgress& p) {
        sent_.store(p.labelsSent, std::memory_order_relaxed);
        total_.store(p.labelsTotal, std::memory_order_relaxed);
        if (chained)
            chained(p);
    };
    PortLimits limits = port_->limits();
    limits.cancel = &cancel_;
    port_->setLimits(limits);
}

PrintJobRunner::~PrintJobRunner()
{
    cancel();
    wait();
}

void PrintJobRunner::start(int startRecord, std::int64_t labelCount, int copies)
{
    if (running_.exchange(true))
        return;
    clock_.start();
    thread_ = QThread::create([this, startRecord, labelCount, copies] {
        JobTargets targets;
        targets.writeToFile = writeToFile_;
        (writeToFile_ ? targets.file : targets.printer) = port_.get();
        PrintJob job(document_, records_, targets, options_);
        result_ = job.PrintLabels(startRecord, labelCount, copies);
        // Whatever way the job ended, the printer is released before the window hears of it.
        if (port_->isOpen())
            port_->ClosePort();
    });
    connect(thread_, &QThread::finished, this, [this] {
        running_.store(false);
        emit finished();
    });
    thread_->start();
}

void PrintJobRunner::cancel()
{
    cancel_.store(true);
}

JobFigures PrintJobRunner::figures() const
{
    JobFigures f;
    f.labelsSent = sent_.load(std::memory_order_relaxed);
    f.labelsTotal = total_.load(std::memory_order_relaxed);
    f.bytes = port_->bytes();
    f.elapsedMs = clock_.isValid() ? clock_.elapsed() : 0;
    return f;
}

bool PrintJobRunner::portLeftOpen() const
{
    return port_->isOpen();
}

void PrintJobRunner::wait()
{
    if (thread_) {
        thread_->wait();
        delete thread_;
        thread_ = nullptr;
    }
}

} // namespace korvel
