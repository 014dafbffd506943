#include "ImageGolden.h"
#include "document/Binary.h"
#include "document/OAImage.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <vector>

using namespace korvel;

namespace {

QByteArray encoded(const QImage& img, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, format);
    return bytes;
}

// A picture whose pixel (x, y) has the bytes (x * 10, y * 10, 200) in memory order.
QImage coordinatePicture(int w, int h)
{
    QImage img(w, h, QImage::Format_BGR888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uchar* p = img.scanLine(y) + 3 * x;
            p[0] = static_cast<uchar>(x * 10);
            p[1] = static_cast<uchar>(y * 10);
            p[2] = 200;
        }
    return img;
}

QImage monoChecker(int w, int h)
{
    QImage mono = NewMonoImage(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            SetMonoPixel(mono, x, y, (x / 2 + y / 2) % 2 == 0);
    return mono;
}

int bitCountOf(const QByteArray& bmp)
{
    ByteReader r(bmp);
    r.seek(28);
    return r.u16();
}

const uchar* bytesAt(const QImage& img, int x, int y)
{
    return img.constScanLine(y) + 3 * x;
}

} // namespace

TEST(ImageTest, RotateBitmapFourAngles)
{
    const QImage src = coordinatePicture(5, 3);
    struct Case {
        int angle;
        int w, h;
        // Source pixel that result pixel (x, y) shows.
        QPoint (*from)(int x, int y);
    };
    const std::vector<Case> cases {
        { 0, 5, 3, [](int x, int y) { return QPoint(x, y); } },
        { 90, 3, 5, [](int x, int y) { return QPoint(y, 2 - x); } },
        { 180, 5, 3, [](int x, int y) { return QPoint(4 - x, 2 - y); } },
        { 270, 3, 5, [](int x, int y) { return QPoint(4 - y, x); } },
    };
    for (const Case& c : cases) {
        const QImage out = RotateBitmap(src, c.angle, Qt::red);
        ASSERT_EQ(out.format(), QImage::Format_BGR888) << c.angle;
        ASSERT_EQ(out.size(), QSize(c.w, c.h + 1)) << c.angle;
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) {
                const QPoint s = c.from(x, y);
                EXPECT_EQ(0, std::memcmp(bytesAt(out, x, y), bytesAt(src, s.x(), s.y()), 3))
                    << c.angle << " at " << x << "," << y;
            }
        for (int x = 0; x < c.w; ++x)
            EXPECT_EQ(out.pixel(x, c.h), qRgb(255, 255, 255)) << "extra row, angle " << c.angle;
    }
    EXPECT_EQ(RotateBitmap(coordinatePicture(4, 2).convertToFormat(QImage::Format_RGB32), 90, Qt::white).format(),
        QImage::Format_RGB888);
    EXPECT_TRUE(RotateBitmap(QImage(), 90, Qt::white).isNull());
}

