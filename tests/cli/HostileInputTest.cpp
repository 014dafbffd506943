// Careless and hostile input to korvel-cli: outputs are replaced only by complete new files, the
// work is bounded whatever a file declares, and a failure never looks like success.

#include "cli/CliSupport.h"
#include "cli/TestLabel.h"

#include "document/OAImage.h"
#include "document/OALine.h"
#include "persistence/RegistryStore.h"
#include "printing/ports/PortSettingsStore.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include <sys/stat.h>

using namespace korvel;
using namespace korvel::test;

namespace {

QString sample(const char* name)
{
    return QDir(dataDir()).filePath(QStringLiteral("Samples/") + QString::fromLatin1(name));
}

/// Files in a folder, hidden ones (temporaries) included.
QStringList FilesIn(const QTemporaryDir& dir)
{
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

/// A bound label and a CSV of `records` names, for jobs long enough to interrupt.
void WriteLongJob(const QTemporaryDir& dir, int records)
{
    WriteTestLabel(dir.filePath("names.kvl"), true);
    QByteArray rows = "NAME\n";
    for (int i = 1; i <= records; ++i)
        rows += "NAME" + QByteArray::number(i) + "\n";
    writeFile(dir.filePath("names.csv"), rows);
}

/// A label whose last object record is cut off: the reader opens it only partly.
QString WriteDamagedLabel(const QTemporaryDir& dir)
{
    const QString path = dir.filePath("cut.kvl");
    const QByteArray bytes = readFile(sample("Starter.kvl"));
    writeFile(path, bytes.left(bytes.size() - 3));
    return path;
}

constexpr rlim_t kMemoryLimit = 1536ULL * 1024 * 1024;

/// Writes a label of the objects `fill` adds, on a page of the size given in 0.1 mm. The objects
/// are laid out as when read, without pictures: the labels here would take gigabytes to draw.
void WriteUndrawnLabel(const QString& path, int widthTenths, int heightTenths, int zoomPercent,
    const std::function<void(LabelDocument&)>& fill)
{
    PictureDeferral notHere;
    LabelDocument doc;
    doc.printerModel = 1;
    doc.setPage(GridPage(widthTenths, heightTenths, 1, 1));
    doc.setZoom(zoomPercent);
    fill(doc);
    ASSERT_EQ(WriteLabelFile(path, doc).status, LabelFileResult::Status::Ok);
}

} // namespace

// Outputs -----------------------------------------------------------------------------------

TEST(CliOutputs, FailedJobLeavesThePreviousFile)
{
    ScopedHome home;
    QTemporaryDir dir;
    const QString out = dir.filePath("existing.prn");
    writeFile(out, QByteArray(33000, 'x'));
    const CliRun r = RunCli({ "print", sample("Address-3-across.kvl"), "--data", sample("addresses.csv"), "--count",
        "50", "-o", out });
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_EQ(readFile(out), QByteArray(33000, 'x'));
    EXPECT_EQ(FilesIn(dir), QStringList { "existing.prn" }) << "no temporary file stays behind";

    // The same through --port file:.
    const CliRun p = RunCli({ "print", sample("Address-3-across.kvl"), "--data", sample("addresses.csv"), "--count",
        "50", "--port", "file:" + out });
    EXPECT_EQ(p.exitCode, 1);
    EXPECT_EQ(readFile(out), QByteArray(33000, 'x'));
}

// SIGINT, SIGTERM and kill -9 at any moment leave either the old file or the complete new one.
TEST(CliOutputs, InterruptedJobLeavesOldOrCompleteFile)
{
    ScopedHome home;
    QTemporaryDir dir;
    WriteLongJob(dir, 60000);
    const QStringList job { "print", dir.filePath("names.kvl"), "--data", dir.filePath("names.csv"), "--count",
        "60000" };
    const QString reference = dir.filePath("reference.prn");
    ASSERT_EQ(RunCli(job + QStringList { "-o", reference }).exitCode, 0);
    const QByteArray complete = readFile(reference);
    const QString out = dir.filePath("out.prn");
    const QByteArray old = "the previous job\n";

    const int endings[] = { SIGINT, SIGTERM, SIGKILL, SIGKILL, SIGKILL, SIGTERM };
    int delayMs = 150;
    for (int signal : endings) {
        writeFile(out, old);
        QProcess p;
        p.start(QStringLiteral(KORVEL_CLI_PATH), job + QStringList { "-o", out });
        ASSERT_TRUE(p.waitForStarted());
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        ::kill(pid_t(p.processId()), signal);
        p.waitForFinished(60000);
        const QByteArray now = readFile(out);
        EXPECT_TRUE(now == old || now == complete) << "signal " << signal << " after " << delayMs << " ms: "
                                                   << now.size() << " bytes";
        if (signal != SIGKILL && now == old) {
            EXPECT_FALSE(p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
                << "signal " << signal << ": " << p.readAllStandardError().toStdString();
            const QString own = QStringLiteral(".%1-").arg(p.processId());
            EXPECT_FALSE(FilesIn(dir).join(' ').contains(own)) << FilesIn(dir).join(' ').toStdString();
        }
        delayMs += 120;
    }
}

TEST(CliOutputs, DevicesAndFifosAreWrittenThroughLinksFollowed)
{
    ScopedHome home;
    QTemporaryDir dir;
    const QString starter = sample("Starter.kvl");
    // A character device takes the bytes and stays a device.
    EXPECT_EQ(RunCli({ "convert", starter, "/dev/null" }).exitCode, 0);
    EXPECT_EQ(RunCli({ "render", starter, "-o", "/dev/null" }).exitCode, 0);
    struct stat st {};
    ASSERT_EQ(::stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    // A device that takes nothing is a failure, not a success.
    if (QFileInfo::exists("/dev/full")) {
        EXPECT_EQ(RunCli({ "convert", starter, "/dev/full" }).exitCode, 1);
        EXPECT_EQ(RunCli({ "render", starter, "-o", "/dev/full" }).exitCode, 1);
        EXPECT_EQ(RunCli({ "print", starter, "-o", "/dev/full" }).exitCode, 1);
    }

    // A FIFO gets the PNG and stays a FIFO.
    const QString fifo = dir.filePath("pipe.png");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    QByteArray received;
    std::thread reader([&] {
        QFile f(fifo);
        if (f.open(QIODevice::ReadOnly))
            received = f.readAll();
    });
    const CliRun r = RunCli({ "render", starter, "-o", fifo });
    reader.join();
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(received.startsWith("\x89PNG"));
    ASSERT_EQ(::lstat(fifo.toLocal8Bit().constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    // With nobody reading, the FIFO is refused at once instead of waiting.
    EXPECT_EQ(RunCli({ "render", starter, "-o", fifo }).exitCode, 1);

    // A link is followed: its target is replaced, the link stays.
    const QString target = dir.filePath("target.kvl");
    const QString link = dir.filePath("link.kvl");
    writeFile(target, "old");
    ASSERT_TRUE(QFile::link(target, link));
    ASSERT_EQ(RunCli({ "convert", starter, link }).exitCode, 0);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readFile(target), readFile(starter));
}

TEST(CliOutputs, AnOutputThatIsAnInputIsRefused)
{
    ScopedHome home;
    QTemporaryDir dir;
    const QString label = dir.filePath("a.kvl");
    WriteTestLabel(label, true);
    const QByteArray labelBytes = readFile(label);
    const QString csv = dir.filePath("d.csv");
    writeFile(csv, "NAME\nANNA\n");
    const QString hardLink = dir.filePath("same.kvl");
    ASSERT_EQ(::link(label.toLocal8Bit().constData(), hardLink.toLocal8Bit().constData()), 0);
    const QStringList cases[] = {
        { "render", label, "-o", label },
        { "render", label, "--design", "-o", hardLink },
        { "print", label, "--data", csv, "-o", label },
        { "print", label, "--data", csv, "-o", csv },
        { "print", label, "--data", csv, "--port", "file:" + csv },
        { "convert", label, hardLink },
    };
    for (const QStringList& args : cases) {
        const CliRun r = RunCli(args);
        EXPECT_EQ(r.exitCode, 1) << args.join(' ').toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    }
    EXPECT_EQ(readFile(label), labelBytes);
    EXPECT_EQ(readFile(csv), "NAME\nANNA\n");
}

TEST(CliOutputs, OneWritePathForEveryCommand)
{
    ScopedHome home;
    QTemporaryDir dir;
    const QString starter = sample("Starter.kvl");
    // A read-only file is refused alike by every command.
    const QString locked = dir.filePath("locked.out");
    writeFile(locked, "keep");
    QFile::setPermissions(locked, QFileDevice::ReadOwner);
    for (const QStringList& args : { QStringList { "convert", starter, locked }, { "render", starter, "-o", locked },
             { "print", starter, "-o", locked } }) {
        EXPECT_EQ(RunCli(args).exitCode, 1) << args.join(' ').toStdString();
        EXPECT_EQ(readFile(locked), "keep");
    }

    // Someone else's file beside the output is not touched.
    const QString out = dir.filePath("OUT.png");
    writeFile(out + ".part", "not ours");
    ASSERT_EQ(RunCli({ "render", starter, "-o", out }).exitCode, 0);
    EXPECT_EQ(readFile(out + ".part"), "not ours");

    // Renders to one path at once: the file is always there, and a whole picture.
    for (int round = 0; round < 3; ++round) {
        std::vector<std::unique_ptr<QProcess>> runs;
        for (int i = 0; i < 6; ++i) {
            runs.push_back(std::make_unique<QProcess>());
            runs.back()->start(QStringLiteral(KORVEL_CLI_PATH), { "render", starter, "-o", out });
        }
        for (auto& p : runs) {
            p->waitForFinished(60000);
            EXPECT_EQ(p->exitCode(), 0);
        }
        EXPECT_FALSE(QImage(out).isNull()) << "round " << round;
    }
    EXPECT_EQ(FilesIn(dir), (QStringList { "OUT.png", "OUT.png.part", "locked.out" }));

    // A USB printer is a device, never a regular file.
    const QString plain = dir.filePath("lp0");
    writeFile(plain, "");
    EXPECT_EQ(RunCli({ "print", starter, "--port", "usb:" + plain }).exitCode, 1);
    EXPECT_EQ(readFile(plain), "");
}

TEST(CliOutputs, NothingIsCreatedAmongTheUsersData)
{
    ScopedHome home;
    QTemporaryDir dir;
    const QString label = dir.filePath("names.kvl");
    WriteTestLabel(label, true);
    const QString missing = dir.filePath("missing.db");
    const CliRun r = RunCli({ "print", label, "--data", "odbc:DRIVER=SQLite3;Database=" + missing + "#t", "-o",
        dir.filePath("out.prn") });
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(missing));
}

TEST(CliOutputs, EmptyTargetsAreUsageErrors)
{
    ScopedHome home;
    const QString starter = sample("Starter.kvl");
    const QStringList cases[] = {
        { "print", starter, "--output=" },
        { "print", starter, "--output", "" },
        { "print", starter, "-o", "" },
        { "print", starter, "--port=" },
        { "print", starter, "--port", "" },
        { "print", starter, "--data=" },
        { "render", starter, "--output=" },
        { "render", starter, "-o", "" },
    };
    for (const QStringList& args : cases) {
        const CliRun r = RunCli(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString() << "\n" << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

// Bounds ------------------------------------------------------------------------------------

TEST(CliBounds, LabelReaderChecksTheFileBeforeReadingIt)
{
    QTemporaryDir dir;
    // A huge file that is no label: refused from its header, not read.
    const QString huge = dir.filePath("huge.kvl");
    {
        QFile f(huge);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(3LL * 1024 * 1024 * 1024));
    }
    // A FIFO nobody writes to, and an endless device.
    const QString fifo = dir.filePath("fifo.kvl");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    for (const QByteArray& path : { huge.toLocal8Bit(), fifo.toLocal8Bit(), QByteArray("/dev/zero") }) {
        const BoundedRun r = RunCliBounded({ "info", path }, 512ULL * 1024 * 1024, 20);
        EXPECT_TRUE(r.finished) << path.toStdString();
        EXPECT_EQ(r.exitCode, 1) << path.toStdString() << ": " << r.err.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    }
}

TEST(CliBounds, StandardInputIsReadAsFarAsNeeded)
{
    ScopedHome home;
    QTemporaryDir dir;
    WriteTestLabel(dir.filePath("names.kvl"), true);
    const QString out = dir.filePath("out.prn");
    // An endless input without line breaks: refused once a record is too long.
    const BoundedRun zero = RunCliBounded(
        { "print", dir.filePath("names.kvl").toLocal8Bit(), "--data", "-", "-o", out.toLocal8Bit() }, kMemoryLimit, 60,
        "/dev/zero");
    EXPECT_TRUE(zero.finished);
    EXPECT_EQ(zero.exitCode, 1) << zero.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(out));

    // An endless input of records: one label takes one record, and the job ends.
    const QString endless = dir.filePath("endless");
    ASSERT_EQ(::mkfifo(endless.toLocal8Bit().constData(), 0600), 0);
    std::atomic<bool> stop { false };
    // The writer learns of the reader's end from EPIPE rather than from a signal, and never
    // blocks: it opens once the reader is there and waits on a full pipe by polling, so that it
    // stops when told whatever the reader did.
    const auto previousPipe = std::signal(SIGPIPE, SIG_IGN);
    std::thread writer([&] {
        int fd = -1;
        while (!stop && (fd = ::open(endless.toLocal8Bit().constData(), O_WRONLY | O_NONBLOCK)) < 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (fd < 0)
            return;
        QByteArray pending = "NAME\n";
        while (!stop) {
            const ssize_t n = ::write(fd, pending.constData(), size_t(pending.size()));
            if (n < 0 && errno == EAGAIN) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                continue;
            }
            if (n < 0)
                break;
            pending.remove(0, n);
            if (pending.isEmpty())
                pending = "ANNA\n";
        }
        ::close(fd);
    });
    const BoundedRun one = RunCliBounded({ "print", dir.filePath("names.kvl").toLocal8Bit(), "--data", "-", "--count",
                                             "1", "-o", out.toLocal8Bit() },
        kMemoryLimit, 30, endless.toLocal8Bit());
    stop = true;
    writer.join();
    std::signal(SIGPIPE, previousPipe);
    EXPECT_TRUE(one.finished);
    EXPECT_EQ(one.exitCode, 0) << one.err.toStdString();
    EXPECT_TRUE(readFile(out).contains("ANNA\r"));
}

TEST(CliBounds, OversizedDataFilesAreRefusedAtOnce)
{
    ScopedHome home;
    QTemporaryDir dir;
    WriteTestLabel(dir.filePath("names.kvl"), true);
    // A header of 100,000 columns.
    QByteArray header = "NAME";
    for (int i = 0; i < 100000; ++i)
        header += ",C" + QByteArray::number(i);
    writeFile(dir.filePath("wide.csv"), header + "\nANNA\n");
    const BoundedRun wide = RunCliBounded({ "print", dir.filePath("names.kvl").toLocal8Bit(), "--data",
                                              dir.filePath("wide.csv").toLocal8Bit(), "-o",
                                              dir.filePath("out.prn").toLocal8Bit() },
        kMemoryLimit, 10);
    EXPECT_TRUE(wide.finished);
    EXPECT_EQ(wide.exitCode, 1);
    EXPECT_TRUE(wide.err.contains("2000")) << wide.err.toStdString();
}

// An object larger than any label can print is refused before it is drawn at printer
// resolution (2000 mm at 300 dpi would be a picture of half a billion dots).
TEST(CliBounds, ObjectsLargerThanAnyLabelAreRefusedBeforeDrawing)
{
    ScopedHome home;
    QTemporaryDir dir;
    const QString label = dir.filePath("huge.kvl");
    {
        LabelDocument doc;
        doc.printerModel = 1;
        doc.setPage(GridPage(400, 300, 1, 1));
        doc.setZoom(50);
        auto rect = std::make_unique<TOARectangle>();
        rect->setZoom(0.5);
        rect->setAbsWidth(2000);
        rect->setAbsHeight(1000);
        doc.appendObject(std::move(rect));
        ASSERT_EQ(WriteLabelFile(label, doc).status, LabelFileResult::Status::Ok);
    }
    const QByteArray path = label.toLocal8Bit();
    const QByteArray out = dir.filePath("out").toLocal8Bit();
    for (const QList<QByteArray>& args : { QList<QByteArray> { "print", path, "-o", out },
             QList<QByteArray> { "render", path, "-o", out }, QList<QByteArray> { "render", path, "--design", "--zoom", "600", "-o", out } }) {
        const BoundedRun r = RunCliBounded(args, kMemoryLimit, 60);
        EXPECT_TRUE(r.finished) << args.join(' ').toStdString();
        EXPECT_EQ(r.exitCode, 1) << args.join(' ').toStdString() << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("999.9 mm")) << r.err.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1);
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("out")));
}

// Reading and converting a label draws nothing: 200 paragraphs of 2,047 characters at 100 pt,
// 20 shapes of 2000 x 2000 mm and 10 pictures drawn 2000 mm wide would be gigabytes of
// pictures (20 lines across such a square as many again), yet `info` and `convert` need only
// the properties.
TEST(CliBounds, InfoAndConvertDrawNothing)
{
    ScopedHome home;
    QTemporaryDir dir;
    const QString label = dir.filePath("huge.kvl");
    WriteUndrawnLabel(label, 100, 150, 100, [](LabelDocument& doc) {
        QByteArray words;
        while (words.size() < 2047)
            words += "WWWW MMMM ";
        words.truncate(2047);
        for (int i = 0; i < 200; ++i) {
            auto text = std::make_unique<TOAText>();
            text->setUpdatesBlocked(true);
            text->SetText(words);
            text->SetFontSizePt(100);
            text->SetDragWidth(300);
            text->SetTextAlign(1);
            text->setUpdatesBlocked(false);
            doc.appendObject(std::move(text));
        }
        for (int i = 0; i < 20; ++i) {
            auto rect = std::make_unique<TOARectangle>();
            rect->setAbsWidth(2000);
            rect->setAbsHeight(2000);
            rect->setFill(1);
            doc.appendObject(std::move(rect));
        }
        for (int i = 0; i < 20; ++i) {
            auto line = std::make_unique<TOALine>();
            line->setLineWidth(8);
            line->setAbsStartX(0);
            line->setAbsStartY(0);
            line->setAbsEndX(2000);
            line->setAbsEndY(1900 + i);
            doc.appendObject(std::move(line));
        }
        QImage dots(40, 40, QImage::Format_RGB888);
        dots.fill(Qt::gray);
        for (int i = 0; i < 10; ++i) {
            auto image = std::make_unique<TOAImage>();
            EXPECT_EQ(image->SetOrgPicture(dots), PictureError::None);
            image->setAbsWidth(2000);
            image->setAbsHeight(2000);
            doc.appendObject(std::move(image));
        }
    });
    const QByteArray path = label.toLocal8Bit();
    const QByteArray out = dir.filePath("copy.kvl").toLocal8Bit();
    for (const QList<QByteArray>& args : { QList<QByteArray> { "info", path }, QList<QByteArray> { "convert", path, out } }) {
        const BoundedRun r = RunCliBounded(args, kMemoryLimit, 30);
        EXPECT_TRUE(r.finished) << args.join(' ').toStdString();
        EXPECT_EQ(r.exitCode, 0) << args.join(' ').toStdString() << ": " << r.err.toStdString();
    }
    EXPECT_EQ(readFile(dir.filePath("copy.kvl")), readFile(label));
}

// A picture whose memory cannot be had ends the job with a message: the label never goes out
// without the object, and nothing crashes. A 980 mm square at 300 dpi is 400 MB in colour.
TEST(CliBounds, PictureWithoutMemoryFailsTheJob)
{
    ScopedHome home;
    QTemporaryDir dir;
    const auto writeLabel = [&](const QString& path, auto&& object) {
        WriteUndrawnLabel(path, 9900, 9900, 100, [&](LabelDocument& doc) {
            doc.printer.DPI = 1;
            doc.appendObject(object());
        });
    };
    writeLabel(dir.filePath("box.kvl"), [] {
        auto rect = std::make_unique<TOARectangle>();
        rect->setAbsWidth(980);
        rect->setAbsHeight(980);
        rect->setFill(1);
        return rect;
    });
    writeLabel(dir.filePath("picture.kvl"), [] {
        QImage dots(40, 40, QImage::Format_RGB888);
        dots.fill(Qt::gray);
        auto image = std::make_unique<TOAImage>();
        EXPECT_EQ(image->SetOrgPicture(dots), PictureError::None);
        image->setAbsWidth(980);
        image->setAbsHeight(980);
        return image;
    });
    writeLabel(dir.filePath("text.kvl"), [] {
        auto text = std::make_unique<TOAText>();
        text->SetText("WW");
        text->SetPrnDPI(300);
        text->SetFontSizePt(1000);
        return text;
    });
    const QString out = dir.filePath("out.prn");
    writeFile(out, "previous");
    for (const char* name : { "box.kvl", "picture.kvl", "text.kvl" }) {
        const BoundedRun r = RunCliBounded({ "print", dir.filePath(name).toLocal8Bit(), "-o", out.toLocal8Bit() }, 256ULL << 20, 60);
        EXPECT_TRUE(r.finished) << name;
        EXPECT_EQ(r.exitCode, 1) << name << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("not enough memory to draw it")) << name << ": " << r.err.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << name << ": " << r.err.toStdString();
        EXPECT_EQ(readFile(out), QByteArray("previous")) << name;
    }
}

