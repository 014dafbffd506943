#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace korvel {

class TOAImage;

// Rules of the image property dialog, without the dialog.

/// Brightness and contrast track bars run from -200 to 200; the colour bars from -255 to 255.
inline constexpr int ImageBrightnessBarMin = -200;
inline constexpr int ImageBrightnessBarMax = 200;
inline constexpr int ImageChannelBarMin = -255;
inline constexpr int ImageChannelBarMax = 255;
/// The text entries beside the bars accept integers from -255 to 255.
inline constexpr int ImageEntryMin = -255;
inline constexpr int ImageEntryMax = 255;
/// Largest size in millimetres the dialog accepts.
inline constexpr double ImageMaxSizeMM = 9999.0;

/// Corrects an adjustment entry as it is typed: a lone "-" is left for the user to go on, any
/// other text that is not an integer becomes "0", values above 255 "255", below -255 "-255".
QString CorrectImageEntry(const QString& text);

/// Source size in millimetres of a picture side of `pixels` pixels: pixels x 25.4 / 96, kept
/// to three decimals.
double ImageSourceSizeMM(int pixels);
/// A size field in millimetres: two decimals, at most 9999 (negative values become 0).
double ImageSizeFieldMM(double mm);
/// The percentage shown for a size: a value from 99.7 up to 100 shows as 100.
double ImageShownPercent(double percent);
/// Millimetres of a percentage of the source size, and the reverse.
double ImageMMFromPercent(double percent, double sourceMM);
double ImagePercentFromMM(double mm, double sourceMM);

/// The size fields of the dialog; with "keep proportion" a changed percentage sets the other
/// one to the same value and both millimetre fields follow.
struct ImageSizeFields {
    double widthMM = 0;
    double heightMM = 0;
    double widthPercent = 100;
    double heightPercent = 100;
};
void ImageWidthPercentChanged(
    ImageSizeFields& fields, double percent, bool keepProportion, double sourceWidthMM, double sourceHeightMM);
void ImageHeightPercentChanged(
    ImageSizeFields& fields, double percent, bool keepProportion, double sourceWidthMM, double sourceHeightMM);

/// Drag size in pixels of a size in millimetres at a zoom in percent: round(mm x 960 x zoom / 25400).
int ImageDragPixels(double mm, int zoomPercent);

/// What OK does with the size: with the proportion kept DragWidth and DragHeight are set from
/// the millimetres, otherwise AbsWidth and AbsHeight directly.
void ApplyImageSize(TOAImage& image, double widthMM, double heightMM, bool keepProportion, int zoomPercent);

/// Everything the image dialog applies on OK. The channel fields hold the properties (the row
/// labelled red shows Blue, the row labelled blue shows Red, see the dialog).
struct ImageDialogValues {
    /// A new source picture chosen in the dialog: file bytes, or a clipboard picture; neither
    /// keeps the present one.
    QByteArray pictureFile;
    QImage pictureImage;
    int Brt = 0;
    int Ctr = 0;
    int Red = 0;
    int Green = 0;
    int Blue = 0;
    int BW = 0;
    bool Invert = false;
    bool Horizontal = false;
    bool Vertical = false;
    int OriginalSize = 0;
    bool keepProportion = false;
    double widthMM = 0;
    double heightMM = 0;
};
ImageDialogValues ImageDialogValuesOf(const TOAImage& image);
/// Applies in the dialog's order: the new picture, the adjustments, the black-and-white method,
/// inversion and mirroring, the original-size switch, then the size (ApplyImageSize). A new
/// picture that cannot be decoded leaves the source as it was.
void ApplyImageDialogValues(TOAImage& image, const ImageDialogValues& values, int zoomPercent);

/// The black-and-white choices "无", "算法1", "算法2", "算法3" are BW 0..3; other indexes give 0.
int ImageBWFromChoice(int index);

} // namespace korvel
