#pragma once

#include "printing/ports/ParallelIo.h"
#include "printing/ports/PrinterPort.h"

#include <functional>
#include <memory>

namespace korvel {

/// The retry question: asked when the printer was not ready in time; true sends the same
/// byte again, false abandons the piece.
using RetryQuestionFn = std::function<bool(const PortStatus& why)>;

struct ParallelOptions {
    QString device = QStringLiteral("/dev/parport0");
    int readyTimeoutMs = 20000; ///< longest wait for ready before one byte
    int probeWindowMs = 20; ///< one readiness probe at opening
    int probeAttempts = 3;
    int probePauseMs = 100;
    RetryQuestionFn retryQuestion; ///< none: a printer not ready in time fails the piece
};

/// A parallel printer written byte by byte with the strobe, waiting for ready before each
/// byte.
class ParallelPort : public PrinterPort {
public:
    /// io defaults to Linux ppdev.
    explicit ParallelPort(
        const ParallelOptions& options, std::unique_ptr<ParallelIo> io = {}, const PortLimits& limits = {});
    ~ParallelPort() override;

    PortCategory category() const override { return PortCategory::Parallel; }
    QString describe() const override { return QStringLiteral("parallel %1").arg(options_.device); }
    bool isOpen() const override { return open_; }

    /// Opens and claims the port, then probes until the printer reports ready.
    PortStatus OpenPort() override;
    PortStatus SendPiece(const QByteArray& piece) override;
    PortStatus ClosePort() override;

private:
    enum class Wait { Ready, TimedOut, Cancelled, Unreadable };
    Wait waitReady(int ms, std::uint8_t* lastStatus);

    ParallelOptions options_;
    std::unique_ptr<ParallelIo> io_;
    bool open_ = false;
};

} // namespace korvel
