#include "barcode/BarcodeText.h"

#include "barcode/OABarCode.h"
#include "barcode/linear/Codabar.h"
#include "barcode/linear/Code128.h"
#include "barcode/linear/LinearEncoder.h"
#include "document/CodePage.h"
#include "document/FontMapping.h"
#include "document/Rounding.h"
#include "document/Units.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace korvel {

namespace {

using T = TBarCodeType;

// Pictures are capped so that absurd fonts or texts degrade to a clipped picture instead of a
// failed allocation.
constexpr int kMaxSide = 30000;
constexpr qint64 kMaxPixels = 20LL * 1000 * 1000;
constexpr int kMaxFontPixels = 1000;
const double kTan11 = std::tan(11.0 * M_PI / 180.0);

QColor colorOf(std::int32_t tcolor)
{
    const auto v = static_cast<std::uint32_t>(tcolor);
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF));
}

int dpiOf(const TOABarCode& o)
{
    return o.PrnDPI() > 0 ? o.PrnDPI() : 203;
}

/// A white picture; null when it would be larger than any label needs (the caller reports it).
QImage whiteImage(int w, int h)
{
    if (!BarcodePictureFits(w, h))
        return {};
    w = std::max(w, 1);
    h = std::max(h, 1);
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

/// The characters of a byte string by the code page's lead-byte rule, each as Unicode.
std::vector<QString> splitChars(const QByteArray& s)
{
    const CodePage& cp = CodePage::document();
    std::vector<QString> chars;
    for (qsizetype i = 0; i < s.size();) {
        const int len = std::max(1, cp.charLength(s, i));
        chars.push_back(cp.toUnicode(s.mid(i, len)));
        i += len;
    }
    return chars;
}

/// A screen font of `pointSize` points as a 96-pixel-per-inch canvas creates it.
QFont textFont(const TBarcodeFont& f, int pointSize, bool printer)
{
    // Sizes beyond any label are kept within what the rasteriser handles.
    const int px = std::clamp(static_cast<int>(Round(pointSize * double(ScreenPPI) / 72.0)), 1, kMaxFontPixels);
    QFont font = mappedFont(f.Name, px);
    font.setWeight(f.has(TextFontStyle::Bold) ? QFont::Bold : QFont::Normal);
    font.setItalic(f.has(TextFontStyle::Italic));
    font.setUnderline(f.has(TextFontStyle::Underline) && f.Name != ManualUnderlineFace());
    font.setStrikeOut(f.has(TextFontStyle::StrikeOut));
    if (printer)
        font.setStyleStrategy(QFont::StyleStrategy(font.styleStrategy() | QFont::NoAntialias));
    return font;
}

bool manualUnderline(const TBarcodeFont& f)
{
    return f.has(TextFontStyle::Underline) && f.Name == ManualUnderlineFace();
}

/// The point size of the text at the mode's resolution: s × D / P for the printer, s × Z for the
/// screen.
int modePointSize(const TOABarCode& o, bool printer)
{
    const double s = o.TextFont().Size;
    return static_cast<int>(Round(printer ? s * dpiOf(o) / ScreenPPI : s * o.Zoom()));
}

/// Shares `total` over `n` slots by error diffusion: each takes round(step - carry).
std::vector<int> diffuse(double total, int n)
{
    std::vector<int> out(static_cast<size_t>(std::max(n, 0)), 0);
    if (n <= 0)
        return out;
    const double step = total / n;
    double carry = 0;
    for (int& k : out) {
        k = static_cast<int>(Round(step - carry));
        carry += k - step;
    }
    return out;
}

void drawHandUnderline(QPainter& p, const QColor& ink, int penWidth, int width, int height)
{
    penWidth = std::max(1, penWidth);
    QPen pen(ink);
    pen.setWidth(penWidth);
    p.setPen(pen);
    const int y = height - penWidth / 2 - 2;
    p.drawLine(-1, y, width, y);
}

// --- screen font -------------------------------------------------------------------------------

BarcodeTextPicture drawWinFontText(const TOABarCode& o, const QByteArray& shown, bool printer)
{
    BarcodeTextPicture pic;
    const TBarcodeFont& tf = o.TextFont();
    const std::vector<QString> chars = splitChars(shown);
    const int n = static_cast<int>(chars.size());
    const int dpi = dpiOf(o);
    int gap = BarcodeTextGap(o, printer);

    const QFont work = textFont(tf, modePointSize(o, printer), printer);
    const QFontMetrics fm(work);
    std::vector<int> own(static_cast<size_t>(n));
    int w = 0;
    for (int i = 0; i < n; ++i) {
        own[static_cast<size_t>(i)] = fm.horizontalAdvance(chars[static_cast<size_t>(i)]);
        w += own[static_cast<size_t>(i)];
    }
    int height = fm.height();
    const int italic = tf.has(TextFontStyle::Italic) ? static_cast<int>(Round(height * kTan11)) : 0;
    if (gap + height > 0)
        height += gap;
    else
        gap = 0;

    // Extra space after each character but the last.
    std::vector<int> shares(static_cast<size_t>(std::max(n - 1, 0)), 0);
    int width = 0;
    const int bars = o.BarImageWidth();
    if (o.LabelAlign() == TLabelAlignment::laAuto && w < bars && n > 1) {
        // Spread over the bars: the text is exactly as wide as the bars image.
        width = bars;
        shares = diffuse(bars - w, n - 1);
    } else {
        // The width the text has at zoom 1 on screen, carried to the mode's resolution, so
        // that the line keeps its proportions whatever the rasteriser makes of the bigger font.
        const QFontMetrics nominal(textFont(tf, tf.Size, printer));
        int w0 = 0;
        for (const QString& c : chars)
            w0 += nominal.horizontalAdvance(c);
        const int t = static_cast<int>(Round(printer ? w0 * double(dpi) / ScreenPPI : w0 * o.Zoom()));
        width = t + italic;
        if (w != t && n > 1) {
            shares = diffuse(std::abs(t - w), n - 1);
            if (w > t)
                for (int& k : shares)
                    k = -k;
        }
    }

    pic.width = std::max(width, 0);
    pic.height = std::max(height, 0);
    if (pic.width < 1 || pic.height < 1)
        return pic;
    pic.image = whiteImage(pic.width, pic.height);
    if (pic.image.isNull())
        return pic;
    QPainter p(&pic.image);
    p.setFont(work);
    const QColor ink = printer ? QColor(Qt::black) : colorOf(tf.Color);
    p.setPen(ink);
    const int top = o.LabelPos() == TLabelPosition::lpAbove ? 0 : gap;
    int x = 0;
    for (int i = 0; i < n; ++i) {
        p.drawText(x, top + fm.ascent(), chars[static_cast<size_t>(i)]);
        x += own[static_cast<size_t>(i)];
        if (i < n - 1)
            x += shares[static_cast<size_t>(i)];
    }
    if (manualUnderline(tf)) {
        const int pen = static_cast<int>(Round(tf.Size * o.Zoom() * 4.0 / 3.0 * 0.048));
        drawHandUnderline(p, ink, pen, pic.image.width(), pic.image.height());
    }
    return pic;
}

// --- printer fonts -----------------------------------------------------------------------------

/// Draws a glyph's rows at (x, baseline − ascent): set bits in ink, the rest of each row's
/// whole bytes in white.
void drawPrnGlyph(QImage& img, const PrinterGlyph& g, int x, int baseline, QRgb ink)
{
    const QRgb white = qRgb(255, 255, 255);
    const int bits = 8 * g.bytesPerRow();
    for (int i = 0; i < g.rows; ++i) {
        const int y = baseline + i - g.ascent;
        if (y < 0 || y >= img.height())
            continue;
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int j = 0; j < bits; ++j) {
            const int px = x + j;
            if (px < 0 || px >= img.width())
                continue;
            line[px] = g.pixel(j, i) ? ink : white;
        }
    }
}

