#include "printing/ports/SerialPort.h"

#include <QSerialPort>

#include <algorithm>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace korvel {

namespace {

constexpr int kOpenWriteTimeout = 2000;
constexpr int kWaitSlice = 50;

/// Whether the device is set to two stop bits right now (read before Qt applies its own
/// settings, so that "keep the device's setting" means the device's, not Qt's default).
bool deviceUsesTwoStopBits(const QString& device)
{
    const QByteArray path = device.toLocal8Bit();
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    termios tio {};
    const bool two = ::tcgetattr(fd, &tio) == 0 && (tio.c_cflag & CSTOPB) != 0;
    ::close(fd);
    return two;
}

QString errorText(const QSerialPort& port)
{
    return port.errorString();
}

} // namespace

SerialParams SerialParams::fromSetting(const TPrinterSetting& setting, const QString& device)
{
    SerialParams p;
    p.device = device;
    p.BaudRate = setting.BaudRate;
    p.ByteSize = setting.ByteSize;
    p.StopBits = setting.StopBits;
    p.Parity = setting.Parity;
    p.FlowControl = setting.FlowControl;
    return p;
}

SerialPort::SerialPort(const SerialParams& params, const PortLimits& limits)
    : PrinterPort(limits)
    , params_(params)
{
}

SerialPort::~SerialPort()
{
    ClosePort();
}

bool SerialPort::isOpen() const
{
    return port_ && port_->isOpen();
}

int SerialPort::nativeHandle() const
{
    return isOpen() ? int(port_->handle()) : -1;
}

PortStatus SerialPort::OpenPort()
{
    ClosePort();
    const QString where = params_.device;
    if (where.isEmpty())
        return PortStatus::failure(PortError::OpenFailed, QStringLiteral("no serial device configured"));
    if (params_.BaudRate <= 0)
        return PortStatus::failure(
            PortError::ConfigureFailed, QStringLiteral("%1: baud rate %2").arg(where, QString::number(params_.BaudRate)));
    if (params_.ByteSize < 5 || params_.ByteSize > 8)
        return PortStatus::failure(
            PortError::ConfigureFailed, QStringLiteral("%1: byte size %2").arg(where, QString::number(params_.ByteSize)));
    QSerialPort::Parity parity = QSerialPort::NoParity;
    switch (params_.Parity) {
    case 0: parity = QSerialPort::NoParity; break;
    case 1: parity = QSerialPort::OddParity; break;
    case 2: parity = QSerialPort::EvenParity; break;
    case 3: parity = QSerialPort::MarkParity; break;
    case 4: parity = QSerialPort::SpaceParity; break;
    default:
        return PortStatus::failure(
            PortError::ConfigureFailed, QStringLiteral("%1: parity %2").arg(where, QString::number(params_.Parity)));
    }
    const bool twoStop = params_.StopBits != 0 && deviceUsesTwoStopBits(where);
    QSerialPort::FlowControl flow = QSerialPort::NoFlowControl;
    if (params_.FlowControl == 0)
        flow = QSerialPort::SoftwareControl;
    else if (params_.FlowControl == 1)
        flow = QSerialPort::HardwareControl;

    auto port = std::make_unique<QSerialPort>();
    port->setPortName(where);
    if (!port->open(QIODevice::ReadWrite))
        return PortStatus::failure(PortError::OpenFailed, QStringLiteral("%1: %2").arg(where, errorText(*port)));
    const bool configured = port->setBaudRate(params_.BaudRate)
        && port->setDataBits(QSerialPort::DataBits(params_.ByteSize)) && port->setParity(parity)
        && port->setStopBits(twoStop ? QSerialPort::TwoStop : QSerialPort::OneStop) && port->setFlowControl(flow);
    if (!configured) {
        const QString why = errorText(*port);
        port->close();
        return PortStatus::failure(PortError::ConfigureFailed, QStringLiteral("%1: %2").arg(where, why));
    }
    if (flow == QSerialPort::SoftwareControl) {
        // XON 0x11 / XOFF 0x13, and only XON resumes output.
        termios tio {};
        const int fd = int(port->handle());
        if (::tcgetattr(fd, &tio) == 0) {
            tio.c_cc[VSTART] = 0x11;
            tio.c_cc[VSTOP] = 0x13;
            tio.c_iflag &= ~tcflag_t(IXANY);
            ::tcsetattr(fd, TCSANOW, &tio);
        }
    }
    bitsPerChar_ = 1 + params_.ByteSize + (parity == QSerialPort::NoParity ? 0 : 1) + (twoStop ? 2 : 1);
    multiplier_ = kOpenWriteTimeout;
    port_ = std::move(port);
    return PortStatus::success();
}

