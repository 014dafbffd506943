#include "document/OALine.h"

#include "document/Rounding.h"
#include "document/Units.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace korvel {

namespace {

bool isDiagonal(int style)
{
    return style == lsLeftTopToRightBottom || style == lsLeftBottomToRightTop;
}

// The diagonal's end points inside a picture of w x h with pen p.
void diagonalEnds(int style, int w, int h, int p, QPoint& from, QPoint& to)
{
    const int m = p / 2;
    if (style == lsLeftTopToRightBottom) {
        from = QPoint(m, m);
        to = QPoint(w - m - 1, h - m - 1);
    } else {
        from = QPoint(m, h - m - 1);
        to = QPoint(w - m - 1, m);
    }
}

QImage withExtraRow(const QImage& picture)
{
    QImage out = NewWhitePicture(picture.width(), picture.height() + 1);
    for (int y = 0; y < picture.height(); ++y)
        std::memcpy(out.scanLine(y), picture.constScanLine(y), static_cast<size_t>(3 * picture.width()));
    return out;
}

} // namespace

int LineFlagOfHVStyle(int style)
{
    switch (style) {
    case lsLeft: return ldVertical;
    case lsTop: return ldHorizontal;
    default: return -1;
    }
}

LineLayout LayOutLine(
    bool freeLine, QPoint start, QPoint end, int lineWidth, int style, int lineFlag, const QColor& pen, bool draw)
{
    LineLayout out;
    // Outside input may carry any coordinates; keep the arithmetic below well inside int.
    constexpr int Reach = 1000000;
    start = QPoint(std::clamp(start.x(), -Reach, Reach), std::clamp(start.y(), -Reach, Reach));
    end = QPoint(std::clamp(end.x(), -Reach, Reach), std::clamp(end.y(), -Reach, Reach));
    const int lw = std::clamp(lineWidth, 0, MaxShapeSide);
    const int w2 = lw / 2;
    const int p = 2 * w2; // odd widths draw one pixel thinner; 0 is the thinnest pen
    const int ex = end.x() - start.x();
    const int ey = end.y() - start.y();
    const int dx = std::abs(ex);
    const int dy = std::abs(ey);

    if (freeLine) {
        if ((ex > 0 && ey > 0) || (ex < 0 && ey < 0)) {
            lineFlag = ldDownRight;
            style = lsLeftTopToRightBottom;
            if (dx <= 1) {
                lineFlag = ldVertical;
                style = lsLeft;
            } else if (dy <= 1) {
                lineFlag = ldHorizontal;
                style = lsTop;
            }
        } else {
            lineFlag = ldUpRight;
            style = lsLeftBottomToRightTop;
            if (dy <= 1) {
                lineFlag = ldHorizontal;
                style = lsTop;
            } else if (dx <= 1) {
                lineFlag = ldVertical;
                style = lsLeft;
            }
        }
    } else if (const int flag = LineFlagOfHVStyle(style); flag >= 0) {
        lineFlag = flag;
    }
    out.style = style;
    out.lineFlag = lineFlag;

    double cosA;
    double sinA;
    if (dx == 0) {
        const bool flatPoint = !freeLine && dy == 0 && style == lsTop;
        cosA = flatPoint ? 1.0 : 0.0;
        sinA = flatPoint ? 0.0 : 1.0;
    } else {
        const double a = std::atan(static_cast<double>(dy) / dx);
        cosA = std::cos(a);
        sinA = std::sin(a);
    }
    const int ox = static_cast<int>(Round(w2 * cosA));
    const int oy = static_cast<int>(Round(w2 * sinA));
    const int minX = std::min(start.x(), end.x());
    const int minY = std::min(start.y(), end.y());
    const int left = ox + minX - w2;
    const int top = oy + minY - w2;

    int w;
    int h;
    const bool diagonal = !(style == lsLeft || style == lsTop) && freeLine && isDiagonal(style) && dx != 0;
    if (style == lsLeft) {
        w = std::max(lw, 1);
        h = std::max(dy, 1);
    } else if (style == lsTop) {
        w = std::max(dx, 1);
        h = std::max(lw, 1);
    } else if (diagonal) {
        w = dx + p - 2 * ox;
        h = dy + p - 2 * oy;
    } else {
        w = std::max(dx, 1);
        h = std::max(dy, 1);
    }
    out.bounds = QRect(left, top, w, h);
    if (!draw || w > MaxShapeSide || h > MaxShapeSide)
        return out; // laid out only, or too large to draw: no picture, no hit spans
    QImage picture = NewWhitePicture(w, h);
    if (style == lsLeft) {
        FillBox(picture, QRect(0, 0, std::max(p, 1), h), pen);
    } else if (style == lsTop) {
        FillBox(picture, QRect(0, 0, w, std::max(p, 1)), pen);
    } else if (diagonal) {
        QPoint from;
        QPoint to;
        diagonalEnds(style, w, h, p, from, to);
        DrawSegment(picture, from, to, p, pen);
    }
    out.picture = withExtraRow(picture);

    out.area = EmptySpanTable(h);
    if (dx < 2 || dy < 2 || !isDiagonal(style) || !freeLine) {
        for (SpanRow& row : out.area)
            row = { -5, -1, w + 5, -1 };
        return out;
    }
    // The same diagonal with a pen 12 pixels wider gives the rows' reach.
    const int W2 = w2 + 6;
    const int P = 2 * W2;
    const int ox2 = static_cast<int>(Round(W2 * cosA));
    const int oy2 = static_cast<int>(Round(W2 * sinA));
    const int sw = dx + P - 2 * ox2;
    const int sh = dy + P - 2 * oy2;
    QImage scratch = NewWhitePicture(sw, sh);
    QPoint from;
    QPoint to;
    diagonalEnds(style, sw, sh, P, from, to);
    DrawSegment(scratch, from, to, P, Qt::black);
    const int shiftX = (ox2 + minX - W2) - left;
    const int shiftY = (oy2 + minY - W2) - top;
    for (int sy = 0; sy < scratch.height(); ++sy) {
        const int row = sy + shiftY;
        if (row < -SpanRowOffset || row > h + SpanRowOffset)
            continue;
        const uchar* line = scratch.constScanLine(sy);
        int first = -1;
        int last = -1;
        for (int x = 0; x < sw; ++x)
            if (line[3 * x] != 0xFF) {
                if (first < 0)
                    first = x;
                last = x;
            }
        if (first >= 0)
            out.area[static_cast<size_t>(row + SpanRowOffset)] = { first + shiftX, -1, last + shiftX, -1 };
    }
    return out;
}