/// The module positions of the EAN/UPC digits, in the order they are drawn (data digits, the
/// check digit last; UPC-E's number system "0" first). -1 marks "at x 0", -2 "at the right edge".
std::vector<int> eanUpcPositions(TBarCodeType type)
{
    switch (type) {
    case T::bcCodeEAN13: return { -1, 12, 19, 26, 33, 40, 47, 59, 66, 73, 80, 87, 94 };
    case T::bcCodeEAN8: return { 3, 10, 17, 24, 36, 43, 50, 57 };
    case T::bcCodeUPCA: return { -1, 19, 26, 33, 40, 47, 59, 66, 73, 80, 87, -2 };
    case T::bcCodeUPCE: return { -1, 12, 19, 26, 33, 40, 47, -2 };
    default: return {};
    }
}

int eanUpcDataLength(TBarCodeType type)
{
    switch (type) {
    case T::bcCodeEAN13: return 12;
    case T::bcCodeEAN8: return 7;
    case T::bcCodeUPCA: return 11;
    case T::bcCodeUPCE: return 6;
    default: return 0;
    }
}

int eanUpcModules(TBarCodeType type)
{
    switch (type) {
    case T::bcCodeEAN13: return 104;
    case T::bcCodeEAN8: return 67;
    case T::bcCodeUPCA: return 113;
    case T::bcCodeUPCE: return 69;
    default: return 0;
    }
}

