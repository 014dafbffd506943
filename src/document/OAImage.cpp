#include "document/OAImage.h"

#include "document/Binary.h"
#include "document/OAShape.h"
#include "document/Rounding.h"
#include "document/Units.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace korvel {

// --- source pictures -------------------------------------------------------------------------

namespace {

// round(v) as int; values beyond a million pixels (or not numbers) are clamped, since sizes
// and zooms may come from outside input.
int toInt(double v)
{
    if (!std::isfinite(v))
        return 0;
    return static_cast<int>(Round(std::clamp(v, -1000000.0, 1000000.0)));
}

// Whether the bytes are an uncompressed one-bit or 24-bit Windows bitmap, which is kept as is.
bool isPlainBitmap(const QByteArray& bytes, int& bitCount)
{
    ByteReader r(bytes);
    if (bytes.size() < 54 || bytes.at(0) != 'B' || bytes.at(1) != 'M')
        return false;
    r.seek(14);
    const std::uint32_t headerSize = r.u32();
    r.seek(28);
    bitCount = r.u16();
    const std::uint32_t compression = r.u32();
    return r.ok() && headerSize >= 40 && compression == 0 && (bitCount == 1 || bitCount == 24);
}

QImage monoWithPalette(const QImage& image)
{
    QImage mono = image.convertToFormat(QImage::Format_Mono);
    if (mono.colorCount() < 2)
        mono.setColorTable({ qRgb(0, 0, 0), qRgb(255, 255, 255) });
    return mono;
}

} // namespace

QByteArray EncodeBitmapFile(const QImage& picture)
{
    if (picture.isNull())
        return {};
    const bool oneBit = picture.depth() == 1;
    const QImage src = oneBit ? monoWithPalette(picture) : ToBGR24(picture);
    const int w = src.width();
    const int h = src.height();
    const int bits = oneBit ? 1 : 24;
    const qsizetype stride = ((static_cast<qsizetype>(w) * bits + 31) / 32) * 4;
    const qsizetype paletteSize = oneBit ? 8 : 0;
    const qsizetype offset = 14 + 40 + paletteSize;
    const qsizetype imageSize = stride * h;

    ByteWriter out;
    out.u8('B');
    out.u8('M');
    out.u32(static_cast<std::uint32_t>(offset + imageSize));
    out.u16(0);
    out.u16(0);
    out.u32(static_cast<std::uint32_t>(offset));
    out.u32(40);
    out.i32(w);
    out.i32(h);
    out.u16(1);
    out.u16(static_cast<std::uint16_t>(bits));
    out.u32(0);
    out.u32(static_cast<std::uint32_t>(imageSize));
    out.i32(0);
    out.i32(0);
    out.u32(oneBit ? 2 : 0);
    out.u32(0);
    if (oneBit)
        for (int i = 0; i < 2; ++i) {
            const QRgb c = src.color(i);
            out.u8(static_cast<std::uint8_t>(qBlue(c)));
            out.u8(static_cast<std::uint8_t>(qGreen(c)));
            out.u8(static_cast<std::uint8_t>(qRed(c)));
            out.u8(0);
        }
    const qsizetype used = oneBit ? (w + 7) / 8 : static_cast<qsizetype>(w) * 3;
    QByteArray row(stride, '\0');
    for (int y = h - 1; y >= 0; --y) {
        std::memcpy(row.data(), src.constScanLine(y), static_cast<size_t>(used));
        if (oneBit && w % 8 != 0) // clear the padding bits of the last byte
            row[used - 1]
                = static_cast<char>(static_cast<uchar>(row[used - 1]) & static_cast<uchar>(0xFF << (8 - w % 8)));
        out.bytes(row);
    }
    return out.take();
}

SourcePicture SourceFromImage(const QImage& image)
{
    SourcePicture s;
    if (image.isNull()) {
        s.error = PictureError::Empty;
        return s;
    }
    if (image.width() > MaxPictureSide || image.height() > MaxPictureSide) {
        s.error = PictureError::TooLarge;
        return s;
    }
    s.oneBit = image.depth() == 1;
    s.image = s.oneBit ? monoWithPalette(image) : ToBGR24(image);
    s.bitmapFile = EncodeBitmapFile(s.image);
    return s;
}

