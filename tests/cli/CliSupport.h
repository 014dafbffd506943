#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QStringList>

#include <chrono>
#include <thread>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace korvel::test {

struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

/// Runs korvel-cli with arguments (and optional standard input), waiting at most two minutes.
inline CliRun RunCli(const QStringList& arguments, const QByteArray& input = {})
{
    QProcess p;
    p.start(QStringLiteral(KORVEL_CLI_PATH), arguments);
    p.waitForStarted();
    if (!input.isEmpty())
        p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

/// How a bounded run ended.
struct BoundedRun {
    bool finished = false; ///< ended on its own within the time limit
    int exitCode = -1; ///< when it exited
    int signal = 0; ///< when a signal ended it
    long peakKilobytes = 0; ///< its largest resident size
    QByteArray err;
};

/// Runs korvel-cli in a child process with an address-space limit (setrlimit) and a time
/// limit; a run over its time is killed. Standard input comes from `stdinPath` (or /dev/null),
/// the arguments are given as bytes so names need not be UTF-8.
inline BoundedRun RunCliBounded(const QList<QByteArray>& arguments, rlim_t memoryBytes, int seconds,
    const QByteArray& stdinPath = "/dev/null")
{
    char errName[] = "/tmp/korvel-cli-errXXXXXX";
    const int errFd = ::mkstemp(errName);
    std::vector<QByteArray> owned { QByteArray(KORVEL_CLI_PATH) };
    for (const QByteArray& a : arguments)
        owned.push_back(a);
    std::vector<char*> argv;
    for (QByteArray& a : owned)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const rlimit limit { memoryBytes, memoryBytes };
        ::setrlimit(RLIMIT_AS, &limit);
        const int in = ::open(stdinPath.constData(), O_RDONLY);
        ::dup2(in, 0);
        ::dup2(errFd, 2);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    BoundedRun run;
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    rusage usage {};
    for (;;) {
        if (::wait4(pid, &status, WNOHANG, &usage) == pid) {
            run.finished = true;
            break;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::wait4(pid, &status, 0, &usage);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    run.peakKilobytes = usage.ru_maxrss;
    if (WIFEXITED(status))
        run.exitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        run.signal = WTERMSIG(status);
    QFile err;
    if (err.open(errFd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        err.seek(0);
        run.err = err.readAll();
    }
    ::unlink(errName);
    return run;
}

} // namespace korvel::test
