#include "printing/ports/TcpPort.h"

#include <QElapsedTimer>
#include <QTcpSocket>

#include <algorithm>

namespace korvel {

namespace {

constexpr qint64 kChunk = 64 * 1024;
constexpr int kWaitSlice = 50;

} // namespace

TcpPort::TcpPort(const QString& host, quint16 port, const PortLimits& limits)
    : PrinterPort(limits)
    , host_(host)
    , port_(port)
{
}

TcpPort::~TcpPort()
{
    if (socket_)
        socket_->abort();
}

QString TcpPort::where() const
{
    return host_.contains(QLatin1Char(':')) ? QStringLiteral("[%1]:%2").arg(host_, QString::number(port_))
                                            : QStringLiteral("%1:%2").arg(host_, QString::number(port_));
}

QString TcpPort::describe() const
{
    return QStringLiteral("tcp %1").arg(where());
}

bool TcpPort::isOpen() const
{
    return socket_ && socket_->state() == QAbstractSocket::ConnectedState;
}

PortStatus TcpPort::OpenPort()
{
    if (socket_)
        socket_->abort();
    socket_ = std::make_unique<QTcpSocket>();
    socket_->connectToHost(host_, port_);
    QElapsedTimer timer;
    timer.start();
    while (socket_->state() != QAbstractSocket::ConnectedState) {
        if (limits_.cancelled()) {
            socket_->abort();
            return PortStatus::failure(PortError::Cancelled, describe());
        }
        const qint64 left = limits_.connectMs - timer.elapsed();
        if (left <= 0 || socket_->state() == QAbstractSocket::UnconnectedState)
            break;
        socket_->waitForConnected(int(std::min<qint64>(left, kWaitSlice)));
    }
    if (socket_->state() != QAbstractSocket::ConnectedState) {
        const QString why = socket_->state() == QAbstractSocket::UnconnectedState
            ? socket_->errorString()
            : QStringLiteral("no connection within %1 ms").arg(limits_.connectMs);
        socket_->abort();
        socket_.reset();
        return PortStatus::failure(PortError::OpenFailed, QStringLiteral("%1: %2").arg(where(), why));
    }
    return PortStatus::success();
}

PortStatus TcpPort::flush(qint64 sentBefore, qint64 pieceSize, WriteClock& clock)
{
    const qint64 queued = socket_->bytesToWrite();
    qint64 pending = socket_->bytesToWrite();
    while (pending > 0) {
        if (limits_.cancelled())
            return PortStatus::failure(PortError::Cancelled, describe());
        if (socket_->state() != QAbstractSocket::ConnectedState)
            return PortStatus::failure(
                PortError::WriteFailed, QStringLiteral("%1: %2").arg(where(), socket_->errorString()));
        if (clock.expired())
            return PortStatus::failure(PortError::Timeout,
                QStringLiteral("%1: %2").arg(where(), clock.reason(sentBefore + queued - pending, pieceSize)));
        socket_->waitForBytesWritten(clock.nextWait(kWaitSlice));
        // A printer may talk back; nobody listens.
        if (socket_->bytesAvailable() > 0)
            socket_->skip(socket_->bytesAvailable());
        const qint64 now = socket_->bytesToWrite();
        if (now < pending)
            clock.progressed();
        pending = now;
    }
    return PortStatus::success();
}

PortStatus TcpPort::SendPiece(const QByteArray& piece)
{
    if (!socket_)
        return PortStatus::failure(PortError::NotOpen, describe());
    if (limits_.cancelled())
        return PortStatus::failure(PortError::Cancelled, describe());
    if (socket_->state() != QAbstractSocket::ConnectedState)
        return PortStatus::failure(
            PortError::WriteFailed, QStringLiteral("%1: %2").arg(where(), socket_->errorString()));
    WriteClock clock(limits_.pieceCapMs, limits_.stallMs);
    for (qint64 at = 0; at < piece.size(); at += kChunk) {
        const qint64 n = std::min(kChunk, piece.size() - at);
        if (socket_->write(piece.constData() + at, n) != n)
            return PortStatus::failure(
                PortError::WriteFailed, QStringLiteral("%1: %2").arg(where(), socket_->errorString()));
        PortStatus s = flush(at, piece.size(), clock);
        if (!s) {
            socket_->abort();
            return s;
        }
    }
    return PortStatus::success();
}

PortStatus TcpPort::ClosePort()
{
    if (!socket_)
        return PortStatus::success();
    PortStatus result;
    if (socket_->state() == QAbstractSocket::ConnectedState) {
        WriteClock clock(limits_.stallMs, limits_.stallMs);
        result = flush(0, socket_->bytesToWrite(), clock);
        socket_->disconnectFromHost();
        if (socket_->state() != QAbstractSocket::UnconnectedState)
            socket_->waitForDisconnected(std::min(limits_.stallMs, 2000));
    }
    socket_->abort();
    socket_.reset();
    return result;
}

} // namespace korvel
