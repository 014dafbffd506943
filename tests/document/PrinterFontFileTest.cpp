#include "document/PrinterFontFile.h"

#include "TextTestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace korvel;
using namespace korvel::test;

namespace {

// A 3-bit wide letter of four rows, three of them above the baseline.
const HandGlyph kA { 'A', 3, 4, 3, -1, { 0xE0, 0x40, 0xA0, 0xE0 } };
// Two rows, 2 bits wide, its own advance of 6.
const HandGlyph kB { 'B', 2, 2, 2, 6, { 0xC0, 0x40 } };

std::vector<HandFont> smallFonts()
{
    return {
        { 1, 'A', 4, 12, { kA, kB } },
        { 5, 'A', 4, 12, { kA, kB } },
    };
}

/// The picture as rows of '#' (ink) and '.' (paper).
std::vector<std::string> art(const QImage& img)
{
    std::vector<std::string> rows;
    for (int y = 0; y < img.height(); ++y) {
        std::string row;
        for (int x = 0; x < img.width(); ++x)
            row += isInk(img, x, y) ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

} // namespace

TEST(PrinterFontFile, ReadsHeaderAndBothGlyphHeaderSizes)
{
    const PrinterFontFile file = PrinterFontFile::fromBytes(buildGlyphFile(smallFonts()));
    ASSERT_TRUE(file.isValid());
    PrinterFontHeader h;
    ASSERT_EQ(file.header(1, &h), PrinterFontError::None);
    EXPECT_EQ(h.firstChar, 'A');
    EXPECT_EQ(h.defaultAdvance, 4);
    EXPECT_EQ(h.cellHeight, 12);

    const auto a = file.glyph(1, 'A');
    ASSERT_TRUE(a.has_value());
    EXPECT_EQ(a->ascent, 3);
    EXPECT_EQ(a->rows, 4);
    EXPECT_EQ(a->width, 3);
    EXPECT_EQ(a->advance, 4) << "a 6-byte header takes the default advance";
    EXPECT_TRUE(a->pixel(1, 1));
    EXPECT_FALSE(a->pixel(1, 2));
    EXPECT_FALSE(a->pixel(3, 0)) << "outside the glyph's width";
    EXPECT_FALSE(a->pixel(0, -1));

    const auto b = file.glyph(1, 'B');
    ASSERT_TRUE(b.has_value());
    EXPECT_EQ(b->advance, 6) << "an 8-byte header carries its own advance";
    EXPECT_FALSE(file.glyph(1, 'C').has_value()) << "an index entry of four zero bytes";
    EXPECT_FALSE(file.glyph(1, '0').has_value()) << "below the first character";
    EXPECT_FALSE(file.glyph(1, 129).has_value());
}

TEST(PrinterFontFile, BaselineIsFiveSixthsOrTheCellBottom)
{
    struct Row {
        int font;
        int cell;
        int baseline;
    };
    const Row rows[] = {
        { 1, 12, 10 },
        { 2, 12, 10 },
        { 4, 12, 10 },
        { 8, 12, 10 },
        { 10, 31, 25 },
        { 22, 37, 30 },
        { 5, 12, 12 },
        { 6, 59, 59 },
        { 7, 67, 67 },
        { 9, 31, 31 },
    };
    for (const Row& r : rows)
        EXPECT_EQ(PrinterFontBaseline(r.font, r.cell), r.baseline) << "font " << r.font;
}

TEST(PrinterFontFile, DrawsGlyphRowsAgainstTheBaseline)
{
    const PrinterFontFile file = PrinterFontFile::fromBytes(buildGlyphFile(smallFonts()));
    // Font 1: baseline 10, the glyph's first row at 10 - 3 = 7.
    const PrinterFontPicture one = RenderPrinterFontText(file, 1, "A");
    ASSERT_TRUE(one.ok());
    const std::vector<std::string> expectedOne = {
        "....",
        "....",
        "....",
        "....",
        "....",
        "....",
        "....",
        "###.",
        ".#..",
        "#.#.",
        "###.",
        "....",
    };
    EXPECT_EQ(art(one.image), expectedOne);

    // Font 5 stands on the cell bottom: the row below the baseline falls outside.
    const PrinterFontPicture five = RenderPrinterFontText(file, 5, "A");
    ASSERT_TRUE(five.ok());
    const std::vector<std::string> expectedFive = {
        "....",
        "....",
        "....",
        "....",
        "....",
        "....",
        "....",
        "....",
        "....",
        "###.",
        ".#..",
        "#.#.",
    };
    EXPECT_EQ(art(five.image), expectedFive);
}

TEST(PrinterFontFile, LaysOutAdvancesSpacesAndSkippedBytes)
{
    const PrinterFontFile file = PrinterFontFile::fromBytes(buildGlyphFile(smallFonts()));
    struct Row {
        QByteArray text;
        int width;
        const char* why;
    };
    const Row rows[] = {
        { "A", 4, "default advance" },
        { "AB", 10, "own advance of the 8-byte header" },
        { "A A", 12, "the space takes the default advance" },
        { " ", 4, "a lone space" },
        { "A0C\xC8"
          "A",
            8, "below the first character, a zero entry and bytes above 128 take no room" },
        { "", 10, "an empty result is 10 wide" },
        { "\xB0\xA1", 10, "a double-byte character has no glyph" },
        { "\r\n", 10, "line breaks are skipped" },
    };
    for (const Row& r : rows) {
        const PrinterFontPicture p = RenderPrinterFontText(file, 1, r.text);
        ASSERT_TRUE(p.ok()) << r.why;
        EXPECT_EQ(p.image.width(), r.width) << r.why;
        EXPECT_EQ(p.image.height(), 12) << r.why;
    }
    // B's own advance, then the blank space, then A; each glyph against the baseline (row 10).
    const std::vector<std::string> ab = art(RenderPrinterFontText(file, 1, "B A").image);
    ASSERT_EQ(ab.size(), 12u);
    EXPECT_EQ(ab[7], "..........###.");
    EXPECT_EQ(ab[8], "##.........#..");
    EXPECT_EQ(ab[9], ".#........#.#.");
    EXPECT_EQ(ab[10], "..........###.");
}

TEST(PrinterFontFile, BadFilesGiveErrorValues)
{
    const QByteArray good = buildGlyphFile(smallFonts());
    EXPECT_EQ(PrinterFontFile().error(), PrinterFontError::FileMissing);
    EXPECT_EQ(PrinterFontFile::fromBytes(QByteArray()).error(), PrinterFontError::FileUnreadable);
    EXPECT_EQ(
        PrinterFontFile::load(QStringLiteral("/nonexistent/ASCIIPrnZK.fon")).error(), PrinterFontError::FileMissing);

    QTemporaryDir dir;
    const QString emptyPath = dir.filePath(QStringLiteral("empty.fon"));
    ASSERT_TRUE(writeFile(emptyPath, QByteArray()));
    EXPECT_EQ(PrinterFontFile::load(emptyPath).error(), PrinterFontError::FileUnreadable);
    EXPECT_EQ(PrinterFontFile::load(dir.path()).error(), PrinterFontError::FileUnreadable) << "a folder";

    const PrinterFontFile file = PrinterFontFile::fromBytes(good);
    PrinterFontHeader h;
    EXPECT_EQ(file.header(0, &h), PrinterFontError::NoSuchFont);
    EXPECT_EQ(file.header(24, &h), PrinterFontError::NoSuchFont);
    EXPECT_EQ(file.header(3, &h), PrinterFontError::FontDamaged) << "cell height 0";
    EXPECT_EQ(file.header(23, &h), PrinterFontError::FontDamaged) << "beyond the end";
    EXPECT_EQ(RenderPrinterFontText(file, 0, "A").error, PrinterFontError::NoSuchFont);
    EXPECT_TRUE(RenderPrinterFontText(file, 0, "A").image.isNull());
    EXPECT_EQ(RenderPrinterFontText(PrinterFontFile(), 1, "A").error, PrinterFontError::FileMissing);
    EXPECT_FALSE(describePrinterFontError(PrinterFontError::FileMissing).isEmpty());
}

TEST(PrinterFontFile, TruncatedGlyphDataIsSkipped)
{
    QByteArray bytes = buildGlyphFile(smallFonts());
    // Cut font 5 inside A's bits: A has no glyph any more, the file is still usable.
    const qsizetype base5 = PrinterFontOffsets[4];
    const qsizetype aAt = PrinterFontHeaderSize + (PrinterFontCodeLimit - 'A') * PrinterFontIndexEntrySize;
    bytes.truncate(base5 + aAt + 6 + 2);
    const PrinterFontFile file = PrinterFontFile::fromBytes(bytes);
    EXPECT_TRUE(file.glyph(1, 'A').has_value());
    EXPECT_FALSE(file.glyph(5, 'A').has_value());
    const PrinterFontPicture p = RenderPrinterFontText(file, 5, "AAA");
    ASSERT_TRUE(p.ok());
    EXPECT_EQ(p.image.width(), 10);

    // An index entry that points past the end.
    QByteArray pointing = buildGlyphFile(smallFonts());
    const qsizetype entry = PrinterFontHeaderSize + ('A' - 'A') * PrinterFontIndexEntrySize;
    pointing[entry] = '\xFF';
    pointing[entry + 1] = '\xFF';
    EXPECT_FALSE(PrinterFontFile::fromBytes(pointing).glyph(1, 'A').has_value());
}

TEST(PrinterFontFile, RandomBytesNeverReadOutsideTheFile)
{
    std::mt19937 random(12345);
    for (int round = 0; round < 3; ++round) {
        QByteArray bytes(PrinterFontOffsets.back() + 2000 * round + 7, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random() & 0xFF);
        const PrinterFontFile file = PrinterFontFile::fromBytes(bytes);
        QByteArray all;
        for (int c = 1; c < 256; ++c)
            all.append(static_cast<char>(c));
        for (int k = 1; k <= PrinterFontSlots; ++k) {
            const PrinterFontPicture p = RenderPrinterFontText(file, k, all);
            if (p.ok()) {
                EXPECT_LE(p.image.width(), PrinterFontMaxPictureWidth);
            }
        }
    }
}

TEST(PrinterFontFile, ShippedFileHoldsEveryFontInItsCell)
{
    const PrinterFontFile file = PrinterFontFile::load(shippedDataDir() + QStringLiteral("/ASCIIPrnZK.fon"));
    ASSERT_TRUE(file.isValid()) << "the shipped glyph file is missing: " << qPrintable(file.path());
    const QStringList names = PrinterFontNames();
    ASSERT_EQ(names.size(), PrinterFontCount);
    for (int k = 1; k <= PrinterFontSlots; ++k) {
        PrinterFontHeader h;
        ASSERT_EQ(file.header(k, &h), PrinterFontError::None) << "font " << k;
        // The cell fonts are as wide and as tall as their names say ("Font0  6X10").
        if (k <= 9) {
            const QStringList size = names[k - 1].section(QLatin1Char(' '), -1).split(QLatin1Char('X'));
            EXPECT_EQ(h.defaultAdvance, size[0].toInt()) << "font " << k;
            EXPECT_EQ(h.cellHeight, size[1].toInt()) << "font " << k;
        }
        const int baseline = PrinterFontBaseline(k, h.cellHeight);
        int glyphs = 0;
        for (int c = h.firstChar; c < PrinterFontCodeLimit; ++c) {
            const auto g = file.glyph(k, c);
            if (!g)
                continue;
            ++glyphs;
            EXPECT_GE(baseline - g->ascent, 0) << "font " << k << " char " << c;
            EXPECT_LE(baseline - g->ascent + g->rows, h.cellHeight) << "font " << k << " char " << c;
        }
        for (char digit = '0'; digit <= '9'; ++digit)
            EXPECT_TRUE(file.glyph(k, digit).has_value()) << "font " << k << " digit " << digit;
        EXPECT_GE(glyphs, 10) << "font " << k;
    }
}
