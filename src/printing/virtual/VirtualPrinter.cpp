#include "printing/virtual/VirtualPrinter.h"

#include "barcode/BarcodeTypes.h"
#include "barcode/linear/BarPattern.h"
#include "barcode/linear/Code128.h"
#include "barcode/linear/LinearEncoder.h"
#include "barcode/twod/Pdf417Symbol.h"
#include "document/Rounding.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace korvel {

namespace {

constexpr char STX = 0x02;
constexpr char SOH = 0x01;
constexpr char CR = 0x0D;
constexpr char LF = 0x0A;

/// The longest line the printer buffers while it waits for the CR; a longer one is dropped
/// up to its CR.
constexpr qsizetype kMaxLine = 32768;

/// A 1-bit picture: set bits are printed dots, most significant bit leftmost.
struct Ink {
    int width = 0;
    int height = 0;
    QByteArray bits;

    int stride() const { return (width + 7) / 8; }
    bool empty() const { return width <= 0 || height <= 0; }
    static bool bit(const uchar* row, int x) { return (row[x >> 3] >> (7 - (x & 7))) & 1U; }
    const uchar* row(int y) const
    {
        return reinterpret_cast<const uchar*>(bits.constData()) + qsizetype(y) * stride();
    }
    uchar* row(int y) { return reinterpret_cast<uchar*>(bits.data()) + qsizetype(y) * stride(); }
    static Ink blank(int width, int height)
    {
        Ink ink;
        ink.width = width;
        ink.height = height;
        ink.bits = QByteArray(qsizetype(ink.stride()) * height, '\0');
        return ink;
    }
};

/// Dark pixels of any picture are ink.
Ink inkFromImage(const QImage& image)
{
    if (image.isNull())
        return {};
    Ink ink = Ink::blank(image.width(), image.height());
    if (image.format() == QImage::Format_Mono && image.colorCount() == 2) {
        // Bit rows as they are, complemented when index 0 is the dark one.
        const bool zeroIsInk = qGray(image.color(0)) < qGray(image.color(1));
        const int r = ink.width % 8;
        const uchar last = r == 0 ? 0xFF : uchar(0xFF << (8 - r));
        for (int y = 0; y < ink.height; ++y) {
            const uchar* src = image.constScanLine(y);
            uchar* dst = ink.row(y);
            for (int i = 0; i < ink.stride(); ++i)
                dst[i] = zeroIsInk ? uchar(~src[i]) : src[i];
            dst[ink.stride() - 1] &= last;
        }
        return ink;
    }
    const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
    for (int y = 0; y < gray.height(); ++y) {
        const uchar* line = gray.constScanLine(y);
        uchar* dst = ink.row(y);
        for (int x = 0; x < gray.width(); ++x)
            if (line[x] < 128)
                dst[x >> 3] |= uchar(0x80 >> (x & 7));
    }
    return ink;
}

/// A picture placed inside a larger frame (a barcode's bars above its text line).
struct Part {
    const Ink* ink = nullptr;
    int x = 0;
    int y = 0;
};

/// Number of a field: digits, with the minus sign that a negative value keeps inside its field
/// ("00-5"). None for anything else.
std::optional<int> number(QByteArrayView text)
{
    if (text.isEmpty())
        return std::nullopt;
    qsizetype i = 0;
    while (i < text.size() && text[i] == '0')
        ++i;
    bool negative = false;
    if (i < text.size() && text[i] == '-') {
        negative = true;
        ++i;
    }
    std::int64_t v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        v = v * 10 + (text[i] - '0');
        if (v > 1000000000)
            return std::nullopt;
    }
    return int(negative ? -v : v);
}

/// A multiplier character "1"…"9", "A"…"O" as 1…24.
std::optional<int> multiplier(char c)
{
    if (c >= '1' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'O')
        return c - 'A' + 10;
    return std::nullopt;
}

/// Rotation digit as quarter turns clockwise.
std::optional<int> quarterTurns(char c)
{
    if (c >= '1' && c <= '4')
        return c - '1';
    return std::nullopt;
}

std::optional<TBarCodeType> barcodeOfLetter(char letter)
{
    using T = TBarCodeType;
    switch (letter | 0x20) {
    case 'k': return T::bcCodeIndustrial25;
    case 'd': return T::bcCodeInter25;
    case 'r': return T::bcCodeEurMatrix;
    case 's': return T::bcCodeJanMatrix;
    case 'a': return T::bcCode39;
    case 'h': return T::bcCodeHBIC;
    case 'i': return T::bcCodeCodabar;
    case 'e': return T::bcCode128;
    case 'o': return T::bcCode93;
    case 'f': return T::bcCodeEAN13;
    case 'g': return T::bcCodeEAN8;
    case 'b': return T::bcCodeUPCA;
    case 'c': return T::bcCodeUPCE;
    case 'q': return T::bcCodeUccEan;
    case 'm': return T::bcCodeUPC2;
    case 'n': return T::bcCodeUPC5;
    case 'p': return T::bcCodePostnet;
    case 'l': return T::bcCodeCYM;
    case 't': return T::bcCodePost25;
    default: return std::nullopt;
    }
}

