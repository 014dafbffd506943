// The barcode part of label emission: the printer copy, variable content, placement and the
// command each symbology travels as.
#include "barcode/OABarCode.h"
#include "barcode/linear/Code128.h"
#include "barcode/linear/LinearEncoder.h"
#include "document/OAControl.h"
#include "printing/emission/BarcodeValue.h"
#include "printing/emission/LabelEmitter.h"
#include "variables/VariableModel.h"

#include <algorithm>
#include <cstdlib>

namespace korvel {

namespace {

using T = TBarCodeType;

constexpr int kMaxCode128EscapeBytes = 300;

/// Symbols whose human-readable text is part of their own picture, sent as inline graphics.
/// UCC/EAN-128 has no identifier letter in the printer language either, so it travels the same
/// way as the electronic supervision code instead of as a letterless barcode command.
bool textInPicture(T type)
{
    return type == T::bcCodeEAN13 || type == T::bcCodeEAN8 || type == T::bcCodeUPCA || type == T::bcCodeUPCE
        || type == T::bcCodeUCCEAN128DZJG || type == T::bcCodeUCCEAN128;
}

QImage oneBit(const QImage& image)
{
    if (image.isNull() || image.format() == QImage::Format_Mono)
        return image;
    return image.convertToFormat(QImage::Format_Mono, Qt::MonoOnly | Qt::ThresholdDither | Qt::AvoidDither);
}

PortStatus barcodeFailure(const TOABarCode& object, const QString& why)
{
    return PortStatus::failure(PortError::InvalidInput, QStringLiteral("%1: %2").arg(object.Name, why));
}

QString buildErrorText(BarcodeBuildError e)
{
    switch (e) {
    case BarcodeBuildError::DataRejected: return QStringLiteral("the data is not valid for the symbology");
    case BarcodeBuildError::BadSize: return QStringLiteral("the bar sizes cannot be printed");
    case BarcodeBuildError::EncoderFailed: return QStringLiteral("the symbol could not be encoded");
    case BarcodeBuildError::NoData: return QStringLiteral("the symbol has no data");
    case BarcodeBuildError::GlyphFile: return QStringLiteral("the printer-font glyph file is unusable");
    case BarcodeBuildError::None: break;
    }
    return QStringLiteral("the data is not valid for the symbology");
}

} // namespace

PortStatus LabelEmitter::emitBarcode(TOABarCode& src, const QRect& r, int x, int y)
{
    const T type = src.BarCodeType();
    const bool twoD = IsTwoDimensional(type);

    // Variable content: the value, made printable, becomes the object's text and stays there.
    const bool bound = boundForJob(src);
    QByteArray printed = src.Text();
    if (bound) {
        const QByteArray value = valueOf(src);
        printed = twoD ? (IsBlank(value) ? QByteArray(" ") : value) : NormaliseBarcodeValue(type, value);
        if (printed != src.Text()) {
            // The design-surface image is rebuilt once when the job ends, not after every label.
            src.SetIsRefresh(0);
            src.SetText(printed);
            src.SetIsRefresh(1);
            if (std::find(staleBarcodes_.begin(), staleBarcodes_.end(), &src) == staleBarcodes_.end())
                staleBarcodes_.push_back(&src);
        }
    }

    // The printer copy, built in dots at zoom 1 with one rebuild.
    TOABarCode source(src);
    source.SetIsRefresh(0);
    source.SetOrgBarHeight(scale_.px100(src.BarHeight()));
    source.SetLabelDistance(DotRound(src.LabelDistance()));
    if (bound) {
        source.SetText(printed);
        source.SetData(printed);
    }
    // Symbols the printer draws need only their sizes, not their picture.
    const bool inG = textInPicture(type);
    const bool drawnByPrinter = !twoD && !inG;
    const std::unique_ptr<TOABarCode> copy = drawnByPrinter ? source.printerMeasure() : source.printerCopy();
    if (copy->DataCheck() == 0 || copy->lastError() != BarcodeBuildError::None)
        return barcodeFailure(src, buildErrorText(copy->lastError()));
    if (!drawnByPrinter && copy->DstBitmap().isNull())
        return barcodeFailure(src, noMemoryToDraw());

    const CommandContext& ctx = context_.commands;
    const int hpx = pagePixels_;
    const int L = r.left();
    const int Tp = r.top();
    const int angle = copy->Angle();
    const int BW = copy->BarWidth();
    const int BH = copy->BarHeight();
    // Linear symbols are placed by their control rectangle (pixels at 100 %); the two-dimensional
    // ones by the copy's own size, which is already in dots.
    const int Hb = twoD ? copy->Height() : r.height();
    const int Wb = twoD ? copy->Width() : r.width();

    QImage textImage;
    int Wt = 0;
    int Ht = 0;
    const bool separateText = copy->ShowText() && !twoD && type != T::bcCodePostnet && !inG;
    if (separateText) {
        // The printer draws the text of LabelWithPrn itself: only its size places the bars.
        QSize textSize;
        if (copy->LabelWithPrn()) {
            textSize = copy->TextBitmapSize();
        } else {
            textImage = copy->GetTextBitmap();
            textSize = textImage.size();
        }
        if (textSize.isEmpty() && copy->lastError() != BarcodeBuildError::None)
            return barcodeFailure(src, buildErrorText(copy->lastError()));
        Wt = textSize.width();
        Ht = textSize.height();
    }
    const bool textBelow = copy->ShowText() && !copy->LabelWithPrn() && copy->LabelPos() == TLabelPosition::lpBelow;
    const int d = std::abs(BW - Wt);
    const int half = d / 2;
    const TLabelAlignment align = copy->LabelAlign();

    const int rowTop = scale_.dotsPx(hpx - Tp) - y;
    const int rowBottom = twoD ? scale_.dotsPx(hpx - Tp) - Hb - y : scale_.dotsPx(hpx - Tp - Hb) - y;
    const int col0 = scale_.dotsPx(L) + x;
    const int colRight = twoD ? scale_.dotsPx(L) + Wb + x : scale_.dotsPx(L + Wb) + x;

    int row = rowBottom;
    int column = col0;
    if (type == T::bcCodeQR) {
        row = rowBottom;
        column = col0;
    } else {
        switch (angle) {
        case 90:
            row = rowTop - (inG ? copy->DstBitmap().height() : 0);
            column = col0 + (textBelow ? (inG ? 1 : Ht + 1) : 0);
            break;
        case 180:
            if (inG)
                row = rowBottom;
            else
                row = textBelow ? scale_.dotsPx(hpx - Tp - Hb) + BH - y : rowTop;
            if (type == T::bcCodePDF417)
                column = colRight;
            else
                column = inG ? col0 : scale_.dotsPx(L) + BW + x;
            break;
        case 270:
            if (type == T::bcCodePDF417 || type == T::bcCodeUCCEAN128DZJG || type == T::bcCodeUCCEAN128)
                row = rowBottom;
            else
                row = scale_.dotsPx(hpx - Tp) - BW - y;
            if (inG)
                column = col0;
            else
                column = textBelow ? scale_.dotsPx(L) + BH + x : colRight;
            break;
        default:
            row = rowBottom + (textBelow && !inG ? Ht : 0);
            column = col0;
            break;
        }
        // Bars narrower than their text sit within the text's width.
        if (!inG && !twoD && BW < Wt) {
            const bool centre = align == TLabelAlignment::laCenter;
            const bool left = align == TLabelAlignment::laLeft;
            const bool rightOrAuto = align == TLabelAlignment::laRight || align == TLabelAlignment::laAuto;
            switch (angle) {
            case 90: row -= centre ? half : (rightOrAuto ? d : 0); break;
            case 180: column += centre ? half : (left ? d : 0); break;
            case 270: row -= centre ? half : (left ? d : 0); break;
            default: column += centre ? half : (rightOrAuto ? d : 0); break;
            }
        }
    }

    // The command each symbology travels as.
    QByteArray data;
    switch (type) {
    case T::bcCodeEAN13:
    case T::bcCodeEAN8:
    case T::bcCodeUPCA:
    case T::bcCodeUPCE:
    case T::bcCodeUCCEAN128DZJG:
    case T::bcCodeUCCEAN128: return SendInlineGraphic(ctx, oneBit(copy->DstBitmap()), row, column, sink_);
    case T::bcCodeQR: return SendInlineGraphic(ctx, oneBit(copy->DstBitmap()), row, column, sink_);
    case T::bcCodePDF417: {
        Pdf417Params pdf;
        pdf.PDFBaseWidth = copy->PDFBaseWidth();
        pdf.PDFBaseHeight = copy->PDFBaseHeight();
        pdf.PDF417Trunct = copy->PDF417Trunct();
        pdf.PDF417ECClevel = copy->PDF417ECClevel();
        pdf.PDF417RowCol = copy->PDF417RowCol();
        pdf.PDF417Rols = copy->PDF417Rols();
        pdf.PDF417Cels = copy->PDF417Cels();
        pdf.PDF417HeightScale = copy->PDF417HeightScale();
        pdf.PDF417WidthScale = copy->PDF417WidthScale();
        return SendPdf417Field(ctx, TrimSpaces(copy->Data()), angle, row, column, pdf, sink_);
    }
    case T::bcCode39Ex: data = TrimSpaces(copy->FullASCII39Data()); break;
    case T::bcCodeCodabar:
        data = TrimSpaces(CodabarSignLetter(copy->StartSign()) + copy->Text() + CodabarSignLetter(copy->EndSign()));
        break;
    case T::bcCode128:
        if (copy->StartSign() >= 1 && copy->StartSign() <= 3)
            data = TrimSpaces(QByteArray(1, char('A' + copy->StartSign() - 1)) + copy->Text());
        else
            data = Code128AutoEscape(copy->Text(), false).left(kMaxCode128EscapeBytes);
        break;
    default: data = TrimSpaces(copy->Text()); break;
    }
    // A check character the user asked for travels as data (the command has no switch for it).
    if (QByteArray checked = WithCheckCharacter(type, data, copy->Parity()); checked != data) {
        // The printer reads full ASCII as plain Code 39 (one letter for both).
        const T printerType = type == T::bcCode39Ex ? T::bcCode39 : type;
        if (QByteArray reason; !ValidateBarcodeData(printerType, checked, reason))
            return barcodeFailure(src,
                QStringLiteral("the data with its check character is longer than the printer's barcode command takes"));
        data = checked;
    }
    if (PortStatus s = SendBarcodeField(ctx, static_cast<int>(type), data, angle, row, column, BH, copy->BarWide(),
            copy->BarNarrow(), copy->LabelWithPrn(), sink_);
        !s)
        return s;

    // The human-readable text the printer does not draw itself goes as a picture beside the bars.
    if (!copy->ShowText() || copy->LabelWithPrn() || type == T::bcCodePostnet || textImage.isNull())
        return PortStatus::success();
    const QImage turned = oneBit(RotateBitmap(oneBit(textImage), angle, Qt::white));
    if (turned.isNull())
        return barcodeFailure(src, QStringLiteral("the human-readable text could not be drawn"));
    const bool below = copy->LabelPos() != TLabelPosition::lpAbove;
    int textRow = 0;
    int textColumn = col0;
    switch (angle) {
    case 90:
    case 270: {
        if (BW < Wt)
            textRow = rowTop - Wt;
        else if (align == TLabelAlignment::laCenter)
            textRow = rowTop - BW + half;
        else if (align == TLabelAlignment::laRight)
            textRow = angle == 90 ? rowTop - BW : rowTop - Wt;
        else // laLeft, laAuto
            textRow = angle == 90 ? rowTop - Wt : rowTop - BW;
        const bool atBarEnd = angle == 90 ? !below : below;
        textColumn = atBarEnd ? scale_.dotsPx(L) + BH + x : col0;
        break;
    }
    case 180:
        textRow = below ? rowTop - Ht : scale_.dotsPx(hpx - Tp - Hb) - y;
        if (BW >= Wt)
            textColumn += align == TLabelAlignment::laCenter
                ? half
                : (align == TLabelAlignment::laLeft || align == TLabelAlignment::laAuto ? d : 0);
        break;
    default:
        textRow = below ? scale_.dotsPx(hpx - Tp - Hb) - y : rowTop - Ht;
        if (Wt < BW)
            textColumn += align == TLabelAlignment::laCenter ? half : (align == TLabelAlignment::laRight ? d : 0);
        break;
    }
    return SendInlineGraphic(ctx, turned, textRow, textColumn, sink_);
}

} // namespace korvel
