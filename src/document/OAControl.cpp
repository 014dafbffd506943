#include "document/OAControl.h"

#include "document/Halftone.h"
#include "document/OAShape.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace korvel {

QString KindNamePrefix(ObjectKind kind)
{
    switch (kind) {
    case ObjectKind::Text: return QStringLiteral("Text");
    case ObjectKind::BarCode: return QStringLiteral("BarCode");
    case ObjectKind::Image: return QStringLiteral("Image");
    case ObjectKind::Line: return QStringLiteral("Line");
    case ObjectKind::Rectangle: return QStringLiteral("Rectangle");
    case ObjectKind::Ellipse: return QStringLiteral("Ellipse");
    case ObjectKind::HVLine: return QStringLiteral("HVLine");
    case ObjectKind::InvertArea: return QStringLiteral("InvertArea");
    }
    return {};
}

QString KindContainmentName(ObjectKind kind)
{
    return kind == ObjectKind::BarCode ? QStringLiteral("Barcode") : KindNamePrefix(kind);
}

int KindObjStyle(ObjectKind kind)
{
    switch (kind) {
    case ObjectKind::HVLine: return 4;
    case ObjectKind::InvertArea: return 7;
    default: return static_cast<int>(kind);
    }
}

bool KindIsBox(ObjectKind kind)
{
    return kind == ObjectKind::Text || kind == ObjectKind::BarCode || kind == ObjectKind::Image
        || kind == ObjectKind::InvertArea;
}

TOAControl::TOAControl(ObjectKind kind) : ObjStyle(KindObjStyle(kind)), kind_(kind) {}

TOAControl::~TOAControl() = default;

namespace {
thread_local int deferralDepth = 0;
}

PictureDeferral::PictureDeferral() { ++deferralDepth; }
PictureDeferral::~PictureDeferral() { --deferralDepth; }
bool PictureDeferral::active() { return deferralDepth > 0; }
PictureDeferral::Lift::Lift() : saved_(deferralDepth) { deferralDepth = 0; }
PictureDeferral::Lift::~Lift() { deferralDepth = saved_; }

const QImage& TOAControl::DstBitmap() const
{
    if (pictureDue_) {
        // Laying out again with the same properties gives the same layout; this time it draws.
        PictureDeferral::Lift drawNow;
        const_cast<TOAControl*>(this)->RebuildImage();
        pictureDue_ = false;
    }
    return dstBitmap_;
}

void TOAControl::setDstBitmap(QImage picture)
{
    dstBitmap_ = std::move(picture);
    pictureDue_ = false;
}

void TOAControl::releasePicture()
{
    dstBitmap_ = QImage();
    pictureDue_ = true;
}

bool TOAControl::deferDrawing()
{
    if (!PictureDeferral::active())
        return false;
    releasePicture();
    return true;
}

void TOAControl::setAngle(int angle)
{
    angle = ((angle % 360) + 360) % 360;
    int turns = ((angle - angle_) / 90 % 4 + 4) % 4;
    angle_ = angle;
    while (turns-- > 0)
        Rotate90();
}

void TOAControl::setVirReadPr(int v)
{
    if (v < 0 || v / 10 > 4)
        return;
    flags[static_cast<size_t>(v / 10)] = static_cast<std::uint8_t>(v % 10);
}

namespace {

// A picture stretched (and inverted) for the surface is kept per thread while that picture
// lives unchanged: a move, an undo or a redo paints every object again at the same size, and
// preparing the pictures was most of that repaint. An image's cache key changes with its
// contents and is never reused, so a kept entry is either right or never asked for again.
class PreparedPictures {
public:
    QImage get(const QImage& bitmap, QSize size, bool inverted)
    {
        const auto it = entries_.find(bitmap.cacheKey());
        if (it != entries_.end() && it->second.size == size && it->second.inverted == inverted)
            return it->second.image;
        QImage source = StretchBlackOnWhite(bitmap, size.width(), size.height());
        if (source.isNull())
            return source;
        if (inverted)
            source.invertPixels();
        const qint64 bytes = source.sizeInBytes();
        if (it != entries_.end()) {
            bytes_ -= it->second.image.sizeInBytes();
            entries_.erase(it);
        }
        if (bytes_ + bytes > MaxBytes) {
            entries_.clear();
            bytes_ = 0;
        }
        if (bytes <= MaxBytes / 4) {
            entries_.emplace(bitmap.cacheKey(), Entry{size, inverted, source});
            bytes_ += bytes;
        }
        return source;
    }