bool SerialPort::SetSerialWriteTimeout(int msPerByte)
{
    if (!isOpen())
        return false;
    multiplier_ = msPerByte > 0 ? msPerByte : limits_.stallMs;
    return true;
}

int SerialPort::allowanceMs() const
{
    return std::max(1, std::min(multiplier_, limits_.stallMs));
}

int SerialPort::pieceBudgetMs(qint64 bytes) const
{
    const qint64 baud = std::max<qint64>(1, params_.BaudRate);
    const qint64 lineMs = bytes * bitsPerChar_ * 1000 / baud;
    const qint64 budget = 2 * lineMs + allowanceMs();
    return int(std::min<qint64>(budget, std::max(1, limits_.pieceCapMs)));
}

PortStatus SerialPort::abortWrite(PortStatus status)
{
    // Drop what is still queued so that neither the next piece nor the close waits for it.
    port_->clear(QSerialPort::Output);
    port_->clearError();
    return status;
}

PortStatus SerialPort::SendPiece(const QByteArray& piece)
{
    if (!isOpen())
        return PortStatus::failure(PortError::NotOpen, describe());
    if (piece.isEmpty())
        return PortStatus::success();
    if (limits_.cancelled())
        return PortStatus::failure(PortError::Cancelled, describe());

    WriteClock clock(pieceBudgetMs(piece.size()), allowanceMs());
    if (port_->write(piece) != piece.size())
        return abortWrite(PortStatus::failure(
            PortError::WriteFailed, QStringLiteral("%1: %2").arg(params_.device, errorText(*port_))));
    qint64 pending = port_->bytesToWrite();
    while (pending > 0) {
        if (limits_.cancelled())
            return abortWrite(PortStatus::failure(PortError::Cancelled, describe()));
        if (clock.expired())
            return abortWrite(PortStatus::failure(PortError::Timeout,
                QStringLiteral("%1: %2").arg(params_.device, clock.reason(piece.size() - pending, piece.size()))));
        port_->waitForBytesWritten(clock.nextWait(kWaitSlice));
        const QSerialPort::SerialPortError error = port_->error();
        if (error != QSerialPort::NoError && error != QSerialPort::TimeoutError)
            return abortWrite(PortStatus::failure(
                PortError::WriteFailed, QStringLiteral("%1: %2").arg(params_.device, errorText(*port_))));
        port_->clearError();
        // Nobody reads the printer's answers; keep them from piling up.
        if (port_->bytesAvailable() > 0)
            port_->skip(port_->bytesAvailable());
        const qint64 now = port_->bytesToWrite();
        if (now < pending)
            clock.progressed();
        pending = now;
    }
    return PortStatus::success();
}

PortStatus SerialPort::ClosePort()
{
    if (!port_)
        return PortStatus::success();
    PortStatus result;
    if (port_->isOpen()) {
        // Let the bytes already handed to the kernel leave before closing, within bounds.
        const int fd = int(port_->handle());
        WriteClock clock(std::max(1, limits_.stallMs), std::max(1, limits_.stallMs));
        int queued = 0;
        while (::ioctl(fd, TIOCOUTQ, &queued) == 0 && queued > 0) {
            if (limits_.cancelled() || clock.expired()) {
                ::tcflush(fd, TCOFLUSH);
                result = PortStatus::failure(PortError::Timeout,
                    QStringLiteral("%1: %2 bytes not sent at close").arg(params_.device, QString::number(queued)));
                break;
            }
            ::usleep(2000);
        }
        port_->close();
    }
    port_.reset();
    return result;
}

} // namespace korvel
