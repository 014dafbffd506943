#pragma once

#include "barcode/BarcodeTypes.h"
#include "barcode/linear/BarPattern.h"
#include "barcode/twod/SymbolMatrix.h"
#include "document/OAControl.h"
#include "document/OALabel.h"
#include "document/PrinterFontFile.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

namespace korvel {

/// The font of a barcode's human-readable text: face, size in points, style flags
/// (TextFontStyle), colour 0x00BBGGRR and character set, as label files keep them.
struct TBarcodeFont {
    QString Name = QStringLiteral("黑体");
    std::int32_t Size = 8;
    std::uint8_t Style = 0;
    std::int32_t Color = 0;
    std::uint8_t Charset = 1;

    bool has(TextFontStyle s) const { return (Style & static_cast<std::uint8_t>(s)) != 0; }
    void set(TextFontStyle s, bool on);
    bool operator==(const TBarcodeFont&) const = default;
};

/// Why the last rebuild kept the previous image (or made none).
enum class BarcodeBuildError : int {
    None = 0,
    DataRejected = 1, ///< the symbology's rule refused the data (DataCheck 0)
    BadSize = 2, ///< module widths, bar height or the resulting picture out of range (DataCheck 0)
    EncoderFailed = 3, ///< the 2-D encoder refused the data or the settings
    NoData = 4, ///< empty 2-D data: nothing to encode
    GlyphFile = 5, ///< the printer-font glyph file could not be used for the text
};

/// The barcode label object (kind 2): one linear symbol, PDF417 or QR Code with its settings and
/// its human-readable text. Setters that change the appearance rebuild the image at once.
/// Sizes named in dots are printer dots; Text, Data and the other strings are bytes in the
/// document code page.
class TOABarCode : public TOAControl {
public:
    TOABarCode();
    TOABarCode(const TOABarCode&) = default;

    std::unique_ptr<TOAControl> clone() const override;

    // --- bars -----------------------------------------------------------------------------
    /// Bar height in dots at the current zoom; capped at 800 dots (203 dpi) or 1200 × zoom.
    std::int32_t BarHeight() const { return barHeight_; }
    void SetBarHeight(std::int32_t v);
    /// Width of the bar pattern in dots plus one, written by every linear rebuild.
    std::int32_t BarWidth() const { return barWidth_; }
    void SetBarWidth(std::int32_t v);
    bool Parity() const { return parity_; }
    void SetParity(bool v);
    /// 0 suspends RebuildImage.
    std::int32_t IsRefresh() const { return isRefresh_; }
    void SetIsRefresh(std::int32_t v) { isRefresh_ = v; }
    std::int32_t Howmany() const { return howmany_; }
    void SetHowmany(std::int32_t v) { howmany_ = v; }
    const QByteArray& FenGeFu() const { return fenGeFu_; }
    void SetFenGeFu(const QByteArray& v) { fenGeFu_ = v; }
    std::int32_t StartSign() const { return startSign_; }
    void SetStartSign(std::int32_t v);
    const QByteArray& Text() const { return text_; }
    void SetText(const QByteArray& v);
    std::int32_t EndSign() const { return endSign_; }
    void SetEndSign(std::int32_t v);
    /// Narrow module in dots at zoom 1.
    std::int32_t BarNarrow() const { return barNarrow_; }
    void SetBarNarrow(std::int32_t v);
    /// Wide element in dots at zoom 1.
    std::int32_t BarWide() const { return barWide_; }
    void SetBarWide(std::int32_t v);
    TBarCodeType BarCodeType() const { return barCodeType_; }
    void SetBarCodeType(TBarCodeType v);
    /// Always rebuilds; Postnet, PDF417 and QR Code force it off.
    bool ShowText() const { return showText_; }
    void SetShowText(bool v);
    /// Background of the turn, 0x00BBGGRR.
    std::int32_t Color() const { return color_; }
    void SetColor(std::int32_t v);
    /// Ink of the bars on screen, 0x00BBGGRR (the printer image is black and white).
    std::int32_t ColorBar() const { return colorBar_; }
    void SetColorBar(std::int32_t v);
    /// Always rebuilds.
    std::int32_t PrnDPI() const { return prnDPI_; }
    void SetPrnDPI(std::int32_t v);

