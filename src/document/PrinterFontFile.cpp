#include "document/PrinterFontFile.h"

#include "document/Binary.h"
#include "document/DataPaths.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace korvel {

QStringList PrinterFontNames()
{
    return {
        QStringLiteral("Font0  6X10"),
        QStringLiteral("Font1  9X16"),
        QStringLiteral("Font2  12X27"),
        QStringLiteral("Font3  16X35"),
        QStringLiteral("Font4  21X43"),
        QStringLiteral("Font5  21X59"),
        QStringLiteral("Font6  36X67"),
        QStringLiteral("Font7  20X35"),
        QStringLiteral("Font8  20X31"),
        QStringLiteral("ASD Smooth 6 Points"),
        QStringLiteral("ASD Smooth 8 Points"),
        QStringLiteral("ASD Smooth 10 Points"),
        QStringLiteral("ASD Smooth 12 Points"),
        QStringLiteral("ASD Smooth 14 Points"),
        QStringLiteral("ASD Smooth 18 Points"),
        QStringLiteral("Courier ECMA_94"),
        QStringLiteral("Courier PC"),
        QStringLiteral("Courier PC_A"),
        QStringLiteral("Courier PC_B"),
        QStringLiteral("Courier Legal"),
        QStringLiteral("Courier Greek"),
        QStringLiteral("Courier Russia"),
    };
}

int PrinterFontBaseline(int fontIndex, int cellHeight)
{
    switch (fontIndex) {
    case 5:
    case 6:
    case 7:
    case 9: return cellHeight;
    default: return cellHeight * 5 / 6;
    }
}

QString describePrinterFontError(PrinterFontError error)
{
    switch (error) {
    case PrinterFontError::None: return QStringLiteral("no error");
    case PrinterFontError::FileMissing: return QStringLiteral("the printer-font glyph file is missing");
    case PrinterFontError::FileUnreadable: return QStringLiteral("the printer-font glyph file cannot be read");
    case PrinterFontError::NoSuchFont: return QStringLiteral("no such printer font");
    case PrinterFontError::FontDamaged: return QStringLiteral("the printer font is damaged in the glyph file");
    }
    return {};
}

bool PrinterGlyph::pixel(int x, int y) const
{
    if (x < 0 || x >= width || y < 0 || y >= rows)
        return false;
    const qsizetype at = static_cast<qsizetype>(y) * bytesPerRow() + x / 8;
    if (at >= bits.size())
        return false;
    return (static_cast<unsigned char>(bits[at]) >> (7 - x % 8)) & 1;
}

PrinterFontFile PrinterFontFile::fromBytes(QByteArray bytes)
{
    PrinterFontFile f;
    f.error_ = bytes.isEmpty() ? PrinterFontError::FileUnreadable : PrinterFontError::None;
    f.bytes_ = std::move(bytes);
    return f;
}

PrinterFontFile PrinterFontFile::load(const QString& path)
{
    PrinterFontFile f;
    f.path_ = path;
    QFile file(path);
    if (!file.exists()) {
        f.error_ = PrinterFontError::FileMissing;
        return f;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        f.error_ = PrinterFontError::FileUnreadable;
        return f;
    }
    f.bytes_ = file.readAll();
    f.error_ = f.bytes_.isEmpty() || file.error() != QFileDevice::NoError ? PrinterFontError::FileUnreadable
                                                                          : PrinterFontError::None;
    return f;
}

QString PrinterFontFile::standardPath()
{
    return dataFile(QString::fromLatin1(PrinterFontFileName));
}

namespace {
thread_local const PrinterFontFile* t_pinnedStandard = nullptr;
}

PinnedStandardFont::PinnedStandardFont()
    : file_(PrinterFontFile::standard())
    , previous_(t_pinnedStandard)
{
    t_pinnedStandard = &file_;
}

PinnedStandardFont::~PinnedStandardFont()
{
    t_pinnedStandard = previous_;
}

PrinterFontFile PrinterFontFile::standard()
{
    if (t_pinnedStandard)
        return *t_pinnedStandard;
    // Texts re-render on every property change; the file is read again only when it changed.
    static PrinterFontFile cached;
    static QString cachedPath;
    static QDateTime cachedTime;
    static qint64 cachedSize = -1;
    const QString path = standardPath();
    const QFileInfo info(path);
    const QDateTime time = info.exists() ? info.lastModified() : QDateTime();
    const qint64 size = info.exists() ? info.size() : -1;
    if (path != cachedPath || time != cachedTime || size != cachedSize || !cached.isValid()) {
        cached = load(path);
        cachedPath = path;
        cachedTime = time;
        cachedSize = size;
    }
    return cached;
}

