#include "barcode/linear/BarPattern.h"

#include <QColor>

#include <algorithm>
#include <cstring>

namespace korvel {

bool LinearOptionsValid(const LinearOptions& o)
{
    return o.narrow >= 1 && o.narrow <= kMaxModuleDots && o.wide >= 1 && o.wide <= kMaxModuleDots && o.height >= 0
        && o.height <= kMaxBarDots && o.guardExtension >= 0 && o.guardExtension <= kMaxBarDots && o.bearer >= 0
        && o.bearer <= kMaxBarDots;
}

void BarPattern::clear()
{
    left = 1;
    width = 0;
    height = 0;
    bearer = 0;
    runs.clear();
}

PatternBuilder::PatternBuilder(BarPattern& pattern)
    : pattern_(pattern)
{
}

void PatternBuilder::bar(std::int32_t width, std::int32_t top, std::int32_t bottom)
{
    if (width <= 0)
        return;
    auto& runs = pattern_.runs;
    if (!runs.empty() && runs.back().bar && runs.back().top == top && runs.back().bottom == bottom) {
        runs.back().width += width;
        return;
    }
    runs.push_back({width, top, bottom, true});
}

void PatternBuilder::space(std::int32_t width)
{
    if (width <= 0)
        return;
    auto& runs = pattern_.runs;
    if (runs.empty()) {
        // Leading white belongs to the start column, not to the run list.
        pattern_.left += width;
        return;
    }
    if (!runs.back().bar) {
        runs.back().width += width;
        return;
    }
    runs.push_back({width, 0, 0, false});
}

void PatternBuilder::modules(std::uint32_t bits, int count, std::int32_t module, std::int32_t top, std::int32_t bottom)
{
    for (int i = count - 1; i >= 0; --i) {
        if ((bits >> i) & 1U)
            bar(module, top, bottom);
        else
            space(module);
    }
}

void PatternBuilder::widths(const char* widths, std::int32_t module, std::int32_t top, std::int32_t bottom)
{
    bool isBar = true;
    for (const char* p = widths; *p; ++p, isBar = !isBar) {
        const std::int32_t w = (*p - '0') * module;
        if (isBar)
            bar(w, top, bottom);
        else
            space(w);
    }
}

namespace {

    int monoInkIndex(const QImage& canvas, int requested)
    {
        if (requested == 0 || requested == 1)
            return requested;
        const auto table = canvas.colorTable();
        if (table.size() < 2)
            return 1;
        return qGray(table[0]) < qGray(table[1]) ? 0 : 1;
    }

    // Marks [x0, x1) in a one-bit row mask, most significant bit first (Format_Mono order).
    void markBitsMsb(std::vector<uchar>& mask, int x0, int x1)
    {
        for (int x = x0; x < x1;) {
            if ((x & 7) == 0 && x + 8 <= x1) {
                const int full = (x1 - x) / 8;
                std::memset(mask.data() + x / 8, 0xFF, static_cast<std::size_t>(full));
                x += full * 8;
                continue;
            }
            mask[static_cast<std::size_t>(x >> 3)] |= static_cast<uchar>(0x80U >> (x & 7));
            ++x;
        }
    }

    void markBitsLsb(std::vector<uchar>& mask, int x0, int x1)
    {
        for (int x = x0; x < x1; ++x)
            mask[static_cast<std::size_t>(x >> 3)] |= static_cast<uchar>(1U << (x & 7));
    }

