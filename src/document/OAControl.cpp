#include "document/OAControl.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

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

// Composes a bitmap onto the destination area with a bitwise raster operation.
void composeBitwise(QPainter& painter, const QRect& target, const QImage& bitmap, QPainter::CompositionMode mode)
{
    if (bitmap.isNull())
        return;
    QImage source = bitmap.convertToFormat(QImage::Format_RGB32);
    if (source.size() != target.size())
        source = source.scaled(target.size());
    painter.save();
    painter.setCompositionMode(mode);
    painter.drawImage(target.topLeft(), source);
    painter.restore();
}

} // namespace

void TOAControl::Paint(QPainter& painter, int mode)
{
    const QRect r = geometry();
    if (ObjStyle == 6 && FillInter == 1) {
        painter.save();
        if (mode == 0) {
            painter.setPen(QPen(EllipseColor, 1));
        } else {
            painter.setPen(QPen(Qt::white, 1));
            painter.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
        }
        painter.setBrush(EllipseColor);
        painter.drawEllipse(r.adjusted(0, 0, -1, -1));
        painter.restore();
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
        if (!DstBitmap.isNull())
            painter.drawImage(r, DstBitmap);
        break;
    case Op::And:
        composeBitwise(painter, r, DstBitmap, QPainter::RasterOp_SourceAndDestination);
        break;
    case Op::Xor: {
        // Black ink on white paper: XOR with the inverted bitmap leaves white transparent and
        // inverts under the ink, which is what a surface in XOR mode shows.
        if (DstBitmap.isNull())
            break;
        QImage ink = DstBitmap.convertToFormat(QImage::Format_RGB32);
        ink.invertPixels();
        composeBitwise(painter, r, ink, QPainter::RasterOp_SourceXorDestination);
        break;
    }
    case Op::Invert:
        painter.save();
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter.fillRect(r, Qt::black);
        painter.restore();
        break;
    }
}

QImage RotateBitmap(const QImage& source, int angle, const QColor& background)
{
    const QImage src = source.format() == QImage::Format_RGB888 ? source : source.convertToFormat(QImage::Format_RGB888);
    const int w = src.width();
    const int h = src.height();
    const int a = ((angle % 360) + 360) % 360;
    if (a == 0) {
        QImage out(w, h + 1, QImage::Format_RGB888);
        out.fill(Qt::white);
        for (int y = 0; y < h; ++y)
            std::copy_n(src.constScanLine(y), w * 3, out.scanLine(y));
        return out;
    }
    double s;
    double c;
    switch (a) {
    case 90: s = 1; c = 0; break;
    case 180: s = 0; c = -1; break;
    case 270: s = -1; c = 0; break;
    default: {
        const double rad = a * M_PI / 180.0;
        s = std::sin(rad);
        c = std::cos(rad);
    }
    }
    // Rotated extents of the two diagonals.
    const double ex1 = std::abs(w * c + h * s);
    const double ex2 = std::abs(w * c - h * s);
    const double ey1 = std::abs(w * s + h * c);
    const double ey2 = std::abs(w * s - h * c);
    const int W = static_cast<int>(std::trunc(std::max(ex1, ex2) + 0.5));
    const int H = static_cast<int>(std::trunc(std::max(ey1, ey2) + 0.5));
    QImage out(W, H + 1, QImage::Format_RGB888);
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