TEST(ImageTest, AcceptingPictures)
{
    // A one-bit bitmap stays one bit, byte for byte.
    const QByteArray bmp1 = EncodeBitmapFile(monoChecker(13, 7));
    ASSERT_EQ(bitCountOf(bmp1), 1);
    TOAImage img;
    ASSERT_EQ(img.SetOrgPicture(bmp1), PictureError::None);
    EXPECT_EQ(img.ImgFormat, 1);
    EXPECT_EQ(img.OrgImage().depth(), 1);
    EXPECT_EQ(img.OrgPicture(), bmp1);
    EXPECT_EQ(img.OrgWidth, 13);
    EXPECT_EQ(img.OrgHeight, 7);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x)
            ASSERT_EQ(MonoIsBlack(img.OrgImage(), x, y), (x / 2 + y / 2) % 2 == 0);

    // A JPEG becomes a 24-bit bitmap of its own size.
    TOAImage jpeg;
    ASSERT_EQ(jpeg.SetOrgPicture(encoded(coordinatePicture(20, 10), "JPG")), PictureError::None);
    EXPECT_EQ(jpeg.ImgFormat, 0);
    EXPECT_EQ(jpeg.OrgImage().format(), QImage::Format_BGR888);
    EXPECT_EQ(jpeg.OrgImage().size(), QSize(20, 10));
    EXPECT_EQ(bitCountOf(jpeg.OrgPicture()), 24);
    EXPECT_EQ(jpeg.OrgPicture().size(), 54 + 20 * 3 * 10 + 0); // rows of 60 bytes need no padding
    EXPECT_DOUBLE_EQ(jpeg.Aspect(), 0.5);

    // A one-bit PNG is not a bitmap: it becomes 24-bit. The 24-bit file image decodes back.
    TOAImage png;
    ASSERT_EQ(png.SetOrgPicture(encoded(monoChecker(9, 9), "PNG")), PictureError::None);
    EXPECT_EQ(png.ImgFormat, 0);
    const SourcePicture again = DecodeSourcePicture(png.OrgPicture());
    EXPECT_EQ(again.error, PictureError::None);
    EXPECT_EQ(again.image, png.OrgImage());
    EXPECT_EQ(again.bitmapFile, png.OrgPicture());

    // Bad input is refused with a reason and leaves the object as it was.
    EXPECT_EQ(img.SetOrgPicture(QByteArray()), PictureError::Empty);
    EXPECT_EQ(img.SetOrgPicture(QByteArray("BM this is not a bitmap at all, just text........................")),
        PictureError::NotAPicture);
    QByteArray truncated = bmp1.left(60);
    EXPECT_NE(img.SetOrgPicture(truncated), PictureError::None);
    EXPECT_EQ(img.SetOrgPicture(QImage()), PictureError::Empty);
    EXPECT_EQ(img.OrgPicture(), bmp1);
    EXPECT_EQ(img.ImgFormat, 1);
}

TEST(ImageTest, ContrastAndBrightness)
{
    const auto identity = ContrastBrightnessTable(0, 0);
    for (int a = 0; a < 256; ++a)
        EXPECT_EQ(identity[static_cast<size_t>(a)], a);
    const auto hard = ContrastBrightnessTable(127, 0);
    for (int a = 0; a < 256; ++a)
        EXPECT_EQ(hard[static_cast<size_t>(a)], a <= 127 ? 0 : 255) << a;
    const auto soft = ContrastBrightnessTable(-127, 0); // divisor 255: everything near the middle
    EXPECT_EQ(soft[0], 127);
    EXPECT_EQ(soft[255], 128);
    const auto reversed = ContrastBrightnessTable(-255, 0); // divisor -1 reverses the range
    EXPECT_EQ(reversed[0], 255);
    EXPECT_EQ(reversed[200], 55);
    const auto stretched = ContrastBrightnessTable(50, 0); // (a - 50) / (155 / 255)
    EXPECT_EQ(stretched[50], 0);
    EXPECT_EQ(stretched[100], 82);
    EXPECT_EQ(stretched[205], 255);
    const auto brighter = ContrastBrightnessTable(0, 60);
    EXPECT_EQ(brighter[10], 70);
    EXPECT_EQ(brighter[250], 255);
    const auto darker = ContrastBrightnessTable(0, -60);
    EXPECT_EQ(darker[10], 0);
}

TEST(ImageTest, ChannelOffsetsUseBitmapByteOrder)
{
    TOAImage img;
    ASSERT_EQ(img.SetOrgPicture(coordinatePicture(4, 4)), PictureError::None);
    img.setVirWidth(4);
    img.setVirHeight(4);
    img.setRed(5); // first byte: blue in a bitmap
    img.setGreen(-5); // second byte
    img.setBlue(100); // third byte: red, clamped at 255
    const uchar* p = bytesAt(img.Picture(), 2, 3);
    EXPECT_EQ(p[0], 25);
    EXPECT_EQ(p[1], 25);
    EXPECT_EQ(p[2], 255);
    EXPECT_EQ(img.DstBitmap().pixel(2, 3), qRgb(255, 25, 25));
}