// Barcodes are sized by composing their pictures, so reading draws them, but lets each go at
// once: 200 barcodes of 6 MB each are not held together. (Under an address-space limit the
// pictures would only fail quietly, so the test reads the resident peak.)
TEST(CliBounds, ReadingHoldsOneBarcodePictureAtATime)
{
    ScopedHome home;
    QTemporaryDir dir;
    const QString label = dir.filePath("bars.kvl");
    WriteUndrawnLabel(label, 1000, 1500, 200, [](LabelDocument& doc) {
        for (int i = 0; i < LabelDocument::MaxObjects; ++i) {
            auto bar = std::make_unique<TOABarCode>();
            bar->SetBarCodeType(TBarCodeType::bcCode128);
            bar->SetBarNarrow(8);
            bar->SetBarWide(20);
            bar->SetBarHeight(800);
            bar->SetText("KV-0001-ABCDEFGHIJKLMNOP");
            doc.appendObject(std::move(bar));
        }
    });
    const BoundedRun r = RunCliBounded({ "info", label.toLocal8Bit() }, kMemoryLimit, 60);
    EXPECT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_LT(r.peakKilobytes, 300 * 1024);
}

// Failures ----------------------------------------------------------------------------------

TEST(CliFailures, DamagedLabelPrintsOnlyWhenAccepted)
{
    ScopedHome home;
    QTemporaryDir dir;
    const QString cut = WriteDamagedLabel(dir);
    const QString out = dir.filePath("out.prn");
    const QString png = dir.filePath("out.png");
    for (const QStringList& args : { QStringList { "print", cut, "-o", out }, { "render", cut, "-o", png } }) {
        const CliRun r = RunCli(args);
        EXPECT_EQ(r.exitCode, 1) << args.join(' ').toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("--accept-damaged"));
    }
    EXPECT_FALSE(QFileInfo::exists(out));
    EXPECT_FALSE(QFileInfo::exists(png));
    EXPECT_EQ(RunCli({ "print", cut, "-o", out, "--accept-damaged" }).exitCode, 0);
    EXPECT_EQ(RunCli({ "render", cut, "-o", png, "--accept-damaged" }).exitCode, 0);
    // info and convert keep working and say what is damaged.
    const CliRun info = RunCli({ "info", cut });
    EXPECT_EQ(info.exitCode, 0);
    EXPECT_TRUE(QJsonDocument::fromJson(info.out).object()["damaged"].isString());
    EXPECT_EQ(RunCli({ "convert", cut, dir.filePath("saved.kvl") }).exitCode, 0);
}