/// Printer font (1-based glyph file font) of a text field's kind and size characters.
std::optional<int> fontOfField(char kind, QByteArrayView size)
{
    if (kind >= '0' && kind <= '8')
        return size == QByteArrayView("000") ? std::optional<int>(kind - '0' + 1) : std::nullopt;
    if (kind != '9')
        return std::nullopt;
    static const char* const scalable[] = { "P06", "P08", "P10", "P12", "P14", "P18" };
    for (int i = 0; i < 6; ++i)
        if (size == QByteArrayView(scalable[i]))
            return 10 + i;
    const auto n = number(size);
    if (n && *n >= 0 && *n <= 7 && size.size() == 3)
        return 16 + *n;
    return std::nullopt;
}

/// A half-open range of columns (x) and of rows counted from the bottom (r).
struct FieldRect {
    std::int64_t x0 = 0, x1 = 0, r0 = 0, r1 = 0;
};

/// Where a field of w × h dots whose reference point is (row, column) lands after the given
/// number of clockwise quarter turns about that point.
FieldRect fieldRect(int turns, std::int64_t row, std::int64_t col, std::int64_t w, std::int64_t h)
{
    switch (turns) {
    case 1: return { col, col + h, row - w, row };
    case 2: return { col - w, col, row - h, row };
    case 3: return { col - h, col, row, row + w };
    default: return { col, col + w, row, row + h };
    }
}

struct Page {
    QImage image;
    bool xorMode = false;

    int width() const { return image.width(); }
    int height() const { return image.height(); }

    /// Row counted from the bottom as an image line; -1 outside.
    int lineOf(std::int64_t r) const { return r < 0 || r >= height() ? -1 : int(height() - 1 - r); }

    void dot(int x, int y)
    {
        uchar* line = image.scanLine(y);
        const uchar bit = uchar(0x80 >> (x & 7));
        if (xorMode)
            line[x >> 3] ^= bit;
        else
            line[x >> 3] |= bit;
    }

    /// Columns [x0, x1) of an image line, clipped.
    void span(int y, std::int64_t x0, std::int64_t x1)
    {
        x0 = std::max<std::int64_t>(x0, 0);
        x1 = std::min<std::int64_t>(x1, width());
        if (y < 0 || y >= height() || x0 >= x1)
            return;
        uchar* line = image.scanLine(y);
        int x = int(x0);
        const int end = int(x1);
        while (x < end && (x & 7) != 0)
            dot(x++, y);
        for (; x + 8 <= end; x += 8)
            line[x >> 3] = xorMode ? uchar(line[x >> 3] ^ 0xFF) : uchar(0xFF);
        while (x < end)
            dot(x++, y);
    }

    void fill(const FieldRect& f)
    {
        const std::int64_t r0 = std::max<std::int64_t>(f.r0, 0);
        const std::int64_t r1 = std::min<std::int64_t>(f.r1, height());
        for (std::int64_t r = r0; r < r1; ++r)
            span(lineOf(r), f.x0, f.x1);
    }

    /// The outline of a box, every dot once (so XOR inverts it once): th rows at the top and
    /// bottom, tv columns at the left and right; thick sides fill the box.
    void box(const FieldRect& f, std::int64_t th, std::int64_t tv)
    {
        const std::int64_t r0 = std::max<std::int64_t>(f.r0, 0);
        const std::int64_t r1 = std::min<std::int64_t>(f.r1, height());
        for (std::int64_t r = r0; r < r1; ++r) {
            const int y = lineOf(r);
            if (r < f.r0 + th || r >= f.r1 - th || f.x1 - f.x0 <= 2 * tv) {
                span(y, f.x0, f.x1);
            } else {
                span(y, f.x0, f.x0 + tv);
                span(y, f.x1 - tv, f.x1);
            }
        }
    }

    /// Ink magnified zx × zy, turned, with its unrotated bottom-left corner at (row, col).
    void place(const Ink& ink, int turns, std::int64_t row, std::int64_t col, int zx, int zy)
    {
        const Part part { &ink, 0, 0 };
        placeParts(&part, 1, ink.width, ink.height, turns, row, col, zx, zy);
    }

