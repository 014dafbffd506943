#include "printing/ports/ParallelPort.h"

#include <QElapsedTimer>
#include <QThread>

#include <algorithm>

namespace korvel {

namespace {

constexpr int kBusyPollsBeforeSleeping = 200;

} // namespace

ParallelPort::ParallelPort(const ParallelOptions& options, std::unique_ptr<ParallelIo> io, const PortLimits& limits)
    : PrinterPort(limits)
    , options_(options)
    , io_(io ? std::move(io) : CreatePpdevIo())
{
}

ParallelPort::~ParallelPort()
{
    ClosePort();
}

ParallelPort::Wait ParallelPort::waitReady(int ms, std::uint8_t* lastStatus)
{
    QElapsedTimer timer;
    timer.start();
    for (int polls = 0;; ++polls) {
        const std::optional<std::uint8_t> status = io_->readStatus();
        if (!status)
            return Wait::Unreadable;
        *lastStatus = *status;
        if (ParallelReady(*status))
            return Wait::Ready;
        if (limits_.cancelled())
            return Wait::Cancelled;
        if (timer.elapsed() >= ms)
            return Wait::TimedOut;
        // A printer that is busy for more than a moment is printing; stop spinning.
        if (polls >= kBusyPollsBeforeSleeping)
            QThread::usleep(500);
    }
}

PortStatus ParallelPort::OpenPort()
{
    ClosePort();
    QString error;
    if (!io_->open(options_.device, &error))
        return PortStatus::failure(PortError::OpenFailed, error);
    if (!io_->claim(&error)) {
        io_->close();
        return PortStatus::failure(PortError::OpenFailed, QStringLiteral("%1: %2").arg(options_.device, error));
    }
    std::uint8_t status = 0;
    const int attempts = std::max(1, options_.probeAttempts);
    for (int i = 0; i < attempts; ++i) {
        const Wait w = waitReady(std::max(0, options_.probeWindowMs), &status);
        if (w == Wait::Ready) {
            open_ = true;
            return PortStatus::success();
        }
        if (w == Wait::Unreadable || w == Wait::Cancelled)
            break;
        if (i + 1 < attempts)
            QThread::msleep(std::max(0, options_.probePauseMs));
    }
    io_->release();
    io_->close();
    return PortStatus::failure(
        PortError::NotReady, QStringLiteral("%1: %2").arg(options_.device, ParallelStatusText(status)));
}

PortStatus ParallelPort::SendPiece(const QByteArray& piece)
{
    if (!open_)
        return PortStatus::failure(PortError::NotOpen, describe());
    QElapsedTimer pieceTimer;
    pieceTimer.start();
    for (qsizetype i = 0; i < piece.size();) {
        if (limits_.cancelled())
            return PortStatus::failure(PortError::Cancelled, describe());
        const qint64 leftInPiece = std::max<qint64>(0, limits_.pieceCapMs - pieceTimer.elapsed());
        const int wait = int(std::min<qint64>(std::max(0, options_.readyTimeoutMs), leftInPiece));
        std::uint8_t status = 0;
        switch (waitReady(wait, &status)) {
        case Wait::Ready: break;
        case Wait::Cancelled: return PortStatus::failure(PortError::Cancelled, describe());
        case Wait::Unreadable:
            return PortStatus::failure(
                PortError::WriteFailed, QStringLiteral("%1: status register unreadable").arg(options_.device));
        case Wait::TimedOut: {
            const PortStatus why = PortStatus::failure(PortError::Timeout,
                QStringLiteral("%1: %2 after %3 ms; %4 of %5 bytes sent")
                    .arg(options_.device, ParallelStatusText(status))
                    .arg(wait)
                    .arg(i)
                    .arg(piece.size()));
            if (options_.retryQuestion && options_.retryQuestion(why)) {
                pieceTimer.restart();
                continue; // the same byte again
            }
            return why;
        }
        }
        // Data, then the strobe pulse: control 0x0D asserts it, 0x0C releases it.
        if (!io_->writeData(std::uint8_t(piece[i])) || !io_->writeControl(0x0D) || !io_->writeControl(0x0C))
            return PortStatus::failure(
                PortError::WriteFailed, QStringLiteral("%1: register write failed").arg(options_.device));
        ++i;
    }
    return PortStatus::success();
}

PortStatus ParallelPort::ClosePort()
{
    if (open_) {
        io_->release();
        io_->close();
    }
    open_ = false;
    return PortStatus::success();
}

} // namespace korvel
