#include "cli/CliSupport.h"
#include "cli/TestLabel.h"

#include "document/LabelDocument.h"
#include "document/OALabel.h"
#include "document/OARectangle.h"
#include "persistence/LabelFile.h"
#include "persistence/RegistryStore.h"
#include "persistence/SystemSettings.h"
#include "printing/job/PrintJob.h"
#include "printing/ports/FilePort.h"
#include "printing/ports/PortSettingsStore.h"
#include "support/TestSupport.h"
#include "variables/VariableModel.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace korvel;
using namespace korvel::test;

namespace {

QString sample(const char* name)
{
    return QDir(dataDir()).filePath(QStringLiteral("Samples/") + QString::fromLatin1(name));
}

/// The stream the job writes for a label file, in this process, with the designer's defaults.
QByteArray InProcessStream(const QString& label, const QString& out, std::int64_t count, int copies)
{
    LabelDocument doc;
    EXPECT_TRUE(ReadLabelFile(label, doc).opened());
    FilePort file(out, FilePort::Mode::Fresh);
    JobTargets targets;
    targets.file = &file;
    targets.writeToFile = true;
    PrintJobOptions options;
    options.commands.PrinterID = doc.printer.PrinterID;
    options.commands.DrawingMode = DefaultSystemSettings().drawingMode();
    options.commands.PrinterIndex = doc.printerModel;
    PrintJob job(doc, nullptr, targets, options);
    EXPECT_TRUE(job.PrintLabels(1, count, copies).ok());
    return readFile(out);
}

} // namespace

TEST(CliPrint, StarterSampleToAFile)
{
    ScopedHome home;
    QTemporaryDir dir;
    const QString out = dir.filePath("starter.prn");
    const CliRun r = RunCli({ "print", sample("Starter.kvl"), "-o", out });
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QByteArray stream = readFile(out);
    EXPECT_TRUE(stream.startsWith("\x02m\x02u0")) << stream.toHex(' ').toStdString();
    EXPECT_TRUE(stream.endsWith(":0001\rQ0001\rE\r"));
    EXPECT_TRUE(r.out.contains(QFileInfo(out).absoluteFilePath().toUtf8()));

    // -o writes a fresh file: a second run leaves the same bytes, not twice as many.
    ASSERT_EQ(RunCli({ "print", sample("Starter.kvl"), "-o", out }).exitCode, 0);
    EXPECT_EQ(readFile(out), stream);
}

// The settings file's "Ports" group can send every label to another port (a network printer,
// here a file); --port still wins for one run.
TEST(CliPrint, SettingsFileChoosesThePrinterPort)
{
    ScopedHome home;
    QTemporaryDir dir;
    const QString viaSettings = dir.filePath("settings.prn");
    {
        RegistryStore store(QDir(home.path()).filePath("registry.ini"));
        store.setValue(PortsKey, "Printer", "file:" + viaSettings.toUtf8());
        ASSERT_TRUE(store.save());
    }
    const QString reference = dir.filePath("reference.prn");
    ASSERT_EQ(RunCli({ "print", sample("Starter.kvl"), "-o", reference }).exitCode, 0);

    const CliRun r = RunCli({ "print", sample("Starter.kvl") });
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("settings.prn")) << r.out.toStdString();
    EXPECT_EQ(readFile(viaSettings), readFile(reference));

    const QString viaOption = dir.filePath("option.prn");
    ASSERT_EQ(RunCli({ "print", sample("Starter.kvl"), "--port", "file:" + viaOption }).exitCode, 0);
    EXPECT_EQ(readFile(viaOption), readFile(reference));
    EXPECT_EQ(readFile(viaSettings), readFile(reference)) << "the settings' file got nothing more";
}

TEST(CliPrint, WrittenLabelWithCountAndCopies)
{
    ScopedHome home;
    QTemporaryDir dir;
    const QString label = dir.filePath("test.kvl");
    WriteTestLabel(label, false);
    const QString out = dir.filePath("out.prn");
    const CliRun r = RunCli({ "print", label, "-o", out, "--count", "3", "--copies=2" });
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("6 labels sent to ")) << r.out.toStdString();
    const QByteArray stream = readFile(out);
    EXPECT_TRUE(stream.contains("HELLO\r"));
    EXPECT_TRUE(stream.endsWith(":0001\rQ0006\rE\r")); // one format printed six times
    EXPECT_EQ(stream, InProcessStream(label, dir.filePath("same.prn"), 3, 2));
}

TEST(CliPrint, CountZeroLeavesTheFileAlone)
{
    ScopedHome home;
    QTemporaryDir dir;
    const QString label = dir.filePath("test.kvl");
    WriteTestLabel(label, false);
    const QString out = dir.filePath("out.prn");
    writeFile(out, "old bytes");
    const CliRun r = RunCli({ "print", label, "-o", out, "--count", "0" });
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(readFile(out), "old bytes");
}

