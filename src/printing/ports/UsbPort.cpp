#include "printing/ports/UsbPort.h"

namespace korvel {

namespace {

constexpr int kWaitSlice = 50;

} // namespace

UsbPort::UsbPort(int number, Mode mode, const UsbOptions& options, const PortLimits& limits)
    : PrinterPort(limits)
    , number_(number)
    , mode_(mode)
    , options_(options)
{
}

UsbPort::UsbPort(const QString& devicePath, Mode mode, const PortLimits& limits)
    : PrinterPort(limits)
    , path_(devicePath)
    , mode_(mode)
{
}

UsbPort::~UsbPort()
{
    ClosePort();
}

QString UsbPort::describe() const
{
    if (connection_)
        return QStringLiteral("usb %1").arg(connection_->name());
    return path_.isEmpty() ? QStringLiteral("usb %1").arg(number_) : QStringLiteral("usb %1").arg(path_);
}

PortStatus UsbPort::OpenPort()
{
    ClosePort();
    PortStatus status;
    connection_ = path_.isEmpty() ? OpenUsbPrinter(number_, options_, &status) : OpenUsbDeviceFile(path_, &status);
    accumulated_ = 0;
    return connection_ ? PortStatus::success() : status;
}

PortStatus UsbPort::SendPiece(const QByteArray& piece)
{
    if (!connection_)
        return PortStatus::failure(PortError::NotOpen, describe());
    if (limits_.cancelled())
        return PortStatus::failure(PortError::Cancelled, describe());
    if (mode_ == Mode::Accumulating)
        accumulated_ += piece.size();
    WriteClock clock(limits_.pieceCapMs, limits_.stallMs);
    qint64 sent = 0;
    while (sent < piece.size()) {
        if (limits_.cancelled())
            return PortStatus::failure(PortError::Cancelled, describe());
        if (clock.expired())
            return PortStatus::failure(PortError::Timeout,
                QStringLiteral("%1: %2").arg(connection_->name(), clock.reason(sent, piece.size())));
        QString error;
        const qint64 n
            = connection_->writeSome(piece.constData() + sent, piece.size() - sent, clock.nextWait(kWaitSlice), &error);
        if (n < 0)
            return PortStatus::failure(PortError::WriteFailed,
                QStringLiteral("%1: %2; %3 of %4 bytes sent")
                    .arg(connection_->name(), error)
                    .arg(sent)
                    .arg(piece.size()));
        if (n > 0) {
            sent += n;
            clock.progressed();
        }
    }
    return PortStatus::success();
}

PortStatus UsbPort::ClosePort()
{
    connection_.reset();
    return PortStatus::success();
}

} // namespace korvel
