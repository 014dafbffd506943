#include "printing/ports/PosixWrite.h"

#include <cerrno>
#include <cstring>

#include <poll.h>
#include <pthread.h>
#include <unistd.h>

namespace korvel {

SigpipeGuard::SigpipeGuard()
{
    sigset_t pending;
    sigemptyset(&pending);
    sigpending(&pending);
    pendingBefore_ = sigismember(&pending, SIGPIPE) == 1;
    sigset_t block;
    sigemptyset(&block);
    sigaddset(&block, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &block, &old_);
}

SigpipeGuard::~SigpipeGuard()
{
    if (!pendingBefore_) {
        sigset_t pipeOnly;
        sigemptyset(&pipeOnly);
        sigaddset(&pipeOnly, SIGPIPE);
        const timespec zero { 0, 0 };
        while (sigtimedwait(&pipeOnly, nullptr, &zero) == SIGPIPE) { }
    }
    pthread_sigmask(SIG_SETMASK, &old_, nullptr);
}

qint64 WriteSomeToFd(int fd, const char* data, qint64 size, int waitMs, QString* error)
{
    if (size <= 0)
        return 0;
    pollfd p { fd, POLLOUT, 0 };
    const int ready = ::poll(&p, 1, waitMs);
    if (ready < 0) {
        if (errno == EINTR)
            return 0;
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return -1;
    }
    if (ready == 0)
        return 0;
    SigpipeGuard guard;
    const ssize_t n = ::write(fd, data, size_t(size));
    if (n >= 0)
        return n;
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
        return 0;
    if (error)
        *error = QString::fromLocal8Bit(std::strerror(errno));
    return -1;
}

} // namespace korvel
