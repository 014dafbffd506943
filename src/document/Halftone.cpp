#include "document/Halftone.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace korvel {

namespace {

constexpr std::array<std::array<int, 8>, 8> kBayer { {
    { 0, 32, 8, 40, 2, 34, 10, 42 },
    { 48, 16, 56, 24, 50, 18, 58, 26 },
    { 12, 44, 4, 36, 14, 46, 6, 38 },
    { 60, 28, 52, 20, 62, 30, 54, 22 },
    { 3, 35, 11, 43, 1, 33, 9, 41 },
    { 51, 19, 59, 27, 49, 17, 57, 25 },
    { 15, 47, 7, 39, 13, 45, 5, 37 },
    { 63, 31, 55, 23, 61, 29, 53, 21 },
} };

constexpr std::array<std::array<int, 16>, 16> makeThreshold()
{
    std::array<std::array<int, 16>, 16> t {};
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 8; ++j) {
            const int b = 4 * kBayer[i][j];
            t[i][j] = b;
            t[i + 8][j] = b + 2;
            t[i][j + 8] = b + 3;
            t[i + 8][j + 8] = b + 1;
        }
    return t;
}

constexpr auto kThreshold = makeThreshold();

int luminanceAt(const uchar* line, int x)
{
    const uchar* p = line + 3 * x;
    return Luminance(p[0], p[1], p[2]);
}

void setBlack(uchar* monoLine, int x)
{
    monoLine[x >> 3] &= static_cast<uchar>(~(0x80 >> (x & 7)));
}

} // namespace

int Bayer8(int i, int j)
{
    return kBayer[static_cast<size_t>(i & 7)][static_cast<size_t>(j & 7)];
}

int Threshold16(int i, int j)
{
    return kThreshold[static_cast<size_t>(i & 15)][static_cast<size_t>(j & 15)];
}

QImage ToBGR24(const QImage& picture)
{
    if (picture.isNull() || picture.format() == QImage::Format_BGR888)
        return picture;
    return picture.convertToFormat(QImage::Format_BGR888);
}

QImage NewMonoImage(int width, int height)
{
    if (width <= 0 || height <= 0)
        return {};
    QImage mono(width, height, QImage::Format_Mono);
    if (mono.isNull())
        return {};
    mono.setColorTable({ qRgb(0, 0, 0), qRgb(255, 255, 255) });
    mono.fill(1);
    return mono;
}

bool MonoIsBlack(const QImage& mono, int x, int y)
{
    if (x < 0 || y < 0 || x >= mono.width() || y >= mono.height())
        return false;
    return mono.pixel(x, y) != qRgb(255, 255, 255);
}

void SetMonoPixel(QImage& mono, int x, int y, bool black)
{
    if (x < 0 || y < 0 || x >= mono.width() || y >= mono.height())
        return;
    mono.setPixel(x, y, black ? 0 : 1);
}

QImage OrderedDither8(const QImage& picture)
{
    const QImage src = ToBGR24(picture);
    QImage out = NewMonoImage(src.width(), src.height());
    for (int y = 0; y < out.height(); ++y) {
        const uchar* in = src.constScanLine(y);
        uchar* line = out.scanLine(y);
        for (int x = 0; x < out.width(); ++x)
            if (!(luminanceAt(in, x) / 4 > Bayer8(x, y)))
                setBlack(line, x);
    }
    return out;
}

QImage OrderedDither16(const QImage& picture)
{
    const QImage src = ToBGR24(picture);
    QImage out = NewMonoImage(src.width(), src.height());
    for (int y = 0; y < out.height(); ++y) {
        const uchar* in = src.constScanLine(y);
        uchar* line = out.scanLine(y);
        for (int x = 0; x < out.width(); ++x)
            if (!(luminanceAt(in, x) > Threshold16(x, y)))
                setBlack(line, x);
    }
    return out;
}

QImage ErrorDiffusion(const QImage& picture)
{
    const QImage src = ToBGR24(picture);
    QImage out = NewMonoImage(src.width(), src.height());
    const int w = out.width();
    const int h = out.height();
    // Errors carried into the current row and into the row below it.
    std::vector<int> current(static_cast<size_t>(std::max(w, 0)), 0);
    std::vector<int> below(current.size(), 0);
    for (int y = 0; y < h; ++y) {
        const uchar* in = src.constScanLine(y);
        uchar* line = out.scanLine(y);
        const bool leftward = y % 2 == 0;
        const int step = leftward ? -1 : 1;
        const bool hasBelow = y + 1 < h;
        std::fill(below.begin(), below.end(), 0);
        int carry = 0;
        for (int i = 0; i < w; ++i) {
            const int x = leftward ? w - 1 - i : i;
            const int v = luminanceAt(in, x) + carry + current[static_cast<size_t>(x)];
            int e;
            if (v <= 128) {
                setBlack(line, x);
                e = v;
            } else {
                e = v - 255;
            }
            carry = e * 3 / 8;
            if (hasBelow) {
                below[static_cast<size_t>(x)] += e * 3 / 8;
                const int next = x + step;
                if (next >= 0 && next < w)
                    below[static_cast<size_t>(next)] += e / 4;
            }
        }
        std::swap(current, below);
    }
    return out;
}