void TurnLineQuarter(QPoint& start, QPoint& end)
{
    const double dx = std::abs(end.x() - start.x());
    const double dy = std::abs(end.y() - start.y());
    const double len = std::sqrt(dx * dx + dy * dy) / 2.0;
    const double cx = (start.x() + end.x()) / 2.0;
    const double cy = (start.y() + end.y()) / 2.0;
    if (dx == 0) {
        start = QPoint(SafeRound(cx - len + 0.1), SafeRound(cy));
        end = QPoint(SafeRound(cx + len + 0.1), SafeRound(cy));
        return;
    }
    const double a = std::atan(dy / dx);
    const double ls = len * std::sin(a);
    const double lc = len * std::cos(a);
    auto turn = [&](QPoint& pt) {
        const double x = pt.x();
        const double y = pt.y();
        double nx;
        double ny;
        if (x < cx && y <= cy) {
            nx = cx + ls;
            ny = cy - lc;
        } else if (x > cx && y < cy) {
            nx = cx - ls;
            ny = cy - lc;
        } else if (x < cx && y > cy) {
            nx = cx + ls;
            ny = cy + lc;
        } else if (x > cx && y >= cy) {
            nx = cx - ls;
            ny = cy + lc;
        } else {
            return;
        }
        pt = QPoint(SafeRound(nx - 0.1), SafeRound(ny - 0.1));
    };
    turn(start);
    turn(end);
}

// --- TOALineShape --------------------------------------------------------------------------

TOALineShape::TOALineShape(ObjectKind kind, bool freeLine, int size, int lineWidth)
    : TOAControl(kind)
    , freeLine_(freeLine)
    , lineWidth_(lineWidth)
{
    setBounds(0, 0, size, size);
    setDstBitmap(NewWhitePicture(size, size));
    area_ = EmptySpanTable(size);
}

void TOALineShape::setStyle(int style)
{
    style_ = style;
    RebuildImage();
}

void TOALineShape::ChangeStyle()
{
    if (style_ == lsLeftTopToRightBottom)
        setStyle(lsLeftBottomToRightTop);
    else if (style_ == lsLeftBottomToRightTop)
        setStyle(lsLeftTopToRightBottom);
}

void TOALineShape::setLineWidth(int px)
{
    lineWidth_ = px;
    RebuildImage();
}

void TOALineShape::setStartX(int px)
{
    if (px == start_.x())
        return;
    start_.setX(px);
    RebuildImage();
    absStart_[0] = PixelsToMM(px, Zoom());
}

void TOALineShape::setStartY(int px)
{
    if (px == start_.y())
        return;
    start_.setY(px);
    RebuildImage();
    absStart_[1] = PixelsToMM(px, Zoom());
}

void TOALineShape::setEndX(int px)
{
    if (px == end_.x())
        return;
    end_.setX(px);
    RebuildImage();
    absEnd_[0] = PixelsToMM(px, Zoom());
}