    // --- human-readable text --------------------------------------------------------------
    std::int32_t UsePrnFont() const { return usePrnFont_; }
    void SetUsePrnFont(std::int32_t v);
    std::int32_t PrnFontIdx() const { return prnFontIdx_; }
    void SetPrnFontIdx(std::int32_t v);
    /// The printer's default font; a change also selects printer font 3.
    bool LabelWithPrn() const { return labelWithPrn_; }
    void SetLabelWithPrn(bool v);
    TLabelPosition LabelPos() const { return labelPos_; }
    void SetLabelPos(TLabelPosition v);
    TLabelAlignment LabelAlign() const { return labelAlign_; }
    void SetLabelAlign(TLabelAlignment v);
    /// Gap between bars and text in millimetres, may be negative.
    double LabelDistance() const { return labelDistance_; }
    void SetLabelDistance(double v);
    /// 1: build the image in printer dots at PrnDPI; 0: in screen pixels.
    std::int32_t SysPrn() const { return sysPrn_; }
    void SetSysPrn(std::int32_t v);
    const TBarcodeFont& TextFont() const { return textFont_; }
    /// Copies the font; like a font change notification it always rebuilds.
    void SetTextFont(const TBarcodeFont& v);
    bool ShowSum() const { return showSum_; }
    void SetShowSum(bool v);
    std::int32_t ShowTextHeight() const { return showTextHeight_; }
    void SetShowTextHeight(std::int32_t v) { showTextHeight_ = v; }

    // --- position -------------------------------------------------------------------------
    double AbsLeft() const { return absLeft_; }
    void SetAbsLeft(double mm);
    double AbsTop() const { return absTop_; }
    void SetAbsTop(double mm);
    std::int32_t VirLeft() const { return virLeft_; }
    void SetVirLeft(std::int32_t px);
    std::int32_t VirTop() const { return virTop_; }
    void SetVirTop(std::int32_t px);

    // --- outputs --------------------------------------------------------------------------
    /// 1 when the zoom is not a whole number (modules drawn unzoomed and the image stretched).
    std::int32_t BmpZoomFlag() const { return bmpZoomFlag_; }
    /// Full ASCII expansion of Text, refreshed by every width computation of bcCode39Ex.
    const QByteArray& FullASCII39Data() const { return fullASCII39Data_; }

