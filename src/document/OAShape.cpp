#include "document/OAShape.h"

#include "document/Rounding.h"
#include "document/Units.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace korvel {

QImage NewWhitePicture(int width, int height)
{
    if (width <= 0 || height <= 0 || width > MaxShapeSide || height > MaxShapeSide)
        return {};
    QImage picture(width, height, QImage::Format_BGR888);
    if (!picture.isNull())
        picture.fill(Qt::white);
    return picture;
}

int SafeRound(double v)
{
    if (!std::isfinite(v))
        return 0;
    return static_cast<int>(Round(std::clamp(v, -1000000.0, 1000000.0)));
}

int ClampPixels(int v)
{
    return std::clamp(v, -1000000, 1000000);
}

int SafeMMToPixels(double mm, double zoom)
{
    constexpr double Limit = 100000.0; // millimetres
    const double scaled = mm * zoom;
    if (std::isfinite(scaled) && std::abs(scaled) <= Limit)
        return MMToPixels(mm, zoom);
    if (!std::isfinite(scaled))
        return 0;
    return MMToPixels(scaled > 0 ? Limit : -Limit, 1.0);
}

namespace {

void putPixel(QImage& picture, int x, int y, const QColor& color)
{
    if (x < 0 || y < 0 || x >= picture.width() || y >= picture.height())
        return;
    uchar* p = picture.scanLine(y) + 3 * x;
    p[0] = static_cast<uchar>(color.blue());
    p[1] = static_cast<uchar>(color.green());
    p[2] = static_cast<uchar>(color.red());
}

} // namespace

void FillBox(QImage& picture, const QRect& box, const QColor& color)
{
    const QRect r = box.intersected(picture.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            putPixel(picture, x, y, color);
}

bool EllipseRowSpan(const QRect& box, int y, int& left, int& right)
{
    if (box.width() <= 0 || box.height() <= 0 || y < box.top() || y > box.bottom())
        return false;
    // Work in doubled offsets from the centre so both halves round alike.
    const long long sumX = static_cast<long long>(box.left()) + box.right();
    const long long sumY = static_cast<long long>(box.top()) + box.bottom();
    const double ax2 = box.width(); // twice the horizontal semi-axis
    const double ay2 = box.height(); // twice the vertical semi-axis
    const double t = static_cast<double>(2LL * y - sumY) / ay2;
    if (std::abs(t) >= 1.0)
        return false;
    const double half2 = ax2 * std::sqrt(1.0 - t * t);
    long long k = static_cast<long long>(std::ceil(half2)) - 1; // largest doubled offset below half2
    const long long parity = ((sumX % 2) + 2) % 2;
    if (((k % 2) + 2) % 2 != parity)
        --k;
    if (k < 0)
        return false;
    left = static_cast<int>((sumX - k) / 2);
    right = static_cast<int>((sumX + k) / 2);
    return true;
}

bool RingRowSpans(const QRect& outer, const QRect& inner, int y, SpanRow& spans)
{
    int l = 0;
    int r = 0;
    if (!EllipseRowSpan(outer, y, l, r))
        return false;
    int il = 0;
    int ir = 0;
    if (inner.width() > 0 && inner.height() > 0 && EllipseRowSpan(inner, y, il, ir) && il > l && ir < r) {
        spans = { l, ir + 1, il - 1, r };
        return true;
    }
    spans = { l, -1, r, -1 };
    return true;
}

void DrawSegment(QImage& picture, QPoint from, QPoint to, int penWidth, const QColor& color)
{
    if (picture.isNull())
        return;
    if (penWidth <= 1) {
        // Bresenham, the end point left out.
        int x = from.x();
        int y = from.y();
        const int dx = std::abs(to.x() - x);
        const int dy = -std::abs(to.y() - y);
        const int sx = x < to.x() ? 1 : -1;
        const int sy = y < to.y() ? 1 : -1;
        int err = dx + dy;
        while (x != to.x() || y != to.y()) {
            putPixel(picture, x, y, color);
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y += sy;
            }
        }
        return;
    }
    const double r = penWidth / 2.0;
    const double x0 = from.x();
    const double y0 = from.y();
    const double vx = to.x() - x0;
    const double vy = to.y() - y0;
    const double len2 = vx * vx + vy * vy;
    const int reach = static_cast<int>(std::ceil(r)) + 1;
    const int left = std::max(0, std::min(from.x(), to.x()) - reach);
    const int right = std::min(picture.width() - 1, std::max(from.x(), to.x()) + reach);
    const int top = std::max(0, std::min(from.y(), to.y()) - reach);
    const int bottom = std::min(picture.height() - 1, std::max(from.y(), to.y()) + reach);
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) {
            double t = len2 > 0 ? ((x - x0) * vx + (y - y0) * vy) / len2 : 0.0;
            t = std::clamp(t, 0.0, 1.0);
            const double ex = x - (x0 + t * vx);
            const double ey = y - (y0 + t * vy);
            if (ex * ex + ey * ey <= r * r)
                putPixel(picture, x, y, color);
        }
}