void TOALineShape::setEndY(int px)
{
    if (px == end_.y())
        return;
    end_.setY(px);
    RebuildImage();
    absEnd_[1] = PixelsToMM(px, Zoom());
}

void TOALineShape::setPoints(QPoint start, QPoint end)
{
    start_ = start;
    end_ = end;
    RebuildImage();
    syncAbsFromPixels();
}

void TOALineShape::setAbsStartX(double mm)
{
    if (mm == absStart_[0])
        return;
    absStart_[0] = mm;
    start_.setX(SafeMMToPixels(mm, Zoom()));
    RebuildImage();
}

void TOALineShape::setAbsStartY(double mm)
{
    if (mm == absStart_[1])
        return;
    absStart_[1] = mm;
    start_.setY(SafeMMToPixels(mm, Zoom()));
    RebuildImage();
}

void TOALineShape::setAbsEndX(double mm)
{
    if (mm == absEnd_[0])
        return;
    absEnd_[0] = mm;
    end_.setX(SafeMMToPixels(mm, Zoom()));
    RebuildImage();
}

void TOALineShape::setAbsEndY(double mm)
{
    if (mm == absEnd_[1])
        return;
    absEnd_[1] = mm;
    end_.setY(SafeMMToPixels(mm, Zoom()));
    RebuildImage();
}

void TOALineShape::syncAbsFromPixels()
{
    absStart_[0] = PixelsToMM(start_.x(), Zoom());
    absStart_[1] = PixelsToMM(start_.y(), Zoom());
    absEnd_[0] = PixelsToMM(end_.x(), Zoom());
    absEnd_[1] = PixelsToMM(end_.y(), Zoom());
}

bool TOALineShape::HitsArea(int x, int y) const
{
    const PsRec& area = Area();
    const long long entry = static_cast<long long>(y) + SpanRowOffset;
    if (entry < 0 || entry >= static_cast<long long>(area.size()))
        return false;
    return area[static_cast<size_t>(entry)].contains(x);
}

void TOALineShape::setAngle(int angle)
{
    if (AgFlag == 1)
        TOAControl::setAngle(angle);
    else
        storeAngle(((angle % 360) + 360) % 360);
}

void TOALineShape::Rotate90()
{
    TurnLineQuarter(start_, end_);
    syncAbsFromPixels();
    RebuildImage();
}

void TOALineShape::setZoom(double zoom)
{
    if (zoom == Zoom())
        return;
    TOAControl::setZoom(zoom);
    start_ = QPoint(SafeMMToPixels(absStart_[0], zoom), SafeMMToPixels(absStart_[1], zoom));
    end_ = QPoint(SafeMMToPixels(absEnd_[0], zoom), SafeMMToPixels(absEnd_[1], zoom));
    const int w = SafeRound(ScreenPPI * (zoom * mmLineWidth_ * 10.0) / 254.0);
    lineWidth_ = w == 0 ? 1 : w;
    RebuildImage();
}

void TOALineShape::setUpdatesBlocked(bool blocked)
{
    const bool release = updatesBlocked_ && !blocked;
    updatesBlocked_ = blocked;
    if (release)
        RebuildImage();
}

void TOALineShape::RebuildImage()
{
    if (updatesBlocked_)
        return;
    PointFlag = 1;
    // Deferred, the hit spans wait for the picture too: a diagonal's are traced from a drawing.
    const bool deferred = deferDrawing();
    LineLayout layout = LayOutLine(freeLine_, start_, end_, lineWidth_, style_, lineFlag_, Pen.color(), !deferred);
    style_ = layout.style;
    lineFlag_ = layout.lineFlag;
    setGeometry(layout.bounds);
    area_ = std::move(layout.area);
    if (!deferred)
        setDstBitmap(std::move(layout.picture));
}

// --- TOALine -------------------------------------------------------------------------------

TOALine::TOALine()
    : TOALineShape(ObjectKind::Line, true, 20, 2)
{
}

std::unique_ptr<TOAControl> TOALine::clone() const
{
    return std::make_unique<TOALine>(*this);
}

void TOALine::RebuildImage()
{
    if (updatesBlocked_)
        return;
    TOALineShape::RebuildImage();
    if (ScreenPrn == 1 && !pictureDue() && !DstBitmap().isNull())
        setDstBitmap(ToMonochrome(DstBitmap()));
}

QImage TOALine::PrinterPicture(int dpi) const
{
    auto dots = [dpi](double mm) { return SafeRound(dpi * mm / 25.4); };
    const int lw = SafeRound(mmLineWidth_ * (dpi == 300 ? 12 : 8));
    const LineLayout layout = LayOutLine(true, QPoint(dots(absStart_[0]), dots(absStart_[1])),
        QPoint(dots(absEnd_[0]), dots(absEnd_[1])), lw, style_, lineFlag_, Pen.color());
    return ToMonochrome(layout.picture);
}

} // namespace korvel