SourcePicture DecodeSourcePicture(const QByteArray& bytes)
{
    SourcePicture s;
    if (bytes.isEmpty()) {
        s.error = PictureError::Empty;
        return s;
    }
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(false);
    if (!reader.canRead()) {
        s.error = PictureError::NotAPicture;
        return s;
    }
    const QSize size = reader.size();
    if (size.width() > MaxPictureSide || size.height() > MaxPictureSide) {
        s.error = PictureError::TooLarge;
        return s;
    }
    const bool isBmp = reader.format() == "bmp";
    QImage image = reader.read();
    if (image.isNull()) {
        s.error = PictureError::NotAPicture;
        return s;
    }
    if (image.width() > MaxPictureSide || image.height() > MaxPictureSide) {
        s.error = PictureError::TooLarge;
        return s;
    }
    int bitCount = 0;
    const bool plain = isBmp && isPlainBitmap(bytes, bitCount);
    // Only a bitmap keeps one bit per pixel; other formats are drawn into a 24-bit bitmap.
    s.oneBit = isBmp && image.depth() == 1;
    s.image = s.oneBit ? monoWithPalette(image) : ToBGR24(image);
    s.bitmapFile = plain && (bitCount == 1) == s.oneBit ? bytes : EncodeBitmapFile(s.image);
    return s;
}

// --- deriving the picture --------------------------------------------------------------------

std::array<std::uint8_t, 256> ContrastBrightnessTable(int ctr, int brt)
{
    std::array<std::uint8_t, 256> table {};
    const int c = ctr;
    for (int a = 0; a < 256; ++a) {
        long long d;
        if (c < 0) {
            d = Round(a / (255.0 / (2.0 * c + 255.0)) - c);
        } else if (a <= c) {
            d = 0;
        } else if (a < 255 - c) {
            d = Round((a - c) / ((255.0 - 2.0 * c) / 255.0));
        } else {
            d = 255;
        }
        table[static_cast<size_t>(a)] = static_cast<std::uint8_t>(std::clamp<long long>(brt + d, 0, 255));
    }
    return table;
}

QImage DerivePicture(const QImage& source, const ImageAdjustments& adjust, QSize size, QImage* beforeHalftone)
{
    if (size.width() <= 0 || size.height() <= 0 || size.width() > MaxDerivedSide || size.height() > MaxDerivedSide)
        return {};
    QImage picture;
    if (source.isNull()) {
        picture = QImage(size, QImage::Format_BGR888);
        picture.fill(Qt::white);
    } else {
        QImage rotated = RotateBitmap(ToBGR24(source), adjust.angle, Qt::white);
        // The rotation's extra white row is not part of the picture.
        rotated = rotated.copy(0, 0, rotated.width(), std::max(1, rotated.height() - 1));
        picture = StretchNearest(rotated, size.width(), size.height());
    }
    if (picture.isNull())
        return {};
    const int w = picture.width();
    const int h = picture.height();
    if (adjust.ctr != 0 || adjust.brt != 0) {
        const auto table = ContrastBrightnessTable(adjust.ctr, adjust.brt);
        for (int y = 0; y < h; ++y) {
            uchar* line = picture.scanLine(y);
            for (int i = 0; i < 3 * w; ++i)
                line[i] = table[line[i]];
        }
    }
    if (adjust.red != 0 || adjust.green != 0 || adjust.blue != 0) {
        const int offsets[3] = { adjust.red, adjust.green, adjust.blue };
        for (int y = 0; y < h; ++y) {
            uchar* line = picture.scanLine(y);
            for (int x = 0; x < w; ++x)
                for (int k = 0; k < 3; ++k)
                    line[3 * x + k] = static_cast<uchar>(std::clamp(line[3 * x + k] + offsets[k], 0, 255));
        }
    }
    if (adjust.horizontal || adjust.vertical)
        picture = picture.mirrored(adjust.horizontal, adjust.vertical);
    if (beforeHalftone)
        *beforeHalftone = picture;
    QImage result = Halftone(picture, HalftoneMethodOf(adjust.bw));
    if (adjust.invert)
        result.invertPixels();
    return result;
}

// --- TOAImage --------------------------------------------------------------------------------

TOAImage::TOAImage()
    : TOAControl(ObjectKind::Image)
{
    setBounds(0, 0, 50, 50);
    box_.takeBounds(*this);
    RenderImage();
}

std::unique_ptr<TOAControl> TOAImage::clone() const
{
    return std::make_unique<TOAImage>(*this);
}