/// The digits an EAN/UPC symbol shows under its bars.
QByteArray eanUpcDigits(const TOABarCode& o)
{
    const TBarCodeType type = o.BarCodeType();
    const QByteArray data = o.Text().left(eanUpcDataLength(type));
    QByteArray digits;
    if (type == T::bcCodeUPCE)
        digits.append('0');
    digits.append(data);
    digits.append(LinearCheckText(type, data));
    return digits;
}

BarcodeTextPicture drawPrnFontText(const TOABarCode& o, const QByteArray& shown, bool draw = true)
{
    BarcodeTextPicture pic;
    const PrinterFontFile file = PrinterFontFile::standard();
    const int font = o.PrnFontIdx();
    PrinterFontHeader header;
    pic.error = file.header(font, &header);
    if (!pic.ok())
        return pic;
    const int h = header.cellHeight;
    const int baseline = PrinterFontBaseline(font, h);
    const QRgb ink = qRgb(0, 0, 0);
    const TBarCodeType type = o.BarCodeType();

    if (IsEanUpc(type)) {
        const int n = o.BarNarrow();
        pic.width = std::max(0, n * eanUpcModules(type));
        pic.height = h;
        if (pic.width < 1 || pic.height < 1 || !draw)
            return pic;
        pic.image = whiteImage(pic.width, pic.height);
        if (pic.image.isNull())
            return pic;
        const QByteArray digits = eanUpcDigits(o);
        const std::vector<int> at = eanUpcPositions(type);
        for (qsizetype i = 0; i < digits.size() && i < static_cast<qsizetype>(at.size()); ++i) {
            const auto g = file.glyph(font, static_cast<unsigned char>(digits[i]));
            if (!g)
                continue;
            const int m = at[static_cast<size_t>(i)];
            const int x = m == -1 ? 0 : m == -2 ? pic.width - g->width - 1 : n * m;
            drawPrnGlyph(pic.image, *g, x, baseline, ink);
        }
        return pic;
    }

    // Printer fonts are laid out in dots whatever the mode, so the gap is in dots too.
    const int gap = BarcodeTextGap(o, true);
    pic.height = gap + h;
    if (pic.height < 1) {
        pic.height = 0;
        return pic;
    }
    struct Placed {
        PrinterGlyph glyph;
        int x;
    };
    std::vector<Placed> placed;
    int x = 0;
    for (const char ch : shown) {
        if (x >= kMaxSide)
            break;
        auto g = file.glyph(font, static_cast<unsigned char>(ch), draw);
        if (!g && ch == ' ') {
            // A font without a space glyph still keeps the words apart, as the printer does:
            // the space takes the font's default advance, blank.
            x += header.defaultAdvance + 3;
            continue;
        }
        if (!g)
            continue;
        const int advance = g->width + 3;
        placed.push_back({ std::move(*g), x });
        x += advance;
    }
    pic.width = x;
    if (pic.width < 1 || !draw)
        return pic;
    pic.image = whiteImage(pic.width, pic.height);
    if (pic.image.isNull())
        return pic;
    const int y = baseline + (o.LabelPos() == TLabelPosition::lpAbove ? 0 : gap);
    for (const Placed& pl : placed)
        drawPrnGlyph(pic.image, pl.glyph, pl.x, y, ink);
    return pic;
}

