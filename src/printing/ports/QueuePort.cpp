#include "printing/ports/QueuePort.h"

#include "printing/ports/PosixWrite.h"

#include <algorithm>

#include <cups/cups.h>

namespace korvel {

namespace {

constexpr qint64 kChunk = 32 * 1024;
constexpr double kWaitSliceSeconds = 0.1;

http_t* asHttp(void* p)
{
    return static_cast<http_t*>(p);
}

struct ServerAddress {
    QByteArray host;
    int port = 631;
};

ServerAddress resolveServer(const QString& server)
{
    ServerAddress a;
    if (server.isEmpty()) {
        a.host = QByteArray(cupsServer());
        a.port = ippPort();
        return a;
    }
    a.port = ippPort();
    if (server.startsWith(QLatin1Char('/'))) {
        a.host = server.toLocal8Bit();
        return a;
    }
    QString host = server;
    const int colon = int(server.lastIndexOf(QLatin1Char(':')));
    const bool bracketed = server.startsWith(QLatin1Char('['));
    if (colon > 0 && (bracketed || server.count(QLatin1Char(':')) == 1)) {
        bool ok = false;
        const int port = server.mid(colon + 1).toInt(&ok);
        if (ok && port > 0 && port < 65536) {
            a.port = port;
            host = server.left(colon);
        }
    }
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    a.host = host.toUtf8();
    return a;
}

} // namespace

struct QueueCallbacks {
    static int onTimeout(http_t*, void* self) { return QueuePort::keepWaiting(self); }
};

/// Gives a blocking print-server call its clock for the duration of the call.
struct QueuePort::Wait {
    Wait(QueuePort& port, WriteClock& clock)
        : port_(port)
    {
        port_.clock_ = &clock;
        port_.timedOut_ = false;
    }
    ~Wait() { port_.clock_ = nullptr; }
    QueuePort& port_;
};

QueuePort::QueuePort(const QueueOptions& options, const PortLimits& limits)
    : PrinterPort(limits)
    , options_(options)
{
    if (options_.name.isEmpty())
        options_.name = QString::fromLatin1(kDefaultQueueName);
}

QueuePort::~QueuePort()
{
    ClosePort();
}

int QueuePort::keepWaiting(void* self)
{
    auto* port = static_cast<QueuePort*>(self);
    if (port->limits_.cancelled())
        return 0;
    if (port->clock_ && port->clock_->expired()) {
        port->timedOut_ = true;
        return 0;
    }
    return 1;
}

PortStatus QueuePort::queueFailure(PortError code, const QString& what) const
{
    if (limits_.cancelled())
        return PortStatus::failure(PortError::Cancelled, describe());
    if (timedOut_)
        code = PortError::Timeout;
    return PortStatus::failure(
        code, QStringLiteral("%1: %2: %3").arg(options_.name, what, QString::fromUtf8(cupsLastErrorString())));
}

void* QueuePort::connect(int* cancel) const
{
    http_t* http = httpConnect2(serverHost_.constData(), serverPort_, nullptr, AF_UNSPEC, cupsEncryption(), 1,
        std::max(1, limits_.connectMs), cancel);
    if (http)
        httpSetTimeout(http, kWaitSliceSeconds, &QueueCallbacks::onTimeout, const_cast<QueuePort*>(this));
    return http;
}

PortStatus QueuePort::OpenPort()
{
    ClosePort();
    const ServerAddress server = resolveServer(options_.server);
    serverHost_ = server.host;
    serverPort_ = server.port;
    int cancel = 0;
    http_t* http = static_cast<http_t*>(connect(&cancel));
    if (!http)
        return PortStatus::failure(PortError::OpenFailed,
            QStringLiteral("print server %1: %2")
                .arg(QString::fromLocal8Bit(server.host), QString::fromUtf8(cupsLastErrorString())));
    http_ = http;
    WriteClock clock(limits_.connectMs, limits_.connectMs);
    Wait wait(*this, clock);
    const QByteArray name = options_.name.toUtf8();
    cups_dest_t* dest = cupsGetNamedDest(http, name.constData(), nullptr);
    if (!dest) {
        const PortStatus s = queueFailure(PortError::OpenFailed, QStringLiteral("no such print queue"));
        httpClose(http);
        http_ = nullptr;
        return s;
    }
    cupsFreeDests(1, dest);
    return PortStatus::success();
}

PortStatus QueuePort::StartDocument(const QString& title)
{
    if (!http_)
        return PortStatus::failure(PortError::NotOpen, describe());
    if (documentOpen_)
        return PortStatus::success();
    WriteClock clock(limits_.pieceCapMs, limits_.stallMs);
    Wait wait(*this, clock);
    const QByteArray name = options_.name.toUtf8();
    const QByteArray doc = (title.isEmpty() ? QString::fromLatin1(kQueueDocumentName) : title).toUtf8();
    SigpipeGuard guard;
    jobId_ = cupsCreateJob(asHttp(http_), name.constData(), doc.constData(), 0, nullptr);
    if (jobId_ == 0)
        return queueFailure(PortError::QueueFailed, QStringLiteral("job not created"));
    if (cupsStartDocument(asHttp(http_), name.constData(), jobId_, doc.constData(), CUPS_FORMAT_RAW, 1)
        != HTTP_STATUS_CONTINUE) {
        const PortStatus s = queueFailure(PortError::QueueFailed, QStringLiteral("document not started"));
        cupsCancelJob2(asHttp(http_), name.constData(), jobId_, 0);
        jobId_ = 0;
        return s;
    }
    documentOpen_ = true;
    return PortStatus::success();
}

PortStatus QueuePort::SendPiece(const QByteArray& piece)
{
    if (!http_)
        return PortStatus::failure(PortError::NotOpen, describe());
    if (limits_.cancelled())
        return PortStatus::failure(PortError::Cancelled, describe());
    if (!documentOpen_) {
        PortStatus s = StartDocument(QString::fromLatin1(kQueueDocumentName));
        if (!s)
            return s;
    }
    WriteClock clock(limits_.pieceCapMs, limits_.stallMs);
    Wait wait(*this, clock);
    SigpipeGuard guard;
    for (qint64 at = 0; at < piece.size(); at += kChunk) {
        if (limits_.cancelled())
            return PortStatus::failure(PortError::Cancelled, describe());
        const qint64 n = std::min(kChunk, piece.size() - at);
        if (cupsWriteRequestData(asHttp(http_), piece.constData() + at, size_t(n)) != HTTP_STATUS_CONTINUE)
            return queueFailure(
                PortError::WriteFailed, QStringLiteral("write failed after %1 of %2 bytes").arg(at).arg(piece.size()));
        clock.progressed();
    }
    return PortStatus::success();
}

PortStatus QueuePort::EndDocument()
{
    if (!http_)
        return PortStatus::failure(PortError::NotOpen, describe());
    if (!documentOpen_)
        return PortStatus::success();
    WriteClock clock(limits_.pieceCapMs, limits_.stallMs);
    Wait wait(*this, clock);
    SigpipeGuard guard;
    documentOpen_ = false;
    const QByteArray name = options_.name.toUtf8();
    if (cupsFinishDocument(asHttp(http_), name.constData()) > IPP_STATUS_OK_EVENTS_COMPLETE)
        return queueFailure(PortError::QueueFailed, QStringLiteral("document not completed"));
    return PortStatus::success();
}

PortStatus QueuePort::ClosePort()
{
    if (!http_)
        return PortStatus::success();
    httpClose(asHttp(http_));
    http_ = nullptr;
    if (documentOpen_ && jobId_ > 0) {
        // The old connection may be in the middle of the document; cancel over a new one.
        WriteClock clock(limits_.connectMs, limits_.connectMs);
        Wait wait(*this, clock);
        SigpipeGuard guard;
        int cancel = 0;
        if (http_t* http = static_cast<http_t*>(connect(&cancel))) {
            const QByteArray name = options_.name.toUtf8();
            cupsCancelJob2(http, name.constData(), jobId_, 0);
            httpClose(http);
        }
    }
    documentOpen_ = false;
    jobId_ = 0;
    return PortStatus::success();
}

} // namespace korvel
