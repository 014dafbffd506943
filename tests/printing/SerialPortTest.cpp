#include "PtySupport.h"

#include "printing/ports/SerialPort.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

using namespace korvel;
using korvel::test::Pty;

namespace {

SerialParams params(const QString& device, int flow = 1)
{
    SerialParams p;
    p.device = device;
    p.BaudRate = 115200;
    p.FlowControl = std::uint8_t(flow);
    return p;
}

QByteArray everyByteValue()
{
    QByteArray b;
    for (int i = 0; i < 256; ++i)
        b.append(char(i));
    return b;
}

} // namespace

TEST(SerialPort, EveryByteArrivesUnchangedWithEachFlowControl)
{
    for (int flow : { 0, 1, 2 }) {
        Pty pty;
        ASSERT_TRUE(pty.ok());
        SerialPort port(params(pty.slave(), flow));
        ASSERT_TRUE(port.OpenPort()) << port.OpenPort().text().toStdString();
        const QList<QByteArray> pieces = { everyByteValue(), QByteArray(), "\r\n\x11\x13\x7f\r", everyByteValue() };
        QByteArray expected;
        for (const QByteArray& p : pieces) {
            const PortStatus s = port.SendPiece(p);
            ASSERT_TRUE(s) << s.text().toStdString();
            expected += p;
        }
        EXPECT_EQ(pty.read(expected.size()).toHex().toStdString(), expected.toHex().toStdString()) << "flow " << flow;
        EXPECT_TRUE(port.ClosePort());
    }
}

TEST(SerialPort, LineSettingsFollowTheProfile)
{
    struct Row {
        int flow;
        tcflag_t iflagSet, iflagClear, cflagSet, cflagClear;
    };
    const Row rows[] = {
        { 0, IXON | IXOFF, IXANY, 0, CRTSCTS },
        { 1, 0, IXON | IXOFF, CRTSCTS, 0 },
        { 7, 0, IXON | IXOFF, 0, CRTSCTS },
    };
    for (const Row& r : rows) {
        Pty pty;
        ASSERT_TRUE(pty.ok());
        SerialPort port(params(pty.slave(), r.flow));
        ASSERT_TRUE(port.OpenPort());
        termios tio {};
        ASSERT_EQ(::tcgetattr(port.nativeHandle(), &tio), 0);
        EXPECT_EQ(tio.c_iflag & r.iflagSet, r.iflagSet) << r.flow;
        EXPECT_EQ(tio.c_iflag & r.iflagClear, 0u) << r.flow;
        EXPECT_EQ(tio.c_cflag & r.cflagSet, r.cflagSet) << r.flow;
        EXPECT_EQ(tio.c_cflag & r.cflagClear, 0u) << r.flow;
        EXPECT_EQ(tio.c_oflag & OPOST, 0u) << "output processing would alter bytes";
        if (r.flow == 0) {
            EXPECT_EQ(tio.c_cc[VSTART], 0x11);
            EXPECT_EQ(tio.c_cc[VSTOP], 0x13);
        }
    }
}

TEST(SerialPort, StopBitsOtherThanZeroKeepTheDeviceSetting)
{
    for (int stopBits : { 0, 1 }) {
        Pty pty;
        ASSERT_TRUE(pty.ok());
        termios tio {};
        ASSERT_EQ(::tcgetattr(pty.slaveFd(), &tio), 0);
        tio.c_cflag |= CSTOPB;
        ASSERT_EQ(::tcsetattr(pty.slaveFd(), TCSANOW, &tio), 0);
        SerialParams p = params(pty.slave());
        p.StopBits = std::uint8_t(stopBits);
        SerialPort port(p);
        ASSERT_TRUE(port.OpenPort());
        ASSERT_EQ(::tcgetattr(port.nativeHandle(), &tio), 0);
        EXPECT_EQ((tio.c_cflag & CSTOPB) != 0, stopBits == 1) << stopBits;
    }
}