// --- EAN/UPC with the screen font --------------------------------------------------------------

ComposedBarcode drawEanUpcText(const TOABarCode& o, const QImage& bars, bool printer)
{
    ComposedBarcode out;
    const TBarcodeFont& tf = o.TextFont();
    const int dpi = dpiOf(o);
    const double z = o.Zoom();
    const int fs = modePointSize(o, printer);
    const QFont font = textFont(tf, fs, printer);
    const QFontMetrics fm(font);
    const int th = fm.height();
    const int dw = fm.horizontalAdvance(QLatin1Char('8'));
    const int b = printer ? o.BarHeight() : static_cast<int>(Round(double(ScreenPPI) * o.BarHeight() / dpi));
    int gap = BarcodeTextGap(o, printer);
    if (gap + th < 0)
        gap = 0;
    const double r = printer ? dpi : ScreenPPI;
    const int hb = bars.height();
    const int wb = bars.width();
    int height = hb;
    if (th + gap < Round(r * 1.8 / 25.4 * z)) {
        out.showTextHeight = 0;
    } else {
        height = th + b + gap;
        out.showTextHeight = th + gap;
    }
    const int width = wb + (tf.has(TextFontStyle::Italic) ? static_cast<int>(Round(kTan11 * th)) : 0);
    out.image = whiteImage(width, height);
    out.barTop = 0;
    out.barAreaHeight = hb;
    if (out.image.isNull())
        return out;
    QPainter p(&out.image);
    p.drawImage(0, 0, bars);
    const QColor ink = printer ? QColor(Qt::black) : colorOf(tf.Color);
    p.setPen(ink);
    p.setFont(font);
    const double q = printer ? 1.0 : double(ScreenPPI) / dpi;
    const QByteArray digits = eanUpcDigits(o);
    const std::vector<int> at = eanUpcPositions(o.BarCodeType());
    const int y = b + gap + fm.ascent();
    for (qsizetype i = 0; i < digits.size() && i < static_cast<qsizetype>(at.size()); ++i) {
        const int m = at[static_cast<size_t>(i)];
        const int x = m == -1 ? 0
            : m == -2         ? out.image.width() - dw - 1
                              : static_cast<int>(Round(m * o.BarNarrow() * z * q));
        p.drawText(x, y, QString(QLatin1Char(digits[i])));
    }
    if (manualUnderline(tf))
        drawHandUnderline(
            p, ink, static_cast<int>(Round(fs * 4.0 / 3.0 * 0.048)), out.image.width(), out.image.height());
    return out;
}

/// Paints `src` at (x, y) so that white never covers ink.
void paintAnd(QImage& dst, const QImage& src, int x, int y)
{
    if (src.isNull() || dst.isNull())
        return;
    QPainter p(&dst);
    p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    p.drawImage(x, y, src.format() == QImage::Format_RGB32 ? src : src.convertToFormat(QImage::Format_RGB32));
}

} // namespace

QByteArray GroupBarcodeText(const QByteArray& text, int groupSize, const QByteArray& separator)
{
    const CodePage& cp = CodePage::document();
    std::vector<QByteArray> chars;
    for (qsizetype i = 0; i < text.size();) {
        const int len = std::max(1, cp.charLength(text, i));
        chars.push_back(text.mid(i, len));
        i += len;
    }
    const int length = static_cast<int>(chars.size());
    if (groupSize <= 0 || groupSize >= length)
        return text;
    QByteArray out;
    for (int i = 0; i < length; ++i) {
        if (i > 0 && i % groupSize == 0)
            out.append(separator);
        out.append(chars[static_cast<size_t>(i)]);
    }
    return out;
}