    // --- two-dimensional symbols ----------------------------------------------------------
    const QByteArray& Data() const { return data_; }
    void SetData(const QByteArray& v);
    /// Bar height in dots at zoom 1.
    std::int32_t OrgBarHeight() const { return orgBarHeight_; }
    void SetOrgBarHeight(std::int32_t v) { orgBarHeight_ = v; }
    std::int32_t PDFBaseWidth() const { return pdfBaseWidth_; }
    void SetPDFBaseWidth(std::int32_t v);
    std::int32_t PDFBaseHeight() const { return pdfBaseHeight_; }
    void SetPDFBaseHeight(std::int32_t v);
    std::int32_t PDF417WidthScale() const { return pdf417WidthScale_; }
    void SetPDF417WidthScale(std::int32_t v);
    std::int32_t PDF417HeightScale() const { return pdf417HeightScale_; }
    void SetPDF417HeightScale(std::int32_t v);
    std::int32_t PDF417Rols() const { return pdf417Rols_; }
    void SetPDF417Rols(std::int32_t v);
    std::int32_t PDF417Cels() const { return pdf417Cels_; }
    void SetPDF417Cels(std::int32_t v);
    std::int32_t PDF417ECClevel() const { return pdf417ECClevel_; }
    void SetPDF417ECClevel(std::int32_t v);
    bool PDF417Trunct() const { return pdf417Trunct_; }
    void SetPDF417Trunct(bool v);
    /// Aspect choice 1..12; also sets the two scales (other values leave them).
    std::int32_t PDF417ASpectType() const { return pdf417ASpectType_; }
    void SetPDF417ASpectType(std::int32_t v);
    bool PDF417RowCol() const { return pdf417RowCol_; }
    void SetPDF417RowCol(bool v);
    /// 0: size the control for the screen, 1: in dots. Stored only.
    std::int32_t PDF417Prn() const { return pdf417Prn_; }
    void SetPDF417Prn(std::int32_t v) { pdf417Prn_ = v; }
    /// 1 after a PDF417 symbol could not be encoded; never cleared by the object.
    std::int32_t ErrFlag() const { return errFlag_; }
    void SetErrFlag(std::int32_t v) { errFlag_ = v; }
    std::int32_t CopyFlag() const { return copyFlag_; }
    void SetCopyFlag(std::int32_t v) { copyFlag_ = v; }
    std::int32_t Mode() const { return mode_; }
    void SetMode(std::int32_t v) { mode_ = v; }
    const QByteArray& Post1() const { return post1_; }
    void SetPost1(const QByteArray& v) { post1_ = v; }
    const QByteArray& Post2() const { return post2_; }
    void SetPost2(const QByteArray& v) { post2_ = v; }
    const QByteArray& Country() const { return country_; }
    void SetCountry(const QByteArray& v) { country_ = v; }
    const QByteArray& Service() const { return service_; }
    void SetService(const QByteArray& v) { service_ = v; }
    std::int32_t QRcodeElement() const { return qrCodeElement_; }
    void SetQRcodeElement(std::int32_t v);
    std::int32_t QRLanguage() const { return qrLanguage_; }
    void SetQRLanguage(std::int32_t v);
    std::int32_t QRModel() const { return qrModel_; }
    void SetQRModel(std::int32_t v);
    const QByteArray& QRErrLevel() const { return qrErrLevel_; }
    void SetQRErrLevel(const QByteArray& v);
    const QByteArray& QRMaskNo() const { return qrMaskNo_; }
    void SetQRMaskNo(const QByteArray& v);
    char QRDataInputModel() const { return qrDataInputModel_; }
    void SetQRDataInputModel(char v);
    /// Rebuilds only when set to 1.
    std::int32_t QRPrn() const { return qrPrn_; }
    void SetQRPrn(std::int32_t v);
    std::int32_t DMElement() const { return dmElement_; }
    void SetDMElement(std::int32_t v);
    std::int32_t DMBlackwhite() const { return dmBlackwhite_; }
    void SetDMBlackwhite(std::int32_t v);
    std::int32_t DMShape() const { return dmShape_; }
    void SetDMShape(std::int32_t v);
    /// 1 when the last rebuild accepted the data, 0 when it rejected it.
    std::int32_t DataCheck() const { return dataCheck_; }
    void SetDataCheck(std::int32_t v) { dataCheck_ = v; }

    // --- operations -----------------------------------------------------------------------
    /// Validates and rebuilds the image (no-op while IsRefresh is 0).
    void RebuildImage() override;
    /// Width of the bar pattern in dots for the current data and zoomed module widths; 0 when
    /// the data is rejected. Refreshes FullASCII39Data for bcCode39Ex.
    std::int32_t SymbolWidth();
    /// The text shown without check character, grouped.
    QByteArray DisplayText() const;
    /// The text with its check character, not grouped.
    QByteArray DisplayTextWithCheck() const;
    /// Renders the human-readable text alone and returns it: in dots when SysPrn is 1 or a
    /// printer font is used, else in screen pixels. The printer default font selects printer
    /// font 3. Null when there is no text or the glyph file is unusable (lastError says which).
    QImage RenderText();
    /// The text image as the print job sends it beside a printer-drawn barcode.
    QImage GetTextBitmap();