PrinterFontError PrinterFontFile::header(int fontIndex, PrinterFontHeader* out) const
{
    if (!isValid())
        return error_;
    if (fontIndex < 1 || fontIndex > PrinterFontSlots)
        return PrinterFontError::NoSuchFont;
    const qsizetype base = PrinterFontOffsets[static_cast<size_t>(fontIndex - 1)];
    if (base + PrinterFontHeaderSize > bytes_.size())
        return PrinterFontError::FontDamaged;
    const FixedRecord head(QByteArray::fromRawData(bytes_.constData() + base, PrinterFontHeaderSize));
    PrinterFontHeader h;
    h.firstChar = head.u8(8);
    h.defaultAdvance = head.u8(10);
    h.cellHeight = head.u8(11);
    if (h.cellHeight == 0)
        return PrinterFontError::FontDamaged;
    if (out)
        *out = h;
    return PrinterFontError::None;
}

std::optional<PrinterGlyph> PrinterFontFile::glyph(int fontIndex, int code, bool withBits) const
{
    PrinterFontHeader h;
    if (header(fontIndex, &h) != PrinterFontError::None)
        return std::nullopt;
    if (code < h.firstChar || code >= PrinterFontCodeLimit)
        return std::nullopt;
    const qsizetype base = PrinterFontOffsets[static_cast<size_t>(fontIndex - 1)];
    const qsizetype entryAt
        = base + PrinterFontHeaderSize + static_cast<qsizetype>(code - h.firstChar) * PrinterFontIndexEntrySize;
    if (entryAt + PrinterFontIndexEntrySize > bytes_.size())
        return std::nullopt;
    const FixedRecord entry(QByteArray::fromRawData(bytes_.constData() + entryAt, PrinterFontIndexEntrySize));
    if (entry.i32(0) == 0)
        return std::nullopt;
    const qsizetype at = base + entry.u16(0);
    // The shorter header is enough to tell which of the two it is.
    if (at + 6 > bytes_.size())
        return std::nullopt;
    const FixedRecord g6(QByteArray::fromRawData(bytes_.constData() + at, 6));
    const bool shortHeader = g6.u8(2) == 6;
    const qsizetype headerSize = shortHeader ? 6 : 8;
    if (at + headerSize > bytes_.size())
        return std::nullopt;
    const FixedRecord g(QByteArray::fromRawData(bytes_.constData() + at, headerSize));
    PrinterGlyph out;
    out.ascent = g.u8(1);
    out.rows = g.u8(4);
    out.width = g.u8(5);
    out.advance = shortHeader ? h.defaultAdvance : g.u8(7);
    const qsizetype length = static_cast<qsizetype>(out.rows) * out.bytesPerRow();
    if (at + headerSize + length > bytes_.size())
        return std::nullopt;
    if (withBits)
        out.bits = bytes_.mid(at + headerSize, length);
    return out;
}

PrinterFontPicture RenderPrinterFontText(const PrinterFontFile& file, int fontIndex, const QByteArray& text)
{
    PrinterFontPicture result;
    PrinterFontHeader h;
    result.error = file.header(fontIndex, &h);
    if (!result.ok())
        return result;

    struct Placed {
        PrinterGlyph glyph;
        int x;
    };
    std::vector<Placed> placed;
    int x = 0;
    for (const char ch : text) {
        if (x >= PrinterFontMaxPictureWidth)
            break;
        const int code = static_cast<unsigned char>(ch);
        if (code == ' ') {
            x += h.defaultAdvance;
            continue;
        }
        std::optional<PrinterGlyph> g = file.glyph(fontIndex, code);
        if (!g)
            continue;
        const int advance = g->advance;
        placed.push_back({ std::move(*g), x });
        x += advance;
    }
    const int width = std::min(x > 0 ? x : 10, PrinterFontMaxPictureWidth);
    QImage image(width, h.cellHeight, QImage::Format_RGB888);
    if (image.isNull())
        return {};
    image.fill(Qt::white);
    const int baseline = PrinterFontBaseline(fontIndex, h.cellHeight);
    for (const Placed& p : placed) {
        for (int r = 0; r < p.glyph.rows; ++r) {
            const int y = baseline + r - p.glyph.ascent;
            if (y < 0 || y >= image.height())
                continue;
            uchar* line = image.scanLine(y);
            for (int j = 0; j < p.glyph.width; ++j) {
                const int px = p.x + j;
                if (px < 0 || px >= width || !p.glyph.pixel(j, r))
                    continue;
                std::fill_n(line + px * 3, 3, uchar(0));
            }
        }
    }
    result.image = image;
    return result;
}

} // namespace korvel
