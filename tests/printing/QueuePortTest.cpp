#include "printing/ports/QueuePort.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>

#include <sys/stat.h>

using namespace korvel;

namespace {

/// The printer behind the test queue: a raw socket on 127.0.0.1 that keeps each job's bytes.
/// (A queue whose device is a file: URI never writes a raw job, since the scheduler runs no
/// filter for it; the socket device passes raw documents through as they are.)
class SocketPrinter {
public:
    SocketPrinter()
    {
        std::promise<quint16> listening;
        auto port = listening.get_future();
        thread_ = std::thread([this, p = std::move(listening)]() mutable {
            QTcpServer server;
            p.set_value(server.listen(QHostAddress::LocalHost, 0) ? server.serverPort() : 0);
            while (!stop_) {
                if (!server.waitForNewConnection(100))
                    continue;
                std::unique_ptr<QTcpSocket> s(server.nextPendingConnection());
                QByteArray job;
                while (!stop_ && s->state() == QAbstractSocket::ConnectedState) {
                    if (s->waitForReadyRead(100))
                        job += s->readAll();
                }
                job += s->readAll();
                std::lock_guard lock(mutex_);
                jobs_.append(job);
                changed_.notify_all();
            }
        });
        port_ = port.get();
    }
    ~SocketPrinter()
    {
        stop_ = true;
        thread_.join();
    }
    quint16 port() const { return port_; }
    /// Waits up to 20 s for job number n (0-based) to have arrived completely.
    std::optional<QByteArray> job(int n)
    {
        std::unique_lock lock(mutex_);
        if (!changed_.wait_for(lock, std::chrono::seconds(20), [&] { return jobs_.size() > n; }))
            return std::nullopt;
        return jobs_[n];
    }
    int count()
    {
        std::lock_guard lock(mutex_);
        return int(jobs_.size());
    }

private:
    std::thread thread_;
    std::atomic<bool> stop_ { false };
    quint16 port_ = 0;
    std::mutex mutex_;
    std::condition_variable changed_;
    QList<QByteArray> jobs_;
};

/// A private print scheduler with its own configuration, listening on a socket in a
/// temporary directory, with one raw queue "VTX-Test" that forwards to the SocketPrinter.
class LocalPrintServer {
public:
    LocalPrintServer()
    {
        const QString cupsd = QStandardPaths::findExecutable(
            QStringLiteral("cupsd"), { QStringLiteral("/usr/sbin"), QStringLiteral("/usr/local/sbin") });
        const QString lpadmin = QStandardPaths::findExecutable(
            QStringLiteral("lpadmin"), { QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin") });
        if (cupsd.isEmpty() || lpadmin.isEmpty()) {
            why_ = QStringLiteral("cupsd or lpadmin is not installed");
            return;
        }
        if (!dir_.isValid() || printer_.port() == 0) {
            why_ = QStringLiteral("no temporary directory or loopback socket");
            return;
        }
        // The scheduler's helpers run as another user and must reach the spool below.
        ::chmod(dir_.path().toLocal8Bit().constData(), 0755);
        const QString root = dir_.path();
        for (const char* sub : { "spool", "cache", "state", "log", "ppd" })
            QDir(root).mkpath(QString::fromLatin1(sub));
        socket_ = root + QStringLiteral("/cups.sock");
        writeText(root + QStringLiteral("/cupsd.conf"),
            QStringLiteral("Listen %1\nLogLevel warn\nWebInterface No\nBrowsing No\nDefaultAuthType None\n"
                           "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                           "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n")
                .arg(socket_));
        writeText(root + QStringLiteral("/cups-files.conf"),
            QStringLiteral("ServerRoot %1\nRequestRoot %1/spool\nCacheDir %1/cache\nStateDir %1/state\n"
                           "TempDir %1/spool\nErrorLog %1/log/error_log\nAccessLog %1/log/access_log\n"
                           "PageLog %1/log/page_log\nPrintcap %1/printcap\nServerBin /usr/lib/cups\n"
                           "DataDir /usr/share/cups\nFileDevice Yes\n")
                .arg(root));
        daemon_.setProgram(cupsd);
        daemon_.setArguments({ QStringLiteral("-f"), QStringLiteral("-c"), root + QStringLiteral("/cupsd.conf"),
            QStringLiteral("-s"), root + QStringLiteral("/cups-files.conf") });
        daemon_.setProcessChannelMode(QProcess::MergedChannels);
        daemon_.start();
        if (!daemon_.waitForStarted(5000)) {
            why_ = QStringLiteral("cupsd did not start: %1").arg(daemon_.errorString());
            return;
        }
        for (int i = 0; i < 100 && !QFileInfo::exists(socket_); ++i) {
            if (daemon_.waitForFinished(100))
                break;
        }
        if (!QFileInfo::exists(socket_)) {
            why_ = QStringLiteral("cupsd did not listen: %1").arg(QString::fromLocal8Bit(daemon_.readAll()));
            return;
        }
        QProcess admin;
        admin.start(lpadmin,
            { QStringLiteral("-h"), socket_, QStringLiteral("-p"), QStringLiteral("VTX-Test"), QStringLiteral("-E"),
                QStringLiteral("-v"), QStringLiteral("socket://127.0.0.1:%1").arg(printer_.port()),
                QStringLiteral("-m"), QStringLiteral("raw") });
        if (!admin.waitForFinished(15000) || admin.exitCode() != 0) {
            why_ = QStringLiteral("lpadmin failed: %1").arg(QString::fromLocal8Bit(admin.readAllStandardError()));
            return;
        }
        ok_ = true;
    }
    ~LocalPrintServer() { stop(); }

    void stop()
    {
        if (daemon_.state() != QProcess::NotRunning) {
            daemon_.terminate();
            if (!daemon_.waitForFinished(5000)) {
                daemon_.kill();
                daemon_.waitForFinished(2000);
            }
        }
    }
    bool ok() const { return ok_; }
    QString why() const { return why_; }
    QString socket() const { return socket_; }
    SocketPrinter& printer() { return printer_; }

private:
    static void writeText(const QString& path, const QString& text)
    {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(text.toUtf8());
    }

    QTemporaryDir dir_;
    SocketPrinter printer_;
    QProcess daemon_;
    QString socket_;
    QString why_;
    bool ok_ = false;
};

class QueuePortTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server_ = new LocalPrintServer; }
    static void TearDownTestSuite()
    {
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override
    {
        if (!server_->ok())
            GTEST_SKIP() << "no local print scheduler: " << server_->why().toStdString();
    }
    static QueueOptions queue(const QString& name = QStringLiteral("VTX-Test"))
    {
        QueueOptions o;
        o.name = name;
        o.server = server_->socket();
        return o;
    }
    static LocalPrintServer* server_;
};

LocalPrintServer* QueuePortTest::server_ = nullptr;

QByteArray everyByteValue()
{
    QByteArray b;
    for (int i = 0; i < 256; ++i)
        b.append(char(i));
    return b;
}

} // namespace

TEST_F(QueuePortTest, RawDocumentReachesThePrinterUnchanged)
{
    const int before = server_->printer().count();
    QueuePort port(queue());
    ASSERT_TRUE(port.OpenPort()) << port.OpenPort().text().toStdString();
    ASSERT_TRUE(port.StartDocument(QString::fromLatin1(kQueueDocumentName)));
    EXPECT_GT(port.jobId(), 0);
    const QList<QByteArray> pieces = { everyByteValue(), QByteArray(), QByteArray("\x02m\r\n", 4),
        QByteArray(100 * 1024, '\xA5'), everyByteValue() };
    QByteArray expected;
    for (const QByteArray& p : pieces) {
        ASSERT_TRUE(port.SendPiece(p));
        expected += p;
    }
    ASSERT_TRUE(port.EndDocument());
    port.ClosePort();
    const auto job = server_->printer().job(before);
    ASSERT_TRUE(job.has_value()) << "the job never reached the printer";
    EXPECT_EQ(job->size(), expected.size());
    EXPECT_TRUE(*job == expected);
}

TEST_F(QueuePortTest, PiecesWithoutADocumentStartOne)
{
    const int before = server_->printer().count();
    QueuePort port(queue());
    ASSERT_TRUE(port.OpenPort());
    ASSERT_TRUE(port.SendPiece("\x02qA"));
    ASSERT_TRUE(port.EndDocument());
    port.ClosePort();
    const auto job = server_->printer().job(before);
    ASSERT_TRUE(job.has_value());
    EXPECT_EQ(*job, "\x02qA");
}

TEST_F(QueuePortTest, MissingQueueOrServerIsReported)
{
    QueuePort missing(queue(QStringLiteral("No-Such-Queue")));
    const PortStatus s = missing.OpenPort();
    EXPECT_EQ(s.code, PortError::OpenFailed);
    EXPECT_TRUE(s.detail.contains(QStringLiteral("No-Such-Queue"))) << s.detail.toStdString();
    EXPECT_EQ(missing.SendPiece("x").code, PortError::NotOpen);

    QueueOptions nowhere = queue();
    nowhere.server = server_->socket() + QStringLiteral(".absent");
    EXPECT_EQ(QueuePort(nowhere).OpenPort().code, PortError::OpenFailed);
}

// Runs last: it stops the scheduler.
TEST_F(QueuePortTest, WriteToAStoppedServerIsReportedNotCountedAsSent)
{
    PortLimits limits;
    limits.stallMs = 2000;
    QueuePort port(queue(), limits);
    ASSERT_TRUE(port.OpenPort());
    ASSERT_TRUE(port.StartDocument(QStringLiteral("doomed")));
    ASSERT_TRUE(port.SendPiece("start"));
    server_->stop();
    PortStatus s;
    for (int i = 0; i < 50 && s.ok(); ++i)
        s = port.SendPiece(QByteArray(64 * 1024, 'x'));
    if (s.ok())
        s = port.EndDocument();
    EXPECT_FALSE(s.ok());
    EXPECT_TRUE(s.code == PortError::WriteFailed || s.code == PortError::QueueFailed || s.code == PortError::Timeout)
        << s.text().toStdString();
    port.ClosePort();
}
