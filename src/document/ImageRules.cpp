#include "document/ImageRules.h"

#include "document/OAImage.h"
#include "document/Rounding.h"

#include <algorithm>
#include <cmath>

namespace korvel {

QString CorrectImageEntry(const QString& text)
{
    if (text == QStringLiteral("-"))
        return text;
    bool ok = false;
    const qlonglong v = text.trimmed().toLongLong(&ok);
    if (!ok || text.trimmed() != text)
        return QStringLiteral("0");
    if (v > ImageEntryMax)
        return QString::number(ImageEntryMax);
    if (v < ImageEntryMin)
        return QString::number(ImageEntryMin);
    return text;
}

double ImageSourceSizeMM(int pixels)
{
    return KeepThreeDecimals(pixels * 25.4 / 96.0);
}

double ImageSizeFieldMM(double mm)
{
    if (!(mm > 0))
        return 0;
    return std::min(ImageMaxSizeMM, Round(mm * 100.0) / 100.0);
}

double ImageShownPercent(double percent)
{
    return percent >= 99.7 && percent <= 100.0 ? 100.0 : percent;
}

double ImageMMFromPercent(double percent, double sourceMM)
{
    return ImageSizeFieldMM(sourceMM * percent / 100.0);
}

double ImagePercentFromMM(double mm, double sourceMM)
{
    return sourceMM > 0 ? mm / sourceMM * 100.0 : 0.0;
}

void ImageWidthPercentChanged(
    ImageSizeFields& fields, double percent, bool keepProportion, double sourceWidthMM, double sourceHeightMM)
{
    fields.widthPercent = percent;
    fields.widthMM = ImageMMFromPercent(percent, sourceWidthMM);
    if (keepProportion) {
        fields.heightPercent = percent;
        fields.heightMM = ImageMMFromPercent(percent, sourceHeightMM);
    }
}

void ImageHeightPercentChanged(
    ImageSizeFields& fields, double percent, bool keepProportion, double sourceWidthMM, double sourceHeightMM)
{
    fields.heightPercent = percent;
    fields.heightMM = ImageMMFromPercent(percent, sourceHeightMM);
    if (keepProportion) {
        fields.widthPercent = percent;
        fields.widthMM = ImageMMFromPercent(percent, sourceWidthMM);
    }
}

int ImageDragPixels(double mm, int zoomPercent)
{
    return static_cast<int>(Round(mm * 960.0 * zoomPercent / 25400.0));
}

void ApplyImageSize(TOAImage& image, double widthMM, double heightMM, bool keepProportion, int zoomPercent)
{
    if (keepProportion) {
        image.setDragWidth(ImageDragPixels(widthMM, zoomPercent));
        image.setDragHeight(ImageDragPixels(heightMM, zoomPercent));
    } else {
        image.setAbsWidth(widthMM);
        image.setAbsHeight(heightMM);
    }
}

int ImageBWFromChoice(int index)
{
    return index >= 0 && index <= 3 ? index : 0;
}

ImageDialogValues ImageDialogValuesOf(const TOAImage& image)
{
    ImageDialogValues v;
    v.Brt = image.Brt();
    v.Ctr = image.Ctr();
    v.Red = image.Red();
    v.Green = image.Green();
    v.Blue = image.Blue();
    v.BW = image.BW();
    v.Invert = image.Invert();
    v.Horizontal = image.Horizontal();
    v.Vertical = image.Vertical();
    v.OriginalSize = image.OriginalSize();
    v.keepProportion = image.HeightWidthRatio() == 1;
    v.widthMM = ImageSizeFieldMM(image.AbsWidth());
    v.heightMM = ImageSizeFieldMM(image.AbsHeight());
    return v;
}

void ApplyImageDialogValues(TOAImage& image, const ImageDialogValues& v, int zoomPercent)
{
    if (!v.pictureFile.isEmpty())
        image.SetOrgPicture(v.pictureFile);
    else if (!v.pictureImage.isNull())
        image.SetOrgPicture(v.pictureImage);
    image.setBrt(std::clamp(v.Brt, ImageEntryMin, ImageEntryMax));
    image.setCtr(std::clamp(v.Ctr, ImageEntryMin, ImageEntryMax));
    image.setRed(std::clamp(v.Red, ImageEntryMin, ImageEntryMax));
    image.setGreen(std::clamp(v.Green, ImageEntryMin, ImageEntryMax));
    image.setBlue(std::clamp(v.Blue, ImageEntryMin, ImageEntryMax));
    image.setBW(ImageBWFromChoice(v.BW));
    image.setInvert(v.Invert);
    image.setHorizontal(v.Horizontal);
    image.setVertical(v.Vertical);
    image.setOriginalSize(v.OriginalSize);
    image.setHeightWidthRatio(v.keepProportion ? 1 : 0);
    if (v.OriginalSize == 0)
        ApplyImageSize(image, ImageSizeFieldMM(v.widthMM), ImageSizeFieldMM(v.heightMM), v.keepProportion, zoomPercent);
}

} // namespace korvel