QByteArray Code128CheckText(QByteArrayView escapeForm)
{
    const int value = Code128CheckValue(escapeForm);
    if (value < 0)
        return {};
    const char start = escapeForm.isEmpty() ? 'B' : escapeForm[0];
    if (start == 'C')
        return QByteArray::number(value).rightJustified(2, '0');
    const int limit = start == 'A' ? 63 : 94;
    if (value <= limit)
        return QByteArray(1, static_cast<char>(value + 32));
    return QByteArray::number(value);
}

QByteArray BarcodeDisplayText(const TOABarCode& o)
{
    const TBarCodeType type = o.BarCodeType();
    QByteArray s = o.Text();
    if (type == T::bcCode128 && o.StartSign() >= 1 && o.StartSign() <= 3)
        s = Code128StripEscapes(s);
    if (type == T::bcCodeUCCEAN128DZJG) {
        const QByteArray digits = s.mid(2);
        QByteArray out;
        for (qsizetype i = 0; i < digits.size(); ++i) {
            if (i > 0 && i % 5 == 0 && i <= 15)
                out.append(' ');
            out.append(digits[i]);
        }
        return out;
    }
    const QByteArray grouped = GroupBarcodeText(s, o.Howmany(), o.FenGeFu());
    const bool applied = o.Howmany() > 0 && o.Howmany() < CodePage::document().CharNum(s);
    if (type == T::bcCodeCodabar && applied) {
        QByteArray out;
        if (const char start = CodabarLetter(o.StartSign()))
            out.append(start);
        out.append(grouped);
        if (const char stop = CodabarLetter(o.EndSign()))
            out.append(stop);
        return out;
    }
    return grouped;
}

QByteArray BarcodeDisplayTextWithCheck(const TOABarCode& o)
{
    const TBarCodeType type = o.BarCodeType();
    const QByteArray& text = o.Text();
    switch (type) {
    case T::bcCode128: {
        const int start = o.StartSign();
        if (start < 1 || start > 3)
            return text;
        const QByteArray form = QByteArray(1, static_cast<char>('A' + start - 1)) + text;
        return Code128StripEscapes(text) + Code128CheckText(form);
    }
    case T::bcCodeInter25:
    case T::bcCodeCYM:
    case T::bcCodeEurMatrix:
    case T::bcCodeJanMatrix:
    case T::bcCode39:
    case T::bcCodeHBIC:
    case T::bcCode93:
    case T::bcCodeEAN13:
    case T::bcCodeEAN8:
    case T::bcCodeUPCA:
    case T::bcCodeUPCE:
    case T::bcCodeUccEan: return text + LinearCheckText(type, text);
    case T::bcCodeUPC2: return text.left(2);
    case T::bcCodeUPC5: return text.left(5);
    default: return text;
    }
}

QByteArray BarcodeShownText(const TOABarCode& o)
{
    return o.ShowSum() ? BarcodeDisplayTextWithCheck(o) : BarcodeDisplayText(o);
}

int BarcodeTextGap(const TOABarCode& o, bool printer)
{
    const double mm = o.LabelDistance();
    if (!std::isfinite(mm))
        return 0;
    const double v = printer ? dpiOf(o) * mm / 25.4 : ScreenPPI * (mm * 10.0 * o.Zoom()) / 254.0;
    return static_cast<int>(std::clamp<double>(Round(v), -kMaxSide, kMaxSide));
}

BarcodeTextPicture RenderBarcodeText(const TOABarCode& o, bool printer)
{
    const QByteArray shown = BarcodeShownText(o);
    if (o.LabelWithPrn() || o.UsePrnFont() == 1)
        return drawPrnFontText(o, shown);
    return drawWinFontText(o, shown, printer);
}

BarcodeTextPicture MeasurePrinterFontText(const TOABarCode& o)
{
    return drawPrnFontText(o, BarcodeShownText(o), false);
}

bool BarcodePictureFits(int w, int h)
{
    w = std::max(w, 1);
    h = std::max(h, 1);
    return w <= kMaxSide && h <= kMaxSide && static_cast<qint64>(w) * h <= kMaxPixels;
}

