#pragma once

#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include <initializer_list>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace korvel::test {

/// A loopback port nobody listens on at the moment of asking.
inline int freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return 0;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 && ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    ::close(fd);
    return port;
}

/// A throw-away PostgreSQL server on a temporary data directory and a free loopback port,
/// started once for the suite. As root the server runs as the "postgres" account, which the
/// server insists on.
class TestServer {
public:
    TestServer() = default;
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;
    ~TestServer() { stop(); }

    bool start(QString* why)
    {
        QString bin;
        for (const char* v : {"15", "16", "17", "14", "13"}) {
            const QString candidate = QStringLiteral("/usr/lib/postgresql/%1/bin").arg(QString::fromLatin1(v));
            if (QFileInfo::exists(candidate + QStringLiteral("/initdb")) && QFileInfo::exists(candidate + QStringLiteral("/pg_ctl"))) {
                bin = candidate;
                break;
            }
        }
        if (bin.isEmpty())
            return fail(why, QStringLiteral("the PostgreSQL server programs (initdb, pg_ctl) are not installed"));
        if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
            return fail(why, QStringLiteral("the PostgreSQL driver of Qt (package libqt6sql6-psql) is not installed"));
        if (!dir_.isValid())
            return fail(why, QStringLiteral("no temporary folder"));
        if (::geteuid() == 0) {
            const passwd* pw = ::getpwnam("postgres");
            if (!pw)
                return fail(why, QStringLiteral("running as root and there is no \"postgres\" account to run the server as"));
            runAs_ = QStringLiteral("postgres");
            if (::chown(QFile::encodeName(dir_.path()).constData(), pw->pw_uid, pw->pw_gid) != 0)
                return fail(why, QStringLiteral("cannot hand the temporary folder to the postgres account"));
        }
        bin_ = bin;
        data_ = dir_.filePath(QStringLiteral("data"));
        port_ = freePort();
        if (!run(QStringLiteral("initdb"), {QStringLiteral("-D"), data_, QStringLiteral("-U"), QStringLiteral("korvel"),
                                            QStringLiteral("--auth=trust"), QStringLiteral("-E"), QStringLiteral("UTF8"),
                                            QStringLiteral("--no-locale"), QStringLiteral("--no-sync")},
                 why))
            return false;
        const QString options = QStringLiteral("-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=off").arg(port_).arg(dir_.path());
        if (!run(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), data_, QStringLiteral("-l"), dir_.filePath(QStringLiteral("server.log")),
                                            QStringLiteral("-w"), QStringLiteral("-o"), options, QStringLiteral("start")},
                 why))
            return false;
        started_ = true;
        return true;
    }

    void stop()
    {
        if (!started_)
            return;
        QString ignored;
        run(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), data_, QStringLiteral("-m"), QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop")},
            &ignored);
        started_ = false;
    }

    /// Starts the server and runs `statements` in order on its "postgres" database; on any
    /// failure the server is stopped again and `why` says what went wrong.
    bool startFilled(std::initializer_list<const char*> statements, QString* why)
    {
        if (!start(why))
            return false;
        if (execute(statements, why))
            return true;
        stop();
        return false;
    }

    /// Runs `statements` in order; stops at the first that fails, with the reason in `why`.
    bool execute(std::initializer_list<const char*> statements, QString* why) const
    {
        bool ok = true;
        {
            QSqlDatabase db = connection();
            if (!db.open()) {
                ok = fail(why, QStringLiteral("cannot reach the test server: ") + db.lastError().text());
            } else {
                QSqlQuery q(db);
                for (const char* s : statements) {
                    if (!q.exec(QString::fromUtf8(s))) {
                        ok = fail(why, QStringLiteral("cannot fill the test server: ") + q.lastError().text());
                        break;
                    }
                }
            }
        }
        QSqlDatabase::removeDatabase(connectionName());
        return ok;
    }

    /// The first value of a query's first row; invalid when the query fails or returns nothing.
    QVariant scalar(const QString& query) const
    {
        QVariant value;
        {
            QSqlDatabase db = connection();
            QSqlQuery q(db);
            if (db.open() && q.exec(query) && q.next())
                value = q.value(0);
        }
        QSqlDatabase::removeDatabase(connectionName());
        return value;
    }

    int port() const { return port_; }
    QString uri(const QString& database = QStringLiteral("postgres")) const
    {
        return QStringLiteral("postgresql://korvel@127.0.0.1:%1/%2").arg(port_).arg(database);
    }

private:
    static QString connectionName() { return QStringLiteral("korvel-test-pg"); }

    QSqlDatabase connection() const
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName());
        db.setHostName(QStringLiteral("127.0.0.1"));
        db.setPort(port_);
        db.setUserName(QStringLiteral("korvel"));
        db.setDatabaseName(QStringLiteral("postgres"));
        return db;
    }

    static bool fail(QString* why, const QString& message)
    {
        *why = message;
        return false;
    }

    bool run(const QString& program, const QStringList& arguments, QString* why)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        const QString path = bin_ + QLatin1Char('/') + program;
        if (runAs_.isEmpty())
            p.start(path, arguments);
        else
            p.start(QStringLiteral("runuser"), QStringList{QStringLiteral("-u"), runAs_, QStringLiteral("--"), path} + arguments);
        if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            return fail(why, QStringLiteral("%1 failed: %2").arg(program, QString::fromLocal8Bit(p.readAll())));
        return true;
    }

    QTemporaryDir dir_;
    QString bin_;
    QString data_;
    QString runAs_;
    int port_ = 0;
    bool started_ = false;
};

} // namespace korvel::test
