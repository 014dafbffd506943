// Saving must never damage the file being replaced. The operating system's file-size limit
// stops a save at any chosen byte, whatever the writing code does: with the signal ignored the
// write fails (a full disk), with the signal's default action the process dies on the spot (a
// kill or a power cut). Each save is stopped at every byte of a small file and at spread-out
// bytes of a larger one. A failed save must be reported and leave the old file as it was; a
// killed save must leave the old file or the complete new one.

#include "barcode/OABarCode.h"
#include "document/IniFile.h"
#include "document/LabelDocument.h"
#include "document/OAHVLine.h"
#include "document/OAImage.h"
#include "document/OALabel.h"
#include "document/OARectangle.h"
#include "persistence/LabelFile.h"
#include "persistence/SystemSettings.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace korvel;

namespace {

/// Lowers this process's file-size limit; writes beyond it fail with EFBIG instead of raising
/// SIGXFSZ. Nothing between construction and destruction may report (a test log written to a
/// file would be cut short too).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_ {};
    void (*oldHandler_)(int) = SIG_DFL;
};

/// The byte counts at which a save of `size` bytes is stopped: every one of the first 300,
/// then about 150 more spread over the rest.
std::vector<qint64> stopPoints(qint64 size)
{
    std::vector<qint64> out;
    const qint64 step = std::max<qint64>(1, (size - 300) / 150);
    for (qint64 n = 0; n < size; n += n < 300 ? 1 : step)
        out.push_back(n);
    if (size > 0)
        out.push_back(size - 1);
    return out;
}

/// The names in a directory, so that no temporary file is left behind by a failed save.
QStringList entries(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

struct SaveCase {
    /// The names of the files the save writes in the directory.
    QStringList files;
    /// Saves; true when the save reports success.
    std::function<bool()> save;
};

/// Reads the files a save touches.
QList<QByteArray> contents(const QString& dir, const QStringList& files)
{
    QList<QByteArray> out;
    for (const QString& f : files)
        out << test::readFile(QDir(dir).filePath(f));
    return out;
}

/// Stops the save at each point with the write failing.
void checkFailedSavesKeepOldFiles(const QString& dir, const SaveCase& c, const QList<QByteArray>& before,
                                  const QList<QByteArray>& after)
{
    qint64 largest = 0;
    for (const QByteArray& b : after)
        largest = std::max<qint64>(largest, b.size());
    const QStringList names = entries(dir);
    for (const qint64 n : stopPoints(largest)) {
        bool ok = false;
        {
            FileSizeLimit limit(static_cast<rlim_t>(n));
            ok = c.save();
        }
        const QList<QByteArray> now = contents(dir, c.files);
        bool allNew = true;
        for (int i = 0; i < c.files.size(); ++i) {
            // Each file is whole: the old one or, when its own write got through, the new one.
            EXPECT_TRUE(now[i] == before[i] || now[i] == after[i]) << c.files[i].toStdString() << " damaged at byte " << n;
            allNew = allNew && now[i] == after[i];
        }
        // A save that did not get every file through says so.
        EXPECT_EQ(ok, allNew) << "stopped at byte " << n;
        EXPECT_EQ(entries(dir), names) << "temporary file left at byte " << n;
        // Back to the old state for the next stop.
        for (int i = 0; i < c.files.size(); ++i)
            test::writeFile(QDir(dir).filePath(c.files[i]), before[i]);
    }
}

/// The same stops, with the process killed at the stop (in a child process).
void checkKilledSavesKeepOldFiles(const QString& dir, const SaveCase& c, const QList<QByteArray>& before,
                                  const QList<QByteArray>& after)
{
    qint64 largest = 0;
    for (const QByteArray& b : after)
        largest = std::max<qint64>(largest, b.size());
    const std::vector<qint64> all = stopPoints(largest);
    // Forking is slower than failing; a tenth of the stops, first and last included.
    std::vector<qint64> stops;
    for (size_t i = 0; i < all.size(); i += 10)
        stops.push_back(all[i]);
    stops.push_back(all.back());
    int killed = 0;
    for (const qint64 n : stops) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            rlimit noCore {0, 0};
            setrlimit(RLIMIT_CORE, &noCore);
            std::signal(SIGXFSZ, SIG_DFL);
            rlimit limit {};
            getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = static_cast<rlim_t>(n);
            setrlimit(RLIMIT_FSIZE, &limit);
            _exit(c.save() ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        if (WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ)
            ++killed;
        const QList<QByteArray> now = contents(dir, c.files);
        for (int i = 0; i < c.files.size(); ++i)
            EXPECT_TRUE(now[i] == before[i] || now[i] == after[i]) << c.files[i].toStdString() << " damaged by a kill at byte " << n;
        // The killed save's temporary file is the only trace; it is not the target.
        for (const QString& name : entries(dir))
            if (!c.files.contains(name))
                QFile::remove(QDir(dir).filePath(name));
        for (int i = 0; i < c.files.size(); ++i)
            test::writeFile(QDir(dir).filePath(c.files[i]), before[i]);
    }
    // The limit really stopped the saves (else this test would prove nothing).
    EXPECT_GE(killed, static_cast<int>(stops.size()) - 1);
}

/// Runs both checks: `prepare` writes the old files into the directory, `c.save` writes new ones.
void checkSave(const QString& dir, const SaveCase& c, const std::function<void()>& prepare)
{
    prepare();
    const QList<QByteArray> before = contents(dir, c.files);
    ASSERT_TRUE(c.save());
    const QList<QByteArray> after = contents(dir, c.files);
    for (int i = 0; i < c.files.size(); ++i) {
        ASSERT_FALSE(after[i].isEmpty()) << c.files[i].toStdString();
        ASSERT_NE(after[i], before[i]) << c.files[i].toStdString() << ": the save must change the file";
    }
    for (int i = 0; i < c.files.size(); ++i)
        test::writeFile(QDir(dir).filePath(c.files[i]), before[i]);

    checkFailedSavesKeepOldFiles(dir, c, before, after);
    checkKilledSavesKeepOldFiles(dir, c, before, after);
    // After all of that a plain save still works and writes the new files.
    ASSERT_TRUE(c.save());
    EXPECT_EQ(contents(dir, c.files), after);
}

/// A label with one object of each common kind and a small picture, about 4 KB on disk.
void fillLabel(LabelDocument& doc, const QByteArray& text)
{
    auto t = std::make_unique<TOAText>(QStringLiteral("Text1"));
    t->SetText(text);
    doc.appendObject(std::move(t));
    auto bar = std::make_unique<TOABarCode>();
    bar->SetBarCodeType(TBarCodeType::bcCode128);
    bar->SetText("KORVEL-0001");
    doc.appendObject(std::move(bar));
    auto line = std::make_unique<TOAHVLine>();
    line->setAbsStartX(2);
    line->setAbsEndX(40);
    doc.appendObject(std::move(line));
    auto box = std::make_unique<TOARectangle>();
    box->setAbsWidth(30);
    box->setAbsHeight(12);
    doc.appendObject(std::move(box));
    auto image = std::make_unique<TOAImage>();
    QImage picture(40, 24, QImage::Format_RGB888);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x * 6, y * 10, (x ^ y) * 4));
    image->SetOrgPicture(picture);
    doc.appendObject(std::move(image));
}

} // namespace

