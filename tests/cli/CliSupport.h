#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>

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

} // namespace korvel::test
