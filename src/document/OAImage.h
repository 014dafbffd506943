#pragma once

#include "document/Halftone.h"
#include "document/MillimetreBox.h"
#include "document/OAControl.h"

#include <QByteArray>
#include <QImage>
#include <QSize>

#include <array>
#include <cstdint>
#include <memory>

namespace korvel {

/// Why a picture was not accepted.
enum class PictureError : int {
    None = 0,
    Empty = 1, ///< no bytes, or a null image
    NotAPicture = 2, ///< no decoder understood the bytes
    TooLarge = 3, ///< more than MaxPictureSide pixels across or down
};

/// Largest width or height of a source picture.
inline constexpr int MaxPictureSide = 16384;
/// Largest side of a derived picture (the control, or the printer copy).
inline constexpr int MaxDerivedSide = 32767;

/// A decoded source picture: Format_Mono for a one-bit Windows bitmap, else Format_BGR888,
/// with the Windows bitmap file image that label files store.
struct SourcePicture {
    QImage image;
    QByteArray bitmapFile;
    bool oneBit = false;
    PictureError error = PictureError::None;
};

/// Accepts picture bytes of any decodable format. A one-bit or 24-bit uncompressed Windows
/// bitmap is kept byte for byte (label files round-trip exactly); a one-bit bitmap stays one
/// bit; everything else becomes a 24-bit bitmap of the picture's own size.
SourcePicture DecodeSourcePicture(const QByteArray& bytes);
/// The same for a picture already in memory (the clipboard): always 24-bit unless it is a
/// one-bit image.
SourcePicture SourceFromImage(const QImage& image);
/// A Windows bitmap file image: one bit per pixel with its two palette colours for a one-bit
/// picture, 24 bits per pixel (blue, green, red, rows bottom-up, 4-byte aligned) otherwise.
QByteArray EncodeBitmapFile(const QImage& picture);

/// Every setting of RenderImage apart from the size.
struct ImageAdjustments {
    int angle = 0;
    int bw = 0;
    int ctr = 0;
    int brt = 0;
    int red = 0; ///< added to the first byte of each pixel
    int green = 0; ///< added to the second byte
    int blue = 0; ///< added to the third byte
    bool invert = false;
    bool horizontal = false;
    bool vertical = false;
};

/// The byte table of contrast c and brightness b: clamp(b + d(a), 0, 255).
std::array<std::uint8_t, 256> ContrastBrightnessTable(int ctr, int brt);

/// The picture derived from a source for a given size, in RenderImage's order: rotation,
/// stretch, contrast and brightness, channel offsets, mirroring, halftoning, inversion. The
/// 24-bit picture before halftoning is also handed back through beforeHalftone.
QImage DerivePicture(
    const QImage& source, const ImageAdjustments& adjust, QSize size, QImage* beforeHalftone = nullptr);

/// A picture on the label (kind 3).
class TOAImage : public TOAControl {
public:
    TOAImage();
    std::unique_ptr<TOAControl> clone() const override;

    // --- the source picture -------------------------------------------------------------
    /// Takes picture bytes (a file, or a label file's pool item) as the source picture, sets
    /// OrgWidth, OrgHeight, ImgFormat and the aspect value, and re-derives. On an error the
    /// object keeps its previous picture.
    PictureError SetOrgPicture(const QByteArray& bytes);
    /// The same for a picture in memory (the clipboard).
    PictureError SetOrgPicture(const QImage& image);
    /// The source as a complete Windows bitmap file image, as label files store it.
    const QByteArray& OrgPicture() const { return orgPicture_; }
    /// The decoded source (Format_Mono or Format_BGR888).
    const QImage& OrgImage() const { return orgImage_; }
    /// The derived 24-bit picture before halftoning.
    const QImage& Picture() const
    {
        DstBitmap(); // draws a deferred picture
        return picture_;
    }
    /// Height / width of the source picture.
    double Aspect() const;

