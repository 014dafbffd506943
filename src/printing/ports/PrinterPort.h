#pragma once

#include "printing/ports/PieceSink.h"
#include "printing/ports/PortStatus.h"

#include <QElapsedTimer>
#include <QString>

#include <atomic>
#include <cstdint>

namespace korvel {

/// What a `ComPort` byte of the printer settings record names.
enum class PortCategory : int {
    Parallel = 0, ///< 0-3
    None = 4, ///< 4
    Serial = 5, ///< 5-12, "Com1" … "Com8"
    UsbDirect = 13, ///< 13-20, USB device 1-8 (writes must be taken whole)
    UsbAccumulating = 21, ///< 21-28, USB device 1-8 (accumulation spans between label ends)
    Queue = 99, ///< 99, the raw print queue
    File = 100, ///< not a `ComPort` value: the write-to-file target
    Tcp = 101, ///< not a `ComPort` value: a network printer's raw socket
    Invalid = -1, ///< any other `ComPort` value
};

/// Category of a `ComPort` byte.
PortCategory CategoryOfComPort(std::uint8_t comPort);
/// Device number of a `ComPort` byte: parallel 0-3, serial 1-8 (ComN), USB 1-8; 0 otherwise.
int DeviceNumberOfComPort(std::uint8_t comPort);

/// Bounds on every write. A write that goes `stallMs` without moving a byte, or a piece that
/// takes longer than its budget (never more than `pieceCapMs`), ends with PortError::Timeout;
/// a raised cancel flag ends it with PortError::Cancelled between chunks.
struct PortLimits {
    int stallMs = 30000;
    int pieceCapMs = 600000;
    int connectMs = 10000;
    const std::atomic<bool>* cancel = nullptr;

    bool cancelled() const { return cancel && cancel->load(std::memory_order_relaxed); }
};

/// One printer connection. A port is opened once per job, takes the pieces of the command
/// stream in order, and is closed at the end of the job or at its first error.
class PrinterPort : public PieceSink {
public:
    explicit PrinterPort(const PortLimits& limits)
        : limits_(limits)
    {
    }

    virtual PortCategory category() const = 0;
    /// Short technical name for messages ("serial /dev/ttyS0", "tcp 10.0.0.5:9100").
    virtual QString describe() const = 0;
    virtual bool isOpen() const = 0;

    virtual PortStatus OpenPort() = 0;
    PortStatus SendPiece(const QByteArray& piece) override = 0;
    virtual PortStatus ClosePort() = 0;

    /// The print queue frames a job as one raw document; other ports accept and ignore these.
    virtual PortStatus StartDocument(const QString& title)
    {
        (void)title;
        return PortStatus::success();
    }
    virtual PortStatus EndDocument() { return PortStatus::success(); }
    /// Called once a job has completed: a port that holds its output back until then (a fresh
    /// output file) delivers it. A port closed without it delivers nothing it held back.
    virtual PortStatus CommitOutput() { return PortStatus::success(); }

    const PortLimits& limits() const { return limits_; }
    void setLimits(const PortLimits& limits) { limits_ = limits; }

protected:
    PortLimits limits_;
};

/// Keeps the clock of one piece: its overall budget and the time since the last progress.
class WriteClock {
public:
    WriteClock(int budgetMs, int stallMs)
        : budgetMs_(budgetMs)
        , stallMs_(stallMs)
    {
        total_.start();
        progress_.start();
    }
    void progressed() { progress_.restart(); }
    bool overBudget() const { return total_.elapsed() > budgetMs_; }
    bool stalled() const { return progress_.elapsed() > stallMs_; }
    bool expired() const { return overBudget() || stalled(); }
    /// Milliseconds the next wait may take (at least 1, at most `slice`).
    int nextWait(int slice) const;
    /// Text for the timeout error: which bound ran out.
    QString reason(qint64 sent, qint64 total) const;

private:
    int budgetMs_;
    int stallMs_;
    QElapsedTimer total_;
    QElapsedTimer progress_;
};

} // namespace korvel