TEST(CliPrint, VariableLabelFromACsvFile)
{
    ScopedHome home;
    QTemporaryDir dir;
    const QString label = dir.filePath("names.kvl");
    WriteTestLabel(label, true);
    const QString csv = dir.filePath("names.csv");
    writeFile(csv, "NAME,QTY\nANNA,1\nBORIS,3\nCLARA,0\n");
    const QString out = dir.filePath("out.prn");
    CliRun r = RunCli({ "print", label, "--data", csv, "--count", "3", "-o", out });
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QByteArray stream = readFile(out);
    EXPECT_EQ(stream.count("\rE\r"), 3);
    const qsizetype anna = stream.indexOf("ANNA\r");
    const qsizetype boris = stream.indexOf("BORIS\r");
    const qsizetype clara = stream.indexOf("CLARA\r");
    EXPECT_TRUE(anna > 0 && boris > anna && clara > boris);

    r = RunCli({ "print", label, "--data", csv, "--count", "3", "--quantity-field", "QTY", "-o", out });
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    stream = readFile(out);
    EXPECT_EQ(stream.count("ANNA\r"), 1);
    EXPECT_EQ(stream.count("BORIS\r"), 1); // three labels of one format, printed once
    EXPECT_EQ(stream.count("Q0003\r"), 1);
    EXPECT_EQ(stream.count("CLARA\r"), 0);

    // Asking for more records than the file holds ends with a message, exit 1.
    r = RunCli({ "print", label, "--data", csv, "--count", "5", "-o", out });
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
}

TEST(CliPrint, UsageErrors)
{
    ScopedHome home;
    const QString starter = sample("Starter.kvl");
    const QStringList bad[] = {
        { "print" },
        { "print", starter, "--frobnicate" },
        { "print", starter, "--count" },
        { "print", starter, "--count", "-1" },
        { "print", starter, "--count", "many" },
        { "print", starter, "--copies", "0" },
        { "print", starter, "--copies", "100000" },
        { "print", starter, "--start", "0" },
        { "print", starter, "-o", "a.prn", "--port", "none" },
        { "print", starter, "--port", "bogus:1" },
        { "print", starter, "--data", "table.unknown" },
        { "print", starter, starter },
    };
    for (const QStringList& args : bad) {
        const CliRun r = RunCli(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString() << "\n" << r.err.toStdString();
    }
}

TEST(CliPrint, UnwritableOutputFailsWithOneLine)
{
    ScopedHome home;
    QTemporaryDir dir;
    const QString label = dir.filePath("test.kvl");
    WriteTestLabel(label, false);
    const CliRun r = RunCli({ "print", label, "-o", dir.filePath("no/such/folder/out.prn") });
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("out.prn"));
    EXPECT_TRUE(r.out.isEmpty());
}

TEST(CliPrint, MissingLabelFails)
{
    ScopedHome home;
    QTemporaryDir dir;
    const CliRun r = RunCli({ "print", dir.filePath("none.kvl"), "-o", dir.filePath("out.prn") });
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("out.prn")));
}

// Ten thousand records from a delimited file to a file: every label is there and the stream has
// exactly the size its labels add up to. Nothing is kept per label, so the run is as long as the
// data without growing.
TEST(CliPrint, TenThousandRecordsFromCsv)
{
    ScopedHome home;
    QTemporaryDir dir;
    const QString label = dir.filePath("names.kvl");
    WriteTestLabel(label, true);
    const QString csv = dir.filePath("many.csv");
    QByteArray rows = "NAME\n";
    for (int i = 1; i <= 10000; ++i)
        rows += "N" + QByteArray::number(i) + "\n";
    writeFile(csv, rows);

    const QString one = dir.filePath("one.csv");
    writeFile(one, "NAME\nN1\n");
    const QString first = dir.filePath("first.prn");
    ASSERT_EQ(RunCli({ "print", label, "--data", one, "-o", first }).exitCode, 0);
    const qsizetype oneLabel = readFile(first).size();

    const QString out = dir.filePath("many.prn");
    const CliRun r = RunCli({ "print", label, "--data", csv, "--count", "10000", "-o", out });
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("10000 labels")) << r.out.toStdString();
    const QByteArray stream = readFile(out);
    EXPECT_EQ(stream.count("\rE\r"), 10000);
    // The first run is setup + one format with "N1"; each further label repeats the format with
    // its own name.
    qsizetype expected = oneLabel;
    const QByteArray firstStream = readFile(first);
    const qsizetype format = firstStream.size() - firstStream.indexOf("\x02qA");
    for (int i = 2; i <= 10000; ++i)
        expected += format + QByteArray::number(i).size() - 1;
    EXPECT_EQ(stream.size(), expected);
    EXPECT_TRUE(stream.contains("N1\r"));
    EXPECT_TRUE(stream.contains("N5000\r"));
    EXPECT_TRUE(stream.contains("N10000\r"));
    EXPECT_TRUE(stream.endsWith(":0001\rQ0001\rE\r"));
}
