// `print --lean`, the settings file's Lean switch, `render --stream` and the refusal of pages the
// printer cannot be told.

#include "cli/CliSupport.h"
#include "cli/TestLabel.h"

#include "document/LabelDocument.h"
#include "document/OARectangle.h"
#include "persistence/LabelFile.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace korvel;
using namespace korvel::test;

namespace {

QString Sample(const char* name)
{
    return QDir(dataDir()).filePath(QStringLiteral("Samples/") + QString::fromLatin1(name));
}

CliRun Print(const QString& label, const QString& out, const QStringList& extra = {})
{
    QStringList args { QStringLiteral("print"), label, QStringLiteral("-o"), out };
    args << extra;
    return RunCli(args);
}

CliRun RenderStream(const QString& in, const QString& out)
{
    return RunCli({ QStringLiteral("render"), QStringLiteral("--stream"), in, QStringLiteral("-o"), out });
}

/// A label of `heightTenths` with one box.
void WriteLongLabel(const QString& path, int heightTenths)
{
    LabelDocument doc;
    doc.printerModel = 1;
    doc.setPage(GridPage(500, heightTenths, 1, 1));
    doc.setZoom(100);
    AppendBox(doc, 20, 10);
    ASSERT_EQ(WriteLabelFile(path, doc).status, LabelFileResult::Status::Ok);
}

} // namespace

TEST(CliStream, LeanPrintRendersLabelByLabelLikeTheDefault)
{
    ScopedHome home;
    QTemporaryDir dir;
    const QString standard = dir.filePath(QStringLiteral("default.prn"));
    const QString lean = dir.filePath(QStringLiteral("lean.prn"));
    const QStringList run { QStringLiteral("--count"), QStringLiteral("3") };
    ASSERT_EQ(Print(Sample("Asset-Tag.kvl"), standard, run).exitCode, 0);
    const CliRun leanRun = Print(Sample("Asset-Tag.kvl"), lean, run + QStringList { QStringLiteral("--lean") });
    ASSERT_EQ(leanRun.exitCode, 0) << leanRun.err.toStdString();
    EXPECT_LT(QFileInfo(lean).size(), QFileInfo(standard).size());

    for (const QString& stream : { standard, lean }) {
        const QString out = dir.filePath(QFileInfo(stream).completeBaseName() + QStringLiteral(".png"));
        const CliRun r = RenderStream(stream, out);
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(out)) << "three labels are numbered";
        EXPECT_FALSE(QFile::exists(dir.filePath(QFileInfo(stream).completeBaseName() + QStringLiteral("-0004.png"))));
    }
    for (int i = 1; i <= 3; ++i) {
        const QString n = QStringLiteral("-%1.png").arg(i, 4, 10, QLatin1Char('0'));
        const QImage a(dir.filePath(QStringLiteral("default") + n));
        const QImage b(dir.filePath(QStringLiteral("lean") + n));
        ASSERT_FALSE(a.isNull()) << i;
        EXPECT_TRUE(a.convertToFormat(QImage::Format_Mono) == b.convertToFormat(QImage::Format_Mono)) << i;
    }
}

TEST(CliStream, SettingsFileTurnsLeanOnForEveryRun)
{
    ScopedHome home;
    QTemporaryDir dir;
    const QString standard = dir.filePath(QStringLiteral("default.prn"));
    const QString lean = dir.filePath(QStringLiteral("lean.prn"));
    const QString viaSettings = dir.filePath(QStringLiteral("settings.prn"));
    const QStringList run { QStringLiteral("--count"), QStringLiteral("2") };
    ASSERT_EQ(Print(Sample("Asset-Tag.kvl"), standard, run).exitCode, 0);
    ASSERT_EQ(Print(Sample("Asset-Tag.kvl"), lean, run + QStringList { QStringLiteral("--lean") }).exitCode, 0);
    ASSERT_TRUE(writeFile(QDir(home.path()).filePath(QStringLiteral("registry.ini")), "[Ports]\nLean=1\n"));
    ASSERT_EQ(Print(Sample("Asset-Tag.kvl"), viaSettings, run).exitCode, 0);
    EXPECT_EQ(readFile(viaSettings), readFile(lean));
    EXPECT_NE(readFile(viaSettings), readFile(standard));

    // A graphics memory too small for the pictures (Every-Kind places a picture, a filled box,
    // an ellipse and a free line): the default stream, with a note.
    ASSERT_TRUE(writeFile(
        QDir(home.path()).filePath(QStringLiteral("registry.ini")), "[Ports]\nLean=1\nLeanGraphicsMemory=16\n"));
    const CliRun small = Print(Sample("Every-Kind.kvl"), viaSettings, run);
    ASSERT_EQ(small.exitCode, 0);
    EXPECT_TRUE(small.err.contains("note: ")) << small.err.toStdString();
    ASSERT_TRUE(writeFile(QDir(home.path()).filePath(QStringLiteral("registry.ini")), "[Ports]\nLean=0\n"));
    ASSERT_EQ(Print(Sample("Every-Kind.kvl"), standard, run).exitCode, 0);
    EXPECT_EQ(readFile(viaSettings), readFile(standard));
}

