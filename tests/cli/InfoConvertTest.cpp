#include "cli/CliSupport.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace korvel::test;

namespace {
QString sample(const char* name)
{
    return QDir(dataDir()).filePath(QStringLiteral("Samples/") + QString::fromLatin1(name));
}
} // namespace

TEST(CliInfo, PrintsTheDocumentAsJson)
{
    const CliRun r = RunCli({"info", sample("Starter.kvl")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonObject info = QJsonDocument::fromJson(r.out).object();
    EXPECT_EQ(info["version"].toInt(), 100);
    EXPECT_EQ(info["model"].toInt(), 1);
    EXPECT_EQ(info["page"].toObject()["LabelWidth"].toInt(), 600);
    EXPECT_EQ(info["printer"].toObject()["BaudRate"].toInt(), 38400);
    EXPECT_TRUE(info["objects"].isArray());
    for (const char* table : {"database", "dates", "times", "counters", "formulas"})
        EXPECT_TRUE(info[table].isArray()) << table;
    EXPECT_EQ(info["damaged"].toBool(true), false);
}

TEST(CliInfo, ExitCodes)
{
    EXPECT_EQ(RunCli({}).exitCode, 2);
    EXPECT_EQ(RunCli({"frobnicate"}).exitCode, 2);
    EXPECT_EQ(RunCli({"info"}).exitCode, 2);
    const CliRun missing = RunCli({"info", "/no/such/label.kvl"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err.count('\n'), 1);
    QTemporaryDir dir;
    const QString junk = dir.filePath("junk.kvl");
    writeFile(junk, QByteArray(300, 'z'));
    EXPECT_EQ(RunCli({"info", junk}).exitCode, 1);
}

TEST(CliInfo, DamagedFileOpensWithAWarning)
{
    QTemporaryDir dir;
    const QString cut = dir.filePath("cut.kvl");
    QByteArray bytes = readFile(sample("Starter.kvl"));
    writeFile(cut, bytes.left(bytes.size() - 3));
    const CliRun r = RunCli({"info", cut});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains("damaged"));
    EXPECT_TRUE(QJsonDocument::fromJson(r.out).object()["damaged"].isString());
}

TEST(CliConvert, WritesTheCurrentVersion)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("out.kvl");
    const CliRun r = RunCli({"convert", sample("Starter.kvl"), out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(readFile(out), readFile(sample("Starter.kvl")));
    EXPECT_EQ(RunCli({"convert", sample("Starter.kvl"), dir.path()}).exitCode, 1);
}
