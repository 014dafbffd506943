#include "printing/ports/FilePort.h"
#include "printing/ports/NonePort.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

using namespace korvel;
using korvel::test::readFile;
using korvel::test::writeFile;

TEST(FilePort, AppendModeAddsEveryPieceEvenWithoutOpening)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("temp.txt"));
    ASSERT_TRUE(writeFile(path, "old"));
    {
        // The write-to-file switch: the job neither opens nor closes the port.
        FilePort port(path, FilePort::Mode::Append);
        ASSERT_TRUE(port.SendPiece("\x02m"));
        ASSERT_TRUE(port.SendPiece(QByteArray()));
        ASSERT_TRUE(port.SendPiece(QByteArray("\x00\r", 2)));
    }
    FilePort again(path, FilePort::Mode::Append);
    ASSERT_TRUE(again.OpenPort());
    ASSERT_TRUE(again.SendPiece("E\r"));
    ASSERT_TRUE(again.ClosePort());
    EXPECT_EQ(readFile(path), QByteArray("old\x02m\x00\rE\r", 9));
}

TEST(FilePort, FreshModeReplacesTheFileOnlyWhenCommitted)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("job.qcml"));
    ASSERT_TRUE(writeFile(path, "stale contents"));
    FilePort port(path, FilePort::Mode::Fresh);
    ASSERT_TRUE(port.OpenPort());
    ASSERT_TRUE(port.SendPiece("A"));
    ASSERT_TRUE(port.ClosePort());
    ASSERT_TRUE(port.SendPiece("B")); // reopened after the close: goes on
    ASSERT_TRUE(port.ClosePort());
    EXPECT_EQ(readFile(path), "stale contents");
    ASSERT_TRUE(port.CommitOutput());
    EXPECT_EQ(readFile(path), "AB");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);

    // A port that is never committed (a job that failed) leaves the old file and no temporary.
    {
        FilePort failed(path, FilePort::Mode::Fresh);
        ASSERT_TRUE(failed.OpenPort());
        ASSERT_TRUE(failed.SendPiece(QByteArray(100000, 'x')));
        ASSERT_TRUE(failed.ClosePort());
    }
    EXPECT_EQ(readFile(path), "AB");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(FilePort, UnwritableTargetIsReported)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("no/such/folder/temp.txt"));
    FilePort port(path, FilePort::Mode::Append);
    PortStatus s = port.SendPiece("x");
    EXPECT_EQ(s.code, PortError::OpenFailed);
    EXPECT_TRUE(s.text().contains(QStringLiteral("temp.txt"))) << s.text().toStdString();
    EXPECT_EQ(FilePort(path, FilePort::Mode::Fresh).OpenPort().code, PortError::OpenFailed);
    EXPECT_EQ(FilePort(QString(), FilePort::Mode::Fresh).OpenPort().code, PortError::OpenFailed);
    EXPECT_EQ(FilePort(dir.path(), FilePort::Mode::Fresh).OpenPort().code, PortError::OpenFailed);

    // A device that takes nothing: the write is reported, not counted as sent.
    FilePort full(QStringLiteral("/dev/full"), FilePort::Mode::Fresh);
    if (full.OpenPort()) {
        s = full.SendPiece(QByteArray(64 * 1024, 'x'));
        EXPECT_EQ(s.code, PortError::WriteFailed);
    }
    // Small pieces wait to be written together; the failure then comes with the close.
    FilePort later(QStringLiteral("/dev/full"), FilePort::Mode::Fresh);
    if (later.OpenPort()) {
        EXPECT_TRUE(later.SendPiece("small"));
        EXPECT_EQ(later.ClosePort().code, PortError::WriteFailed);
        EXPECT_FALSE(later.isOpen());
    }
}

TEST(FilePort, NoneSwallowsPiecesButNeverOpens)
{
    NonePort none;
    EXPECT_EQ(none.OpenPort().code, PortError::NoPort);
    EXPECT_TRUE(none.SendPiece("anything"));
    EXPECT_TRUE(none.ClosePort());
    EXPECT_FALSE(none.SetSerialWriteTimeout(10000));
}