    /// Turns by the new angle about the centre; quarter turns return the object to its place.
    void setAngle(int angle) override;
    void Rotate90() override;
    void setZoom(double zoom) override;
    /// PrnDPI, BarWide, BarNarrow, BarHeight, PDFBaseWidth and PDFBaseHeight to the other
    /// resolution (direction 1: 203 -> 300, 2: 300 -> 203), then one rebuild.
    void ConvertResolution(int targetIndex, int direction) override;
    bool usesScreenFont() const override { return showText_ && usePrnFont_ == 0 && !labelWithPrn_; }

    /// A copy at zoom 1 built for the printer (SysPrn 1) at PrnDPI: BarHeight is OrgBarHeight,
    /// the image is one bit per pixel in dots, turned by Angle. The print job reads DataCheck,
    /// BarWidth, FullASCII39Data, drawnData() and GetTextBitmap() of it.
    std::unique_ptr<TOABarCode> printerCopy() const;
    /// The printer copy without its picture, for a linear symbol the printer draws itself with
    /// its human-readable text (if any) in a printer font: DataCheck, lastError, BarWidth,
    /// BarHeight, FullASCII39Data and drawnData() are those of printerCopy(); DstBitmap stays
    /// null. Anything else gets the whole printerCopy().
    std::unique_ptr<TOABarCode> printerMeasure() const;
    /// The size of GetTextBitmap() without drawing it when a printer font draws the text (the
    /// picture otherwise); an empty size with lastError set when GetTextBitmap() would fail.
    QSize TextBitmapSize();
    /// The printer copy's image (Format_Mono, index 0 white, 1 black); null when the data is
    /// rejected or the symbol cannot be built (see printerCopy()->lastError()).
    QImage renderForPrinter() const;

    /// Why the last rebuild kept the previous image; None after a good rebuild.
    BarcodeBuildError lastError() const { return lastError_; }
    /// The data the last good linear rebuild drew (escape form, Codabar letters …).
    const QByteArray& drawnData() const { return drawnData_; }
    /// The bar pattern of the last good linear rebuild, in dots at the zoomed module widths.
    const BarPattern& encodedPattern() const { return pattern_; }
    /// The module matrix of the last good 2-D rebuild, scaled to dots.
    const SymbolMatrix& symbolMatrix() const { return matrix_; }
    /// Width of the bars image after scaling (screen) or in dots (printer); spreads laAuto text.
    std::int32_t BarImageWidth() const { return barImageWidth_; }
    std::int32_t ZoomNarrow() const { return zoomNarrow_; }
    std::int32_t ZoomWide() const { return zoomWide_; }
    /// The last rendered text picture.
    const QImage& TextBitmap() const { return textBitmap_; }

private:
    void rebuildIfChanged(bool changed);
    /// Whether the symbol carries its optional check characters: Parity, and Code 93 always.
    bool drawsCheckCharacters() const;
    void applyZoomToModules(double zoom);
    void buildLinear();
    void BuildPDF417();
    void BuildQRCode();
    bool setMatrixImage(const QImage& image, int prnFlag);
    void finishImage(const QImage& image, bool printer);
    /// The end of a linear rebuild that keeps only the sizes (printerMeasure()).
    void finishMeasure(BarPattern&& pattern, const QByteArray& data);
    /// A good linear rebuild's bars: BarWidth, the pattern and the data drawn.
    void keepPattern(BarPattern&& pattern, const QByteArray& data);
    std::unique_ptr<TOABarCode> makePrinterCopy(bool measureOnly) const;
    bool printerFontText() const { return labelWithPrn_ || usePrnFont_ == 1; }
    void turnStep(int newAngle);
    QSize turnedSize(int angle) const;
    /// Size of the unturned picture, also after a deferred layout let the picture go.
    QSize orgSize() const { return OrgBitmap.isNull() ? orgSize_ : OrgBitmap.size(); }
    void refreshPositionFromPixels();

