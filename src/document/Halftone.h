#pragma once

#include <QImage>

#include <vector>

namespace korvel {

// Pictures handed around as "24-bit" use Format_BGR888: three bytes per pixel in the order a
// Windows bitmap stores them (blue, green, red). The luminance weights and the image object's
// channel offsets address those bytes by position, so the order matters.
//
// One-bit pictures are Format_Mono with colour 0 black and colour 1 white: a set bit is white,
// the most significant bit of a byte is the leftmost pixel, rows are 32-bit aligned.

/// Black-and-white methods (the image's `BW`).
enum class HalftoneMethod : int {
    None = 0,
    Ordered8 = 1,
    Ordered16 = 2,
    ErrorDiffusion = 3,
};

/// Luminance of a pixel from its bytes in memory order: (21 b0 + 71 b1 + 7 b2) div 100.
/// The weights add up to 99, so pure white is 252.
constexpr int Luminance(int b0, int b1, int b2)
{
    return (21 * b0 + 71 * b1 + 7 * b2) / 100;
}

/// The 8 x 8 ordered-dither matrix B, indexed [x mod 8][y mod 8].
int Bayer8(int i, int j);
/// The 16 x 16 threshold matrix T built from B, indexed [x mod 16][y mod 16].
int Threshold16(int i, int j);

/// Any picture as Format_BGR888 (a null picture stays null).
QImage ToBGR24(const QImage& picture);

/// A white one-bit picture of the given size (null for a non-positive size).
QImage NewMonoImage(int width, int height);
/// Whether a pixel of a one-bit picture is black; false outside the picture.
bool MonoIsBlack(const QImage& mono, int x, int y);
void SetMonoPixel(QImage& mono, int x, int y, bool black);

/// Ordered dither with B: pixel (x, y) is white when (L div 4) > B[x mod 8][y mod 8].
QImage OrderedDither8(const QImage& picture);
/// Ordered dither with T: pixel (x, y) is white when L > T[x mod 16][y mod 16].
QImage OrderedDither16(const QImage& picture);
/// Serpentine error diffusion (even rows right to left, odd rows left to right) with the
/// weights 3/8 onward, 3/8 below and 1/4 below-onward, threshold 128, integer division.
QImage ErrorDiffusion(const QImage& picture);
/// Applies a method; None gives the picture as 24-bit, unchanged.
QImage Halftone(const QImage& picture, HalftoneMethod method);
/// `BW` 0..3 as a method; any other value is None.
HalftoneMethod HalftoneMethodOf(int bw);

/// Plain monochrome as the platform converts colour to one bit: pure white stays white,
/// every other pixel becomes black.
QImage ToMonochrome(const QImage& picture);

/// One row of hit spans: [from1, to1] and [from2, to2], inclusive; -1 marks an empty span.
struct SpanRow {
    int from1 = -1;
    int from2 = -1;
    int to1 = -1;
    int to2 = -1;

    bool contains(int x) const
    {
        return (from1 != -1 && x >= from1 && x <= to1) || (from2 != -1 && x >= from2 && x <= to2);
    }
    bool operator==(const SpanRow&) const = default;
};

/// Per-row span table; entry r + SpanRowOffset describes picture row r.
using PsRec = std::vector<SpanRow>;
inline constexpr int SpanRowOffset = 5;

/// Ordered dither with T restricted to the spans: a pixel is black when it lies inside a span
/// of its row and T[x mod 16][y mod 16] >= L; every other pixel is white.
QImage DitherWithinSpans(const QImage& picture, const PsRec& spans);

/// Nearest-neighbour stretch to a new size (source pixel floor((x + 0.5) * sw / dw)).
QImage StretchNearest(const QImage& picture, int width, int height);
/// Stretch as a bitmap is stretched onto a device by default: enlarging repeats pixels, and
/// rows or columns dropped when shrinking are ANDed into the kept ones, so black survives.
QImage StretchBlackOnWhite(const QImage& picture, int width, int height);

} // namespace korvel