    struct Rect {
        int x0, y0, x1, y1;
    };

} // namespace

bool PaintBarPattern(const BarPattern& pattern, QImage& canvas, const BarPaintOptions& options)
{
    const auto format = canvas.format();
    const bool mono = format == QImage::Format_Mono;
    const bool monoLsb = format == QImage::Format_MonoLSB;
    const bool gray = format == QImage::Format_Grayscale8;
    if (canvas.isNull() || !(mono || monoLsb || gray))
        return false;
    const int cw = canvas.width();
    const int ch = canvas.height();

    // Bars as rectangles, clipped; the bearer frame adds four more.
    std::vector<Rect> rects;
    rects.reserve(pattern.runs.size() / 2 + 5);
    std::int64_t x = pattern.left;
    for (const auto& run : pattern.runs) {
        const std::int64_t next = x + run.width;
        if (run.bar && run.bottom > run.top) {
            const int x0 = static_cast<int>(std::clamp<std::int64_t>(x, 0, cw));
            const int x1 = static_cast<int>(std::clamp<std::int64_t>(next, 0, cw));
            const int y0 = std::clamp(run.top, 0, ch);
            const int y1 = std::clamp(run.bottom, 0, ch);
            if (x0 < x1 && y0 < y1)
                rects.push_back({x0, y0, x1, y1});
        }
        x = next;
        if (x >= cw)
            break;
    }
    if (options.drawBearer && pattern.bearer > 0) {
        const int b = pattern.bearer;
        const int w = std::min(pattern.width, cw);
        const int h = std::min(pattern.height, ch);
        const int bx = std::min(b, w);
        const int by = std::min(b, h);
        rects.push_back({0, 0, w, by});
        rects.push_back({0, std::max(0, h - b), w, h});
        rects.push_back({0, 0, bx, h});
        rects.push_back({std::max(0, w - b), 0, w, h});
    }
    if (rects.empty())
        return true;

    // Rows fall into a few bands (full bars, half bars, guard extensions, bearers): build one
    // row mask per band and apply it to every row of the band.
    std::vector<int> edges;
    edges.reserve(rects.size() * 2);
    for (const auto& r : rects) {
        edges.push_back(r.y0);
        edges.push_back(r.y1);
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());

    const int ink = mono || monoLsb ? monoInkIndex(canvas, options.monoInk) : 0;
    const std::size_t maskBytes = gray ? 0 : static_cast<std::size_t>((cw + 7) / 8);
    std::vector<uchar> mask(maskBytes);
    std::vector<Rect> spans;
    for (std::size_t band = 0; band + 1 < edges.size(); ++band) {
        const int y0 = edges[band];
        const int y1 = edges[band + 1];
        if (gray) {
            spans.clear();
            for (const auto& r : rects)
                if (r.y0 <= y0 && r.y1 >= y1)
                    spans.push_back(r);
            for (int y = y0; y < y1; ++y) {
                uchar* row = canvas.scanLine(y);
                for (const auto& r : spans)
                    std::memset(row + r.x0, options.grayInk, static_cast<std::size_t>(r.x1 - r.x0));
            }
            continue;
        }
        std::fill(mask.begin(), mask.end(), 0);
        bool any = false;
        for (const auto& r : rects) {
            if (r.y0 > y0 || r.y1 < y1)
                continue;
            any = true;
            if (mono)
                markBitsMsb(mask, r.x0, r.x1);
            else
                markBitsLsb(mask, r.x0, r.x1);
        }
        if (!any)
            continue;
        for (int y = y0; y < y1; ++y) {
            uchar* row = canvas.scanLine(y);
            if (ink == 1) {
                for (std::size_t i = 0; i < maskBytes; ++i)
                    row[i] |= mask[i];
            } else {
                for (std::size_t i = 0; i < maskBytes; ++i)
                    row[i] &= static_cast<uchar>(~mask[i]);
            }
        }
    }
    return true;
}

QImage NewBarCanvas(const BarPattern& pattern, QImage::Format format)
{
    const int w = std::max(1, pattern.imageWidth());
    const int h = std::max(1, pattern.imageHeight());
    QImage image(w, h, format);
    if (image.isNull())
        return image;
    if (format == QImage::Format_Mono || format == QImage::Format_MonoLSB) {
        image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
        image.fill(0);
    } else {
        image.fill(Qt::white);
    }
    return image;
}

} // namespace korvel
