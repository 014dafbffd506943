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

} // namespace korvel
