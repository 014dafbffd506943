#include "document/Binary.h"
#include "persistence/LabelFile.h"
#include "persistence/RecentFileList.h"
#include "persistence/RegistryStore.h"
#include "persistence/SystemSettings.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace korvel;

namespace {
QString pathIn(const QTemporaryDir& d, const char* name)
{
    return QDir(d.path()).filePath(QString::fromLatin1(name));
}
} // namespace

TEST(SystemSettings, SeededDirectoryLoadsAndHasTheDocumentedSize)
{
    QTemporaryDir dir;
    EXPECT_TRUE(EnsureSettingsDirectory(dir.path()).isEmpty());
    EXPECT_EQ(QFileInfo(pathIn(dir, "Label.dat")).size(), 453); // 312 + 1 + 40 + 40 + 60
    SystemSettings s;
    const SettingsResult r = LoadSystemSettings(dir.path(), nullptr, s);
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_EQ(s.currentModel, 1);
    EXPECT_EQ(s.current.ComPort, 5);
    EXPECT_EQ(s.current.BaudRate, 38400);
    EXPECT_EQ(s.current.PrintSpeed, 'F');
    EXPECT_EQ(s.drawingMode(), 1);
    EXPECT_EQ(s.defaultFontName, QByteArray("Arial"));
}

TEST(SystemSettings, WithoutPrinterIniEveryFieldTakesItsDefault)
{
    QTemporaryDir dir;
    EnsureSettingsDirectory(dir.path());
    QFile::remove(pathIn(dir, "Printer.ini"));
    SystemSettings s;
    ASSERT_TRUE(LoadSystemSettings(dir.path(), nullptr, s).ok);
    EXPECT_EQ(s.currentModel, 1);
    EXPECT_EQ(s.current.PrinterID, 1);
    EXPECT_EQ(s.current.ComPort, 1);
    EXPECT_EQ(s.current.BaudRate, 1);
    EXPECT_EQ(s.current.LPTAddr, 888);
    EXPECT_EQ(s.current.OutDistance, 1);
    EXPECT_EQ(s.current.LED, 1);
    // The profile table still comes from Label.dat.
    EXPECT_EQ(s.profile(1).BaudRate, 38400);
}

TEST(SystemSettings, ModelSectionOverridesLabelDat)
{
    QTemporaryDir dir;
    EnsureSettingsDirectory(dir.path());
    IniFile ini = IniFile::load(pathIn(dir, "Printer.ini"));
    ini.setValue("Generalization", "1", "VTX-M1");
    ini.setValue("VTX-M1", "BaudRate", "9600");
    ini.setValue("VTX-M1", "PrintThickness", "300"); // one-byte fields take the low eight bits
    ini.save(pathIn(dir, "Printer.ini"));
    SystemSettings s;
    ASSERT_TRUE(LoadSystemSettings(dir.path(), nullptr, s).ok);
    EXPECT_EQ(s.current.BaudRate, 9600);
    EXPECT_EQ(s.current.PrintThickness, 300 & 0xFF);
}

TEST(SystemSettings, SaveWritesEveryModelSectionButFive)
{
    QTemporaryDir dir;
    EnsureSettingsDirectory(dir.path());
    IniFile ini = IniFile::load(pathIn(dir, "Printer.ini"));
    ini.setValue("Generalization", "PrnNumber", "6");
    for (int i : {2, 3, 4, 5, 6})
        ini.setValue("Generalization", QByteArray::number(i), "M" + QByteArray::number(i));
    ini.save(pathIn(dir, "Printer.ini"));
    SystemSettings s;
    ASSERT_TRUE(LoadSystemSettings(dir.path(), nullptr, s).ok);
    s.setStartOption(1);
    s.header[100] = 0x42; // an uninterpreted header byte survives
    ASSERT_TRUE(SaveSystemSettings(dir.path(), s).ok);
    const IniFile after = IniFile::load(pathIn(dir, "Printer.ini"));
    for (const char* m : {"M2", "M3", "M4", "M6"})
        EXPECT_TRUE(after.hasSection(m)) << m;
    EXPECT_FALSE(after.hasSection("M5"));
    EXPECT_EQ(QFileInfo(pathIn(dir, "Label.dat")).size(), 312 + 1 + 40 + 6 * 40 + 60);
    SystemSettings again;
    ASSERT_TRUE(LoadSystemSettings(dir.path(), nullptr, again).ok);
    EXPECT_EQ(again.startOption(), 1);
    EXPECT_EQ(again.header[100], 0x42);
}

