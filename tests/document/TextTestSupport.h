#pragma once

// Helpers of the text, printer-font and data-path tests.

#include "support/GoldenImage.h"
#include "support/TestSupport.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include "document/PrinterFontFile.h"

#include <vector>

namespace korvel::test {

/// Compares a one-bit picture with golden/text/<name>.png.
inline void ExpectMatchesTextGolden(const QImage& picture, const QString& name)
{
    ExpectMatchesGoldenPng(picture, QStringLiteral("document/golden/text"), name);
}

/// Hand-built glyph files for the reader and preview tests.
struct HandGlyph {
    int code;
    int ascent;
    int rows;
    int width;
    int advance; ///< -1: 6-byte header (the font's default advance)
    std::vector<unsigned char> bits;
};

struct HandFont {
    int number;
    int first;
    int advance;
    int cell;
    std::vector<HandGlyph> glyphs;
};

inline void put(QByteArray& file, qsizetype at, unsigned char v)
{
    if (file.size() <= at)
        file.resize(at + 1, '\0');
    file[at] = static_cast<char>(v);
}

/// Writes fonts in the glyph file's layout at their fixed offsets.
inline QByteArray buildGlyphFile(const std::vector<HandFont>& fonts)
{
    QByteArray file;
    for (const HandFont& f : fonts) {
        const qsizetype base = PrinterFontOffsets[static_cast<size_t>(f.number - 1)];
        put(file, base + 8, static_cast<unsigned char>(f.first));
        put(file, base + 10, static_cast<unsigned char>(f.advance));
        put(file, base + 11, static_cast<unsigned char>(f.cell));
        put(file, base + 15, 0);
        qsizetype at = PrinterFontHeaderSize + (PrinterFontCodeLimit - f.first) * PrinterFontIndexEntrySize;
        put(file, base + at - 1, 0);
        for (const HandGlyph& g : f.glyphs) {
            const qsizetype entry = base + PrinterFontHeaderSize + (g.code - f.first) * PrinterFontIndexEntrySize;
            put(file, entry, static_cast<unsigned char>(at & 0xFF));
            put(file, entry + 1, static_cast<unsigned char>(at >> 8));
            const bool shortHeader = g.advance < 0;
            put(file, base + at, static_cast<unsigned char>(g.code));
            put(file, base + at + 1, static_cast<unsigned char>(g.ascent));
            put(file, base + at + 2, shortHeader ? 6 : 8);
            put(file, base + at + 4, static_cast<unsigned char>(g.rows));
            put(file, base + at + 5, static_cast<unsigned char>(g.width));
            if (!shortHeader)
                put(file, base + at + 7, static_cast<unsigned char>(g.advance));
            at += shortHeader ? 6 : 8;
            for (unsigned char b : g.bits)
                put(file, base + at++, b);
        }
    }
    return file;
}

} // namespace korvel::test