TEST(CliStream, OneLabelKeepsItsNameAndUnreadableStreamsNameTheByte)
{
    ScopedHome home;
    QTemporaryDir dir;
    const QString stream = dir.filePath(QStringLiteral("one.prn"));
    ASSERT_EQ(Print(Sample("Starter.kvl"), stream).exitCode, 0);
    const QString out = dir.filePath(QStringLiteral("one.png"));
    const CliRun r = RenderStream(stream, out);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_FALSE(QImage(out).isNull());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("one-0001.png"))));

    // Bytes that are no command: refused with their offset, and nothing written.
    QByteArray broken = readFile(stream);
    const qsizetype at = broken.indexOf("\x02L\r");
    ASSERT_GT(at, 0);
    broken.insert(at, "garbage");
    const QString bad = dir.filePath(QStringLiteral("bad.prn"));
    ASSERT_TRUE(writeFile(bad, broken));
    const QString badOut = dir.filePath(QStringLiteral("bad.png"));
    const CliRun refused = RenderStream(bad, badOut);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains("byte " + QByteArray::number(at))) << refused.err.toStdString();
    EXPECT_FALSE(QFile::exists(badOut));

    const CliRun missing = RenderStream(dir.filePath(QStringLiteral("none.prn")), badOut);
    EXPECT_EQ(missing.exitCode, 1);
    const CliRun both = RunCli({ QStringLiteral("render"), Sample("Starter.kvl"), QStringLiteral("--stream"), stream,
        QStringLiteral("-o"), out });
    EXPECT_EQ(both.exitCode, 2);
    // The stream does not say its resolution: 203 unless --dpi names the other one.
    EXPECT_EQ(RunCli({ QStringLiteral("render"), QStringLiteral("--stream"), stream, QStringLiteral("--dpi"),
                  QStringLiteral("250"), QStringLiteral("-o"), out })
                  .exitCode,
        2);
    EXPECT_EQ(RunCli({ QStringLiteral("render"), Sample("Starter.kvl"), QStringLiteral("--dpi"), QStringLiteral("300"),
                  QStringLiteral("-o"), out })
                  .exitCode,
        2);
    const CliRun fine = RunCli({ QStringLiteral("render"), QStringLiteral("--stream"), stream, QStringLiteral("--dpi"),
        QStringLiteral("300"), QStringLiteral("-o"), out });
    EXPECT_EQ(fine.exitCode, 0) << fine.err.toStdString();
}

TEST(CliStream, PagesLongerThan999Point9MillimetresAreRefused)
{
    ScopedHome home;
    QTemporaryDir dir;
    const QString label = dir.filePath(QStringLiteral("long.kvl"));
    WriteLongLabel(label, 10000);
    const QString prn = dir.filePath(QStringLiteral("long.prn"));
    const CliRun printed = Print(label, prn);
    EXPECT_EQ(printed.exitCode, 1);
    EXPECT_TRUE(printed.err.contains("999.9 mm")) << printed.err.toStdString();
    EXPECT_FALSE(QFile::exists(prn));
    const QString png = dir.filePath(QStringLiteral("long.png"));
    const CliRun rendered = RunCli({ QStringLiteral("render"), label, QStringLiteral("-o"), png });
    EXPECT_EQ(rendered.exitCode, 1);
    EXPECT_TRUE(rendered.err.contains("999.9 mm")) << rendered.err.toStdString();
    EXPECT_FALSE(QFile::exists(png));

    WriteLongLabel(label, 9999);
    EXPECT_EQ(Print(label, prn).exitCode, 0);
}