    /// Pictures at their places in a frame of w × h (unmagnified), placed as one field.
    void placeParts(const Part* parts, int count, int frameWidth, int frameHeight, int turns, std::int64_t row,
        std::int64_t col, int zx, int zy)
    {
        if (frameWidth <= 0 || frameHeight <= 0)
            return;
        const std::int64_t w = std::int64_t(frameWidth) * zx;
        const std::int64_t h = std::int64_t(frameHeight) * zy;
        const FieldRect f = fieldRect(turns, row, col, w, h);
        const std::int64_t x0 = std::max<std::int64_t>(f.x0, 0);
        const std::int64_t x1 = std::min<std::int64_t>(f.x1, width());
        const std::int64_t r0 = std::max<std::int64_t>(f.r0, 0);
        const std::int64_t r1 = std::min<std::int64_t>(f.r1, height());
        if (x0 >= x1 || r0 >= r1)
            return;
        // The frame position (magnified) of the dot at x0 on a row, and its step per column.
        std::int64_t dmx = 0;
        std::int64_t dmy = 0;
        switch (turns) {
        case 1: dmy = -1; break;
        case 2: dmx = -1; break;
        case 3: dmy = 1; break;
        default: dmx = 1;
        }
        for (std::int64_t r = r0; r < r1; ++r) {
            std::int64_t mx;
            std::int64_t my;
            switch (turns) {
            case 1:
                mx = row - 1 - r;
                my = h - 1 - (x0 - col);
                break;
            case 2:
                mx = col - 1 - x0;
                my = r - row + h;
                break;
            case 3:
                mx = r - row;
                my = x0 - col + h;
                break;
            default:
                mx = x0 - col;
                my = h - 1 - (r - row);
            }
            uchar* line = image.scanLine(lineOf(r));
            for (std::int64_t x = x0; x < x1; ++x, mx += dmx, my += dmy) {
                const int fx = int(mx / zx);
                const int fy = int(my / zy);
                for (int i = 0; i < count; ++i) {
                    const Part& p = parts[i];
                    const int px = fx - p.x;
                    const int py = fy - p.y;
                    if (px >= 0 && py >= 0 && px < p.ink->width && py < p.ink->height
                        && Ink::bit(p.ink->row(py), px)) {
                        const uchar bit = uchar(0x80 >> (x & 7));
                        line[x >> 3] = xorMode ? uchar(line[x >> 3] ^ bit) : uchar(line[x >> 3] | bit);
                        break;
                    }
                }
            }
        }
    }
};

struct StoredGraphic {
    Ink ink;
};

} // namespace

struct VirtualPrinter::Impl {
    VirtualPrinterOptions opt;
    PrinterFontFile fonts;

    QByteArray buf;
    qsizetype pos = 0;
    qint64 base = 0; ///< stream offset of buf[0]
    qint64 skip = 0; ///< bytes still to drop (graphic data the printer refused to hold)
    bool dropToCR = false; ///< an overlong line is being dropped
    bool unknownRun = false;

    VirtualJobState job;
    int pageWidthTenths = -1;
    int pageHeightTenths = -1;
    std::map<QByteArray, StoredGraphic> graphics;
    qint64 graphicsBytes = 0;

    bool inFormat = false;
    VirtualLabelFormat current;
    Page page;
    int colOffset = 0; ///< dots
    int rowOffset = 0; ///< dots
    bool keptBudgetWarned = false;

    QList<VirtualLabelFormat> formats;
    qint64 keptBytes = 0;
    QList<VirtualPrinterWarning> warnings;
    int dropped = 0;
    qint64 unreadableAt = -1;

    enum class Step { Done, NeedMore };

    qsizetype avail() const { return buf.size() - pos; }
    char at(qsizetype i) const { return buf[pos + i]; }
    QByteArrayView view(qsizetype from, qsizetype n) const { return QByteArrayView(buf).sliced(pos + from, n); }
    qint64 offset() const { return base + pos; }

    /// A warning about bytes that do not read as commands at all; the first one's offset is kept.
    void unreadable(const QString& message, qint64 where = -1)
    {
        if (unreadableAt < 0)
            unreadableAt = where < 0 ? offset() : where;
        warn(message, where);
    }

    void warn(const QString& message, qint64 where = -1)
    {
        if (warnings.size() >= opt.maxWarnings) {
            ++dropped;
            return;
        }
        warnings.append({ where < 0 ? offset() : where, message });
    }

    int dots(int tenths) const { return int(Round(double(tenths) * opt.dpi / 254.0)); }

    void consume(qsizetype n)
    {
        pos += n;
        unknownRun = false;
    }

    /// Index (relative to pos) of the CR that ends the line starting at `from`; -1 when it has
    /// not arrived yet.
    qsizetype lineEnd(qsizetype from) const
    {
        const qsizetype limit = std::min(buf.size(), pos + kMaxLine);
        const qsizetype i = buf.indexOf(CR, pos + from);
        if (i < 0 || i >= limit)
            return -1;
        return i - pos;
    }

    /// NeedMore for a line whose CR has not come, after dropping it when it is already too long.
    Step lineMissing()
    {
        if (avail() >= kMaxLine) {
            unreadable(QStringLiteral("line longer than %1 bytes dropped").arg(kMaxLine));
            pos += kMaxLine;
            dropToCR = true;
            return Step::Done;
        }
        return Step::NeedMore;
    }

    void feed(QByteArrayView bytes)
    {
        if (pos > 0 && pos >= buf.size() / 2) {
            buf.remove(0, pos);
            base += pos;
            pos = 0;
        }
        buf.append(bytes.data(), bytes.size());
        run(false);
    }