PsRec EmptySpanTable(int height)
{
    return PsRec(static_cast<size_t>(std::max(0, height) + 2 * SpanRowOffset + 1));
}

// --- TOABoxShape ---------------------------------------------------------------------------

TOABoxShape::TOABoxShape(ObjectKind kind, int width, int height, int lineWidth)
    : TOAControl(kind)
    , lineWidth_(lineWidth)
{
    setBounds(0, 0, width, height);
    box_.takeBounds(*this);
}

void TOABoxShape::setAbsLeft(double mm)
{
    box_.setMillimetres(*this, BoxSide::Left, mm, SafeMMToPixels(mm, Zoom()));
}

void TOABoxShape::setAbsTop(double mm)
{
    box_.setMillimetres(*this, BoxSide::Top, mm, SafeMMToPixels(mm, Zoom()));
}

void TOABoxShape::setAbsWidth(double mm)
{
    box_.setMillimetres(*this, BoxSide::Width, mm, SafeMMToPixels(mm, Zoom()));
}

void TOABoxShape::setAbsHeight(double mm)
{
    box_.setMillimetres(*this, BoxSide::Height, mm, SafeMMToPixels(mm, Zoom()));
}

void TOABoxShape::setVirLeft(int px)
{
    box_.setPixels(*this, BoxSide::Left, px);
}

void TOABoxShape::setVirTop(int px)
{
    box_.setPixels(*this, BoxSide::Top, px);
}

void TOABoxShape::setVirWidth(int px)
{
    box_.setPixels(*this, BoxSide::Width, px);
}

void TOABoxShape::setVirHeight(int px)
{
    box_.setPixels(*this, BoxSide::Height, px);
}

void TOABoxShape::setVirBounds(int left, int top, int width, int height)
{
    setBounds(ClampPixels(left), ClampPixels(top), ClampPixels(width), ClampPixels(height));
    box_.takeBounds(*this);
    RebuildImage();
}

void TOABoxShape::setLineWidth(int px)
{
    lineWidth_ = px;
    RebuildImage();
}

int TOABoxShape::lineWidthAtZoom(double zoom) const
{
    const int w = SafeRound(ScreenPPI * (zoom * mmLineWidth_ * 10.0) / 254.0);
    return w == 0 ? 1 : w;
}

bool TOABoxShape::HitsArea(int x, int y) const
{
    const long long entry = static_cast<long long>(y) + SpanRowOffset;
    if (entry < 0 || entry >= static_cast<long long>(area_.size()))
        return false;
    return area_[static_cast<size_t>(entry)].contains(x);
}

void TOABoxShape::setAngle(int angle)
{
    if (AgFlag == 1)
        TOAControl::setAngle(angle);
    else
        storeAngle(((angle % 360) + 360) % 360);
}

void TOABoxShape::Rotate90()
{
    const int w = Width();
    const int h = Height();
    const int dx = (w - h) / 2;
    const int dy = (h - w) / 2;
    setBounds(Left() + dx, Top() + dy, h, w);
    box_.takePixelBounds(*this);
    box_.shiftMillimetres(dx, dy, Zoom());
    box_.swapMillimetreSizes();
    RebuildImage();
}

void TOABoxShape::setZoom(double zoom)
{
    if (zoom == Zoom())
        return;
    TOAControl::setZoom(zoom);
    setBounds(SafeMMToPixels(AbsLeft(), zoom), SafeMMToPixels(AbsTop(), zoom), SafeMMToPixels(AbsWidth(), zoom),
        SafeMMToPixels(AbsHeight(), zoom));
    if (hasLineWidth_)
        lineWidth_ = lineWidthAtZoom(zoom);
    box_.takePixelBounds(*this);
    RebuildImage();
}

void TOABoxShape::RebuildImage()
{
    Render();
    if (AbsFlag == 1)
        box_.takeBounds(*this);
}

} // namespace korvel