ComposedBarcode ComposeBarcodeText(const TOABarCode& o, const QImage& bars, bool printer)
{
    const TBarCodeType type = o.BarCodeType();
    const bool eanUpc = IsEanUpc(type);
    const bool printerFont = o.LabelWithPrn() || o.UsePrnFont() == 1;
    if (eanUpc && !printerFont)
        return drawEanUpcText(o, bars, printer);

    ComposedBarcode out;
    BarcodeTextPicture text = RenderBarcodeText(o, printer);
    out.error = text.error;
    if (!text.ok())
        return out;

    const int dpi = dpiOf(o);
    const double z = o.Zoom();
    int extra = 0;
    int threshold = 0;
    if (eanUpc) {
        extra = BarcodeTextGap(o, printer);
        threshold = static_cast<int>(printer ? Round(dpi * 1.7 / 25.4 * z) : Round(z * (ScreenPPI * 1.7 / 25.4)));
    }
    if (!printer && printerFont) {
        const int w = static_cast<int>(Round(text.width / double(dpi) * ScreenPPI * z));
        const int h = static_cast<int>(Round(text.height / double(dpi) * ScreenPPI * z));
        if (!text.image.isNull() && w > 0 && h > 0 && w <= kMaxSide && h <= kMaxSide
            && static_cast<qint64>(w) * h <= kMaxPixels)
            text.image = text.image.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        else
            text.image = QImage();
        text.width = std::max(w, 0);
        text.height = std::max(h, 0);
        out.showTextHeight = text.height + extra;
    }
    if (!eanUpc)
        out.showTextHeight = text.height;

    const int wb = bars.width();
    const int hb = bars.height();
    const int wt = text.width;
    const int ht = text.height;
    const TLabelAlignment align = o.LabelAlign();
    const bool leftish = align == TLabelAlignment::laLeft || align == TLabelAlignment::laAuto;

    if (eanUpc) {
        const int b = printer ? o.BarHeight() : static_cast<int>(Round(double(ScreenPPI) * o.BarHeight() / dpi));
        if (ht + b + extra < b)
            extra = 0;
        int height = hb;
        if (ht + extra < threshold) {
            out.showTextHeight = 0;
        } else {
            height = b + ht + extra;
            out.showTextHeight = ht + extra;
        }
        out.image = whiteImage(wt, height);
        out.barTop = 0;
        out.barAreaHeight = hb;
        paintAnd(out.image, bars, 0, 0);
        paintAnd(out.image, text.image, 0, b + extra + 1);
        return out;
    }

    int width = 0;
    QPoint barsAt;
    QPoint textAt;
    if (o.LabelPos() == TLabelPosition::lpAbove) {
        if (wb < wt) {
            width = wt;
            const int x = leftish ? 0 : align == TLabelAlignment::laRight ? wt - wb + 1 : (wt - wb) / 2 + 1;
            barsAt = QPoint(x, ht);
            textAt = QPoint(0, 0);
        } else {
            width = wb;
            const int x = leftish ? 1 : align == TLabelAlignment::laRight ? wb - wt + 1 : (wb - wt) / 2 + 1;
            barsAt = QPoint(0, ht);
            textAt = QPoint(x, 0);
        }
        out.barTop = ht;
    } else {
        if (wb < wt) {
            width = wt;
            const int x = leftish ? 0 : align == TLabelAlignment::laRight ? wt - wb : (wt - wb) / 2;
            barsAt = QPoint(x, 0);
            textAt = QPoint(0, hb + extra);
        } else {
            width = wb;
            const int x = leftish ? 0 : align == TLabelAlignment::laRight ? wb - wt + 1 : (wb - wt) / 2 + 1;
            barsAt = QPoint(0, 0);
            textAt = QPoint(x, hb + extra);
        }
        out.barTop = 0;
    }
    out.barAreaHeight = hb;
    out.image = whiteImage(width, hb + ht + extra);
    paintAnd(out.image, bars, barsAt.x(), barsAt.y());
    paintAnd(out.image, text.image, textAt.x(), textAt.y());
    return out;
}

} // namespace korvel