    // --- settings that re-derive the picture --------------------------------------------
    int BW() const { return bw_; }
    void setBW(int v);
    int Ctr() const { return ctr_; }
    void setCtr(int v);
    int Brt() const { return brt_; }
    void setBrt(int v);
    int Red() const { return red_; }
    void setRed(int v);
    int Green() const { return green_; }
    void setGreen(int v);
    int Blue() const { return blue_; }
    void setBlue(int v);
    bool Invert() const { return invert_; }
    void setInvert(bool v);
    bool Horizontal() const { return horizontal_; }
    void setHorizontal(bool v);
    bool Vertical() const { return vertical_; }
    void setVertical(bool v);
    int OriginalSize() const { return originalSize_; }
    void setOriginalSize(int v);
    int HeightWidthRatio() const { return heightWidthRatio_; }
    void setHeightWidthRatio(int v);

    // --- stored only -------------------------------------------------------------------
    int ImageOffset = 0;
    int ImageLength = 0;
    bool Transparent = false;
    int OrgWidth = 1;
    int OrgHeight = 2;
    int DragWidthFlag = 0;
    int PrintHide = 0;
    int ImgFormat = 0;
    bool beloaded = false;

    // --- position and size ---------------------------------------------------------------
    double AbsLeft() const { return box_.mm(BoxSide::Left); }
    double AbsTop() const { return box_.mm(BoxSide::Top); }
    double AbsWidth() const { return box_.mm(BoxSide::Width); }
    double AbsHeight() const { return box_.mm(BoxSide::Height); }
    int VirLeft() const { return box_.px(BoxSide::Left); }
    int VirTop() const { return box_.px(BoxSide::Top); }
    int VirWidth() const { return box_.px(BoxSide::Width); }
    int VirHeight() const { return box_.px(BoxSide::Height); }
    /// Millimetre setters: pixels = round(round(PPI x mm x 10 / 254) x Zoom); sizes re-derive.
    void setAbsLeft(double mm);
    void setAbsTop(double mm);
    void setAbsWidth(double mm);
    void setAbsHeight(double mm);
    /// Pixel setters: the millimetres follow; sizes re-derive.
    void setVirLeft(int px);
    void setVirTop(int px);
    void setVirWidth(int px);
    void setVirHeight(int px);

    int DragWidth() const { return dragWidth_; }
    int DragHeight() const { return dragHeight_; }
    int OrgDragWidth() const { return orgDragWidth_; }
    int OrgDragHeight() const { return orgDragHeight_; }
    /// A width in pixels at the current zoom; the height follows the source's proportion.
    void setDragWidth(int w);
    /// A height in pixels at the current zoom; the width follows the source's proportion.
    void setDragHeight(int h);
    /// Stores drag sizes without re-deriving (label file readers).
    void storeDragSize(int w, int h);

    void setZoom(double zoom) override;
    /// Swaps the sizes and keeps the centre in place.
    void Rotate90() override;
    void RebuildImage() override { RenderImage(); }
    /// Derives DstBitmap from the source picture and the settings.
    void RenderImage();

    // --- printing ------------------------------------------------------------------------
    /// The size of the printer copy: the screen size at zoom 1 scaled to dpi.
    QSize PrinterSize(int dpi) const;
    /// The picture the printer stores, one bit per pixel at the printer's resolution: an
    /// untouched one-bit source with BW 0 as plain monochrome, any other BW 0 picture with the
    /// 16 x 16 ordered dither.
    QImage PrinterPicture(int dpi) const;

private:
    void setSetting(int& field, int value);
    void setSetting(bool& field, bool value);
    int pixelsOf(double mm) const;
    void accept(const SourcePicture& source);
    ImageAdjustments adjustments() const;
    bool quarterTurned() const { return Angle() == 90 || Angle() == 270; }

    QByteArray orgPicture_;
    QImage orgImage_;
    QImage picture_;
    double aspect_ = 0;
    int bw_ = 0, ctr_ = 0, brt_ = 0, red_ = 0, green_ = 0, blue_ = 0;
    bool invert_ = false, horizontal_ = false, vertical_ = false;
    int originalSize_ = 0, heightWidthRatio_ = 0;
    MillimetreBox box_;
    int dragWidth_ = 0, dragHeight_ = 0, orgDragWidth_ = 0, orgDragHeight_ = 0;
};

} // namespace korvel
