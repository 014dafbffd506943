#include "printing/ports/TcpPort.h"

#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTcpSocket>

#include <future>
#include <thread>

using namespace korvel;

namespace {

/// A network printer on 127.0.0.1 that reads everything until the sender closes.
class ReceivingPrinter {
public:
    ReceivingPrinter()
    {
        std::promise<quint16> listening;
        auto port = listening.get_future();
        thread_ = std::thread([this, p = std::move(listening)]() mutable {
            QTcpServer server;
            if (!server.listen(QHostAddress::LocalHost, 0)) {
                p.set_value(0);
                return;
            }
            p.set_value(server.serverPort());
            if (!server.waitForNewConnection(10000))
                return;
            std::unique_ptr<QTcpSocket> s(server.nextPendingConnection());
            while (s->state() == QAbstractSocket::ConnectedState) {
                if (s->waitForReadyRead(10000))
                    received_ += s->readAll();
                else if (s->state() == QAbstractSocket::ConnectedState)
                    break; // nothing for ten seconds: give up
            }
            received_ += s->readAll();
        });
        port_ = port.get();
    }
    ~ReceivingPrinter()
    {
        if (thread_.joinable())
            thread_.join();
    }
    quint16 port() const { return port_; }
    /// Everything received, once the sender has closed.
    QByteArray received()
    {
        thread_.join();
        return received_;
    }

private:
    std::thread thread_;
    quint16 port_ = 0;
    QByteArray received_;
};

quint16 closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

} // namespace

TEST(TcpPort, StreamArrivesUnchanged)
{
    ReceivingPrinter printer;
    ASSERT_NE(printer.port(), 0);
    TcpPort port(QStringLiteral("127.0.0.1"), printer.port());
    ASSERT_TRUE(port.OpenPort());
    QByteArray expected;
    QByteArray every;
    for (int i = 0; i < 256; ++i)
        every.append(char(i));
    const QList<QByteArray> pieces = { every, QByteArray(), QByteArray(300 * 1024, '\x0D'), every };
    for (const QByteArray& p : pieces) {
        ASSERT_TRUE(port.SendPiece(p));
        expected += p;
    }
    ASSERT_TRUE(port.ClosePort());
    EXPECT_EQ(printer.received(), expected);
}

TEST(TcpPort, RefusedConnectionIsReported)
{
    TcpPort port(QStringLiteral("127.0.0.1"), closedPort());
    const PortStatus s = port.OpenPort();
    EXPECT_EQ(s.code, PortError::OpenFailed);
    EXPECT_TRUE(s.detail.startsWith(QStringLiteral("127.0.0.1:"))) << s.detail.toStdString();
    EXPECT_EQ(port.SendPiece("x").code, PortError::NotOpen);
}

TEST(TcpPort, DescriptionKeepsTheHostAsGiven)
{
    EXPECT_EQ(TcpPort(QStringLiteral("printer.local")).describe(), QStringLiteral("tcp printer.local:9100"));
    // A link-local address names its interface after a '%', which must not be taken for a
    // placeholder of the message.
    EXPECT_EQ(TcpPort(QStringLiteral("fe80::1%2"), 9101).describe(), QStringLiteral("tcp [fe80::1%2]:9101"));
}

TEST(TcpPort, PrinterThatStopsReadingEndsTheWriteWithATimeout)
{
    // The listening socket completes the connection but nobody ever reads it.
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    PortLimits limits;
    limits.stallMs = 200;
    TcpPort port(QStringLiteral("127.0.0.1"), server.serverPort(), limits);
    ASSERT_TRUE(port.OpenPort());
    const PortStatus s = port.SendPiece(QByteArray(64 * 1024 * 1024, 'x'));
    EXPECT_EQ(s.code, PortError::Timeout);
    EXPECT_TRUE(s.detail.contains(QStringLiteral("no byte accepted"))) << s.detail.toStdString();
    EXPECT_FALSE(port.isOpen()) << "a failed connection is not used again";
}

TEST(TcpPort, PrinterThatHangsUpFailsTheWrite)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    PortLimits limits;
    limits.stallMs = 2000;
    TcpPort port(QStringLiteral("127.0.0.1"), server.serverPort(), limits);
    ASSERT_TRUE(port.OpenPort());
    ASSERT_TRUE(server.waitForNewConnection(5000));
    server.nextPendingConnection()->abort();
    PortStatus s;
    for (int i = 0; i < 20 && s.ok(); ++i)
        s = port.SendPiece(QByteArray(256 * 1024, 'x'));
    EXPECT_EQ(s.code, PortError::WriteFailed) << s.text().toStdString();
}

TEST(TcpPort, CancelFlagEndsAStalledWrite)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    std::atomic<bool> cancel { false };
    PortLimits limits;
    limits.stallMs = 60000;
    limits.cancel = &cancel;
    TcpPort port(QStringLiteral("127.0.0.1"), server.serverPort(), limits);
    ASSERT_TRUE(port.OpenPort());
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        cancel = true;
    });
    const PortStatus s = port.SendPiece(QByteArray(64 * 1024 * 1024, 'x'));
    canceller.join();
    EXPECT_EQ(s.code, PortError::Cancelled);
}