HalftoneMethod HalftoneMethodOf(int bw)
{
    switch (bw) {
    case 1: return HalftoneMethod::Ordered8;
    case 2: return HalftoneMethod::Ordered16;
    case 3: return HalftoneMethod::ErrorDiffusion;
    default: return HalftoneMethod::None;
    }
}

QImage Halftone(const QImage& picture, HalftoneMethod method)
{
    switch (method) {
    case HalftoneMethod::Ordered8: return OrderedDither8(picture);
    case HalftoneMethod::Ordered16: return OrderedDither16(picture);
    case HalftoneMethod::ErrorDiffusion: return ErrorDiffusion(picture);
    case HalftoneMethod::None: break;
    }
    return ToBGR24(picture);
}

QImage ToMonochrome(const QImage& picture)
{
    const QImage src = ToBGR24(picture);
    QImage out = NewMonoImage(src.width(), src.height());
    for (int y = 0; y < out.height(); ++y) {
        const uchar* in = src.constScanLine(y);
        uchar* line = out.scanLine(y);
        for (int x = 0; x < out.width(); ++x) {
            const uchar* p = in + 3 * x;
            if (p[0] != 0xFF || p[1] != 0xFF || p[2] != 0xFF)
                setBlack(line, x);
        }
    }
    return out;
}

QImage DitherWithinSpans(const QImage& picture, const PsRec& spans)
{
    const QImage src = ToBGR24(picture);
    QImage out = NewMonoImage(src.width(), src.height());
    for (int y = 0; y < out.height(); ++y) {
        const size_t entry = static_cast<size_t>(y + SpanRowOffset);
        if (entry >= spans.size())
            continue;
        const SpanRow& row = spans[entry];
        const uchar* in = src.constScanLine(y);
        uchar* line = out.scanLine(y);
        for (int x = 0; x < out.width(); ++x)
            if (row.contains(x) && Threshold16(x, y) >= luminanceAt(in, x))
                setBlack(line, x);
    }
    return out;
}

QImage StretchNearest(const QImage& picture, int width, int height)
{
    if (picture.isNull() || width <= 0 || height <= 0)
        return {};
    const QImage src = ToBGR24(picture);
    if (src.width() == width && src.height() == height)
        return src;
    QImage out(width, height, QImage::Format_BGR888);
    if (out.isNull())
        return {};
    const std::int64_t sw = src.width();
    const std::int64_t sh = src.height();
    std::vector<int> columns(static_cast<size_t>(width));
    for (int x = 0; x < width; ++x)
        columns[static_cast<size_t>(x)]
            = static_cast<int>(std::min<std::int64_t>(sw - 1, ((2 * x + 1) * sw) / (2 * width)));
    for (int y = 0; y < height; ++y) {
        const int sy = static_cast<int>(std::min<std::int64_t>(sh - 1, ((2 * y + 1) * sh) / (2 * height)));
        const uchar* in = src.constScanLine(sy);
        uchar* line = out.scanLine(y);
        for (int x = 0; x < width; ++x)
            std::memcpy(line + 3 * x, in + 3 * columns[static_cast<size_t>(x)], 3);
    }
    return out;
}

namespace {

// Source index range [first, last) that destination index d gathers from.
void sourceRange(int d, int dst, int src, int& first, int& last)
{
    if (dst >= src) {
        first = static_cast<int>(std::min<std::int64_t>(src - 1, ((2LL * d + 1) * src) / (2LL * dst)));
        last = first + 1;
    } else {
        first = static_cast<int>((static_cast<std::int64_t>(d) * src) / dst);
        last = static_cast<int>((static_cast<std::int64_t>(d + 1) * src) / dst);
        last = std::max(last, first + 1);
    }
}

} // namespace

QImage StretchBlackOnWhite(const QImage& picture, int width, int height)
{
    if (picture.isNull() || width <= 0 || height <= 0)
        return {};
    const QImage src = picture.convertToFormat(QImage::Format_RGB32);
    if (src.width() == width && src.height() == height)
        return src;
    QImage out(width, height, QImage::Format_RGB32);
    if (out.isNull())
        return {};
    std::vector<int> firstX(static_cast<size_t>(width)), lastX(static_cast<size_t>(width));
    for (int x = 0; x < width; ++x)
        sourceRange(x, width, src.width(), firstX[static_cast<size_t>(x)], lastX[static_cast<size_t>(x)]);
    for (int y = 0; y < height; ++y) {
        int y0;
        int y1;
        sourceRange(y, height, src.height(), y0, y1);
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < width; ++x) {
            QRgb v = 0xFFFFFFFFu;
            for (int sy = y0; sy < y1; ++sy) {
                const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(sy));
                for (int sx = firstX[static_cast<size_t>(x)]; sx < lastX[static_cast<size_t>(x)]; ++sx)
                    v &= in[sx];
            }
            line[x] = v | 0xFF000000u;
        }
    }
    return out;
}

} // namespace korvel