    void run(bool atEnd)
    {
        for (;;) {
            if (skip > 0) {
                const qint64 take = std::min<qint64>(skip, avail());
                pos += take;
                skip -= take;
                if (skip > 0)
                    break;
            }
            if (dropToCR) {
                const qsizetype cr = buf.indexOf(CR, pos);
                if (cr < 0) {
                    pos = buf.size();
                    break;
                }
                pos = cr + 1;
                dropToCR = false;
            }
            if (avail() == 0)
                break;
            if (step() == Step::NeedMore) {
                if (!atEnd)
                    break;
                unreadable(QStringLiteral("stream ends inside a command"));
                pos = buf.size();
                break;
            }
        }
        if (atEnd && skip > 0)
            unreadable(QStringLiteral("stream ends inside graphic data"));
    }

    Step step()
    {
        const char c = at(0);
        if (c == STX)
            return stxCommand();
        if (c == SOH) {
            if (avail() < 2)
                return Step::NeedMore;
            if (at(1) != 'D') {
                unreadable(QStringLiteral("unknown command SOH 0x%1").arg(uchar(at(1)), 2, 16, QLatin1Char('0')));
                consume(1);
                return Step::Done;
            }
            consume(2);
            return Step::Done;
        }
        if (c == CR || c == LF) {
            pos += 1;
            return Step::Done;
        }
        if (inFormat)
            return formatLine();
        if (!unknownRun)
            unreadable(QStringLiteral("bytes outside any command"));
        pos += 1;
        unknownRun = true;
        return Step::Done;
    }

    // --- commands outside label formats --------------------------------------------------

    Step stxCommand()
    {
        if (avail() < 2)
            return Step::NeedMore;
        const char k = at(1);
        switch (k) {
        case 'm':
            job.metric = true;
            consume(2);
            return Step::Done;
        case 'r':
        case 'e':
            job.sensor = k;
            consume(2);
            return Step::Done;
        case 'u':
        case 'A':
        case 'q': {
            if (avail() < 3)
                return Step::NeedMore;
            const char v = at(2);
            if (k == 'u' && (v == '0' || v == '1'))
                job.direction = v - '0';
            else if (k == 'A' && (v == '0' || v == '1'))
                job.led = v - '0';
            else if (k == 'q' && v == 'A')
                clearGraphics();
            else
                unreadable(QStringLiteral("unknown command STX %1%2").arg(QLatin1Char(k)).arg(printable(v)));
            consume(3);
            return Step::Done;
        }
        case 'c': {
            if (avail() < 6)
                return Step::NeedMore;
            const auto v = number(view(2, 4));
            if (v && *v > 0)
                pageHeightTenths = *v;
            else
                warn(QStringLiteral("unusable page height"));
            consume(6);
            return Step::Done;
        }
        case 'J': {
            if (avail() < 3)
                return Step::NeedMore;
            if (at(2) == 'Y') {
                if (avail() < 4)
                    return Step::NeedMore;
                const qsizetype n = at(3) == '-' ? 5 : 4;
                if (avail() < 3 + n)
                    return Step::NeedMore;
                const auto v = number(view(3, n));
                if (v)
                    job.positionAdjust = *v;
                else
                    warn(QStringLiteral("unusable print position adjustment"));
                consume(3 + n);
                return Step::Done;
            }
            return stxLine();
        }
        case 'j':
        case 'f':
        case 'K':
        case 'L':
        case 'I': return stxLine();
        default:
            unreadable(QStringLiteral("unknown command STX %1").arg(printable(k)));
            consume(2);
            return Step::Done;
        }
    }

    static QString printable(char c)
    {
        if (c >= 0x20 && c < 0x7F)
            return QString(QLatin1Char(c));
        return QStringLiteral("0x%1").arg(uchar(c), 2, 16, QLatin1Char('0'));
    }

    /// The STX commands that end with CR.
    Step stxLine()
    {
        const qsizetype cr = lineEnd(1);
        if (cr < 0)
            return lineMissing();
        const QByteArrayView line = view(1, cr - 1);
        const qint64 where = offset();
        if (line.startsWith("IAf"))
            return download(line, cr + 1);
        if (line == QByteArrayView("L")) {
            consume(cr + 1);
            startFormat(where);
            return Step::Done;
        }
        consume(cr + 1);
        if (line == QByteArrayView("JA"))
            return Step::Done;
        if (line.startsWith("j2F0") && line.size() == 6) {
            bool ok = false;
            const int flags = QByteArray(line.sliced(4).data(), 2).toInt(&ok, 16);
            if (ok)
                job.mediaFlags = flags;
            else
                warn(QStringLiteral("unusable media flags"), where);
            return Step::Done;
        }
        if (line.startsWith("j23") && line.size() == 6) {
            if (const auto v = number(line.sliced(3)))
                job.feedModes.append(*v);
            else
                warn(QStringLiteral("unusable feed mode"), where);
            return Step::Done;
        }
        if (line.startsWith("f") && line.size() == 4) {
            if (const auto v = number(line.sliced(1)))
                job.stopValue = *v;
            else
                warn(QStringLiteral("unusable stop value"), where);
            return Step::Done;
        }
        if (line.startsWith("Kf")) {
            if (const auto v = number(line.sliced(2)))
                job.outDistance = *v;
            else
                warn(QStringLiteral("unusable feed distance"), where);
            return Step::Done;
        }
        if (line.startsWith("Kw")) {
            const auto v = number(line.sliced(2));
            if (v && *v > 0)
                pageWidthTenths = *v;
            else
                warn(QStringLiteral("unusable page width"), where);
            return Step::Done;
        }
        unreadable(QStringLiteral("unknown command STX %1").arg(QString::fromLatin1(line.first(std::min<qsizetype>(line.size(), 16)).toByteArray())), where);
        return Step::Done;
    }

