#include "GlyphRaster.h"

#include "document/FontMapping.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>

namespace korvel::glyphgen {

int Ink::top() const
{
    int v = 0;
    bool first = true;
    for (const auto& p : pixels) {
        v = first ? p.second : std::min(v, p.second);
        first = false;
    }
    return v;
}

int Ink::bottom() const
{
    int v = 0;
    bool first = true;
    for (const auto& p : pixels) {
        v = first ? p.second : std::max(v, p.second);
        first = false;
    }
    return v;
}

int Ink::right() const
{
    int v = 0;
    for (const auto& p : pixels)
        v = std::max(v, p.first);
    return v;
}

QFont freeFont(const QString& family, bool bold, int pixelSize, int stretch)
{
    loadPinnedFonts();
    QFont font(family);
    font.setPixelSize(std::max(1, pixelSize));
    font.setBold(bold);
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoFontMerging));
    if (stretch != 100)
        font.setStretch(std::clamp(stretch, 1, 4000));
    return font;
}

Ink renderInk(const QFont& font, int code, int advance)
{
    Ink ink;
    ink.code = code;
    ink.advance = advance;
    const QFontMetrics fm(font);
    // Room on every side for glyphs that overhang their cell.
    const int margin = fm.height();
    const int width = std::max(advance, fm.maxWidth()) + 2 * margin;
    const int height = fm.height() + 2 * margin;
    const int originX = margin;
    const int originY = margin + fm.ascent();
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QPoint(originX, originY), QString(QChar(code)));
    p.end();
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x)
            if (qGray(line[x]) < 128)
                ink.pixels.emplace_back(x - originX, y - originY);
    }
    return ink;
}

} // namespace korvel::glyphgen
