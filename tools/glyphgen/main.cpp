// korvel-glyphgen: builds the printer-font glyph file "ASCIIPrnZK.fon" from the free Liberation
// fonts, in the byte layout the text and barcode previews read (fixed font offsets, 16-byte font
// headers, a 4-byte index entry per character, 6- or 8-byte glyph headers).
//
//   korvel-glyphgen OUTPUT.fon [--preview DIR]
//
// The fonts are drawn without anti-aliasing at the cell sizes their names state; the smooth
// fonts at their point sizes at 203 dpi. Every font must fit the room up to the next font's
// fixed offset, so the larger cell fonts keep digits, capitals and the commonest signs first and
// leave out what does not fit. The Courier variants share the glyph records of slot 23.

#include "GlyphFile.h"
#include "GlyphRaster.h"

#include "document/PrinterFontFile.h"

#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>

using namespace korvel;
using namespace korvel::glyphgen;

namespace {

const QString kMono = QStringLiteral("Liberation Mono");
const QString kSans = QStringLiteral("Liberation Sans");
constexpr int kPrinterDpi = 203;

const char* const kDigits = "0123456789";
const char* const kUpper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
const char* const kLower = "abcdefghijklmnopqrstuvwxyz";
const char* const kCommon = "-.,:/()+%#*&'!?=$@;\"_";
const char* const kRest = "<>[]\\^`{|}~";
// Signs that reach far above or below the letters; a cell is sized for the letters and these
// lose a row at the edge rather than shrinking every letter.
const char* const kTall = "()[]{}|_$@";

std::vector<int> priorityCodes(bool capitalsOnly, bool signsBeforeLetters = false)
{
    std::vector<int> codes;
    auto add = [&](const char* s) {
        for (; *s; ++s)
            codes.push_back(static_cast<unsigned char>(*s));
    };
    add(kDigits);
    if (signsBeforeLetters)
        add(kCommon);
    add(kUpper);
    if (!capitalsOnly)
        add(kLower);
    if (!signsBeforeLetters)
        add(kCommon);
    add(kRest);
    return codes;
}

bool isTall(int code)
{
    for (const char* s = kTall; *s; ++s)
        if (static_cast<unsigned char>(*s) == code)
            return true;
    return false;
}

bool isFitTest(int code, bool capitalsOnly)
{
    if (capitalsOnly)
        return (code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z' && code != 'Q');
    return code >= 33 && code <= 126 && !isTall(code);
}

struct CellFont {
    int number;
    int width;
    int height;
    bool capitalsOnly;
    bool bold;
    bool digitsFont = false; ///< mostly for numbers: signs come before letters
};

/// A monospaced font in a fixed cell: the largest size whose letters fit the cell above and
/// below the baseline, stretched so that the advance is the cell width.
FontBlock buildCellFont(const CellFont& plan)
{
    // Capitals-only fonts stand on the cell's bottom edge; their letters are lifted by one row so
    // that round letters keep their overshoot (the tail of the Q is cut).
    const int lift = plan.capitalsOnly ? 1 : 0;
    const int baseline = PrinterFontBaseline(plan.number, plan.height) - lift;
    const int topMargin = plan.height >= 16 ? 1 : 0;
    const std::vector<int> codes = priorityCodes(plan.capitalsOnly, plan.digitsFont);
    std::optional<QFont> chosen;
    for (int px = plan.height * 3; px >= 4; --px) {
        const int natural = QFontMetrics(freeFont(kMono, plan.bold, px)).horizontalAdvance(QLatin1Char('0'));
        const int stretch = static_cast<int>(std::lround(plan.width * 100.0 / std::max(natural, 1)));
        const QFont font = freeFont(kMono, plan.bold, px, stretch);
        bool fits = true;
        for (int c : codes) {
            if (!isFitTest(c, plan.capitalsOnly))
                continue;
            const Ink ink = renderInk(font, c, plan.width);
            if (!ink.empty() && (baseline + ink.top() < topMargin || baseline + ink.bottom() > plan.height - 1)) {
                fits = false;
                break;
            }
        }
        if (fits) {
            chosen = font;
            break;
        }
    }
    if (!chosen) {
        std::fprintf(stderr, "font %d: no size fits a %dx%d cell\n", plan.number, plan.width, plan.height);
        std::exit(1);
    }
    FontBlock block;
    block.number = plan.number;
    block.firstChar = 33;
    block.defaultAdvance = plan.width;
    block.cellWidth = plan.width;
    block.cellHeight = plan.height;
    for (int c : codes) {
        Ink ink = renderInk(*chosen, c, plan.width);
        for (auto& pixel : ink.pixels)
            pixel.second -= lift;
        if (auto g = cutGlyph(ink, baseline + lift, plan.height, plan.width))
            block.glyphs.push_back(*g);
    }
    if (plan.capitalsOnly)
        for (int c = 'a'; c <= 'z'; ++c)
            block.aliases[c] = c - 'a' + 'A';
    return block;
}

/// A font at a point size at the printer's resolution; proportional unless fixedAdvance.
FontBlock buildSizedFont(int number, const QString& family, int points, bool fixedAdvance)
{
    const int px = static_cast<int>(std::lround(points * kPrinterDpi / 72.0));
    const QFont font = freeFont(family, false, px);
    const QFontMetrics fm(font);
    const std::vector<int> codes = priorityCodes(false);
    std::vector<Ink> inks;
    int above = 0;
    int below = 0;
    for (int c : codes) {
        const int advance = fixedAdvance ? fm.horizontalAdvance(QLatin1Char('0')) : fm.horizontalAdvance(QChar(c));
        Ink ink = renderInk(font, c, advance);
        if (!ink.empty() && isFitTest(c, false)) {
            above = std::max(above, -ink.top());
            below = std::max(below, ink.bottom());
        }
        inks.push_back(std::move(ink));
    }
    int height = above + below + 1;
    while (height * 5 / 6 < above + 1 || height - height * 5 / 6 < below + 1)
        ++height;
    FontBlock block;
    block.number = number;
    block.firstChar = 33;
    block.defaultAdvance = fm.horizontalAdvance(QLatin1Char(' '));
    if (fixedAdvance)
        block.defaultAdvance = fm.horizontalAdvance(QLatin1Char('0'));
    block.cellWidth = fm.horizontalAdvance(QLatin1Char('0'));
    block.cellHeight = height;
    const int baseline = PrinterFontBaseline(number, height);
    for (const Ink& ink : inks)
        if (auto g = cutGlyph(ink, baseline, height, 0))
            block.glyphs.push_back(*g);
    return block;
}

int roomOf(int number)
{
    if (number >= PrinterFontSlots)
        return 0xFFFF;
    return PrinterFontOffsets[static_cast<size_t>(number)] - PrinterFontOffsets[static_cast<size_t>(number - 1)];
}

int offsetOf(int number)
{
    return PrinterFontOffsets[static_cast<size_t>(number - 1)];
}

bool place(QByteArray& file, int number, const QByteArray& bytes)
{
    if (bytes.size() > roomOf(number)) {
        std::fprintf(stderr, "font %d needs %lld bytes, room %d\n", number, static_cast<long long>(bytes.size()),
            roomOf(number));
        return false;
    }
    const int at = offsetOf(number);
    if (file.size() < at + bytes.size())
        file.resize(at + bytes.size(), '\0');
    file.replace(at, bytes.size(), bytes);
    return true;
}

void preview(const QString& dir, const QByteArray& file)
{
    const PrinterFontFile fonts = PrinterFontFile::fromBytes(file);
    for (int k = 1; k <= PrinterFontSlots; ++k) {
        const PrinterFontPicture pic = RenderPrinterFontText(fonts, k, "AB12 Hello, World! gjpqy $(x)");
        if (pic.ok())
            pic.image.save(QStringLiteral("%1/font%2.png").arg(dir).arg(k));
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2 || args[1].startsWith(QLatin1Char('-'))) {
        std::fprintf(stderr, "usage: korvel-glyphgen OUTPUT.fon [--preview DIR]\n");
        return 2;
    }
    QString previewDir;
    const int previewAt = static_cast<int>(args.indexOf(QStringLiteral("--preview")));
    if (previewAt > 0 && previewAt + 1 < args.size())
        previewDir = args[previewAt + 1];

    const CellFont cellFonts[] = {
        { 1, 6, 10, false, false },
        { 2, 9, 16, false, false },
        { 3, 12, 27, false, true },
        { 4, 16, 35, false, true },
        { 5, 21, 43, true, true },
        { 6, 21, 59, true, true },
        { 7, 36, 67, true, true },
        { 8, 20, 35, false, true },
        { 9, 20, 31, true, true, true },
    };
    const int smoothPoints[] = { 6, 8, 10, 12, 14, 18 };

    QByteArray file;
    bool ok = true;
    auto report = [](int number, const FontBlock& block, const EncodedFont& enc) {
        std::printf("font %2d  cell %2dx%-2d  %5lld of %5d bytes  %3zu glyphs", number, block.cellWidth,
            block.cellHeight, static_cast<long long>(enc.bytes.size()), roomOf(number), enc.offsets.size());
        if (!enc.leftOut.isEmpty())
            std::printf("  left out: %s", qPrintable(enc.leftOut));
        std::printf("\n");
    };
    for (const CellFont& plan : cellFonts) {
        const FontBlock block = buildCellFont(plan);
        const EncodedFont enc = encodeFont(block, roomOf(plan.number));
        report(plan.number, block, enc);
        ok = place(file, plan.number, enc.bytes) && ok;
    }
    for (int i = 0; i < 6; ++i) {
        const int number = 10 + i;
        const FontBlock block = buildSizedFont(number, kSans, smoothPoints[i], false);
        const EncodedFont enc = encodeFont(block, roomOf(number));
        report(number, block, enc);
        ok = place(file, number, enc.bytes) && ok;
    }
    // Courier at 12 points (10 characters per inch): slot 23 holds the glyph records, the seven
    // Courier variants index into them (they differ only outside the ASCII range).
    const FontBlock courier = buildSizedFont(23, kMono, 12, true);
    const EncodedFont shared = encodeFont(courier, roomOf(23));
    for (int number = 16; number <= 22; ++number) {
        FontBlock variant = courier;
        variant.number = number;
        // Courier Greek's room holds the index from '"' on only.
        variant.firstChar = roomOf(number) < PrinterFontHeaderSize + 96 * PrinterFontIndexEntrySize ? 34 : 33;
        std::map<int, int> offsets;
        for (const auto& [code, at] : shared.offsets)
            if (code >= variant.firstChar)
                offsets[code] = offsetOf(23) - offsetOf(number) + at;
        const QByteArray bytes = encodeIndexOnly(variant, offsets);
        std::printf("font %2d  cell %2dx%-2d  %5lld of %5d bytes  %3zu glyphs (shared with 23)\n", number,
            courier.cellWidth, courier.cellHeight, static_cast<long long>(bytes.size()), roomOf(number),
            offsets.size());
        ok = place(file, number, bytes) && ok;
    }
    report(23, courier, shared);
    ok = place(file, 23, shared.bytes) && ok;
    if (!ok)
        return 1;

    QFile out(args[1]);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(file) != file.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(args[1]));
        return 1;
    }
    std::printf("%s: %lld bytes\n", qPrintable(args[1]), static_cast<long long>(file.size()));
    if (!previewDir.isEmpty())
        preview(previewDir, file);
    return 0;
}
