#pragma once

#include <QString>

#include <csignal>

namespace korvel {

/// Keeps a write to a pipe or socket whose reader went away from killing the process:
/// SIGPIPE is blocked for the scope and a signal raised meanwhile is consumed, so the write
/// just fails with EPIPE.
class SigpipeGuard {
public:
    SigpipeGuard();
    ~SigpipeGuard();
    SigpipeGuard(const SigpipeGuard&) = delete;
    SigpipeGuard& operator=(const SigpipeGuard&) = delete;

private:
    sigset_t old_;
    bool pendingBefore_ = false;
};

/// Waits up to waitMs for a non-blocking descriptor to take bytes and writes what it takes.
/// Returns the count written (0 when the wait ran out) or -1 with the system error in *error.
qint64 WriteSomeToFd(int fd, const char* data, qint64 size, int waitMs, QString* error);

} // namespace korvel