TEST(CliFailures, MistakesAreUsageErrors)
{
    ScopedHome home;
    const QString starter = sample("Starter.kvl");
    const QStringList cases[] = {
        { "print", starter, "--quantity-field", "QTY", "-o", "/dev/null" }, // no data source
        { "print", starter, "--port", "tcp:127.0.0.1:1:2" },
        { "print", starter, "--data-encoding", "SHIFT_JIS" }, // without --data
        { "print", starter, "--data", "x.csv", "--data-encoding", "NO-SUCH-CODE" },
    };
    for (const QStringList& args : cases) {
        const CliRun r = RunCli(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString() << "\n" << r.err.toStdString();
    }
}

TEST(CliFailures, OneEnglishLinePerFailure)
{
    ScopedHome home;
    QTemporaryDir dir;
    const CliRun empty = RunCli({ "info", "" });
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_EQ(empty.err.count('\n'), 1) << empty.err.toStdString();
    EXPECT_TRUE(empty.err.startsWith("korvel-cli: ")) << empty.err.toStdString();

    const QString junk = dir.filePath("junk.kvl");
    writeFile(junk, QByteArray(300, 'z'));
    const CliRun notLabel = RunCli({ "info", junk });
    EXPECT_EQ(notLabel.exitCode, 1);
    EXPECT_EQ(notLabel.err, "korvel-cli: " + junk.toUtf8() + " is not a label file\n");

    // A damaged label accepted, then a printer that cannot be opened: still one line.
    const CliRun folded = RunCli({ "print", WriteDamagedLabel(dir), "--accept-damaged", "--port", "file:" + dir.filePath("no/such/out.prn") });
    EXPECT_EQ(folded.exitCode, 1);
    EXPECT_EQ(folded.err.count('\n'), 1) << folded.err.toStdString();

    // A bad printer setting says so, not "cannot open none".
    {
        RegistryStore store(QDir(home.path()).filePath("registry.ini"));
        store.setValue(PortsKey, "Printer", "bogus:1");
        ASSERT_TRUE(store.save());
    }
    const CliRun setting = RunCli({ "print", sample("Starter.kvl") });
    EXPECT_EQ(setting.exitCode, 1);
    EXPECT_TRUE(setting.err.contains("Printer=")) << setting.err.toStdString();
}

TEST(CliFailures, NamesThatAreNotUtf8AreRefused)
{
    QTemporaryDir dir;
    const QByteArray latin1Name = QFile::encodeName(dir.path()) + "/caf\xe9.kvl";
    const BoundedRun r = RunCliBounded(
        { "convert", QFile::encodeName(sample("Starter.kvl")), latin1Name }, kMemoryLimit, 30);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("UTF-8")) << r.err.toStdString();
    EXPECT_TRUE(FilesIn(dir).isEmpty()) << "nothing written under another name";
}

TEST(CliFailures, DataEncodingNamesTheTextsEncoding)
{
    ScopedHome home;
    QTemporaryDir dir;
    const QString label = dir.filePath("names.kvl");
    WriteTestLabel(label, true);
    // "ｱｲｳ" and "日本" in Shift-JIS, no byte-order mark.
    const QByteArray sjis = "NAME\n\xb1\xb2\xb3\x93\xfa\x96\x7b\n";
    writeFile(dir.filePath("sjis.csv"), sjis);
    const QString out = dir.filePath("out.prn");
    const CliRun r = RunCli({ "print", label, "--data", dir.filePath("sjis.csv"), "--data-encoding", "SHIFT_JIS", "-o", out });
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    // The printer text is in the document code page (936): what the job sends is the GBK form
    // of the text read as Shift-JIS; "日本" is the same in both.
    EXPECT_TRUE(readFile(out).contains("\xc8\xd5\xb1\xbe")) << readFile(out).toHex(' ').toStdString();
}
