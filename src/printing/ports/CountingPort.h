#pragma once

#include "printing/ports/PrinterPort.h"

#include <atomic>
#include <memory>

namespace korvel {

/// Passes every call to another port and counts the bytes it took, so that a progress
/// display on another thread can read the figure while the job runs.
class CountingPort : public PrinterPort {
public:
    explicit CountingPort(std::unique_ptr<PrinterPort> inner)
        : PrinterPort(inner->limits())
        , inner_(std::move(inner))
    {
    }

    PortCategory category() const override { return inner_->category(); }
    QString describe() const override { return inner_->describe(); }
    bool isOpen() const override { return inner_->isOpen(); }

    PortStatus OpenPort() override
    {
        // The job hands its cancel flag to the port it sees; the real port must see it too.
        inner_->setLimits(limits_);
        return inner_->OpenPort();
    }
    PortStatus SendPiece(const QByteArray& piece) override
    {
        PortStatus s = inner_->SendPiece(piece);
        if (s)
            bytes_.fetch_add(piece.size(), std::memory_order_relaxed);
        return s;
    }
    PortStatus ClosePort() override { return inner_->ClosePort(); }
    PortStatus StartDocument(const QString& title) override { return inner_->StartDocument(title); }
    PortStatus EndDocument() override { return inner_->EndDocument(); }

    /// Bytes the port took so far; safe to read from any thread.
    qint64 bytes() const { return bytes_.load(std::memory_order_relaxed); }
    PrinterPort& inner() { return *inner_; }

private:
    std::unique_ptr<PrinterPort> inner_;
    std::atomic<qint64> bytes_ { 0 };
};

} // namespace korvel