    std::int32_t barHeight_ = 40;
    std::int32_t barWidth_ = 0;
    bool parity_ = false;
    std::int32_t isRefresh_ = 1;
    std::int32_t howmany_ = 0;
    QByteArray fenGeFu_;
    std::int32_t startSign_ = 0;
    QByteArray text_ = QByteArrayLiteral("01234567890");
    std::int32_t endSign_ = -1;
    std::int32_t barNarrow_ = 2;
    std::int32_t barWide_ = 4;
    TBarCodeType barCodeType_ = TBarCodeType::bcCode128;
    bool showText_ = true;
    std::int32_t color_ = 0;
    std::int32_t colorBar_ = 0;
    std::int32_t prnDPI_ = 203;
    std::int32_t usePrnFont_ = 0;
    std::int32_t prnFontIdx_ = 1;
    bool labelWithPrn_ = false;
    TLabelPosition labelPos_ = TLabelPosition::lpBelow;
    TLabelAlignment labelAlign_ = TLabelAlignment::laCenter;
    double labelDistance_ = 0.0;
    std::int32_t sysPrn_ = 0;
    TBarcodeFont textFont_;
    bool showSum_ = false;
    double absLeft_ = 0.0;
    double absTop_ = 0.0;
    std::int32_t virLeft_ = 0;
    std::int32_t virTop_ = 0;
    std::int32_t bmpZoomFlag_ = 0;
    QByteArray fullASCII39Data_;
    std::int32_t showTextHeight_ = 0;
    QByteArray data_ = QByteArrayLiteral("1234567890");
    std::int32_t orgBarHeight_ = 80;
    std::int32_t pdfBaseWidth_ = 2;
    std::int32_t pdfBaseHeight_ = 7;
    std::int32_t pdf417WidthScale_ = 2;
    std::int32_t pdf417HeightScale_ = 1;
    std::int32_t pdf417Rols_ = 5;
    std::int32_t pdf417Cels_ = 3;
    std::int32_t pdf417ECClevel_ = 3;
    bool pdf417Trunct_ = false;
    std::int32_t pdf417ASpectType_ = 2;
    bool pdf417RowCol_ = true;
    std::int32_t pdf417Prn_ = 0;
    std::int32_t errFlag_ = 0;
    std::int32_t copyFlag_ = 0;
    std::int32_t mode_ = 0;
    QByteArray post1_;
    QByteArray post2_;
    QByteArray country_;
    QByteArray service_;
    std::int32_t qrCodeElement_ = 3;
    std::int32_t qrLanguage_ = 0;
    std::int32_t qrModel_ = 2;
    QByteArray qrErrLevel_ = QByteArrayLiteral("M");
    QByteArray qrMaskNo_ = QByteArrayLiteral("A");
    char qrDataInputModel_ = 'A';
    std::int32_t qrPrn_ = 0;
    std::int32_t dmElement_ = 3;
    std::int32_t dmBlackwhite_ = 1;
    std::int32_t dmShape_ = 0;
    std::int32_t dataCheck_ = 1;

    std::int32_t zoomNarrow_ = 2;
    std::int32_t zoomWide_ = 4;
    QImage textBitmap_;
    std::int32_t barImageWidth_ = 0;
    /// Set on the copies of printerMeasure(): rebuilds stop once the sizes are known.
    bool measureOnly_ = false;
    /// The printer-font text's size found by the last measuring rebuild.
    std::optional<QSize> measuredText_;
    QSize orgSize_;

    BarcodeBuildError lastError_ = BarcodeBuildError::None;
    QByteArray drawnData_;
    BarPattern pattern_;
    SymbolMatrix matrix_;
};

} // namespace korvel