    static PreparedPictures& local()
    {
        thread_local PreparedPictures pictures;
        return pictures;
    }

private:
    static constexpr qint64 MaxBytes = 96LL * 1024 * 1024;
    struct Entry {
        QSize size;
        bool inverted;
        QImage image;
    };
    std::unordered_map<qint64, Entry> entries_;
    qint64 bytes_ = 0;
};

// Composes a bitmap onto the destination area with a raster operation. The bitmap is
// stretched as a device stretches by default: rows and columns dropped when shrinking are
// ANDed into the kept ones, so thin black strokes survive (a line's picture is one row taller
// than its control).
void compose(QPainter& painter, const QRect& target, const QImage& bitmap, QPainter::CompositionMode mode, bool inverted)
{
    if (bitmap.isNull())
        return;
    const QImage source = PreparedPictures::local().get(bitmap, target.size(), inverted);
    if (source.isNull())
        return;
    painter.save();
    painter.setCompositionMode(mode);
    painter.drawImage(target.topLeft(), source);
    painter.restore();
}

// The filled ellipse is drawn directly, inscribed in the control with a one-pixel pen.
void paintFilledEllipse(QPainter& painter, const QRect& r, const QColor& color, int mode)
{
    const int w = r.width();
    const int h = r.height();
    const QRect outer(0, 0, w, h);
    const QRect inner(1, 1, w - 2, h - 2);
    QImage shape(w, h, mode == 0 ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (shape.isNull())
        return;
    // Mode 0 copies pen and brush, both in the ellipse colour. Other modes use not-XOR: the
    // white pen leaves the edge as it is and the brush combines with what lies beneath.
    shape.fill(mode == 0 ? QColor(Qt::transparent) : QColor(Qt::white));
    const QRgb fill = color.rgb();
    for (int y = 0; y < h; ++y) {
        SpanRow row;
        if (!RingRowSpans(outer, QRect(), y, row))
            continue;
        auto* line = reinterpret_cast<QRgb*>(shape.scanLine(y));
        if (mode == 0) {
            for (int x = row.from1; x <= row.to1; ++x)
                line[x] = fill;
            continue;
        }
        int il = 0;
        int ir = -1;
        if (!EllipseRowSpan(inner, y, il, ir))
            continue;
        for (int x = il; x <= ir; ++x)
            line[x] = fill;
    }
    painter.save();
    painter.setCompositionMode(mode == 0 ? QPainter::CompositionMode_SourceOver : QPainter::RasterOp_NotSourceXorDestination);
    painter.drawImage(r.topLeft(), shape);
    painter.restore();
}

} // namespace

void TOAControl::Paint(QPainter& painter, int mode)
{
    const QRect r = geometry();
    if (r.width() <= 0 || r.height() <= 0)
        return;
    if (ObjStyle == 6 && FillInter == 1) {
        paintFilledEllipse(painter, r, EllipseColor, mode);
        return;
    }

    enum class Op { Copy, And, Xor, Invert } op = Op::And;
    const bool filledRect = ObjStyle == 5 && FillInter == 1;
    if (mode == 0) {
        if (ObjStyle == 2 || ObjStyle == 3 || filledRect)
            op = Op::Copy;
        else if (ObjStyle == 7)
            op = Op::Invert;
    } else if (mode == 1) {
        if (ObjStyle == 2)
            op = Op::Copy;
        else if (ObjStyle == 7)
            op = Op::Invert;
        else
            op = Op::Xor;
    } else {
        ObjBitMode = 1;
    }

    switch (op) {
    case Op::Copy:
        compose(painter, r, DstBitmap(), QPainter::CompositionMode_Source, false);
        break;
    case Op::And:
        compose(painter, r, DstBitmap(), QPainter::RasterOp_SourceAndDestination, false);
        break;
    case Op::Xor:
        // The bitmap is first XOR-copied onto a white bitmap, i.e. inverted; XORed onto the
        // surface, white paper then leaves the surface alone and ink inverts it.
        compose(painter, r, DstBitmap(), QPainter::RasterOp_SourceXorDestination, true);
        break;
    case Op::Invert:
        painter.save();
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter.fillRect(r, Qt::black);
        painter.restore();
        break;
    }
}

QImage MonoByBlue(const QImage& source)
{
    // The three-byte layouts and 32-bit pixels are read as they are; anything else is converted.
    int stride = 4;
    int blue = -1;
    QImage src = source;
    switch (source.format()) {
    case QImage::Format_RGB888: stride = 3; blue = 2; break;
    case QImage::Format_BGR888: stride = 3; blue = 0; break;
    case QImage::Format_RGB32: break;
    default: src = source.convertToFormat(QImage::Format_RGB32); break;
    }
    const int w = src.width();
    const int h = src.height();
    QImage out(w, h, QImage::Format_Mono);
    if (out.isNull())
        return out;
    out.setColorTable({ qRgb(255, 255, 255), qRgb(0, 0, 0) });
    out.fill(0);
    for (int y = 0; y < h; ++y) {
        uchar* line = out.scanLine(y);
        if (blue >= 0) {
            const uchar* in = src.constScanLine(y) + blue;
            for (int x = 0; x < w; ++x, in += stride)
                if (*in != 255)
                    line[x >> 3] |= static_cast<uchar>(0x80 >> (x & 7));
        } else {
            const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
            for (int x = 0; x < w; ++x)
                if (qBlue(in[x]) != 255)
                    line[x >> 3] |= static_cast<uchar>(0x80 >> (x & 7));
        }
    }
    return out;
}

namespace {

/// Sine and cosine of a whole-degree angle, exact at the quarter turns.
void quarterExact(int a, double& s, double& c)
{
    switch (a) {
    case 0: s = 0; c = 1; break;
    case 90: s = 1; c = 0; break;
    case 180: s = 0; c = -1; break;
    case 270: s = -1; c = 0; break;
    default: {
        const double rad = a * M_PI / 180.0;
        s = std::sin(rad);
        c = std::cos(rad);
    }
    }
}

} // namespace

QSize RotatedSize(QSize size, int angle)
{
    const int a = ((angle % 360) + 360) % 360;
    if (a == 0)
        return { size.width(), size.height() + 1 };
    double s;
    double c;
    quarterExact(a, s, c);
    const double w = size.width();
    const double h = size.height();
    const double ex = std::max(std::abs(w * c + h * s), std::abs(w * c - h * s));
    const double ey = std::max(std::abs(w * s + h * c), std::abs(w * s - h * c));
    return { static_cast<int>(std::trunc(ex + 0.5)), static_cast<int>(std::trunc(ey + 0.5)) + 1 };
}

QImage RotateBitmap(const QImage& source, int angle, const QColor& background)
{
    // Both three-byte layouts are rotated as they are; anything else becomes RGB888.
    const QImage::Format format = source.format() == QImage::Format_BGR888 ? QImage::Format_BGR888 : QImage::Format_RGB888;
    const QImage src = source.format() == format ? source : source.convertToFormat(format);
    if (src.isNull())
        return {};
    const int w = src.width();
    const int h = src.height();
    const int a = ((angle % 360) + 360) % 360;
    if (a == 0) {
        QImage out(w, h + 1, format);
        if (out.isNull())
            return out;
        out.fill(Qt::white);
        for (int y = 0; y < h; ++y)
            std::copy_n(src.constScanLine(y), w * 3, out.scanLine(y));
        return out;
    }
    double s;
    double c;
    quarterExact(a, s, c);
    const QSize turned = RotatedSize(src.size(), a);
    const int W = turned.width();
    const int H = turned.height() - 1;
    QImage out(W, H + 1, format);
    if (out.isNull())
        return out;
    out.fill(background);
    double dx;
    double dy;
    switch (a) {
    case 90: dx = 0; dy = h - 1; break;
    case 180: dx = w - 1; dy = h - 1; break;
    case 270: dx = w - 1; dy = 0; break;
    default:
        dx = -W / 2.0 * c - H / 2.0 * s + w / 2.0;
        dy = W / 2.0 * s - H / 2.0 * c + h / 2.0;
    }
    for (int y = 0; y < H; ++y) {
        uchar* line = out.scanLine(y);
        for (int x = 0; x < W; ++x) {
            const int sx = static_cast<int>(std::trunc(x * c + y * s + dx));
            const int sy = static_cast<int>(std::trunc(-x * s + y * c + dy));
            if (sx >= 0 && sx < w && sy >= 0 && sy < h)
                std::copy_n(src.constScanLine(sy) + sx * 3, 3, line + x * 3);
        }
    }
    uchar* last = out.scanLine(H);
    std::fill_n(last, W * 3, 0xFF);
    return out;
}

} // namespace korvel