TEST(SystemSettings, DamagedOrMissingLabelDat)
{
    QTemporaryDir dir;
    SystemSettings s;
    EXPECT_FALSE(LoadSystemSettings(dir.path(), nullptr, s).ok);
    EnsureSettingsDirectory(dir.path());
    const QString dat = pathIn(dir, "Label.dat");
    QByteArray bytes = test::readFile(dat);

    QByteArray wrongSize = bytes;
    wrongSize[0] = 1;
    QByteArray wrongId = bytes;
    wrongId[5] = 'X';
    QByteArray zeroModels = bytes;
    zeroModels[50] = 0;
    zeroModels[51] = 0;
    for (const QByteArray& bad : {wrongSize, wrongId, zeroModels, bytes.left(400)}) {
        test::writeFile(dat, bad);
        const SettingsResult r = LoadSystemSettings(dir.path(), nullptr, s);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.message.startsWith(QStringLiteral("加载系统配置文件错误")));
    }
    // The start repairs it and keeps the damaged file aside.
    const QString message = EnsureSettingsDirectory(dir.path());
    EXPECT_FALSE(message.isEmpty());
    EXPECT_TRUE(QFile::exists(dat + ".damaged"));
    EXPECT_TRUE(LoadSystemSettings(dir.path(), nullptr, s).ok);
}

TEST(SystemSettings, RegistryLanguageIsConsumedOnce)
{
    QTemporaryDir dir;
    EnsureSettingsDirectory(dir.path());
    RegistryStore reg(pathIn(dir, "registry.ini"));
    reg.setValue(LanguageKey, "Language", "en");
    SystemSettings s;
    ASSERT_TRUE(LoadSystemSettings(dir.path(), &reg, s).ok);
    EXPECT_EQ(s.languageIndex(), 1);
    RegistryStore reread(pathIn(dir, "registry.ini"));
    EXPECT_EQ(reread.value(LanguageKey, "Language"), QByteArray("Null"));
    SystemSettings t;
    ASSERT_TRUE(LoadSystemSettings(dir.path(), &reread, t).ok);
    EXPECT_EQ(t.languageIndex(), 0);
}

TEST(RecentFileList, RotationAndCaseInsensitiveMoves)
{
    QTemporaryDir dir;
    RegistryStore reg(pathIn(dir, "registry.ini"));
    TRecentFileList recent(reg);
    EXPECT_TRUE(recent.GetFileList().isEmpty());
    for (const char* p : {"/a.kvl", "/b.kvl", "/c.kvl", "/d.kvl", "/e.kvl"})
        recent.AddFileName(QString::fromLatin1(p));
    EXPECT_EQ(recent.GetFileList(), (QStringList{"/e.kvl", "/d.kvl", "/c.kvl", "/b.kvl"}));
    recent.AddFileName("/C.KVL");
    EXPECT_EQ(recent.GetFileList(), (QStringList{"/c.kvl", "/e.kvl", "/d.kvl", "/b.kvl"}));
    // The "SoftWare\Tessaro" spelling reaches the same key.
    EXPECT_EQ(reg.value("SoftWare\\Tessaro", "RecentFileName1"), QByteArray("/c.kvl"));
}

TEST(RecentFileList, DeletingTheOnlyPathKeepsItsOldValue)
{
    QTemporaryDir dir;
    RegistryStore reg(pathIn(dir, "registry.ini"));
    TRecentFileList recent(reg);
    recent.AddFileName("/only.kvl");
    recent.DeleteFileName("/ONLY.kvl");
    EXPECT_TRUE(recent.GetFileList().isEmpty());
    EXPECT_EQ(reg.intValue(RecentFilesKey, "FileNumber", -1), 0);
    EXPECT_EQ(reg.value(RecentFilesKey, "RecentFileName1"), QByteArray("/only.kvl"));
    EXPECT_EQ(recent.menuEntries(), QStringList{"/only.kvl"});
}
