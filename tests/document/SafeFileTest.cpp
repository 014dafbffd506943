#include "document/SafeFile.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace korvel;
using korvel::test::readFile;
using korvel::test::writeFile;

TEST(SafeFile, ReplacesWholeKeepsModeAndFollowsLinks)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("settings.ini");
    ASSERT_TRUE(writeFile(path, "old"));
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    QString error;
    ASSERT_TRUE(WriteFileSafely(path, "new", &error)) << error.toStdString();
    EXPECT_EQ(readFile(path), "new");
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    // A dangling link: the file it names is made, the link stays.
    const QString link = dir.filePath("link");
    ASSERT_TRUE(QFile::link(dir.filePath("made"), link));
    ASSERT_TRUE(WriteFileSafely(link, "through", &error)) << error.toStdString();
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readFile(dir.filePath("made")), "through");
    EXPECT_TRUE(SameFile(link, dir.filePath("made")));
    EXPECT_FALSE(SameFile(path, dir.filePath("made")));
    EXPECT_FALSE(SameFile(path, dir.filePath("absent")));
}

TEST(SafeFile, DiscardedWriterLeavesNothing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.prn");
    ASSERT_TRUE(writeFile(path, "old"));
    {
        SafeFileWriter writer(path);
        QString error;
        ASSERT_TRUE(writer.open(&error));
        ASSERT_TRUE(writer.write(QByteArray(200000, 'x'), &error));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }
    EXPECT_EQ(readFile(path), "old");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { "out.prn" });

    // Refusals: a folder, a read-only file, a missing folder.
    QString error;
    EXPECT_FALSE(WriteFileSafely(dir.path(), "x", &error));
    EXPECT_TRUE(error.contains("folder")) << error.toStdString();
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    EXPECT_FALSE(WriteFileSafely(path, "x", &error));
    EXPECT_TRUE(error.contains("read-only")) << error.toStdString();
    EXPECT_EQ(readFile(path), "old");
    EXPECT_FALSE(WriteFileSafely(dir.filePath("no/such/file"), "x", &error));
}
