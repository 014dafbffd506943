#include "GlyphFile.h"

#include "document/Binary.h"
#include "document/PrinterFontFile.h"

#include <algorithm>

namespace korvel::glyphgen {

QByteArray GlyphRecord::encode(int defaultAdvance) const
{
    ByteWriter w;
    const bool shortHeader = advance == defaultAdvance;
    w.u8(static_cast<std::uint8_t>(code));
    w.u8(static_cast<std::uint8_t>(ascent));
    w.u8(shortHeader ? 6 : 8);
    w.u8(0);
    w.u8(static_cast<std::uint8_t>(rows));
    w.u8(static_cast<std::uint8_t>(width));
    if (!shortHeader) {
        w.u8(0);
        w.u8(static_cast<std::uint8_t>(advance));
    }
    w.bytes(bits);
    return w.take();
}

std::optional<GlyphRecord> cutGlyph(const Ink& ink, int baseline, int cellHeight, int clipWidth)
{
    std::vector<std::pair<int, int>> kept; // (x, cell row)
    for (const auto& [x, y] : ink.pixels) {
        const int row = baseline + y;
        if (x < 0 || row < 0 || row >= cellHeight || (clipWidth > 0 && x >= clipWidth))
            continue;
        kept.emplace_back(x, row);
    }
    if (kept.empty())
        return std::nullopt;
    int top = cellHeight;
    int bottom = 0;
    int right = 0;
    for (const auto& [x, row] : kept) {
        top = std::min(top, row);
        bottom = std::max(bottom, row);
        right = std::max(right, x);
    }
    // The ascent is a byte: a glyph wholly below the baseline keeps blank rows up to it.
    top = std::min(top, baseline);
    GlyphRecord g;
    g.code = ink.code;
    g.advance = ink.advance;
    g.ascent = baseline - top;
    g.rows = bottom - top + 1;
    g.width = right + 1;
    const int stride = (g.width + 7) / 8;
    g.bits = QByteArray(g.rows * stride, '\0');
    for (const auto& [x, row] : kept) {
        const int at = (row - top) * stride + x / 8;
        g.bits[at] = static_cast<char>(static_cast<unsigned char>(g.bits[at]) | (0x80 >> (x % 8)));
    }
    return g;
}

namespace {

QByteArray encodeHeader(const FontBlock& font, int lastCode, int glyphCount)
{
    ByteWriter w;
    w.bytes("KVPF");
    w.u8(static_cast<std::uint8_t>(font.number));
    w.zeros(3);
    w.u8(static_cast<std::uint8_t>(font.firstChar));
    w.u8(static_cast<std::uint8_t>(lastCode));
    w.u8(static_cast<std::uint8_t>(font.defaultAdvance));
    w.u8(static_cast<std::uint8_t>(font.cellHeight));
    w.u8(static_cast<std::uint8_t>(font.cellWidth));
    w.u8(static_cast<std::uint8_t>(std::min(glyphCount, 255)));
    w.zeros(2);
    return w.take();
}

QByteArray encodeIndex(const FontBlock& font, const std::map<int, int>& offsets, const std::map<int, int>& lengths)
{
    ByteWriter w;
    for (int c = font.firstChar; c < PrinterFontCodeLimit; ++c) {
        const auto it = offsets.find(c);
        if (it == offsets.end()) {
            w.zeros(PrinterFontIndexEntrySize);
            continue;
        }
        w.u16(static_cast<std::uint16_t>(it->second));
        const auto len = lengths.find(c);
        w.u16(static_cast<std::uint16_t>(len == lengths.end() ? 0 : len->second));
    }
    return w.take();
}

int lastCodeOf(const std::map<int, int>& offsets)
{
    return offsets.empty() ? 0 : offsets.rbegin()->first;
}

} // namespace

EncodedFont encodeFont(const FontBlock& font, int room)
{
    const int indexSize = (PrinterFontCodeLimit - font.firstChar) * PrinterFontIndexEntrySize;
    const int start = PrinterFontHeaderSize + indexSize;
    QByteArray data;
    std::map<QByteArray, int> stored; // encoded record -> offset, so equal glyphs share one record
    std::map<int, int> offsets;
    std::map<int, int> lengths;
    EncodedFont out;
    for (const GlyphRecord& g : font.glyphs) {
        if (g.code < font.firstChar || g.code >= PrinterFontCodeLimit)
            continue;
        QByteArray record = g.encode(font.defaultAdvance);
        QByteArray key = record.mid(1); // the code byte is informative only
        auto it = stored.find(key);
        if (it == stored.end()) {
            if (start + data.size() + record.size() > room || start + data.size() > 0xFFFF) {
                out.leftOut.append(QChar(g.code));
                continue;
            }
            it = stored.emplace(key, start + static_cast<int>(data.size())).first;
            data.append(record);
        }
        offsets[g.code] = it->second;
        lengths[g.code] = static_cast<int>(record.size());
    }
    for (const auto& [code, target] : font.aliases) {
        const auto it = offsets.find(target);
        if (it != offsets.end() && code >= font.firstChar && code < PrinterFontCodeLimit) {
            offsets[code] = it->second;
            lengths[code] = lengths[target];
        }
    }
    out.bytes = encodeHeader(font, lastCodeOf(offsets), static_cast<int>(stored.size()));
    out.bytes.append(encodeIndex(font, offsets, lengths));
    out.bytes.append(data);
    out.offsets = offsets;
    return out;
}

QByteArray encodeIndexOnly(const FontBlock& font, const std::map<int, int>& offsets)
{
    QByteArray bytes = encodeHeader(font, lastCodeOf(offsets), static_cast<int>(offsets.size()));
    bytes.append(encodeIndex(font, offsets, {}));
    return bytes;
}

} // namespace korvel::glyphgen
