#include "document/CodePage.h"
#include "document/IniFile.h"
#include "persistence/PrintLog.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace korvel;

TEST(PrintLog, SixKeysInOneSectionPerSecond)
{
    QTemporaryDir dir;
    QDateTime t(QDate(2026, 12, 9), QTime(10, 0, 0));
    int calls = 0;
    auto clock = [&] {
        // The fifth write happens a second later and opens a new section.
        return ++calls >= 5 ? t.addSecs(1) : t;
    };
    ASSERT_TRUE(AppendPrintLog(dir.path(), {"3", "Apple", 10, 2}, clock));
    const IniFile ini = IniFile::load(QDir(dir.path()).filePath("LOG.ini"));
    ASSERT_EQ(ini.sections().size(), 2u);
    const CodePage& cp = CodePage::document();
    const auto& first = ini.sections()[0];
    ASSERT_EQ(first.entries.size(), 4u);
    EXPECT_EQ(first.entries[0].key, cp.fromUnicode(QStringLiteral("起始记录号")));
    EXPECT_EQ(first.entries[0].value, QByteArray("3"));
    EXPECT_EQ(first.entries[3].value, QByteArray("13")); // last record = count + start
    const auto& second = ini.sections()[1];
    EXPECT_EQ(second.entries[1].value, QByteArray("20")); // labels = count x copies
}
