#include "printing/ports/ParallelIo.h"

#include <QStringList>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace korvel {

namespace {

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

class PpdevIo : public ParallelIo {
public:
    ~PpdevIo() override { close(); }

    bool open(const QString& device, QString* error) override
    {
        close();
        fd_ = ::open(device.toLocal8Bit().constData(), O_RDWR | O_CLOEXEC);
        if (fd_ < 0 && error)
            *error = QStringLiteral("%1: %2").arg(device, systemError());
        return fd_ >= 0;
    }
    bool claim(QString* error) override
    {
        if (fd_ < 0)
            return false;
        if (::ioctl(fd_, PPCLAIM) != 0) {
            if (error)
                *error = QStringLiteral("claim: %1").arg(systemError());
            return false;
        }
        claimed_ = true;
        return true;
    }
    void release() override
    {
        if (fd_ >= 0 && claimed_)
            ::ioctl(fd_, PPRELEASE);
        claimed_ = false;
    }
    void close() override
    {
        release();
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }
    std::optional<std::uint8_t> readStatus() override
    {
        unsigned char status = 0;
        if (fd_ < 0 || ::ioctl(fd_, PPRSTATUS, &status) != 0)
            return std::nullopt;
        return status;
    }
    bool writeData(std::uint8_t value) override
    {
        unsigned char v = value;
        return fd_ >= 0 && ::ioctl(fd_, PPWDATA, &v) == 0;
    }
    bool writeControl(std::uint8_t value) override
    {
        unsigned char v = value;
        return fd_ >= 0 && ::ioctl(fd_, PPWCONTROL, &v) == 0;
    }

private:
    int fd_ = -1;
    bool claimed_ = false;
};

} // namespace

std::unique_ptr<ParallelIo> CreatePpdevIo()
{
    return std::make_unique<PpdevIo>();
}

bool ParallelReady(std::uint8_t status)
{
    const bool busy = (status & 0x80) == 0;
    const bool noError = (status & 0x08) != 0;
    const bool paperOut = (status & 0x20) != 0;
    return !busy && noError && !paperOut;
}

QString ParallelStatusText(std::uint8_t status)
{
    QStringList parts;
    if ((status & 0x80) == 0)
        parts << QStringLiteral("busy");
    if ((status & 0x08) == 0)
        parts << QStringLiteral("error");
    if ((status & 0x20) != 0)
        parts << QStringLiteral("paper out");
    return parts.isEmpty() ? QStringLiteral("ready") : parts.join(QStringLiteral(", "));
}

} // namespace korvel
