#include "printing/ports/UsbPort.h"
#include "printing/ports/PortMessages.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace korvel;

namespace {

/// A FIFO standing in for a printer device file; the test holds the read end.
class FifoPrinter {
public:
    explicit FifoPrinter(const QString& path)
        : path_(path)
    {
        if (::mkfifo(path.toLocal8Bit().constData(), 0600) == 0)
            fd_ = ::open(path.toLocal8Bit().constData(), O_RDONLY | O_NONBLOCK);
    }
    ~FifoPrinter() { stop(); }
    bool ok() const { return fd_ >= 0; }
    void stop()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }
    QByteArray readAvailable()
    {
        QByteArray out;
        char buf[4096];
        for (;;) {
            pollfd p { fd_, POLLIN, 0 };
            if (::poll(&p, 1, 200) <= 0)
                break;
            const ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n <= 0)
                break;
            out.append(buf, n);
        }
        return out;
    }

private:
    QString path_;
    int fd_ = -1;
};

UsbOptions filesOnly(const QString& dir)
{
    UsbOptions o;
    o.deviceDir = dir;
    o.useLibusb = false;
    return o;
}

} // namespace

TEST(UsbPort, DeviceFilesAreNumberedInOrder)
{
    QTemporaryDir dir;
    for (const char* name : { "lp10", "lp2", "lp0", "lpx", "printer" })
        QFile(dir.filePath(QString::fromLatin1(name))).open(QIODevice::WriteOnly);
    const QList<UsbPrinterInfo> found = EnumUsbPrinters(filesOnly(dir.path()));
    ASSERT_EQ(found.size(), 3);
    EXPECT_EQ(found[0].path, dir.filePath("lp0"));
    EXPECT_EQ(found[1].path, dir.filePath("lp2"));
    EXPECT_EQ(found[2].path, dir.filePath("lp10"));

    // With libusb as well the device files keep their numbers at the front.
    UsbOptions both = filesOnly(dir.path());
    both.useLibusb = true;
    const QList<UsbPrinterInfo> all = EnumUsbPrinters(both);
    ASSERT_GE(all.size(), 3);
    EXPECT_EQ(all[2].path, dir.filePath("lp10"));
}

TEST(UsbPort, AccumulatingModeSendsEveryByteOnce)
{
    QTemporaryDir dir;
    FifoPrinter printer(dir.filePath("lp0"));
    ASSERT_TRUE(printer.ok());
    UsbPort port(1, UsbPort::Mode::Accumulating, filesOnly(dir.path()));
    ASSERT_TRUE(port.OpenPort());
    const QByteArray a(10, 'a'), b(20, 'b'), c(5, 'c');
    QList<qint64> spans;
    for (const QByteArray& piece : { a, b, c }) {
        ASSERT_TRUE(port.SendPiece(piece));
        spans << port.accumulatedBytes();
    }
    EXPECT_EQ(spans, (QList<qint64> { 10, 30, 35 }));
    EXPECT_EQ(printer.readAvailable(), a + b + c);
    EXPECT_FALSE(port.SetSerialWriteTimeout(90000));
    port.ClearAccumulation();
    ASSERT_TRUE(port.SendPiece("E\r"));
    EXPECT_EQ(port.accumulatedBytes(), 2);
    EXPECT_EQ(printer.readAvailable(), "E\r");
}

TEST(UsbPort, DirectModeWritesToTheDeviceFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("lp0");
    FifoPrinter printer(path);
    ASSERT_TRUE(printer.ok());
    UsbPort port(path, UsbPort::Mode::Direct);
    ASSERT_TRUE(port.OpenPort());
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    ASSERT_TRUE(port.SendPiece(all));
    ASSERT_TRUE(port.SendPiece(QByteArray()));
    port.ClosePort();
    EXPECT_EQ(printer.readAvailable(), all);

    // A regular file is not a printer: it would take the stream in the printer's place.
    const QString plain = dir.filePath("lp1");
    QFile(plain).open(QIODevice::WriteOnly);
    EXPECT_EQ(UsbPort(plain, UsbPort::Mode::Direct).OpenPort().code, PortError::UsbNotOpen);
    EXPECT_EQ(QFileInfo(plain).size(), 0);
}

TEST(UsbPort, MissingPrinterIsReportedWithTheUsbMessage)
{
    QTemporaryDir dir;
    for (int number : { 0, 1, 9 }) {
        UsbPort port(number, UsbPort::Mode::Direct, filesOnly(dir.path()));
        const PortStatus s = port.OpenPort();
        EXPECT_EQ(s.code, PortError::UsbNotOpen) << number;
        EXPECT_EQ(s.message.defaultText, QStringLiteral("USB接口没有打开!"));
        EXPECT_EQ(port.SendPiece("x").code, PortError::NotOpen);
    }
    // A FIFO nobody reads cannot be opened as a printer.
    ASSERT_EQ(::mkfifo(dir.filePath("lp0").toLocal8Bit().constData(), 0600), 0);
    EXPECT_EQ(UsbPort(1, UsbPort::Mode::Direct, filesOnly(dir.path())).OpenPort().code, PortError::UsbNotOpen);
}

TEST(UsbPort, PrinterThatStopsReadingEndsTheWriteWithATimeout)
{
    QTemporaryDir dir;
    FifoPrinter printer(dir.filePath("lp0"));
    ASSERT_TRUE(printer.ok());
    PortLimits limits;
    limits.stallMs = 200;
    UsbPort port(1, UsbPort::Mode::Accumulating, filesOnly(dir.path()), limits);
    ASSERT_TRUE(port.OpenPort());
    const PortStatus s = port.SendPiece(QByteArray(1024 * 1024, 'x'));
    EXPECT_EQ(s.code, PortError::Timeout);
    EXPECT_TRUE(s.detail.contains(QStringLiteral("of 1048576 bytes sent"))) << s.detail.toStdString();
}

TEST(UsbPort, PrinterThatWentAwayFailsTheWrite)
{
    QTemporaryDir dir;
    FifoPrinter printer(dir.filePath("lp0"));
    ASSERT_TRUE(printer.ok());
    UsbPort port(1, UsbPort::Mode::Direct, filesOnly(dir.path()));
    ASSERT_TRUE(port.OpenPort());
    printer.stop();
    const PortStatus s = port.SendPiece("lost");
    EXPECT_EQ(s.code, PortError::WriteFailed);
}

TEST(UsbPort, CancelFlagStopsTheWrite)
{
    QTemporaryDir dir;
    FifoPrinter printer(dir.filePath("lp0"));
    ASSERT_TRUE(printer.ok());
    std::atomic<bool> cancel { true };
    PortLimits limits;
    limits.cancel = &cancel;
    UsbPort port(1, UsbPort::Mode::Direct, filesOnly(dir.path()), limits);
    ASSERT_TRUE(port.OpenPort());
    EXPECT_EQ(port.SendPiece("x").code, PortError::Cancelled);
    EXPECT_TRUE(printer.readAvailable().isEmpty());
}
