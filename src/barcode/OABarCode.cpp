#include "barcode/OABarCode.h"

#include "barcode/BarcodeText.h"
#include "barcode/linear/Code39.h"
#include "barcode/linear/LinearEncoder.h"
#include "barcode/twod/Pdf417Symbol.h"
#include "barcode/twod/QrSymbol.h"
#include "document/Rounding.h"
#include "document/Units.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace korvel {

namespace {

using T = TBarCodeType;

// A rebuild that would need a bigger picture than this keeps the previous image instead.
constexpr int kMaxImageSide = 30000;
constexpr qint64 kMaxImagePixels = 60LL * 1000 * 1000;

// PDF417 aspect choices 1..12: height scale, width scale.
constexpr int kAspectHeight[12] = { 1, 1, 1, 1, 1, 2, 2, 3, 3, 3, 4, 4 };
constexpr int kAspectWidth[12] = { 1, 2, 3, 4, 5, 1, 3, 1, 2, 4, 1, 3 };

QColor colorOf(std::int32_t tcolor)
{
    const auto v = static_cast<std::uint32_t>(tcolor);
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF));
}

bool isWhole(double z)
{
    return std::floor(z) == z;
}

bool sizeUsable(qint64 w, qint64 h)
{
    return w >= 1 && h >= 1 && w <= kMaxImageSide && h <= kMaxImageSide && w * h <= kMaxImagePixels;
}

/// A one-bit bars canvas as a colour picture with the given ink.
QImage barsToColor(const QImage& mono, const QColor& ink)
{
    QImage img = mono.convertToFormat(QImage::Format_Mono);
    const auto table = img.colorTable();
    if (table.size() >= 2) {
        // The darker entry is ink.
        const int inkIndex = qGray(table[0]) < qGray(table[1]) ? 0 : 1;
        QList<QRgb> colors(2);
        colors[inkIndex] = ink.rgb();
        colors[1 - inkIndex] = qRgb(255, 255, 255);
        img.setColorTable(colors);
    }
    return img.convertToFormat(QImage::Format_RGB32);
}

