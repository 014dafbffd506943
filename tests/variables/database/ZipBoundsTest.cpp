#include "variables/database/ZipArchive.h"

#include "TestWorkbooks.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace korvel;
using namespace korvel::test;

// A part that inflates out of all proportion is refused from the directory, before a byte of it
// is inflated; an honest part of a normal size still reads.
TEST(ZipBounds, PartsOutOfProportionAreRefusedAtOnce)
{
    QTemporaryDir dir;
    const QString bomb = dir.filePath("bomb.xlsx");
    writeFile(bomb,
        MakeZip({ { QStringLiteral("xl/worksheets/sheet1.xml"), QByteArray(40 * 1024 * 1024, '\0') },
                    { QStringLiteral("small.xml"), QByteArray(1000, 'a') } },
            true));
    ZipArchive zip;
    ASSERT_TRUE(zip.open(bomb)) << zip.errorString().toStdString();
    const ZipArchive::Entry* sheet = zip.find(QStringLiteral("xl/worksheets/sheet1.xml"));
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(zip.openEntry(*sheet), nullptr);
    EXPECT_TRUE(zip.errorString().contains("inflate")) << zip.errorString().toStdString();
    const ZipArchive::Entry* small = zip.find(QStringLiteral("small.xml"));
    ASSERT_NE(small, nullptr);
    QByteArray bytes;
    EXPECT_TRUE(zip.readAll(*small, &bytes));
    EXPECT_EQ(bytes, QByteArray(1000, 'a'));

    // A directory that declares a gigabyte is refused on its word.
    QByteArray lying = MakeZip({ { QStringLiteral("xl/worksheets/sheet1.xml"), QByteArray("<x/>") } }, true);
    const qsizetype central = lying.indexOf(QByteArray("PK\x01\x02", 4));
    ASSERT_GT(central, 0);
    const quint32 gigabyte = 1u << 30;
    for (int i = 0; i < 4; ++i)
        lying[central + 24 + i] = char((gigabyte >> (8 * i)) & 0xFF);
    const QString lyingPath = dir.filePath("lying.xlsx");
    writeFile(lyingPath, lying);
    ZipArchive second;
    ASSERT_TRUE(second.open(lyingPath));
    EXPECT_EQ(second.openEntry(second.entries().front()), nullptr);
}