TEST(ImageTest, MirroringHalftoningAndInversion)
{
    TOAImage img;
    ASSERT_EQ(img.SetOrgPicture(coordinatePicture(4, 3)), PictureError::None);
    img.setVirWidth(4);
    img.setVirHeight(3);
    img.setHorizontal(true);
    EXPECT_EQ(bytesAt(img.Picture(), 0, 0)[0], 30);
    img.setVertical(true);
    EXPECT_EQ(bytesAt(img.Picture(), 0, 0)[1], 20);

    QImage white(16, 16, QImage::Format_BGR888);
    white.fill(Qt::white);
    TOAImage w;
    ASSERT_EQ(w.SetOrgPicture(white), PictureError::None);
    w.setVirWidth(16);
    w.setVirHeight(16);
    w.setBW(1);
    ASSERT_EQ(w.DstBitmap().format(), QImage::Format_Mono);
    auto blackCount = [](const QImage& m) {
        int n = 0;
        for (int y = 0; y < m.height(); ++y)
            for (int x = 0; x < m.width(); ++x)
                n += MonoIsBlack(m, x, y) ? 1 : 0;
        return n;
    };
    EXPECT_EQ(blackCount(w.DstBitmap()), 4);
    w.setBW(2);
    EXPECT_EQ(blackCount(w.DstBitmap()), 4);
    w.setBW(3);
    EXPECT_EQ(blackCount(w.DstBitmap()), 0);
    w.setInvert(true);
    EXPECT_EQ(blackCount(w.DstBitmap()), 256);
    w.setBW(0);
    EXPECT_EQ(w.DstBitmap().pixel(3, 3), qRgb(0, 0, 0));
}

TEST(ImageTest, SizingModes)
{
    TOAImage img;
    EXPECT_EQ(img.geometry(), QRect(0, 0, 50, 50));
    ASSERT_EQ(img.SetOrgPicture(coordinatePicture(40, 20)), PictureError::None);
    // Neither mode: the control keeps its size and the drag size follows the proportion.
    img.setVirWidth(100);
    EXPECT_EQ(img.Width(), 100);
    EXPECT_EQ(img.DragWidth(), 100);
    EXPECT_EQ(img.DragHeight(), 50);
    EXPECT_EQ(img.DstBitmap().size(), QSize(100, 50));

    // Proportional size: the control takes the drag size; a dragged width brings its height.
    img.setHeightWidthRatio(1);
    EXPECT_EQ(img.geometry().size(), QSize(100, 50));
    img.setDragWidth(60);
    EXPECT_EQ(img.DragHeight(), 30);
    EXPECT_EQ(img.DragWidthFlag, 1);
    EXPECT_EQ(img.geometry().size(), QSize(60, 30));
    img.setDragHeight(40);
    EXPECT_EQ(img.geometry().size(), QSize(80, 40));

    // One picture pixel per screen pixel at zoom 1, scaled by the zoom.
    img.setOriginalSize(1);
    EXPECT_EQ(img.geometry().size(), QSize(40, 20));
    img.setZoom(2.0);
    EXPECT_EQ(img.geometry().size(), QSize(80, 40));
    EXPECT_DOUBLE_EQ(img.AbsWidth(), 10.583);
    img.setOriginalSize(0);

    // The zoom scales the drag size kept at zoom 1.
    img.setDragWidth(120);
    EXPECT_EQ(img.OrgDragWidth(), 60);
    img.setZoom(1.0);
    EXPECT_EQ(img.DragWidth(), 60);
    EXPECT_EQ(img.geometry().size(), QSize(60, 30));
}

