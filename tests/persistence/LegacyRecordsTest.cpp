#include "persistence/LegacyRecords.h"

#include <gtest/gtest.h>

#include <limits>

using namespace korvel;

namespace {
constexpr int IntMax = std::numeric_limits<int>::max();
}

TEST(LegacyRecords, HugeNumbersAreKeptWithinIntAndRefused)
{
    // Found by fuzzing: widths, positions and font sizes of damaged records were multiplied and
    // added in int, which overflowed and could wrap round to plausible-looking values.
    RecordContext ctx;
    ctx.layout = RecordLayout::Legacy;
    ctx.documentZoom = 200;
    const PoolReader pool(QByteArray(16, 'x'));

    FixedRecord line(RecordSize(RecordLayout::Legacy, 1));
    line.setI32(24, IntMax);     // line width
    line.setU8(28, 4);           // direction: down to the right
    line.setI32(32, IntMax);     // x
    line.setI32(36, -IntMax);    // y
    line.setI32(40, IntMax);     // dx
    line.setI32(44, -IntMax);    // dy
    PropertyMap m;
    int kind = 0;
    ASSERT_TRUE(ReadLegacyRecord(1, line, pool, ctx, m, kind, nullptr));
    EXPECT_EQ(m.value("LineWidth").toInt(), IntMax);
    EXPECT_EQ(m.value("StartXPx").toInt(), IntMax);
    EXPECT_EQ(m.value("EndXPx").toInt(), IntMax);
    EXPECT_EQ(m.value("EndYPx").toInt(), std::numeric_limits<int>::min());
    EXPECT_EQ(MakeObject(1, line, pool, ctx).object, nullptr);

    FixedRecord text(RecordSize(RecordLayout::Legacy, 4));
    text.setI32(56, 4); // text: pool length and offset
    text.setI32(60, 0);
    text.setI32(92, 8);            // zoom across
    text.setI32(96, 8);            // zoom down
    text.setI32(140, 1 << 29);     // font size
    text.setI32(144, -(1 << 29)); // width rate
    ASSERT_TRUE(ReadLegacyRecord(4, text, pool, ctx, m, kind, nullptr));
    EXPECT_EQ(m.value("TextFontSize").toInt(), IntMax);
    EXPECT_EQ(m.value("TextWidthRate").toInt(), std::numeric_limits<int>::min());
    EXPECT_EQ(MakeObject(4, text, pool, ctx).object, nullptr);

    // Ordinary numbers convert as before.
    FixedRecord small(RecordSize(RecordLayout::Legacy, 1));
    small.setI32(24, 3);
    small.setU8(28, 4);
    small.setI32(32, 10);
    small.setI32(40, 25);
    ASSERT_TRUE(ReadLegacyRecord(1, small, pool, ctx, m, kind, nullptr));
    EXPECT_EQ(m.value("LineWidth").toInt(), 6);
    EXPECT_EQ(m.value("StartXPx").toInt(), 20);
    EXPECT_EQ(m.value("EndXPx").toInt(), 70);
}

TEST(LegacyRecords, PixelPositionsBeyondTheMillimetreRangeAreRefused)
{
    // Found by fuzzing: a legacy line 9500 pixels down (2513 mm at 200 %) passed the pixel
    // check, but the next save wrote it in millimetres, which the next opening refused: the
    // object was lost. The reader now refuses it at once; within range it is kept.
    RecordContext ctx;
    ctx.layout = RecordLayout::Legacy;
    ctx.documentZoom = 200;
    const PoolReader pool;
    for (const int y : {9500, 3000}) {
        FixedRecord line(RecordSize(RecordLayout::Legacy, 1));
        line.setI32(24, 1);
        line.setU8(28, 4);
        line.setI32(32, 10);
        line.setI32(36, y);
        line.setI32(40, 20);
        line.setI32(44, 20);
        const RecordResult r = MakeObject(1, line, pool, ctx);
        EXPECT_EQ(r.object != nullptr, y == 3000) << y << ": " << r.error.toStdString();
    }
}
