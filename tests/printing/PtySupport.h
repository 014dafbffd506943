#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

namespace korvel::test {

/// A pseudo-terminal pair: the port opens the slave path, the test plays the printer on the
/// master side.
class Pty {
public:
    Pty()
    {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
            return;
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
        slave_ = QString::fromLocal8Bit(::ptsname(master_));
        // Keep one slave descriptor open so that the master never sees a hang-up between opens.
        keep_ = ::open(::ptsname(master_), O_RDWR | O_NOCTTY | O_NONBLOCK);
    }
    ~Pty()
    {
        if (keep_ >= 0)
            ::close(keep_);
        if (master_ >= 0)
            ::close(master_);
    }
    bool ok() const { return master_ >= 0 && !slave_.isEmpty(); }
    QString slave() const { return slave_; }
    int slaveFd() const { return keep_; }

    /// Reads until n bytes arrived or nothing came for two seconds.
    QByteArray read(qsizetype n)
    {
        QByteArray out;
        char buf[4096];
        while (out.size() < n) {
            pollfd p { master_, POLLIN, 0 };
            if (::poll(&p, 1, 2000) <= 0)
                break;
            const ssize_t got = ::read(master_, buf, sizeof buf);
            if (got <= 0)
                break;
            out.append(buf, got);
        }
        return out;
    }
    /// Reads everything that arrives until `done` is raised and nothing more comes.
    QByteArray drain(const std::atomic<bool>& done)
    {
        QByteArray out;
        char buf[4096];
        for (;;) {
            pollfd p { master_, POLLIN, 0 };
            if (::poll(&p, 1, 50) > 0) {
                const ssize_t got = ::read(master_, buf, sizeof buf);
                if (got > 0) {
                    out.append(buf, got);
                    continue;
                }
            }
            if (done.load())
                break;
        }
        return out;
    }
    void write(char c) { (void)!::write(master_, &c, 1); }

private:
    int master_ = -1;
    int keep_ = -1;
    QString slave_;
};

} // namespace korvel::test