    void clearGraphics()
    {
        graphics.clear();
        graphicsBytes = 0;
        ++job.graphicsClears;
    }

    /// Size bytes and rows of a graphic after its header; NeedMore until they are all there
    /// (a graphic the printer will not hold is consumed by the skip counter instead).
    struct Raster {
        int width = 0;
        int height = 0;
        qint64 bytes = 0;
        bool usable = false;
    };

    Raster rasterAt(qsizetype at) const
    {
        Raster r;
        r.width = uchar(buf[pos + at]) | (uchar(buf[pos + at + 1]) << 8);
        r.height = uchar(buf[pos + at + 2]) | (uchar(buf[pos + at + 3]) << 8);
        r.bytes = qint64((r.width + 7) / 8) * r.height;
        r.usable = r.width > 0 && r.height > 0 && r.width <= opt.maxPageWidth && r.height <= opt.maxPageHeight;
        return r;
    }

    Ink inkAt(qsizetype at, const Raster& r) const
    {
        Ink ink;
        ink.width = r.width;
        ink.height = r.height;
        ink.bits = buf.mid(pos + at, r.bytes);
        return ink;
    }

    Step download(QByteArrayView line, qsizetype headerLength)
    {
        if (avail() < headerLength + 4)
            return Step::NeedMore;
        const QByteArray name = line.sliced(3).toByteArray();
        const Raster r = rasterAt(headerLength);
        const qint64 previous = graphics.count(name) ? graphics[name].ink.bits.size() : 0;
        const bool fits = graphicsBytes - previous + r.bytes <= opt.maxGraphicsBytes;
        if (!r.usable || !fits) {
            if (!r.usable)
                warn(QStringLiteral("graphic %1 of %2 x %3 dots not stored")
                         .arg(QString::fromLatin1(name.left(16)))
                         .arg(r.width)
                         .arg(r.height));
            else
                warn(QStringLiteral("graphics memory full: graphic %1 not stored").arg(QString::fromLatin1(name.left(16))));
            consume(headerLength + 4);
            skip = r.bytes;
            return Step::Done;
        }
        if (avail() < headerLength + 4 + r.bytes)
            return Step::NeedMore;
        graphicsBytes += r.bytes - previous;
        graphics[name] = StoredGraphic { inkAt(headerLength + 4, r) };
        ++job.downloads;
        consume(headerLength + 4 + qsizetype(r.bytes));
        return Step::Done;
    }

    // --- label formats --------------------------------------------------------------------

    void startFormat(qint64 where)
    {
        if (inFormat) {
            warn(QStringLiteral("label format started before the previous one ended"), where);
            endFormat(false);
        }
        inFormat = true;
        current = {};
        page = {};
        colOffset = 0;
        rowOffset = 0;
        if (pageWidthTenths < 0 || pageHeightTenths < 0)
            warn(QStringLiteral("label format without page size"), where);
        current.pageWidthTenths = pageWidthTenths > 0 ? pageWidthTenths : opt.defaultPageWidthTenths;
        current.pageHeightTenths = pageHeightTenths > 0 ? pageHeightTenths : opt.defaultPageHeightTenths;
        int w = dots(current.pageWidthTenths);
        int h = dots(current.pageHeightTenths);
        if (w > opt.maxPageWidth || h > opt.maxPageHeight)
            warn(QStringLiteral("page of %1 x %2 dots cut to the printable size").arg(w).arg(h), where);
        w = std::clamp(w, 1, std::max(1, opt.maxPageWidth));
        h = std::clamp(h, 1, std::max(1, opt.maxPageHeight));
        const qint64 bytes = qint64((w + 31) / 32 * 4) * h;
        if (keptBytes + bytes > opt.maxKeptImageBytes) {
            if (!keptBudgetWarned)
                warn(QStringLiteral("too many printed pictures: later label formats keep none"), where);
            keptBudgetWarned = true;
            return;
        }
        keptBytes += bytes;
        page.image = QImage(w, h, QImage::Format_Mono);
        page.image.setColorTable({ qRgb(255, 255, 255), qRgb(0, 0, 0) });
        // Every byte, the padding of the rows included, so that equal printouts compare equal.
        std::memset(page.image.bits(), 0, size_t(page.image.sizeInBytes()));
    }