TEST(SerialPort, OpeningFailuresAreReported)
{
    SerialPort missing(params(QStringLiteral("/nonexistent/ttyS9")));
    const PortStatus s = missing.OpenPort();
    EXPECT_EQ(s.code, PortError::OpenFailed);
    EXPECT_TRUE(s.text().contains(QStringLiteral("/nonexistent/ttyS9")));
    EXPECT_FALSE(missing.isOpen());
    EXPECT_FALSE(missing.SetSerialWriteTimeout(10000));
    EXPECT_EQ(missing.SendPiece("x").code, PortError::NotOpen);

    Pty pty;
    ASSERT_TRUE(pty.ok());
    struct Row {
        int parity, byteSize, baud;
    };
    for (const Row& r : { Row { 5, 8, 9600 }, Row { 0, 9, 9600 }, Row { 0, 4, 9600 }, Row { 0, 8, 0 } }) {
        SerialParams p = params(pty.slave());
        p.Parity = r.parity;
        p.ByteSize = std::uint8_t(r.byteSize);
        p.BaudRate = r.baud;
        EXPECT_EQ(SerialPort(p).OpenPort().code, PortError::ConfigureFailed)
            << r.parity << " " << r.byteSize << " " << r.baud;
    }
}

TEST(SerialPort, WriteAllowanceBoundsThePiece)
{
    Pty pty;
    ASSERT_TRUE(pty.ok());
    SerialParams p = params(pty.slave());
    p.BaudRate = 9600; // 8N1: ten bits a byte, 960 bytes a second
    PortLimits limits;
    limits.stallMs = 30000;
    limits.pieceCapMs = 60000;
    SerialPort port(p, limits);
    ASSERT_TRUE(port.OpenPort());
    EXPECT_EQ(port.writeTimeoutMultiplier(), 2000);
    EXPECT_EQ(port.pieceBudgetMs(960), 2 * 1000 + 2000);
    ASSERT_TRUE(port.SetSerialWriteTimeout(10000));
    EXPECT_EQ(port.pieceBudgetMs(960), 2 * 1000 + 10000);
    ASSERT_TRUE(port.SetSerialWriteTimeout(90000)); // the printer may hold the line 30 s at most
    EXPECT_EQ(port.pieceBudgetMs(0), 30000);
    EXPECT_EQ(port.pieceBudgetMs(960 * 1000), 60000); // capped
}

TEST(SerialPort, PrinterThatStopsReadingEndsTheWriteWithATimeout)
{
    Pty pty;
    ASSERT_TRUE(pty.ok());
    PortLimits limits;
    limits.stallMs = 200;
    SerialPort port(params(pty.slave()), limits);
    ASSERT_TRUE(port.OpenPort());
    const PortStatus s = port.SendPiece(QByteArray(4 * 1024 * 1024, 'x'));
    EXPECT_EQ(s.code, PortError::Timeout);
    EXPECT_TRUE(s.detail.contains(QStringLiteral("bytes sent"))) << s.detail.toStdString();
    port.ClosePort();
}

TEST(SerialPort, XoffFromThePrinterHoldsTheLineUntilTheAllowanceRunsOut)
{
    Pty pty;
    ASSERT_TRUE(pty.ok());
    PortLimits limits;
    limits.stallMs = 200;
    SerialPort port(params(pty.slave(), 0), limits);
    ASSERT_TRUE(port.OpenPort());
    ASSERT_TRUE(port.SendPiece("ok"));
    EXPECT_EQ(pty.read(2), "ok");
    pty.write(0x13); // XOFF
    EXPECT_EQ(port.SendPiece("held").code, PortError::Timeout);
    pty.write(0x11); // XON
    ASSERT_TRUE(port.SendPiece("again"));
    EXPECT_EQ(pty.read(5), "again");
}

TEST(SerialPort, CancelFlagEndsAStalledWrite)
{
    Pty pty;
    ASSERT_TRUE(pty.ok());
    std::atomic<bool> cancel { false };
    PortLimits limits;
    limits.stallMs = 60000;
    limits.cancel = &cancel;
    SerialPort port(params(pty.slave()), limits);
    ASSERT_TRUE(port.OpenPort());
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        cancel = true;
    });
    const PortStatus s = port.SendPiece(QByteArray(4 * 1024 * 1024, 'x'));
    canceller.join();
    EXPECT_EQ(s.code, PortError::Cancelled);
    EXPECT_EQ(port.SendPiece("more").code, PortError::Cancelled);
}