/// Stretches a picture from dots to screen pixels.
QImage stretch(const QImage& image, int w, int h)
{
    if (image.width() == w && image.height() == h)
        return image;
    return image.scaled(std::max(w, 1), std::max(h, 1), Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

int normalAngle(int angle)
{
    angle = ((angle % 360) + 360) % 360;
    return angle - angle % 90;
}

} // namespace

void TBarcodeFont::set(TextFontStyle s, bool on)
{
    const auto bit = static_cast<std::uint8_t>(s);
    Style = on ? static_cast<std::uint8_t>(Style | bit) : static_cast<std::uint8_t>(Style & ~bit);
}

TOABarCode::TOABarCode()
    : TOAControl(ObjectKind::BarCode)
{
    setBounds(0, 0, 40, 40);
    ObjBitMode = 1;
    PaintFlag = 0;
    ObjStyle = 2;
}

std::unique_ptr<TOAControl> TOABarCode::clone() const
{
    return std::make_unique<TOABarCode>(*this);
}

bool TOABarCode::drawsCheckCharacters() const
{
    // Printers always add the two Code 93 checks (readers insist on them): the picture shows them
    // whatever Parity says, so that it matches the printout.
    return parity_ || barCodeType_ == T::bcCode93;
}

void TOABarCode::rebuildIfChanged(bool changed)
{
    if (changed)
        RebuildImage();
}

// --- setters ---------------------------------------------------------------------------------

void TOABarCode::SetBarHeight(std::int32_t v)
{
    const double z = Zoom();
    const int cap = prnDPI_ == 203 ? 800 : 1200;
    const auto zoomedCap = static_cast<std::int32_t>(Round(cap * z));
    std::int32_t height = zoomedCap;
    std::int32_t zoomBase = cap;
    if (v < zoomedCap) {
        height = v;
        zoomBase = static_cast<std::int32_t>(Round(v / z));
    }
    // A value equal to the current height still has to reach the zoom base: the defaults (40
    // at zoom 1 over a base of 80) disagree, and a stored 40 would otherwise double at zoom 2.
    if (height == barHeight_ && zoomBase == orgBarHeight_)
        return;
    barHeight_ = height;
    orgBarHeight_ = zoomBase;
    RebuildImage();
}

void TOABarCode::SetBarWidth(std::int32_t v)
{
    const bool changed = v != barWidth_;
    barWidth_ = v;
    rebuildIfChanged(changed);
}

void TOABarCode::SetParity(bool v)
{
    const bool changed = v != parity_;
    parity_ = v;
    rebuildIfChanged(changed);
}

void TOABarCode::SetStartSign(std::int32_t v)
{
    const bool changed = v != startSign_;
    startSign_ = v;
    rebuildIfChanged(changed);
}

void TOABarCode::SetText(const QByteArray& v)
{
    const bool changed = v != text_;
    text_ = v;
    rebuildIfChanged(changed);
}

void TOABarCode::SetEndSign(std::int32_t v)
{
    const bool changed = v != endSign_;
    endSign_ = v;
    rebuildIfChanged(changed);
}

void TOABarCode::SetBarNarrow(std::int32_t v)
{
    if (v == barNarrow_)
        return;
    barNarrow_ = v;
    const double z = Zoom();
    if (!isWhole(z)) {
        zoomNarrow_ = v;
        bmpZoomFlag_ = 1;
    } else {
        zoomNarrow_ = static_cast<std::int32_t>(Round(z * v));
        bmpZoomFlag_ = 0;
    }
    RebuildImage();
}

void TOABarCode::SetBarWide(std::int32_t v)
{
    if (v == barWide_)
        return;
    barWide_ = v;
    const double z = Zoom();
    if (!isWhole(z)) {
        zoomWide_ = v;
        bmpZoomFlag_ = 1;
    } else {
        zoomWide_ = static_cast<std::int32_t>(Round(z * v));
        bmpZoomFlag_ = 0;
    }
    RebuildImage();
}

void TOABarCode::SetBarCodeType(TBarCodeType v)
{
    const bool changed = v != barCodeType_;
    barCodeType_ = v;
    rebuildIfChanged(changed);
}

void TOABarCode::SetShowText(bool v)
{
    showText_ = v;
    RebuildImage();
}

void TOABarCode::SetColor(std::int32_t v)
{
    const bool changed = v != color_;
    color_ = v;
    rebuildIfChanged(changed);
}

void TOABarCode::SetColorBar(std::int32_t v)
{
    const bool changed = v != colorBar_;
    colorBar_ = v;
    rebuildIfChanged(changed);
}

void TOABarCode::SetPrnDPI(std::int32_t v)
{
    prnDPI_ = v;
    RebuildImage();
}

void TOABarCode::SetUsePrnFont(std::int32_t v)
{
    const bool changed = v != usePrnFont_;
    usePrnFont_ = v;
    rebuildIfChanged(changed);
}

void TOABarCode::SetPrnFontIdx(std::int32_t v)
{
    const bool changed = v != prnFontIdx_;
    prnFontIdx_ = v;
    rebuildIfChanged(changed);
}

void TOABarCode::SetLabelWithPrn(bool v)
{
    if (v == labelWithPrn_)
        return;
    labelWithPrn_ = v;
    prnFontIdx_ = 3;
    RebuildImage();
}

void TOABarCode::SetLabelPos(TLabelPosition v)
{
    const bool changed = v != labelPos_;
    labelPos_ = v;
    rebuildIfChanged(changed);
}

void TOABarCode::SetLabelAlign(TLabelAlignment v)
{
    const bool changed = v != labelAlign_;
    labelAlign_ = v;
    rebuildIfChanged(changed);
}

void TOABarCode::SetLabelDistance(double v)
{
    const bool changed = v != labelDistance_;
    labelDistance_ = v;
    rebuildIfChanged(changed);
}

void TOABarCode::SetSysPrn(std::int32_t v)
{
    const bool changed = v != sysPrn_;
    sysPrn_ = v;
    rebuildIfChanged(changed);
}

void TOABarCode::SetTextFont(const TBarcodeFont& v)
{
    textFont_ = v;
    RebuildImage();
}

void TOABarCode::SetShowSum(bool v)
{
    if (v == showSum_)
        return;
    showSum_ = v;
    if (showText_)
        RebuildImage();
}

void TOABarCode::SetAbsLeft(double mm)
{
    if (mm == absLeft_)
        return;
    absLeft_ = mm;
    virLeft_ = MMToPixels(mm, Zoom());
    setBounds(virLeft_, Top(), Width(), Height());
}

void TOABarCode::SetAbsTop(double mm)
{
    if (mm == absTop_)
        return;
    absTop_ = mm;
    virTop_ = MMToPixels(mm, Zoom());
    setBounds(Left(), virTop_, Width(), Height());
}

void TOABarCode::SetVirLeft(std::int32_t px)
{
    if (px == virLeft_)
        return;
    virLeft_ = px;
    setBounds(px, Top(), Width(), Height());
    absLeft_ = PixelsToMM(px, Zoom());
}

void TOABarCode::SetVirTop(std::int32_t px)
{
    if (px == virTop_)
        return;
    virTop_ = px;
    setBounds(Left(), px, Width(), Height());
    absTop_ = PixelsToMM(px, Zoom());
}

void TOABarCode::SetData(const QByteArray& v)
{
    const bool changed = v != data_;
    data_ = v;
    rebuildIfChanged(changed);
}

#define KORVEL_REBUILDING_SETTER(Name, field, Type)                                                                    \
    void TOABarCode::Set##Name(Type v)                                                                                 \
    {                                                                                                                  \
        const bool changed = v != field;                                                                               \
        field = v;                                                                                                     \
        rebuildIfChanged(changed);                                                                                     \
    }

KORVEL_REBUILDING_SETTER(PDFBaseWidth, pdfBaseWidth_, std::int32_t)
KORVEL_REBUILDING_SETTER(PDFBaseHeight, pdfBaseHeight_, std::int32_t)
KORVEL_REBUILDING_SETTER(PDF417WidthScale, pdf417WidthScale_, std::int32_t)
KORVEL_REBUILDING_SETTER(PDF417HeightScale, pdf417HeightScale_, std::int32_t)
KORVEL_REBUILDING_SETTER(PDF417Rols, pdf417Rols_, std::int32_t)
KORVEL_REBUILDING_SETTER(PDF417Cels, pdf417Cels_, std::int32_t)
KORVEL_REBUILDING_SETTER(PDF417ECClevel, pdf417ECClevel_, std::int32_t)
KORVEL_REBUILDING_SETTER(PDF417Trunct, pdf417Trunct_, bool)
KORVEL_REBUILDING_SETTER(PDF417RowCol, pdf417RowCol_, bool)
KORVEL_REBUILDING_SETTER(QRcodeElement, qrCodeElement_, std::int32_t)
KORVEL_REBUILDING_SETTER(QRLanguage, qrLanguage_, std::int32_t)
KORVEL_REBUILDING_SETTER(QRModel, qrModel_, std::int32_t)
KORVEL_REBUILDING_SETTER(QRErrLevel, qrErrLevel_, const QByteArray&)
KORVEL_REBUILDING_SETTER(QRMaskNo, qrMaskNo_, const QByteArray&)
KORVEL_REBUILDING_SETTER(QRDataInputModel, qrDataInputModel_, char)
KORVEL_REBUILDING_SETTER(DMElement, dmElement_, std::int32_t)
KORVEL_REBUILDING_SETTER(DMBlackwhite, dmBlackwhite_, std::int32_t)
KORVEL_REBUILDING_SETTER(DMShape, dmShape_, std::int32_t)

#undef KORVEL_REBUILDING_SETTER

void TOABarCode::SetPDF417ASpectType(std::int32_t v)
{
    const bool changed = v != pdf417ASpectType_;
    pdf417ASpectType_ = v;
    if (v >= 1 && v <= 12) {
        pdf417HeightScale_ = kAspectHeight[v - 1];
        pdf417WidthScale_ = kAspectWidth[v - 1];
    }
    rebuildIfChanged(changed);
}

void TOABarCode::SetQRPrn(std::int32_t v)
{
    qrPrn_ = v;
    if (v == 1)
        RebuildImage();
}

// --- zoom, turns, resolution -----------------------------------------------------------------

void TOABarCode::applyZoomToModules(double zoom)
{
    if (!isWhole(zoom)) {
        zoomNarrow_ = barNarrow_;
        zoomWide_ = barWide_;
        bmpZoomFlag_ = 1;
    } else {
        zoomNarrow_ = static_cast<std::int32_t>(Round(zoom * barNarrow_));
        zoomWide_ = static_cast<std::int32_t>(Round(zoom * barWide_));
        bmpZoomFlag_ = 0;
    }
}

void TOABarCode::setZoom(double zoom)
{
    if (zoom == Zoom() || !(zoom > 0) || !std::isfinite(zoom))
        return;
    virLeft_ = MMToPixels(absLeft_, zoom);
    virTop_ = MMToPixels(absTop_, zoom);
    setBounds(virLeft_, virTop_, Width(), Height());
    applyZoomToModules(zoom);
    barHeight_ = static_cast<std::int32_t>(Round(zoom * orgBarHeight_));
    TOAControl::setZoom(zoom);
    RebuildImage();
}

QSize TOABarCode::turnedSize(int angle) const
{
    const bool quarter = (angle / 90) % 2 != 0;
    const QSize org = orgSize();
    if (org.isEmpty())
        return quarter ? QSize(Height(), Width()) : QSize(Width(), Height());
    return quarter ? org.transposed() : org;
}

void TOABarCode::refreshPositionFromPixels()
{
    virLeft_ = Left();
    virTop_ = Top();
    absLeft_ = PixelsToMM(Left(), Zoom());
    absTop_ = PixelsToMM(Top(), Zoom());
}

void TOABarCode::turnStep(int newAngle)
{
    // The centre stays where it was: the move uses the size before the turn.
    const int w = Width();
    const int h = Height();
    const QSize size = turnedSize(newAngle);
    setBounds(Left() + (w - h) / 2, Top() + (h - w) / 2, size.width(), size.height());
    refreshPositionFromPixels();
}

void TOABarCode::setAngle(int angle)
{
    angle = normalAngle(angle);
    const int old = Angle();
    if (angle == old)
        return;
    storeAngle(angle);
    const int turns = ((angle - old) / 90 + 4) % 4;
    // A half turn is two quarter turns, so that the centre stays put whatever the step.
    for (int i = 1; i <= turns; ++i)
        turnStep(normalAngle(old + 90 * i));
    if (!OrgBitmap.isNull()) {
        QImage turned = RotateBitmap(OrgBitmap, angle, colorOf(color_));
        turned = turned.copy(QRect(QPoint(0, 0), turnedSize(angle)));
        setDstBitmap(sysPrn_ == 1 ? MonoByBlue(turned) : turned);
    }
}

void TOABarCode::Rotate90()
{
    setAngle(Angle() + 90);
}

void TOABarCode::ConvertResolution(int targetIndex, int direction)
{
    if (direction != 1 && direction != 2)
        return;
    const double oldDpi = direction == 1 ? 203.0 : 300.0;
    const double newDpi = direction == 1 ? 300.0 : 203.0;
    // One rebuild at the end instead of one per property.
    const std::int32_t refresh = isRefresh_;
    isRefresh_ = 0;
    SetPrnDPI(DpiOfIndex(targetIndex));
    const std::int32_t n = barNarrow_;
    const std::int32_t converted = ConvertDots(n, direction);
    if (n > 0)
        SetBarWide(static_cast<std::int32_t>(Round(converted * double(barWide_) / n)));
    SetBarNarrow(converted);
    SetBarHeight(static_cast<std::int32_t>(Round(barHeight_ * newDpi / oldDpi)));
    SetPDFBaseWidth(ConvertDots(pdfBaseWidth_, direction));
    SetPDFBaseHeight(ConvertDots(pdfBaseHeight_, direction));
    isRefresh_ = refresh;
    RebuildImage();
}

// --- building ---------------------------------------------------------------------------------

std::int32_t TOABarCode::SymbolWidth()
{
    const PreparedLinearData prepared = PrepareLinearData(barCodeType_, text_, startSign_, endSign_);
    if (!prepared.accepted)
        return 0;
    LinearOptions options;
    options.narrow = zoomNarrow_;
    options.wide = zoomWide_;
    options.height = std::max(barHeight_, 0);
    options.parity = drawsCheckCharacters();
    if (barCodeType_ == T::bcCodeCYM)
        options.bearer = BearerDots(prnDPI_, Zoom());
    if (barCodeType_ == T::bcCode39Ex) {
        QByteArray expansion;
        const std::int32_t w = Code39ExWidth(prepared.data, options, &expansion);
        fullASCII39Data_ = expansion;
        return w;
    }
    return BarcodeWidth(barCodeType_, prepared.data, options);
}

void TOABarCode::RebuildImage()
{
    if (isRefresh_ == 0)
        return;
    dataCheck_ = 1;
    lastError_ = BarcodeBuildError::None;
    if (barCodeType_ == T::bcCodePDF417) {
        showText_ = false;
        BuildPDF417();
        return;
    }
    if (barCodeType_ == T::bcCodeQR) {
        showText_ = false;
        BuildQRCode();
        return;
    }
    buildLinear();
}

void TOABarCode::buildLinear()
{
    const PreparedLinearData prepared = PrepareLinearData(barCodeType_, text_, startSign_, endSign_);
    if (!prepared.accepted) {
        dataCheck_ = 0;
        lastError_ = BarcodeBuildError::DataRejected;
        return;
    }
    if (barCodeType_ == T::bcCodePostnet)
        showText_ = false;

    const bool printer = sysPrn_ == 1;
    const int dpi = prnDPI_ > 0 ? prnDPI_ : 203;
    const double z = Zoom();
    LinearOptions options;
    options.narrow = zoomNarrow_;
    options.wide = zoomWide_;
    options.height = barHeight_;
    options.parity = drawsCheckCharacters();
    if (IsEanUpc(barCodeType_))
        options.guardExtension = GuardExtensionDots(dpi, z);
    if (barCodeType_ == T::bcCodeCYM)
        options.bearer = BearerDots(dpi, z);
    // Sizes a printer cannot draw (no bar height, modules of no width, absurd pictures) are
    // refused like bad data: the previous image stays and the print job skips the object.
    if (barHeight_ < 1 || !LinearOptionsValid(options)) {
        dataCheck_ = 0;
        lastError_ = BarcodeBuildError::BadSize;
        return;
    }
    BarPattern pattern;
    if (!EncodeLinear(barCodeType_, prepared.data, options, pattern)) {
        dataCheck_ = 0;
        lastError_ = BarcodeBuildError::DataRejected;
        return;
    }
    if (!sizeUsable(pattern.imageWidth(), pattern.imageHeight())) {
        dataCheck_ = 0;
        lastError_ = BarcodeBuildError::BadSize;
        return;
    }
    const std::int32_t symbolWidth = pattern.width;
    if (barCodeType_ == T::bcCode39Ex) {
        QByteArray expansion;
        if (FullAscii39Expand(prepared.data, expansion))
            fullASCII39Data_ = expansion;
    }

    if (measureOnly_) {
        finishMeasure(std::move(pattern), prepared.data);
        return;
    }

    QImage mono = NewBarCanvas(pattern, QImage::Format_Mono);
    BarPaintOptions paint;
    paint.drawBearer = printer;
    PaintBarPattern(pattern, mono, paint);
    QImage bars = barsToColor(mono, printer ? QColor(Qt::black) : colorOf(colorBar_));
    if (!printer) {
        const double w = pattern.imageWidth();
        const double h = pattern.imageHeight();
        const auto sw = static_cast<int>(Round(bmpZoomFlag_ == 1 ? w * z * ScreenPPI / dpi : w * ScreenPPI / dpi));
        const auto sh = static_cast<int>(Round(h * ScreenPPI / dpi));
        if (!sizeUsable(std::max(sw, 1), std::max(sh, 1))) {
            dataCheck_ = 0;
            lastError_ = BarcodeBuildError::BadSize;
            return;
        }
        bars = stretch(bars, std::max(sw, 1), std::max(sh, 1));
    }
    const std::int32_t previousBarImageWidth = barImageWidth_;
    barImageWidth_ = printer ? symbolWidth : bars.width();

    QImage image = bars;
    int barTop = 0;
    int barAreaHeight = bars.height();
    if (showText_ && barCodeType_ != T::bcCodePostnet) {
        if (IsEanUpc(barCodeType_))
            labelPos_ = TLabelPosition::lpBelow;
        if (labelWithPrn_)
            prnFontIdx_ = 3;
        const ComposedBarcode composed = ComposeBarcodeText(*this, bars, printer);
        if (!composed.ok()) {
            // An unusable glyph file or a text picture beyond any label: keep the previous
            // image, as when the data is refused.
            barImageWidth_ = previousBarImageWidth;
            if (composed.error != PrinterFontError::None) {
                lastError_ = BarcodeBuildError::GlyphFile;
            } else {
                lastError_ = BarcodeBuildError::BadSize;
                dataCheck_ = 0;
            }
            return;
        }
        image = composed.image;
        showTextHeight_ = composed.showTextHeight;
        barTop = composed.barTop;
        barAreaHeight = composed.barAreaHeight;
    }

    if (barCodeType_ == T::bcCodeCYM) {
        // The frame goes round the whole bar area of the picture: on screen after scaling, so
        // that it keeps its thickness in pixels, and for the printer over the one-dot-wider image.
        const int b = static_cast<int>(Round(z * 1.37 * (printer ? dpi : ScreenPPI) / 25.4));
        QPainter p(&image);
        const int w = image.width();
        p.fillRect(0, barTop, w, b, Qt::black);
        p.fillRect(0, barTop + barAreaHeight - b, w, b, Qt::black);
        p.fillRect(0, barTop, b, barAreaHeight, Qt::black);
        p.fillRect(w - b, barTop, b, barAreaHeight, Qt::black);
    }

    keepPattern(std::move(pattern), prepared.data);
    finishImage(image, printer);
}

void TOABarCode::finishMeasure(BarPattern&& pattern, const QByteArray& data)
{
    // The checks of the picture's composition, on sizes alone: the printer-font text and the
    // bars above or below it must fit one picture.
    if (showText_ && barCodeType_ != T::bcCodePostnet) {
        if (labelWithPrn_)
            prnFontIdx_ = 3;
        const BarcodeTextPicture text = MeasurePrinterFontText(*this);
        if (!text.ok()) {
            lastError_ = BarcodeBuildError::GlyphFile;
            return;
        }
        const int width = std::max(pattern.imageWidth(), text.width);
        if (!BarcodePictureFits(width, pattern.imageHeight() + text.height)) {
            lastError_ = BarcodeBuildError::BadSize;
            dataCheck_ = 0;
            return;
        }
        showTextHeight_ = text.height;
        measuredText_ = QSize(text.width, text.height);
    }
    barImageWidth_ = pattern.width;
    keepPattern(std::move(pattern), data);
}

void TOABarCode::keepPattern(BarPattern&& pattern, const QByteArray& data)
{
    barWidth_ = pattern.width + 1;
    pattern_ = std::move(pattern);
    drawnData_ = data;
    matrix_.clear();
}

void TOABarCode::finishImage(const QImage& image, bool printer)
{
    OrgBitmap = image.convertToFormat(QImage::Format_RGB888);
    const QSize size = turnedSize(Angle());
    QImage turned = RotateBitmap(OrgBitmap, Angle(), colorOf(color_));
    // The turn adds a white row below; the object keeps the size of the turned picture itself,
    // so that four quarter turns bring it back to where it was.
    turned = turned.copy(QRect(QPoint(0, 0), size));
    setDstBitmap(printer ? MonoByBlue(turned) : turned);
    setBounds(Left(), Top(), size.width(), size.height());
    orgSize_ = OrgBitmap.size();
    // A barcode's size comes from composing its picture, so a deferred layout draws it too,
    // but lets it go at once: reading many barcodes holds one picture at a time.
    if (PictureDeferral::active()) {
        OrgBitmap = QImage();
        releasePicture();
    }
}

bool TOABarCode::setMatrixImage(const QImage& image, int prnFlag)
{
    const bool printer = sysPrn_ == 1;
    const int dpi = prnDPI_ > 0 ? prnDPI_ : 203;
    const double z = Zoom();
    QSize size;
    if (printer || prnFlag == 1) {
        size = image.size();
    } else if (prnFlag == 0) {
        size = QSize(static_cast<int>(Round(image.width() * z * ScreenPPI / dpi)),
            static_cast<int>(Round(image.height() * z * ScreenPPI / dpi)));
    } else {
        size = orgSize().isEmpty() ? image.size() : orgSize();
    }
    size = size.expandedTo(QSize(1, 1));
    if (!sizeUsable(size.width(), size.height())) {
        dataCheck_ = 0;
        lastError_ = BarcodeBuildError::BadSize;
        return false;
    }
    finishImage(stretch(image.convertToFormat(QImage::Format_RGB32), size.width(), size.height()), printer);
    return true;
}

void TOABarCode::BuildPDF417()
{
    if (data_.isEmpty()) {
        lastError_ = BarcodeBuildError::NoData;
        return;
    }
    Pdf417Settings settings;
    settings.moduleWidth = pdfBaseWidth_;
    settings.rowHeight = pdfBaseHeight_;
    settings.columns = pdf417Cels_;
    settings.rows = pdf417Rols_;
    settings.truncated = pdf417Trunct_;
    settings.errorLevel = pdf417ECClevel_;
    if (!pdf417RowCol_) {
        // Without fixed rows and columns the encoder chooses them, as the printer does.
        settings.columns = 0;
        settings.rows = 0;
    }
    SymbolMatrix matrix;
    if (EncodePdf417(data_, settings, matrix) < 0 || !sizeUsable((matrix.width + 7) / 8 * 8 + 1, matrix.height + 1)) {
        errFlag_ = 1;
        lastError_ = BarcodeBuildError::EncoderFailed;
        return;
    }
    const QImage image = SymbolMatrixImage(matrix, (matrix.width + 7) / 8 * 8 + 1, matrix.height + 1);
    if (!setMatrixImage(image, pdf417Prn_))
        return;
    matrix_ = std::move(matrix);
    pattern_.clear();
    drawnData_ = data_;
}

void TOABarCode::BuildQRCode()
{
    if (data_.isEmpty()) {
        lastError_ = BarcodeBuildError::NoData;
        return;
    }
    const QByteArray input = QrInputText(qrErrLevel_, qrMaskNo_, qrDataInputModel_, data_);
    QrSettings settings;
    settings.moduleSize = qrCodeElement_;
    settings.model = qrModel_;
    settings.language = qrLanguage_;
    SymbolMatrix matrix;
    const int side = EncodeQr(input, settings, matrix);
    const int c = (side + 7) / 8 * 8;
    if (side < 0 || !sizeUsable(c, c)) {
        lastError_ = BarcodeBuildError::EncoderFailed;
        return;
    }
    const QImage image = SymbolMatrixImage(matrix, c, c);
    if (!setMatrixImage(image, qrPrn_))
        return;
    matrix_ = std::move(matrix);
    pattern_.clear();
    drawnData_ = data_;
}

// --- text -------------------------------------------------------------------------------------

QByteArray TOABarCode::DisplayText() const
{
    return BarcodeDisplayText(*this);
}

QByteArray TOABarCode::DisplayTextWithCheck() const
{
    return BarcodeDisplayTextWithCheck(*this);
}

QImage TOABarCode::RenderText()
{
    if (labelWithPrn_)
        prnFontIdx_ = 3;
    const bool printer = sysPrn_ == 1;
    const BarcodeTextPicture picture = RenderBarcodeText(*this, printer);
    if (!picture.ok()) {
        lastError_ = BarcodeBuildError::GlyphFile;
        return {};
    }
    if (picture.image.isNull() && picture.width > 0 && picture.height > 0)
        lastError_ = BarcodeBuildError::BadSize;
    textBitmap_ = picture.image;
    if (!textBitmap_.isNull())
        textBitmap_ = printer ? textBitmap_.convertToFormat(QImage::Format_Grayscale8)
                              : textBitmap_.convertToFormat(QImage::Format_RGB888);
    return textBitmap_;
}

QImage TOABarCode::GetTextBitmap()
{
    return RenderText();
}

// --- printing ---------------------------------------------------------------------------------

std::unique_ptr<TOABarCode> TOABarCode::makePrinterCopy(bool measureOnly) const
{
    auto copy = std::make_unique<TOABarCode>(*this);
    copy->isRefresh_ = 0;
    copy->setDstBitmap(QImage());
    copy->OrgBitmap = QImage();
    copy->orgSize_ = QSize();
    copy->textBitmap_ = QImage();
    copy->TOAControl::setZoom(1.0);
    copy->applyZoomToModules(1.0);
    copy->barHeight_ = orgBarHeight_;
    copy->sysPrn_ = 1;
    copy->measureOnly_ = measureOnly;
    copy->isRefresh_ = 1;
    copy->RebuildImage();
    return copy;
}

std::unique_ptr<TOABarCode> TOABarCode::printerCopy() const
{
    return makePrinterCopy(false);
}

std::unique_ptr<TOABarCode> TOABarCode::printerMeasure() const
{
    const bool linear = !IsTwoDimensional(barCodeType_);
    // EAN/UPC digits sit between the guard bars (the picture is what gets sent); a screen-font
    // text needs its drawn picture anyway.
    return makePrinterCopy(linear && !IsEanUpc(barCodeType_) && (!showText_ || printerFontText()));
}

QSize TOABarCode::TextBitmapSize()
{
    if (!printerFontText())
        return GetTextBitmap().size();
    QSize size;
    if (measureOnly_ && measuredText_) {
        size = *measuredText_;
    } else {
        if (labelWithPrn_)
            prnFontIdx_ = 3;
        const BarcodeTextPicture picture = MeasurePrinterFontText(*this);
        if (!picture.ok()) {
            lastError_ = BarcodeBuildError::GlyphFile;
            return {};
        }
        size = QSize(picture.width, picture.height);
    }
    if (size.width() < 1 || size.height() < 1)
        return {};
    if (!BarcodePictureFits(size.width(), size.height())) {
        lastError_ = BarcodeBuildError::BadSize;
        return {};
    }
    return size;
}

QImage TOABarCode::renderForPrinter() const
{
    const auto copy = printerCopy();
    if (copy->dataCheck_ == 0 || copy->lastError_ != BarcodeBuildError::None)
        return {};
    return copy->DstBitmap();
}

} // namespace korvel