void TOAImage::accept(const SourcePicture& source)
{
    orgImage_ = source.image;
    orgPicture_ = source.bitmapFile;
    ImgFormat = source.oneBit ? 1 : 0;
    OrgWidth = orgImage_.width();
    OrgHeight = orgImage_.height();
    aspect_ = OrgWidth > 0 ? static_cast<double>(OrgHeight) / OrgWidth : 0.0;
    RenderImage();
}

PictureError TOAImage::SetOrgPicture(const QByteArray& bytes)
{
    const SourcePicture source = DecodeSourcePicture(bytes);
    if (source.error == PictureError::None)
        accept(source);
    return source.error;
}

PictureError TOAImage::SetOrgPicture(const QImage& image)
{
    const SourcePicture source = SourceFromImage(image);
    if (source.error == PictureError::None)
        accept(source);
    return source.error;
}

double TOAImage::Aspect() const
{
    if (aspect_ != 0)
        return aspect_;
    return OrgWidth != 0 ? static_cast<double>(OrgHeight) / OrgWidth : 0.0;
}

void TOAImage::setSetting(int& field, int value)
{
    if (field == value)
        return;
    field = value;
    RenderImage();
}

void TOAImage::setSetting(bool& field, bool value)
{
    if (field == value)
        return;
    field = value;
    RenderImage();
}

void TOAImage::setBW(int v)
{
    setSetting(bw_, v);
}
void TOAImage::setCtr(int v)
{
    setSetting(ctr_, v);
}
void TOAImage::setBrt(int v)
{
    setSetting(brt_, v);
}
void TOAImage::setRed(int v)
{
    setSetting(red_, v);
}
void TOAImage::setGreen(int v)
{
    setSetting(green_, v);
}
void TOAImage::setBlue(int v)
{
    setSetting(blue_, v);
}
void TOAImage::setInvert(bool v)
{
    setSetting(invert_, v);
}
void TOAImage::setHorizontal(bool v)
{
    setSetting(horizontal_, v);
}
void TOAImage::setVertical(bool v)
{
    setSetting(vertical_, v);
}
void TOAImage::setOriginalSize(int v)
{
    setSetting(originalSize_, v);
}
void TOAImage::setHeightWidthRatio(int v)
{
    setSetting(heightWidthRatio_, v);
}

int TOAImage::pixelsOf(double mm) const
{
    return toInt(toInt(ScreenPPI * mm * 10.0 / 254.0) * Zoom());
}

void TOAImage::setAbsLeft(double mm)
{
    box_.setMillimetres(*this, BoxSide::Left, mm, pixelsOf(mm));
}

void TOAImage::setAbsTop(double mm)
{
    box_.setMillimetres(*this, BoxSide::Top, mm, pixelsOf(mm));
}

void TOAImage::setAbsWidth(double mm)
{
    box_.setMillimetres(*this, BoxSide::Width, mm, pixelsOf(mm));
}

void TOAImage::setAbsHeight(double mm)
{
    box_.setMillimetres(*this, BoxSide::Height, mm, pixelsOf(mm));
}

void TOAImage::setVirLeft(int px)
{
    box_.setPixels(*this, BoxSide::Left, px);
}

void TOAImage::setVirTop(int px)
{
    box_.setPixels(*this, BoxSide::Top, px);
}

void TOAImage::setVirWidth(int px)
{
    box_.setPixels(*this, BoxSide::Width, px);
}

void TOAImage::setVirHeight(int px)
{
    box_.setPixels(*this, BoxSide::Height, px);
}

void TOAImage::setDragWidth(int w)
{
    w = ClampPixels(w);
    if (w == dragWidth_ || Zoom() == 0)
        return;
    dragWidth_ = w;
    const double aspect = Aspect();
    if (aspect != 0)
        dragHeight_ = toInt(quarterTurned() ? w / aspect : w * aspect);
    DragWidthFlag = 1;
    orgDragWidth_ = toInt((dragWidth_ / Zoom()));
    orgDragHeight_ = toInt((dragHeight_ / Zoom()));
    RenderImage();
}

void TOAImage::setDragHeight(int h)
{
    h = ClampPixels(h);
    if (h == dragHeight_ || Zoom() == 0)
        return;
    dragHeight_ = h;
    const double aspect = Aspect();
    if (aspect != 0)
        dragWidth_ = toInt(quarterTurned() ? h * aspect : h / aspect);
    orgDragWidth_ = toInt((dragWidth_ / Zoom()));
    orgDragHeight_ = toInt((dragHeight_ / Zoom()));
    RenderImage();
}

