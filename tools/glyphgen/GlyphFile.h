#pragma once

#include "GlyphRaster.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <optional>
#include <vector>

namespace korvel::glyphgen {

/// A glyph cut to its ink rows and placed against the baseline, in the glyph file's terms.
struct GlyphRecord {
    int code = 0;
    int ascent = 0; ///< rows above the baseline
    int rows = 0;
    int width = 0; ///< width in bits, from the pen position to the last ink column
    int advance = 0;
    QByteArray bits;

    /// The 6-byte header when the advance is the font's default, else the 8-byte one.
    QByteArray encode(int defaultAdvance) const;
};

/// Cuts the ink of a character for a cell: rows outside 0 .. cellHeight - 1 and columns at or
/// beyond clipWidth (when above 0) are dropped. None when no ink is left.
std::optional<GlyphRecord> cutGlyph(const Ink& ink, int baseline, int cellHeight, int clipWidth);

/// One font of the glyph file before encoding.
struct FontBlock {
    int number = 0;
    int firstChar = 33;
    int defaultAdvance = 0;
    int cellWidth = 0;
    int cellHeight = 0;
    /// Glyphs in priority order: when room runs out, the later ones are left out.
    std::vector<GlyphRecord> glyphs;
    /// Codes that draw the glyph of another code (small letters in capitals-only fonts).
    std::map<int, int> aliases;
};

struct EncodedFont {
    QByteArray bytes;
    /// Offset of each code's glyph record from the font's start.
    std::map<int, int> offsets;
    QString leftOut; ///< characters that did not fit
};

/// Header, index and as many glyph records as fit into room bytes; identical records are stored
/// once. Characters without a record get an index entry of four zero bytes.
EncodedFont encodeFont(const FontBlock& font, int room);

/// Header and index of a font whose glyph records lie elsewhere in the file: offsets are the
/// record positions relative to this font's start.
QByteArray encodeIndexOnly(const FontBlock& font, const std::map<int, int>& offsets);

} // namespace korvel::glyphgen
