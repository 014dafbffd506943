#include "document/Binary.h"
#include "variables/database/SourceBlock.h"

#include <gtest/gtest.h>

using namespace korvel;

namespace {

TDataSourceBlock sampleBlock()
{
    TDataSourceBlock b;
    b.tables = {"Sheet1$", "Sheet2$"};
    b.tableIndex = 1;
    b.fields = {"Code", "Name", "Qty"};
    b.selected = {true, false, true};
    b.sort = {{"Name", true}};
    b.filters = {{FilterJoin::And, "Qty", 3, "12.5"}};
    b.isFile = true;
    b.filePath = "/data/goods.xls";
    b.text = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/data/goods.xls;";
    return b;
}

} // namespace

TEST(SourceBlock, LayoutIsLittleEndianInTheStoredOrder)
{
    const QByteArray bytes = sampleBlock().toBytes();
    const qsizetype expected = 14 + 21 * 2 + 21 * 3 + 3 + 22 + 74 + 4 + 256 + 4 + 4096;
    ASSERT_EQ(bytes.size(), expected);
    const FixedRecord r(bytes);
    EXPECT_EQ(r.i32(0), 2);  // tableCount
    EXPECT_EQ(r.i32(4), 1);  // tableIndex
    EXPECT_EQ(r.i32(8), 3);  // fieldCount
    EXPECT_EQ(r.u8(12), 1);  // sortCount
    EXPECT_EQ(r.u8(13), 1);  // filterCount
    EXPECT_EQ(r.str(14, 20), "Sheet1$");
    EXPECT_EQ(r.str(35, 20), "Sheet2$");
    EXPECT_EQ(r.str(56 + 21, 20), "Name");
    const qsizetype selected = 56 + 63;
    EXPECT_EQ(r.u8(selected), 1);
    EXPECT_EQ(r.u8(selected + 1), 0);
    EXPECT_EQ(r.u8(selected + 2), 1);
    const qsizetype sort = selected + 3;
    EXPECT_EQ(r.str(sort, 20), "Name");
    EXPECT_EQ(r.u8(sort + 21), 1);
    const qsizetype filter = sort + 22;
    EXPECT_EQ(r.u8(filter), 0);
    EXPECT_EQ(r.str(filter + 1, 20), "Qty");
    EXPECT_EQ(r.u8(filter + 22), 3);
    EXPECT_EQ(r.str(filter + 23, 50), "12.5");
    const qsizetype isFile = filter + 74;
    EXPECT_EQ(r.i32(isFile), 1);
    EXPECT_EQ(r.str(isFile + 4, 255), "/data/goods.xls");
    EXPECT_EQ(r.i32(isFile + 260), sampleBlock().text.size());
    EXPECT_EQ(r.raw(isFile + 264, sampleBlock().text.size()), sampleBlock().text);
    EXPECT_EQ(r.u8(expected - 1), 0); // the text field is zero-filled
}

TEST(SourceBlock, RoundTripsAndOmitsThePathOfAnOdbcSource)
{
    TDataSourceBlock b = sampleBlock();
    auto back = TDataSourceBlock::fromBytes(b.toBytes());
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, b);
    EXPECT_EQ(back->chosenTable(), "Sheet2$");
    EXPECT_EQ(back->selectedFields(), (std::vector<QByteArray>{"Code", "Qty"}));

    b.isFile = false;
    b.filePath.clear();
    b.text = "Sales";
    const QByteArray odbc = b.toBytes();
    EXPECT_EQ(odbc.size(), sampleBlock().toBytes().size() - 256);
    back = TDataSourceBlock::fromBytes(odbc);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, b);
}

TEST(SourceBlock, EmptyMeansNoSourceAndDamageIsReported)
{
    QString error = QStringLiteral("x");
    EXPECT_FALSE(TDataSourceBlock::fromBytes({}, &error));
    EXPECT_TRUE(error.isEmpty());

    const QByteArray good = sampleBlock().toBytes();
    struct Case {
        const char* what;
        QByteArray bytes;
    };
    QByteArray hugeCount = good;
    {
        FixedRecord r(hugeCount);
        r.setI32(0, 100000);
        hugeCount = r.bytes();
    }
    QByteArray badLength = good;
    {
        FixedRecord r(badLength);
        r.setI32(good.size() - 4096 - 4, 5000);
        badLength = r.bytes();
    }
    const Case cases[] = {
        {"header only", good.left(10)},
        {"cut in the text", good.left(good.size() - 1)},
        {"cut in the filters", good.left(200)},
        {"impossible table count", hugeCount},
        {"text length above the field", badLength},
    };
    for (const Case& c : cases) {
        error.clear();
        EXPECT_FALSE(TDataSourceBlock::fromBytes(c.bytes, &error)) << c.what;
        EXPECT_FALSE(error.isEmpty()) << c.what;
    }
}

TEST(SourceBlock, WritingCapsListsAndNamesSoTheBlockReadsBack)
{
    TDataSourceBlock b;
    for (int i = 0; i < 130; ++i) {
        b.fields.push_back("Field" + QByteArray::number(i) + "_with_a_long_name");
        b.selected.push_back(i % 2 == 0);
    }
    b.tables = {"T"};
    b.tableIndex = 0;
    b.text = QByteArray(5000, 'x');
    const auto back = TDataSourceBlock::fromBytes(b.toBytes());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->fields.size(), 100u);
    EXPECT_EQ(back->fields[3], "Field3_with_a_long_n");
    EXPECT_EQ(back->text.size(), TDataSourceBlock::TextCapacity);
}
