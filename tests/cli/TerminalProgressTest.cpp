// korvel-cli print shows its progress on standard error only when that is a terminal.

#include "cli/CliSupport.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace korvel::test;

TEST(CliProgress, OnATerminalOnly)
{
    QTemporaryDir dir;
    const QString label = dataDir() + QStringLiteral("/Samples/Starter.kvl");
    const QString out = dir.filePath(QStringLiteral("out.prn"));
    const CliRun piped = RunCli({ QStringLiteral("print"), label, QStringLiteral("--count"), QStringLiteral("50"),
        QStringLiteral("-o"), out });
    ASSERT_EQ(piped.exitCode, 0) << piped.err.toStdString();
    EXPECT_FALSE(piped.err.contains("labels/s")) << "scripts get clean output";

    // `script` runs the command on a pseudo-terminal and copies what it writes.
    const QString script = QStandardPaths::findExecutable(QStringLiteral("script"));
    if (script.isEmpty())
        GTEST_SKIP() << "no script(1) to provide a terminal";
    QProcess p;
    const QString command = QStringLiteral("'%1' print '%2' --count 50 -o '%3'")
                                .arg(QStringLiteral(KORVEL_CLI_PATH), label, out);
    p.start(script, { QStringLiteral("-qec"), command, QStringLiteral("/dev/null") });
    ASSERT_TRUE(p.waitForFinished(120000));
    const QByteArray seen = p.readAllStandardOutput();
    EXPECT_EQ(p.exitCode(), 0) << seen.toStdString();
    EXPECT_TRUE(seen.contains(" labels")) << seen.toStdString();
    EXPECT_TRUE(seen.contains("labels/s")) << seen.toStdString();
}