    void endFormat(bool ended)
    {
        current.ended = ended;
        current.image = page.image;
        formats.append(current);
        page = {};
        inFormat = false;
    }

    bool drawing() const { return !page.image.isNull(); }

    Step formatLine()
    {
        const qsizetype cr = lineEnd(0);
        if (cr < 0)
            return lineMissing();
        const QByteArrayView line = view(0, cr);
        const qint64 where = offset();
        const char c = line[0];
        if (c >= '1' && c <= '4')
            return field(line, cr + 1, where);
        consume(cr + 1);
        switch (c) {
        case 'A':
            if (line == QByteArrayView("A1"))
                page.xorMode = true;
            else if (line == QByteArrayView("A2"))
                page.xorMode = false;
            else
                warn(QStringLiteral("unknown drawing mode"), where);
            return Step::Done;
        case 'C':
        case 'R':
        case 'H':
        case ':':
        case 'Q': {
            const auto v = number(line.sliced(1));
            if (!v) {
                warn(QStringLiteral("unusable value in line %1").arg(QLatin1Char(c)), where);
                return Step::Done;
            }
            if (c == 'C') {
                current.columnOffsetTenths = *v;
                colOffset = dots(*v);
            } else if (c == 'R') {
                current.rowOffsetTenths = *v;
                rowOffset = dots(*v);
            } else if (c == 'H') {
                current.heat = *v;
            } else if (c == ':') {
                current.cutCount = *v;
            } else {
                current.quantity = *v;
            }
            return Step::Done;
        }
        case 'P':
            if (line.size() == 2)
                current.speed = line[1];
            else
                warn(QStringLiteral("unusable speed"), where);
            return Step::Done;
        case 'N':
        case 'g': return Step::Done;
        case 'E':
            if (line.size() != 1)
                warn(QStringLiteral("unknown line E"), where);
            endFormat(true);
            return Step::Done;
        default:
            warn(QStringLiteral("unknown line in label format: %1")
                     .arg(QString::fromLatin1(line.first(std::min<qsizetype>(line.size(), 16)).toByteArray().toPercentEncoding(" "))),
                where);
            return Step::Done;
        }
    }

    Step field(QByteArrayView line, qsizetype lineLength, qint64 where)
    {
        const int turns = *quarterTurns(line[0]);
        const char kind = line.size() > 1 ? line[1] : '\0';
        // The inline graphic carries its size and rows after the CR.
        if (kind == 'Y' && line.size() == 15 && line.sliced(4, 3) == QByteArrayView("001"))
            return inlineGraphic(line, lineLength, turns, where);
        consume(lineLength);
        if (line.size() < 15) {
            warn(QStringLiteral("field too short"), where);
            return Step::Done;
        }
        const auto zx = multiplier(line[2]);
        const auto zy = multiplier(line[3]);
        const auto row = number(line.sliced(7, 4));
        const auto col = number(line.sliced(11, 4));
        if (!row || !col || (kind != 'z' && !barcodeOfLetter(kind) && (!zx || !zy))) {
            warn(QStringLiteral("unusable field position or size"), where);
            return Step::Done;
        }
        const std::int64_t r = std::int64_t(*row) - rowOffset;
        const std::int64_t c = std::int64_t(*col) + colOffset;
        if (kind >= '0' && kind <= '9')
            text(line, turns, r, c, *zx, *zy, where);
        else if (kind == 'X')
            lineOrBox(line, turns, r, c, where);
        else if (kind == 'Y')
            storedGraphic(line, turns, r, c, *zx, *zy, where);
        else if (kind == 'z')
            pdf417(line, turns, r, c, where);
        else if (barcodeOfLetter(kind))
            barcode(line, turns, r, c, where);
        else
            warn(QStringLiteral("unknown field kind %1").arg(printable(kind)), where);
        return Step::Done;
    }

    void text(QByteArrayView line, int turns, std::int64_t r, std::int64_t c, int zx, int zy, qint64 where)
    {
        const auto font = fontOfField(line[1], line.sliced(4, 3));
        if (!font) {
            warn(QStringLiteral("unknown printer font"), where);
            return;
        }
        const PrinterFontPicture picture = RenderPrinterFontText(fonts, *font, line.sliced(15).toByteArray());
        if (!picture.ok()) {
            warn(QStringLiteral("printer font %1: %2").arg(*font).arg(describePrinterFontError(picture.error)), where);
            return;
        }
        drawn();
        if (drawing())
            page.place(inkFromImage(picture.image), turns, r, c, zx, zy);
    }

    void drawn() { ++current.fields; }