void TOAImage::storeDragSize(int w, int h)
{
    w = ClampPixels(w);
    h = ClampPixels(h);
    dragWidth_ = w;
    dragHeight_ = h;
    if (Zoom() != 0) {
        orgDragWidth_ = toInt((w / Zoom()));
        orgDragHeight_ = toInt((h / Zoom()));
    }
}

void TOAImage::setZoom(double zoom)
{
    if (zoom == Zoom())
        return;
    TOAControl::setZoom(zoom);
    setBounds(pixelsOf(AbsLeft()), pixelsOf(AbsTop()), pixelsOf(AbsWidth()), pixelsOf(AbsHeight()));
    box_.takePixelBounds(*this);
    dragWidth_ = toInt((zoom * orgDragWidth_));
    dragHeight_ = toInt((zoom * orgDragHeight_));
    RenderImage();
}

void TOAImage::Rotate90()
{
    setBounds(Left(), Top(), Height(), Width());
    box_.swapPixelSizes();
    box_.swapMillimetreSizes();
    std::swap(dragWidth_, dragHeight_);
    // The zoom-free drag size turns too, or the next zoom change would undo the turn.
    std::swap(orgDragWidth_, orgDragHeight_);
    RenderImage();
    const int w = Width();
    const int h = Height();
    const int dx = (h - w) / 2;
    const int dy = (w - h) / 2;
    setBounds(Left() + dx, Top() + dy, w, h);
    box_.takePixelBounds(*this);
    box_.shiftMillimetres(dx, dy, Zoom());
}

ImageAdjustments TOAImage::adjustments() const
{
    ImageAdjustments a;
    a.angle = Angle();
    a.bw = bw_;
    a.ctr = ctr_;
    a.brt = brt_;
    a.red = red_;
    a.green = green_;
    a.blue = blue_;
    a.invert = invert_;
    a.horizontal = horizontal_;
    a.vertical = vertical_;
    return a;
}

void TOAImage::RenderImage()
{
    const bool quarter = quarterTurned();
    const auto keepOrgDrag = [this] {
        if (Zoom() != 0) {
            orgDragWidth_ = toInt((dragWidth_ / Zoom()));
            orgDragHeight_ = toInt((dragHeight_ / Zoom()));
        }
    };
    if (originalSize_ == 1 && !orgImage_.isNull()) {
        int w = toInt((Zoom() * OrgWidth));
        int h = toInt((Zoom() * OrgHeight));
        if (quarter)
            std::swap(w, h);
        setBounds(Left(), Top(), w, h);
        box_.setPixelSize(w, h, Zoom());
        // Kept in the turned proportion like every other drag size.
        dragWidth_ = w;
        dragHeight_ = h;
        keepOrgDrag();
    } else if (heightWidthRatio_ == 1) {
        setBounds(Left(), Top(), dragWidth_, dragHeight_);
        box_.setPixelSize(dragWidth_, dragHeight_, Zoom());
    } else {
        const double aspect = Aspect();
        if (!quarter) {
            dragWidth_ = Width();
            dragHeight_ = toInt((Width() * aspect));
        } else {
            dragHeight_ = Height();
            dragWidth_ = toInt((Height() * aspect));
        }
        keepOrgDrag();
    }
    if (deferDrawing()) {
        picture_ = QImage();
        return;
    }
    setDstBitmap(DerivePicture(orgImage_, adjustments(), QSize(Width(), Height()), &picture_));
}

QSize TOAImage::PrinterSize(int dpi) const
{
    const double w1 = toInt(ScreenPPI * AbsWidth() * 10.0 / 254.0);
    const double h1 = toInt(ScreenPPI * AbsHeight() * 10.0 / 254.0);
    return QSize(toInt((w1 * dpi / ScreenPPI)), toInt((h1 * dpi / ScreenPPI)));
}

QImage TOAImage::PrinterPicture(int dpi) const
{
    const bool untouched = ctr_ == 0 && brt_ == 0 && red_ == 0 && green_ == 0 && blue_ == 0;
    const bool plainMonochrome = ImgFormat == 1 && untouched && bw_ == 0;
    ImageAdjustments a = adjustments();
    if (a.bw == 0 && !plainMonochrome)
        a.bw = 2;
    const QImage picture = DerivePicture(orgImage_, a, PrinterSize(dpi));
    if (picture.isNull())
        return {};
    return picture.depth() == 1 ? picture : ToMonochrome(picture);
}

} // namespace korvel