TEST(ImageTest, QuarterTurnKeepsCentreAndSwapsDragSize)
{
    TOAImage img;
    ASSERT_EQ(img.SetOrgPicture(coordinatePicture(40, 20)), PictureError::None);
    img.setVirLeft(10);
    img.setVirTop(10);
    img.setVirWidth(80);
    img.setVirHeight(40);
    img.setAbsLeft(5.0);
    const double absTop = img.AbsTop();
    const QRect before = img.geometry();
    img.setAngle(90);
    EXPECT_EQ(img.geometry(), QRect(before.left() + 20, before.top() - 20, 40, 80));
    EXPECT_EQ(img.DragWidth(), 40);
    EXPECT_EQ(img.DragHeight(), 80);
    // The source's top-left pixel turns to the top-right corner.
    EXPECT_EQ(0, std::memcmp(bytesAt(img.Picture(), 39, 0), bytesAt(coordinatePicture(40, 20), 0, 0), 3));
    img.setAngle(0);
    EXPECT_EQ(img.geometry(), before);
    EXPECT_DOUBLE_EQ(img.AbsLeft(), 5.0);
    EXPECT_DOUBLE_EQ(img.AbsTop(), absTop);
    EXPECT_EQ(img.DragWidth(), 80);
    EXPECT_EQ(img.DragHeight(), 40);
}

TEST(ImageTest, PrinterCopies)
{
    // An untouched one-bit picture prints as plain monochrome: no dots on its white.
    TOAImage mono;
    ASSERT_EQ(mono.SetOrgPicture(EncodeBitmapFile(monoChecker(16, 16))), PictureError::None);
    mono.setAbsWidth(4.0);
    mono.setAbsHeight(4.0);
    EXPECT_EQ(mono.PrinterSize(203), QSize(32, 32)); // round(round(15.1) * 203 / 96)
    const QImage plain = mono.PrinterPicture(203);
    ASSERT_EQ(plain.format(), QImage::Format_Mono);
    ASSERT_EQ(plain.size(), QSize(32, 32));
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            ASSERT_EQ(MonoIsBlack(plain, x, y), MonoIsBlack(monoChecker(16, 16), x / 2, y / 2)) << x << "," << y;
    // Any adjustment makes it a halftone with the 16 x 16 matrix, dots on white included.
    mono.setBrt(1);
    const QImage dotted = mono.PrinterPicture(203);
    EXPECT_TRUE(MonoIsBlack(dotted, 7, 0) || MonoIsBlack(dotted, 7, 8));

    // A photo-like gradient under the three methods.
    QImage gradient(96, 48, QImage::Format_BGR888);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 96; ++x) {
            uchar* p = gradient.scanLine(y) + 3 * x;
            p[0] = static_cast<uchar>(x * 255 / 95);
            p[1] = static_cast<uchar>(x * 255 / 95);
            p[2] = static_cast<uchar>(y * 255 / 47);
        }
    TOAImage photo;
    ASSERT_EQ(photo.SetOrgPicture(gradient), PictureError::None);
    photo.setAbsWidth(25.4);
    photo.setAbsHeight(12.7);
    EXPECT_EQ(photo.PrinterSize(300), QSize(300, 150));
    test::ExpectMatchesGolden(photo.PrinterPicture(300), QStringLiteral("image_bw0_as_ordered16_300"));
    photo.setBW(1);
    test::ExpectMatchesGolden(photo.PrinterPicture(203), QStringLiteral("image_ordered8_203"));
    photo.setBW(3);
    test::ExpectMatchesGolden(photo.PrinterPicture(203), QStringLiteral("image_error_diffusion_203"));
    photo.setAngle(90);
    photo.setHorizontal(true);
    photo.setCtr(40);
    test::ExpectMatchesGolden(photo.PrinterPicture(203), QStringLiteral("image_turned_mirrored_contrast_203"));
}

TEST(ImageTest, CloneIsIndependent)
{
    TOAImage img;
    ASSERT_EQ(img.SetOrgPicture(coordinatePicture(8, 8)), PictureError::None);
    auto copy = img.clone();
    img.setBW(3);
    auto* c = dynamic_cast<TOAImage*>(copy.get());
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->BW(), 0);
    EXPECT_EQ(c->OrgPicture(), img.OrgPicture());
    EXPECT_EQ(c->DstBitmap().format(), QImage::Format_BGR888);
}