    void lineOrBox(QByteArrayView line, int turns, std::int64_t r, std::int64_t c, qint64 where)
    {
        const bool isLine = line.size() == 24 && line[15] == 'l';
        const bool isBox = line.size() == 32 && line[15] == 'b';
        if (line.sliced(4, 3) != QByteArrayView("000") || (!isLine && !isBox)) {
            warn(QStringLiteral("unknown line or box field"), where);
            return;
        }
        const auto w = number(line.sliced(16, 4));
        const auto h = number(line.sliced(20, 4));
        const auto th = isBox ? number(line.sliced(24, 4)) : std::optional<int>(0);
        const auto tv = isBox ? number(line.sliced(28, 4)) : std::optional<int>(0);
        if (!w || !h || !th || !tv || *w < 0 || *h < 0 || *th < 0 || *tv < 0) {
            warn(QStringLiteral("unusable line or box size"), where);
            return;
        }
        drawn();
        if (!drawing())
            return;
        const FieldRect f = fieldRect(turns, r, c, *w, *h);
        if (isLine) {
            page.fill(f);
            return;
        }
        // A quarter turn makes the vertical sides horizontal.
        const bool quarter = turns % 2 == 1;
        page.box(f, quarter ? *tv : *th, quarter ? *th : *tv);
    }

    void storedGraphic(QByteArrayView line, int turns, std::int64_t r, std::int64_t c, int zx, int zy, qint64 where)
    {
        if (line.sliced(4, 3) != QByteArrayView("000") || line.size() < 16 || line[15] != 'F') {
            warn(QStringLiteral("unknown graphic field"), where);
            return;
        }
        const QByteArray name = line.sliced(15).toByteArray();
        const auto g = graphics.find(name);
        if (g == graphics.end()) {
            warn(QStringLiteral("no stored graphic %1").arg(QString::fromLatin1(name.left(16))), where);
            return;
        }
        drawn();
        if (drawing())
            page.place(g->second.ink, turns, r, c, zx, zy);
    }

    Step inlineGraphic(QByteArrayView line, qsizetype lineLength, int turns, qint64 where)
    {
        if (avail() < lineLength + 4)
            return Step::NeedMore;
        const Raster raster = rasterAt(lineLength);
        const auto zx = multiplier(line[2]);
        const auto zy = multiplier(line[3]);
        const auto row = number(line.sliced(7, 4));
        const auto col = number(line.sliced(11, 4));
        if (!raster.usable) {
            warn(QStringLiteral("inline graphic of %1 x %2 dots skipped").arg(raster.width).arg(raster.height), where);
            consume(lineLength + 4);
            skip = raster.bytes;
            return Step::Done;
        }
        if (avail() < lineLength + 4 + raster.bytes)
            return Step::NeedMore;
        const Ink ink = inkAt(lineLength + 4, raster);
        consume(lineLength + 4 + qsizetype(raster.bytes));
        if (!zx || !zy || !row || !col) {
            warn(QStringLiteral("unusable field position or size"), where);
            return Step::Done;
        }
        drawn();
        if (drawing())
            page.place(ink, turns, std::int64_t(*row) - rowOffset, std::int64_t(*col) + colOffset, *zx, *zy);
        return Step::Done;
    }

    void pdf417(QByteArrayView line, int turns, std::int64_t r, std::int64_t c, qint64 where)
    {
        const auto bw = multiplier(line[2]);
        const auto bh = multiplier(line[3]);
        if (line.size() < 23 || !bw || !bh || line.sliced(4, 3) != QByteArrayView("000")
            || (line[15] != 'T' && line[15] != 'F') || line[16] < '0' || line[16] > '9') {
            warn(QStringLiteral("unusable PDF417 field"), where);
            return;
        }
        Pdf417Settings s;
        s.moduleWidth = *bw;
        s.rowHeight = *bh;
        s.truncated = line[15] == 'T';
        s.errorLevel = line[16] - '0';
        s.rows = 0;
        s.columns = 0;
        const QByteArrayView size = line.sliced(17, 6);
        if (size.startsWith("00")) {
            const auto rows = number(size.sliced(2, 2));
            const auto cols = number(size.sliced(4, 2));
            if (!rows || !cols) {
                warn(QStringLiteral("unusable PDF417 size"), where);
                return;
            }
            s.rows = *rows;
            s.columns = *cols;
        }
        SymbolMatrix matrix;
        const int result = EncodePdf417(line.sliced(23), s, matrix);
        if (result < 0) {
            warn(QStringLiteral("PDF417 symbol refused (%1)").arg(result), where);
            return;
        }
        Ink ink;
        ink.width = matrix.width;
        ink.height = matrix.height;
        ink.bits = matrix.bits;
        drawn();
        if (drawing())
            page.place(ink, turns, r, c, 1, 1);
    }

