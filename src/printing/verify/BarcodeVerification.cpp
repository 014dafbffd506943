#ifndef ZX_USE_UTF8
#define ZX_USE_UTF8
#endif

#include "printing/verify/BarcodeVerification.h"

#include "barcode/OABarCode.h"
#include "document/CodePage.h"
#include "document/LabelDocument.h"
#include "printing/emission/EmissionGeometry.h"
#include "printing/job/JobRecords.h"
#include "printing/virtual/VirtualLabel.h"

#include <ZXing/ReadBarcode.h>

#include <algorithm>
#include <vector>

namespace korvel {

namespace {

/// White border around a crop, so the reader finds the quiet zone whatever the label holds.
constexpr int kPad = 24;

ZXing::BarcodeFormat formatOf(TBarCodeType type)
{
    using F = ZXing::BarcodeFormat;
    switch (type) {
    case TBarCodeType::bcCodeInter25: return F::ITF;
    case TBarCodeType::bcCode39:
    case TBarCodeType::bcCode39Ex:
    case TBarCodeType::bcCodeHBIC: return F::Code39;
    case TBarCodeType::bcCodeCodabar: return F::Codabar;
    case TBarCodeType::bcCode128:
    case TBarCodeType::bcCodeUccEan:
    case TBarCodeType::bcCodeUCCEAN128DZJG:
    case TBarCodeType::bcCodeUCCEAN128: return F::Code128;
    case TBarCodeType::bcCode93: return F::Code93;
    case TBarCodeType::bcCodeEAN13: return F::EAN13;
    case TBarCodeType::bcCodeEAN8: return F::EAN8;
    case TBarCodeType::bcCodeUPCA: return F::UPCA;
    case TBarCodeType::bcCodeUPCE: return F::UPCE;
    case TBarCodeType::bcCodePDF417: return F::PDF417;
    case TBarCodeType::bcCodeQR: return F::QRCode;
    default: return F::None;
    }
}

std::optional<QByteArray> decode(const QImage& grey, TBarCodeType type)
{
    ZXing::DecodeHints hints;
    hints.setFormats(formatOf(type));
    hints.setTryHarder(true);
    hints.setTryRotate(true);
    hints.setTryCode39ExtendedMode(type == TBarCodeType::bcCode39Ex);
    const ZXing::ImageView view(
        grey.constBits(), grey.width(), grey.height(), ZXing::ImageFormat::Lum, int(grey.bytesPerLine()));
    const ZXing::Result result = ZXing::ReadBarcode(view, hints);
    if (!result.isValid())
        return std::nullopt;
    const ZXing::ByteArray& bytes = result.bytes();
    if (type == TBarCodeType::bcCodePDF417 || type == TBarCodeType::bcCodeQR)
        return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    return QByteArray::fromStdString(result.text());
}

/// A mono picture (colour index 1 black) as 8-bit grey with a white border.
QImage padded(const QImage& grey)
{
    QImage out(grey.width() + 2 * kPad, grey.height() + 2 * kPad, QImage::Format_Grayscale8);
    out.fill(255);
    for (int y = 0; y < grey.height(); ++y)
        std::copy_n(grey.constScanLine(y), grey.width(), out.scanLine(y + kPad) + kPad);
    return out;
}

QString toText(const QByteArray& bytes)
{
    return CodePage::document().toUnicode(bytes);
}

/// Where an object lies on the label, in dots.
QRect dotsOf(const TOAControl& object, const DotScale& scale)
{
    const QRect r = RectAt100(object, scale);
    const int left = scale.dotsPx(r.left());
    const int top = scale.dotsPx(r.top());
    return QRect(left, top, std::max(1, scale.dotsPx(r.left() + r.width()) - left),
        std::max(1, scale.dotsPx(r.top() + r.height()) - top));
}

} // namespace

QString VerifyReasonName(VerifyReason reason)
{
    switch (reason) {
    case VerifyReason::None: return {};
    case VerifyReason::Unreadable: return QStringLiteral("unreadable");
    case VerifyReason::OtherData: return QStringLiteral("reads as other data");
    case VerifyReason::CutOff: return QStringLiteral("cut off by the label edge");
    case VerifyReason::Covered: return QStringLiteral("covered by another object");
    case VerifyReason::NotCheckable: return QStringLiteral("not checkable");
    }
    return {};
}

bool LabelVerification::ok() const
{
    return status.ok() && firstFailure() == nullptr;
}

const BarcodeCheck* LabelVerification::firstFailure() const
{
    for (const BarcodeCheck& c : checks)
        if (!c.ok)
            return &c;
    return nullptr;
}

QImage ScannedPicture(const QImage& source, const QRect& area, bool spread)
{
    const QImage mono = source.format() == QImage::Format_Mono ? source : source.convertToFormat(QImage::Format_Mono);
    // The dots of the area with a one-dot frame, one byte each: the spread looks at neighbours.
    const int w = area.width() + 2;
    const int h = area.height() + 2;
    std::vector<std::uint8_t> dots(std::size_t(w) * std::size_t(h), 0);
    for (int y = 0; y < h; ++y) {
        const int sy = area.top() + y - 1;
        if (sy < 0 || sy >= mono.height())
            continue;
        const uchar* line = mono.constScanLine(sy);
        for (int x = 0; x < w; ++x) {
            const int sx = area.left() + x - 1;
            if (sx >= 0 && sx < mono.width())
                dots[std::size_t(y) * std::size_t(w) + std::size_t(x)] = (line[sx >> 3] >> (7 - (sx & 7))) & 1;
        }
    }
    auto at = [&](int x, int y) { return dots[std::size_t(y) * std::size_t(w) + std::size_t(x)] != 0; };
    QImage grey(area.size(), QImage::Format_Grayscale8);
    for (int y = 0; y < area.height(); ++y) {
        uchar* line = grey.scanLine(y);
        for (int x = 0; x < area.width(); ++x) {
            const int fx = x + 1;
            const int fy = y + 1;
            // A white dot between two printed ones (across or down) fills with their spread.
            const bool black = at(fx, fy)
                || (spread && ((at(fx - 1, fy) && at(fx + 1, fy)) || (at(fx, fy - 1) && at(fx, fy + 1))));
            line[x] = black ? 0 : 255;
        }
    }
    return grey;
}

bool OneDotGapsClose(int dpi)
{
    // A dot about 0.1 mm across: the gap closes once the pitch is finer than that.
    return dpi * 0.1 > 25.4;
}

BarcodeCheck CheckBarcode(
    const QImage& label, const TOABarCode& barcode, const QRect& dots, const QList<QRect>& others, int dpi)
{
    BarcodeCheck check;
    check.name = barcode.Name;
    check.barCodeType = int(barcode.BarCodeType());
    check.expected = toText(barcode.Data());
    check.dots = dots;
    const TBarCodeType type = barcode.BarCodeType();
    if (formatOf(type) == ZXing::BarcodeFormat::None) {
        check.reason = VerifyReason::NotCheckable;
        return check;
    }

    // What the symbol reads as when printed perfectly: the barcode's own printer picture.
    std::optional<QByteArray> reference;
    const QImage clean = barcode.renderForPrinter();
    if (!clean.isNull())
        reference = decode(padded(ScannedPicture(clean, clean.rect(), false)), type);
    if (reference)
        check.expected = toText(*reference);

    // The quiet zone belongs to the symbol: an object in it spoils the read as well.
    const int margin = std::max(16, 10 * std::max(1, barcode.BarNarrow()));
    const QRect area = dots.adjusted(-margin, -margin, margin, margin).intersected(label.rect());
    std::optional<QByteArray> read;
    if (!area.isEmpty())
        read = decode(padded(ScannedPicture(label, area, OneDotGapsClose(dpi))), type);
    if (read)
        check.decoded = toText(*read);

    const QByteArray wanted = reference ? *reference : barcode.Data();
    check.ok = read && *read == wanted;
    if (check.ok)
        return check;
    if (!label.rect().contains(dots))
        check.reason = VerifyReason::CutOff;
    else if (std::any_of(others.begin(), others.end(), [&](const QRect& r) { return r.intersects(dots); }))
        check.reason = VerifyReason::Covered;
    else if (read)
        check.reason = VerifyReason::OtherData;
    else
        check.reason = VerifyReason::Unreadable;
    return check;
}

LabelVerification VerifyFirstLabel(LabelDocument& document, const EmissionContext& context)
{
    LabelVerification out;
    const VirtualLabelPrintout printout = PrintFirstLabel(document, context);
    out.status = printout.status;
    if (!printout.ok()) {
        if (out.status.ok())
            out.status = PortStatus::failure(PortError::InvalidInput, QStringLiteral("the label printed nothing"));
        return out;
    }
    const DotScale scale = DotScale::of(document, context.ppi);
    QList<QRect> placed;
    for (int i = 0; i < document.objectCount(); ++i) {
        const TOAControl* o = document.object(i);
        placed.append(o->notPrint() ? QRect() : dotsOf(*o, scale));
    }
    for (int i = 0; i < document.objectCount(); ++i) {
        const auto* barcode = dynamic_cast<const TOABarCode*>(document.object(i));
        if (!barcode || barcode->notPrint())
            continue;
        QList<QRect> others;
        for (int j = 0; j < placed.size(); ++j)
            if (j != i && !placed[j].isNull())
                others.append(placed[j]);
        BarcodeCheck check = CheckBarcode(printout.label, *barcode, placed[i], others, document.printer.dpi());
        check.objectIndex = i;
        out.checks.append(check);
    }
    return out;
}

QList<BarcodeCheck> VerifyRecords(
    LabelDocument& document, const EmissionContext& context, JobRecords* records, bool all, PortStatus* status)
{
    QList<BarcodeCheck> out;
    auto verifyCurrent = [&](int record) {
        EmissionContext ctx = context;
        if (records) {
            ctx.evaluation.fields = &records->fields();
            ctx.dataSetEmpty = records->recordCount() == 0;
        }
        LabelVerification v = VerifyFirstLabel(document, ctx);
        if (!v.status.ok() && status && status->ok())
            *status = v.status;
        for (BarcodeCheck& c : v.checks) {
            c.record = record;
            out.append(c);
        }
    };
    if (!records || !records->isOpen() || records->recordCount() == 0) {
        verifyCurrent(0);
        return out;
    }
    if (!all) {
        verifyCurrent(records->recordNumber());
        return out;
    }
    const int was = records->recordNumber();
    records->first();
    for (int n = 1; n <= records->recordCount(); ++n) {
        verifyCurrent(n);
        if (n < records->recordCount())
            records->next();
    }
    records->first();
    for (int n = 1; n < was; ++n)
        records->next();
    return out;
}

} // namespace korvel