TEST(SaveRobustness, LabelFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("label.kvl"));
    LabelDocument newer;
    fillLabel(newer, "new text");

    int untold = 0;
    SaveCase c;
    c.files = {QStringLiteral("label.kvl")};
    c.save = [&] {
        newer.modified = true;
        const LabelFileResult r = WriteLabelFile(path, newer);
        if (r.status == LabelFileResult::Status::Ok)
            return !newer.modified;
        // A failed save is told, and the document still counts as unsaved.
        if (r.status != LabelFileResult::Status::CannotWrite || r.message.isEmpty() || !newer.modified)
            ++untold;
        return false;
    };
    checkSave(dir.path(), c, [&] {
        LabelDocument older;
        fillLabel(older, "old text, a little longer");
        ASSERT_EQ(WriteLabelFile(path, older).status, LabelFileResult::Status::Ok);
    });
    EXPECT_EQ(untold, 0);
}

TEST(SaveRobustness, LabelDatAndPrinterIni)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    SystemSettings settings = DefaultSystemSettings();
    settings.currentModel = 3;
    settings.setStartOption(2);
    TPrinterSetting p = settings.current;
    p.BaudRate = 7;
    settings.setProfile(3, p);

    int untold = 0;
    SaveCase c;
    c.files = {QStringLiteral("Label.dat"), QStringLiteral("Printer.ini")};
    c.save = [&] {
        const SettingsResult r = SaveSystemSettings(dir.path(), settings);
        if (!r.ok && r.message.isEmpty())
            ++untold;
        return r.ok;
    };
    checkSave(dir.path(), c, [&] { ASSERT_TRUE(EnsureSettingsDirectory(dir.path()).isEmpty()); });
    EXPECT_EQ(untold, 0);
}

TEST(SaveRobustness, IniFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("registry.ini"));
    IniFile newer;
    for (int i = 0; i < 40; ++i)
        newer.setValue("Software\\Movani\\Korvel\\Recent", "File" + QByteArray::number(i), "/labels/label" + QByteArray::number(i) + ".kvl");

    int untold = 0;
    SaveCase c;
    c.files = {QStringLiteral("registry.ini")};
    c.save = [&] {
        QString error;
        const bool ok = newer.save(path, &error);
        if (!ok && error.isEmpty())
            ++untold;
        return ok;
    };
    checkSave(dir.path(), c, [&] {
        IniFile older;
        older.setValue("Software\\Movani\\Korvel\\Settings", "Language", "en");
        ASSERT_TRUE(older.save(path));
    });
    EXPECT_EQ(untold, 0);
}