    void barcode(QByteArrayView line, int turns, std::int64_t r, std::int64_t c, qint64 where)
    {
        const TBarCodeType type = *barcodeOfLetter(line[1]);
        const bool humanReadable = line[1] >= 'A' && line[1] <= 'Z';
        const auto wide = multiplier(line[2]);
        const auto narrow = multiplier(line[3]);
        const auto height = number(line.sliced(4, 3));
        if (!wide || !narrow || !height || *height <= 0) {
            warn(QStringLiteral("unusable barcode size"), where);
            return;
        }
        const QByteArrayView data = line.sliced(15);
        LinearOptions options;
        options.narrow = *narrow;
        options.wide = *wide;
        options.height = *height;
        // The command carries no check-character choice: the printer adds the two check
        // characters that Code 93 requires and no optional ones.
        options.parity = type == TBarCodeType::bcCode93;
        if (IsEanUpc(type))
            options.guardExtension = GuardExtensionDots(opt.dpi, 1.0);
        if (type == TBarCodeType::bcCodeCYM)
            options.bearer = BearerDots(opt.dpi, 1.0);
        BarPattern pattern;
        if (!EncodeLinear(type, data, options, pattern)) {
            warn(QStringLiteral("barcode data refused by symbology %1").arg(int(type)), where);
            return;
        }
        QImage canvas = NewBarCanvas(pattern, QImage::Format_Mono);
        BarPaintOptions paint;
        paint.drawBearer = true;
        PaintBarPattern(pattern, canvas, paint);
        const Ink bars = inkFromImage(canvas);
        Ink text;
        if (humanReadable && type != TBarCodeType::bcCodePostnet) {
            const PrinterFontPicture picture = RenderPrinterFontText(fonts, 3, shownText(type, data));
            if (picture.ok())
                text = inkFromImage(picture.image);
            else
                warn(QStringLiteral("human-readable line: %1").arg(describePrinterFontError(picture.error)), where);
        }
        drawn();
        if (!drawing())
            return;
        // The text line centred below the bars, both inside the field.
        const int frameWidth = std::max(bars.width, text.empty() ? 0 : text.width);
        const int frameHeight = bars.height + (text.empty() ? 0 : text.height);
        const Part parts[] = { { &bars, (frameWidth - bars.width) / 2, 0 },
            { &text, (frameWidth - text.width) / 2, bars.height } };
        page.placeParts(parts, text.empty() ? 1 : 2, frameWidth, frameHeight, turns, r, c, 1, 1);
    }

    /// What the printer's human-readable line shows: Code 128 without its subset letter and
    /// escapes, every other symbology its data.
    static QByteArray shownText(TBarCodeType type, QByteArrayView data)
    {
        if (type != TBarCodeType::bcCode128)
            return data.toByteArray();
        if (!data.isEmpty() && (data[0] == 'A' || data[0] == 'B' || data[0] == 'C'))
            data = data.sliced(1);
        return Code128StripEscapes(data);
    }

    void finish()
    {
        run(true);
        if (inFormat) {
            unreadable(QStringLiteral("stream ends inside a label format"));
            endFormat(false);
        }
        buf.clear();
        base += pos;
        pos = 0;
    }
};

VirtualPrinter::VirtualPrinter(VirtualPrinterOptions options)
    : d(std::make_unique<Impl>())
{
    d->opt = std::move(options);
    if (d->opt.dpi <= 0)
        d->opt.dpi = 203;
    d->opt.maxWarnings = std::max(d->opt.maxWarnings, 0);
    d->fonts = d->opt.fonts ? *d->opt.fonts : PrinterFontFile::standard();
}

VirtualPrinter::~VirtualPrinter() = default;

void VirtualPrinter::feed(QByteArrayView bytes)
{
    d->feed(bytes);
}

void VirtualPrinter::finish()
{
    d->finish();
}

const QList<VirtualLabelFormat>& VirtualPrinter::formats() const
{
    return d->formats;
}

const QList<VirtualPrinterWarning>& VirtualPrinter::warnings() const
{
    return d->warnings;
}

int VirtualPrinter::droppedWarnings() const
{
    return d->dropped;
}

qint64 VirtualPrinter::unreadableAt() const
{
    return d->unreadableAt;
}

const VirtualJobState& VirtualPrinter::job() const
{
    return d->job;
}

bool VirtualPrinter::hasGraphic(const QByteArray& name) const
{
    return d->graphics.count(name) > 0;
}

int VirtualPrinter::dpi() const
{
    return d->opt.dpi;
}

VirtualPrintout PrintVirtually(QByteArrayView stream, const VirtualPrinterOptions& options)
{
    VirtualPrinter printer(options);
    printer.feed(stream);
    printer.finish();
    VirtualPrintout out;
    out.formats = printer.formats();
    out.warnings = printer.warnings();
    out.droppedWarnings = printer.droppedWarnings();
    out.job = printer.job();
    out.unreadableAt = printer.unreadableAt();
    return out;
}

bool VirtualDot(const QImage& image, int x, int y)
{
    if (image.isNull() || x < 0 || y < 0 || x >= image.width() || y >= image.height())
        return false;
    return qGray(image.pixel(x, y)) < 128;
}

} // namespace korvel
