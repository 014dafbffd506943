#include "cli/CliSupport.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace korvel::test;

TEST(CliCommandLine, EveryCommandExplainsItsOptions)
{
    const struct {
        const char* command;
        QStringList options;
    } commands[] = {
        { "info", {} },
        { "convert", {} },
        { "print", { "--output", "--port", "--count", "--copies", "--start", "--quantity-field", "--data",
                       "--data-encoding", "--accept-damaged" } },
        { "render", { "--output", "--record", "--data", "--design", "--zoom", "--size", "--accept-damaged" } },
    };
    for (const auto& c : commands) {
        for (const char* help : { "--help", "-h" }) {
            const CliRun r = RunCli({ c.command, help });
            EXPECT_EQ(r.exitCode, 0) << c.command;
            EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
            EXPECT_TRUE(r.out.startsWith("usage: korvel-cli " + QByteArray(c.command))) << r.out.toStdString();
            for (const QString& option : c.options)
                EXPECT_TRUE(r.out.contains(option.toUtf8())) << c.command << " " << option.toStdString();
        }
    }
    const CliRun all = RunCli({ "--help" });
    EXPECT_EQ(all.exitCode, 0);
    for (const char* command : { "info", "convert", "print", "render" })
        EXPECT_TRUE(all.out.contains(QByteArray("korvel-cli ") + command)) << all.out.toStdString();
}

TEST(CliCommandLine, VersionComesFromTheProject)
{
    const CliRun r = RunCli({ "--version" });
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^korvel-cli \\d+\\.\\d+(\\.\\d+)?\\n$"))
                    .match(QString::fromUtf8(r.out))
                    .hasMatch())
        << r.out.toStdString();
    EXPECT_EQ(RunCli({ "--version", "extra" }).exitCode, 2);
}

// Options in every spelling QCommandLineParser knows, and the old messages of the hand-written
// parsers where the arguments were wrong.
TEST(CliCommandLine, SpellingsAndMessages)
{
    const CliRun inlineValue = RunCli({ "render", "/no/such.kvl", "--output=/tmp/x.png" });
    EXPECT_EQ(inlineValue.exitCode, 1) << inlineValue.err.toStdString(); // parsed, then the label is missing
    const CliRun unknown = RunCli({ "print", "a.kvl", "--frobnicate" });
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.startsWith("korvel-cli: unknown option '--frobnicate'\n")) << unknown.err.toStdString();
    const CliRun missing = RunCli({ "print", "a.kvl", "--count" });
    EXPECT_TRUE(missing.err.startsWith("korvel-cli: --count needs a value\n")) << missing.err.toStdString();
    const CliRun range = RunCli({ "print", "a.kvl", "--copies", "0" });
    EXPECT_TRUE(range.err.startsWith("korvel-cli: --copies takes a whole number from 1 to 99999, not '0'\n"))
        << range.err.toStdString();
    const CliRun flagValue = RunCli({ "render", "a.kvl", "-o", "x.png", "--design=yes" });
    EXPECT_EQ(flagValue.exitCode, 2);
    const CliRun sizeAlone = RunCli({ "render", "a.kvl", "-o", "x.png", "--size", "128" });
    EXPECT_EQ(sizeAlone.exitCode, 2);
    EXPECT_TRUE(sizeAlone.err.contains("--size goes with --design")) << sizeAlone.err.toStdString();
}
