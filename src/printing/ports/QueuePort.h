#pragma once

#include "printing/ports/PrinterPort.h"

#include <QByteArray>

#include <memory>

namespace korvel {

inline constexpr const char* kDefaultQueueName = "VTX-Relay";
inline constexpr const char* kQueueDocumentName = "VTX-Relay Document";

struct QueueOptions {
    QString name = QString::fromLatin1(kDefaultQueueName);
    /// The print server: empty for the system's default, a socket path ("/run/cups/cups.sock")
    /// or "host[:port]".
    QString server;
};

/// A raw print queue: the stream becomes one raw document of one job, passed to the printer
/// unchanged.
class QueuePort : public PrinterPort {
public:
    explicit QueuePort(const QueueOptions& options = {}, const PortLimits& limits = {});
    ~QueuePort() override;

    PortCategory category() const override { return PortCategory::Queue; }
    QString describe() const override { return QStringLiteral("queue %1").arg(options_.name); }
    bool isOpen() const override { return http_ != nullptr; }

    /// Connects to the print server and checks that the queue exists.
    PortStatus OpenPort() override;
    /// Creates the job and opens its raw document.
    PortStatus StartDocument(const QString& title) override;
    /// Starts a document named "VTX-Relay Document" when none is open.
    PortStatus SendPiece(const QByteArray& piece) override;
    /// Completes the document; the job then prints.
    PortStatus EndDocument() override;
    /// A document that was not ended is cancelled, so that a broken stream never prints.
    PortStatus ClosePort() override;

    /// The job number of the open document (0 when none).
    int jobId() const { return jobId_; }

private:
    struct Wait;
    friend struct QueueCallbacks;
    static int keepWaiting(void* self);
    void* connect(int* cancel) const;
    PortStatus queueFailure(PortError code, const QString& what) const;

    QueueOptions options_;
    QByteArray serverHost_;
    int serverPort_ = 631;
    void* http_ = nullptr; // http_t*, kept out of the header
    int jobId_ = 0;
    bool documentOpen_ = false;
    WriteClock* clock_ = nullptr;
    bool timedOut_ = false;
};

} // namespace korvel
