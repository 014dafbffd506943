#include "document/TextRenderer.h"

#include "document/CodePage.h"
#include "document/FontMapping.h"
#include "document/OALabel.h"
#include "document/Rounding.h"
#include "document/Units.h"

#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <memory>
#include <unordered_map>
#include <vector>

namespace korvel {

namespace {

constexpr int MaxLines = 100;
// Pictures are capped so that absurd sizes (huge fonts on long texts, huge boxes) degrade to a
// clipped picture instead of a failed allocation.
constexpr int MaxPictureSide = 30000;
constexpr qint64 MaxPicturePixels = 24LL * 1000 * 1000;

/// A byte string split into characters by the code page's lead-byte rule.
struct CharRun {
    std::vector<QString> text; ///< each character on its own, converted with the code page
    std::vector<bool> wide; ///< two-byte character
    int size() const { return static_cast<int>(text.size()); }
};

QString charToUnicode(const CodePage& cp, const QByteArray& bytes)
{
    // Texts re-render often; converting the same characters through iconv every time adds up.
    static QHash<QByteArray, QString> cache;
    static int cachePage = 0;
    if (cachePage != cp.number()) {
        cache.clear();
        cachePage = cp.number();
    }
    auto it = cache.constFind(bytes);
    if (it != cache.constEnd())
        return it.value();
    QString u = cp.toUnicode(bytes);
    if (cache.size() < 20000)
        cache.insert(bytes, u);
    return u;
}

CharRun splitChars(const QByteArray& s)
{
    const CodePage& cp = CodePage::document();
    CharRun run;
    for (qsizetype i = 0; i < s.size();) {
        const int len = std::max(1, cp.charLength(s, i));
        run.text.push_back(charToUnicode(cp, s.mid(i, len)));
        run.wide.push_back(len == 2);
        i += len;
    }
    return run;
}

QByteArray removeCrLf(const QByteArray& s)
{
    QByteArray out = s;
    out.replace("\r\n", "");
    return out;
}

/// Lines split at CR LF, at most 100; a trailing CR LF opens no further line.
std::vector<QByteArray> splitLines(const QByteArray& s)
{
    std::vector<QByteArray> lines;
    qsizetype start = 0;
    while (static_cast<int>(lines.size()) < MaxLines) {
        const qsizetype at = s.indexOf("\r\n", start);
        if (at < 0) {
            if (start < s.size() || lines.empty())
                lines.push_back(s.mid(start));
            break;
        }
        lines.push_back(s.mid(start, at - start));
        start = at + 2;
        if (start >= s.size())
            break;
    }
    return lines;
}

/// The line with the most bytes, the first of equals.
int longestLine(const std::vector<QByteArray>& lines)
{
    int best = 0;
    for (int i = 1; i < static_cast<int>(lines.size()); ++i)
        if (lines[static_cast<size_t>(i)].size() > lines[static_cast<size_t>(best)].size())
            best = i;
    return best;
}

/// Shares a total over n slots by error diffusion: each slot takes round(q - carry) and the
/// carry keeps what was given too much or too little.
std::vector<int> diffuse(double total, int n)
{
    std::vector<int> out(static_cast<size_t>(std::max(n, 0)), 0);
    if (n <= 0)
        return out;
    const double q = total / n;
    double carry = 0;
    for (int& k : out) {
        k = static_cast<int>(Round(q - carry));
        carry += k - q;
    }
    return out;
}

QColor colorOf(std::int32_t tcolor)
{
    const auto v = static_cast<std::uint32_t>(tcolor);
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF));
}

QSize canvasSize(int w, int h)
{
    w = std::clamp(w, 1, MaxPictureSide);
    h = std::clamp(h, 1, MaxPictureSide);
    if (static_cast<qint64>(w) * h > MaxPicturePixels)
        h = std::max<int>(1, static_cast<int>(MaxPicturePixels / w));
    return { w, h };
}

QImage makeCanvas(QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

/// What was measured of each font so far, per thread. Fitting a width rate measures the same
/// characters at many logical widths, and every zoom and every rendering again measures the
/// same ones; measuring is a pure function of the font, so answering from here changes no
/// result, only spares the text shaping. Bounded: past MaxFonts fonts it starts afresh.
struct MetricsMemo {
    using Advances = std::unordered_map<QString, int>;
    static constexpr size_t MaxFonts = 4096;
    std::unordered_map<QString, std::shared_ptr<Advances>> advances;
    std::unordered_map<QString, int> averages;

    static MetricsMemo& local()
    {
        thread_local MetricsMemo memo;
        return memo;
    }
    /// Everything that picks the glyphs: the description (size, weight, style, stretch,
    /// strategy), the fall-back families, hinting and kerning.
    static QString identity(const QFont& f)
    {
        return f.key() + QLatin1Char('|') + f.families().join(QLatin1Char(',')) + QLatin1Char('|')
            + QString::number(static_cast<int>(f.hintingPreference())) + QLatin1Char('|')
            + QString::number(f.kerning() ? 1 : 0);
    }
    std::shared_ptr<Advances> advancesOf(const QFont& f)
    {
        if (advances.size() >= MaxFonts)
            advances.clear();
        auto& table = advances[identity(f)];
        if (!table)
            table = std::make_shared<Advances>();
        return table;
    }
    int averageCharWidth(const QFont& f)
    {
        if (averages.size() >= MaxFonts)
            averages.clear();
        const QString id = identity(f);
        const auto it = averages.find(id);
        if (it != averages.end())
            return it->second;
        const int average = QFontMetrics(f).averageCharWidth();
        averages.emplace(id, average);
        return average;
    }
};

/// A font as the renderer creates it: pixel height, bold weight, italic, optional logical width.
/// Underline and strike-out are drawn by the renderer across whole runs, as the platform's text
/// output does, so the font itself carries neither.
QFont makeFont(const TTextFont& tf, int pixelSize, int logicalWidth, bool printer)
{
    QFont f = mappedFont(tf.Name, std::max(1, pixelSize));
    f.setWeight(tf.has(TextFontStyle::Bold) ? QFont::Bold : QFont::Normal);
    f.setItalic(tf.has(TextFontStyle::Italic));
    if (printer)
        f.setStyleStrategy(QFont::StyleStrategy(f.styleStrategy() | QFont::NoAntialias));
    if (logicalWidth > 0) {
        // A logical width is an average character width; the stretch that reaches it is the
        // ratio to the face's own average width.
        const int average = MetricsMemo::local().averageCharWidth(f);
        if (average > 0)
            f.setStretch(std::clamp(static_cast<int>(Round(logicalWidth * 100.0 / average)), 1, 4000));
    }
    return f;
}

struct FontBox {
    FontBox(const TTextFont& tf, int pixelSize, int logicalWidth, bool printer)
        : font(makeFont(tf, pixelSize, logicalWidth, printer))
        , fm(font)
        , italic(tf.has(TextFontStyle::Italic))
        , advances(MetricsMemo::local().advancesOf(font))
    {
    }

    int advance(const QString& ch) const
    {
        const auto it = advances->find(ch);
        if (it != advances->end())
            return it->second;
        const int a = fm.horizontalAdvance(ch);
        advances->emplace(ch, a);
        return a;
    }
    int height() const { return fm.height(); }
    int ascent() const { return fm.ascent(); }
    /// Slant allowance of an italic string of more than one character.
    int italicTerm(int n) const
    {
        return (italic && n > 1) ? static_cast<int>(Round(std::tan(12.0 * M_PI / 180.0) * height())) : 0;
    }
    /// Sum of the glyph advances plus the slant allowance (MeasureGlyphs).
    int measure(const CharRun& run) const
    {
        int w = 0;
        for (const QString& c : run.text)
            w += advance(c);
        return w + italicTerm(run.size());
    }

    QFont font;
    QFontMetrics fm;
    bool italic;
    std::shared_ptr<MetricsMemo::Advances> advances;
};

} // namespace

/// Renders a screen-font text into its picture, on screen or at the printer's resolution.
class TextRenderer {
public:
    /// Without `draw` the renderer lays the text out (size and everything stored) and leaves
    /// the picture null.
    explicit TextRenderer(TOAText& text, bool draw = true)
        : o(text)
        , draw(draw)
        , printer(text.screenPrn_ == 1)
        , f((text.prnDPI_ > 0 ? text.prnDPI_ : DefaultPrinterDpi) / double(ScreenPPI))
        , zoom(text.Zoom())
    {
    }

    QImage render();
    /// Size of the picture the last render laid out, drawn or not.
    QSize size() const { return size_; }
    /// The length at the nominal size that the screen pass of a single-line or ring text
    /// leaves for the printer pass to scale (StrDotLen), without drawing the screen picture.
    void measureLength();

private:
    struct Fit {
        int width = 0; ///< natural width (rate 100), target (measuring) or width reached (fitting)
        int logicalWidth = 0; ///< fitted logical width, 0 for the natural width
    };

    struct Line {
        QByteArray bytes;
        CharRun run;
        int t = 0; ///< width at zoom 1 in measuring mode
    };

    int nominalPx() const { return static_cast<int>(Round(o.fontSizePt_ * 4.0 / 3.0)); }
    FontBox box(int px, int logicalWidth) const { return FontBox(o.textFont_, px, logicalWidth, printer); }
    bool ownUnderline() const
    {
        return o.textFont_.has(TextFontStyle::Underline) && o.textFont_.Name != ManualUnderlineFace();
    }
    bool manualUnderline() const
    {
        return o.textFont_.has(TextFontStyle::Underline) && o.textFont_.Name == ManualUnderlineFace();
    }

    Fit fitWidthRate(int px, double z, bool fitting, const CharRun& run, int rate) const;
    Fit fitWidthRate(int px, double z, bool fitting, const CharRun& run) const
    {
        return fitWidthRate(px, z, fitting, run, o.textWidthRate_);
    }
    int measureAtZoomOne(const FontBox& nominal, const CharRun& run, int from, int to) const;
    /// The screen pass's fit of a single line or a ring: stores the fitted logical width, the
    /// natural width (at rate 100) and StrDotLen, and returns the length at zoom 1.
    int fitOnScreen(const CharRun& run, int gaps);
    void dragFit();

    std::vector<int> layoutRun(const FontBox& work, const CharRun& run, int glyphTarget, double extraPerGap) const;
    void drawRun(const FontBox& work, const CharRun& run, const std::vector<int>& xs, int x0, int top);
    void drawManualUnderline(int x, int bottom, int length);
    void begin(int w, int h);
    QImage finish();

    QImage singleLine();
    QImage paragraph();
    QImage ring();

    TOAText& o;
    bool draw;
    QSize size_;
    bool printer;
    double f;
    double zoom;
    QImage canvas;
    std::unique_ptr<QPainter> painter;
    QPainterPath outline;
};

TextRenderer::Fit TextRenderer::fitWidthRate(int px, double z, bool fitting, const CharRun& run, int rate) const
{
    Fit r;
    const int n = run.size();
    const int gaps = std::max(n - 1, 0);
    const FontBox natural = box(px, 0);
    const int glyphs = natural.measure(run);
    const int x = static_cast<int>(Round(o.textCharExtra_ * z));
    if (rate == 100) {
        r.width = glyphs + gaps * x;
        return r;
    }
    // Character extras are whole pixels and are not scaled by the rate.
    const int target = gaps * x + static_cast<int>(Round(glyphs * rate / 100.0));
    if (!fitting || n == 0) {
        r.width = target;
        return r;
    }
    const auto measured = [&](int w) { return box(px, w).measure(run) + gaps * x; };
    int bytes = 0;
    for (int i = 0; i < n; ++i)
        bytes += run.wide[static_cast<size_t>(i)] ? 2 : 1;
    int w = target / std::max(bytes, 1);
    int m = measured(w);
    if (m == target) {
        r.logicalWidth = w;
        r.width = m;
        return r;
    }
    const int step = m < target ? 1 : -1;
    for (;;) {
        const int prevW = w;
        const int prevM = m;
        w += step;
        if (w < 0) {
            r.logicalWidth = 1;
            r.width = measured(1);
            return r;
        }
        if (w > 300) {
            r.logicalWidth = 300;
            r.width = measured(300);
            return r;
        }
        m = measured(w);
        const bool crossed = step > 0 ? m >= target : m <= target;
        if (crossed) {
            // The closer of the two; a tie goes to the newer.
            if (std::abs(prevM - target) < std::abs(m - target)) {
                r.logicalWidth = prevW;
                r.width = prevM;
            } else {
                r.logicalWidth = w;
                r.width = m;
            }
            return r;
        }
    }
}

int TextRenderer::measureAtZoomOne(const FontBox& nominal, const CharRun& run, int from, int to) const
{
    // Measuring mode at zoom 1 for the characters [from, to): the greedy wrap asks this for
    // every growing piece, so it works from the advances instead of building a new string.
    const int n = to - from;
    if (n <= 0)
        return 0;
    int glyphs = 0;
    for (int i = from; i < to; ++i)
        glyphs += nominal.advance(run.text[static_cast<size_t>(i)]);
    glyphs += nominal.italicTerm(n);
    const int x = o.textCharExtra_;
    if (o.textWidthRate_ == 100)
        return glyphs + (n - 1) * x;
    return (n - 1) * x + static_cast<int>(Round(glyphs * o.textWidthRate_ / 100.0));
}

void TextRenderer::dragFit()
{
    o.dragText_ = 0;
    const int target = o.dragHeight_;
    if (target < 1)
        return;
    int s = std::max(1, static_cast<int>(Round(target * 0.75)));
    int h = box(s, 0).height();
    // The search stops long before this bound; it only guards a font that never grows.
    for (int guard = 0; h < target && guard < 5000; ++guard)
        h = box(++s, 0).height();
    if (s > 1) {
        const int hPrev = box(s - 1, 0).height();
        if (std::abs(hPrev - target) < std::abs(h - target))
            --s;
    }
    o.textFontSize_ = s;
    o.fontSizePt_ = static_cast<int>(Round(s * 3.0 / (4.0 * zoom)));
    if (o.fontSizePt_ > 300) {
        o.fontSizePt_ = 300;
        o.textFontSize_ = static_cast<int>(Round(zoom * 400));
    }
    const CharRun run = splitChars(removeCrLf(o.text_));
    const int natural = static_cast<int>(Round(fitWidthRate(nominalPx(), 1.0, false, run, 100).width * zoom));
    if (natural > 0)
        o.textWidthRate_ = std::max(1, static_cast<int>(Round(double(o.lineDragWidth_) / natural * 100.0)));
}

std::vector<int> TextRenderer::layoutRun(
    const FontBox& work, const CharRun& run, int glyphTarget, double extraPerGap) const
{
    const int n = run.size();
    std::vector<int> advances(static_cast<size_t>(n));
    for (int k = 0; k < n; ++k)
        advances[static_cast<size_t>(k)] = work.advance(run.text[static_cast<size_t>(k)]);
    const int measured = work.measure(run);
    const std::vector<int> share = diffuse(glyphTarget - measured, n);
    const std::vector<int> extra = diffuse(extraPerGap * std::max(n - 1, 0), n - 1);
    std::vector<int> xs(static_cast<size_t>(n) + 1, 0);
    int x = 0;
    for (int k = 0; k < n; ++k) {
        const auto i = static_cast<size_t>(k);
        x += advances[i] + share[i] + (k < n - 1 ? extra[i] : 0);
        xs[i + 1] = x;
    }
    return xs;
}

void TextRenderer::begin(int w, int h)
{
    size_ = canvasSize(w, h);
    if (!draw)
        return;
    canvas = makeCanvas(size_);
    if (canvas.isNull())
        return; // out of memory: the render ends without a picture
    painter = std::make_unique<QPainter>(&canvas);
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setRenderHint(QPainter::TextAntialiasing, !printer);
    painter->setPen(colorOf(o.bkColor_));
    outline = QPainterPath();
}

void TextRenderer::drawRun(const FontBox& work, const CharRun& run, const std::vector<int>& xs, int x0, int top)
{
    if (!painter)
        return;
    const int n = run.size();
    const int baseline = top + work.ascent();
    for (int k = 0; k < n; ++k) {
        const QPointF at(x0 + xs[static_cast<size_t>(k)], baseline);
        const QString& ch = run.text[static_cast<size_t>(k)];
        if (o.outlineTextout_ == 1)
            outline.addText(at, work.font, ch);
        else {
            painter->setFont(work.font);
            painter->drawText(at, ch);
        }
    }
    if (n == 0)
        return;
    const int from = x0 + xs.front();
    const int to = x0 + xs.back();
    const int thickness = std::max(1, work.fm.lineWidth());
    auto decoration = [&](int y) {
        const QRect r(from, y, to - from, thickness);
        if (o.outlineTextout_ == 1)
            outline.addRect(r);
        else
            painter->fillRect(r, colorOf(o.bkColor_));
    };
    if (ownUnderline())
        decoration(baseline + work.fm.underlinePos());
    if (o.textFont_.has(TextFontStyle::StrikeOut))
        decoration(baseline - work.fm.strikeOutPos());
}

void TextRenderer::drawManualUnderline(int x, int bottom, int length)
{
    if (!manualUnderline() || !painter)
        return;
    if (o.outlineTextout_ == 1) {
        const int w = static_cast<int>(Round(o.textFontSize_ * 0.053));
        outline.addRect(QRect(QPoint(x, bottom - w - 2), QPoint(x + length, bottom - 2)));
        return;
    }
    const int pen = std::max(1, static_cast<int>(Round(o.textFontSize_ * 0.048)));
    const int centre = bottom - pen / 2 - 2;
    painter->fillRect(QRect(x, centre - pen / 2, length, pen), colorOf(o.bkColor_));
}

QImage TextRenderer::finish()
{
    if (!painter)
        return {};
    if (!outline.isEmpty()) {
        // Outline text: the canvas's default pen, one black pixel wide.
        painter->setBrush(Qt::NoBrush);
        painter->strokePath(outline, QPen(Qt::black, 1));
    }
    painter->end();
    painter.reset();
    return canvas.convertToFormat(QImage::Format_RGB888);
}

QImage TextRenderer::render()
{
    const bool ringMode = o.roundText_ == 1 && o.textAlign_ == 0;
    const bool paragraphMode = o.textAlign_ >= 1 && o.textAlign_ <= 4;
    if (!printer && o.dragText_ == 1 && !ringMode && !paragraphMode)
        dragFit();
    if (ringMode)
        return ring();
    if (paragraphMode)
        return paragraph();
    return singleLine();
}

void TextRenderer::measureLength()
{
    const CharRun run = splitChars(removeCrLf(o.text_));
    const int gaps = std::max(run.size() - 1, 0);
    o.strDotLen_ = fitWidthRate(nominalPx(), 1.0, false, run).width - gaps * o.textCharExtra_;
}

int TextRenderer::fitOnScreen(const CharRun& run, int gaps)
{
    const int t = fitWidthRate(nominalPx(), 1.0, false, run).width;
    const Fit fitted = fitWidthRate(o.textFontSize_, zoom, true, run);
    o.fontWidth_ = fitted.logicalWidth;
    if (o.textWidthRate_ == 100)
        o.textOrgWidth_ = fitted.width;
    o.strDotLen_ = t - gaps * o.textCharExtra_;
    return t;
}

QImage TextRenderer::singleLine()
{
    const CharRun run = splitChars(removeCrLf(o.text_));
    const int n = run.size();
    const int gaps = std::max(n - 1, 0);
    int width;
    int glyphTarget;
    double extra;
    if (!printer) {
        const int t = fitOnScreen(run, gaps);
        width = static_cast<int>(Round(t * zoom));
        extra = static_cast<int>(Round(o.textCharExtra_ * zoom));
        glyphTarget = width - gaps * static_cast<int>(extra);
    } else {
        o.fontWidth_ = fitWidthRate(o.textFontSize_, 1.0, true, run).logicalWidth;
        width = static_cast<int>(Round((gaps * o.textCharExtra_ + o.strDotLen_) * f));
        glyphTarget = static_cast<int>(Round(o.strDotLen_ * f));
        extra = o.textCharExtra_ * f;
    }
    const FontBox work = box(o.textFontSize_, o.fontWidth_);
    o.fontHeight_ = work.height();
    begin(width, o.fontHeight_);
    drawRun(work, run, layoutRun(work, run, glyphTarget, extra), 0, 0);
    drawManualUnderline(-1, o.fontHeight_, canvas.width() + 1);
    return finish();
}

QImage TextRenderer::paragraph()
{
    const std::vector<QByteArray> source = splitLines(o.text_);
    const CharRun longest = splitChars(source[static_cast<size_t>(longestLine(source))]);
    o.fontWidth_ = fitWidthRate(o.textFontSize_, printer ? 1.0 : zoom, true, longest).logicalWidth;
    const FontBox work = box(o.textFontSize_, o.fontWidth_);
    o.fontHeight_ = work.height();
    const int M = o.fontHeight_ + ((o.outlineTextout_ == 1 && !ownUnderline()) ? 1 : 0);
    const int align = o.textAlign_;
    const int W = std::max(o.dragWidth_, 1);

    std::vector<Line> lines;
    std::vector<int> tops;
    bool wrapped = true;
    int height = 0;
    double extraPerGap;
    if (!printer) {
        const FontBox nominal = box(nominalPx(), 0);
        const int P = static_cast<int>(Round(o.textLineExtra_ * zoom));
        const int h1 = nominal.height();
        const auto fits = [&](int t) { return Round(t * zoom) <= W; };
        std::vector<Line> given;
        for (const QByteArray& bytes : source) {
            Line l { bytes, splitChars(bytes), 0 };
            l.t = measureAtZoomOne(nominal, l.run, 0, l.run.size());
            given.push_back(std::move(l));
        }
        // Every line is checked, not only the one with the most bytes: a shorter but wider line
        // would otherwise be cut off at the box edge.
        wrapped = !std::all_of(given.begin(), given.end(), [&](const Line& l) { return fits(l.t); });
        if (!wrapped) {
            lines = std::move(given);
            const int pitch = static_cast<int>(Round(zoom * h1)) + P;
            for (size_t k = 0; k < lines.size(); ++k)
                tops.push_back(static_cast<int>(k) * pitch);
            const int count = static_cast<int>(lines.size());
            height = static_cast<int>(Round(zoom * h1)) * count + (count - 1) * P;
        } else {
            const CodePage& cp = CodePage::document();
            auto emitLine = [&](const Line& l) {
                if (static_cast<int>(lines.size()) < MaxLines)
                    lines.push_back(l);
            };
            for (size_t li = 0; li < given.size(); ++li) {
                const Line& l = given[li];
                if (fits(l.t)) {
                    emitLine(l);
                    continue;
                }
                // Greedy break, character by character, without regard to words.
                qsizetype pieceStart = 0;
                qsizetype pos = 0;
                int first = 0;
                for (int k = 0; k < l.run.size(); ++k) {
                    const qsizetype len = cp.charLength(l.bytes, pos);
                    if (!fits(measureAtZoomOne(nominal, l.run, first, k + 1))) {
                        if (!(k == first && li == 0 && k == 0)) {
                            Line piece { l.bytes.mid(pieceStart, pos - pieceStart), CharRun {}, 0 };
                            piece.run.text.assign(l.run.text.begin() + first, l.run.text.begin() + k);
                            piece.run.wide.assign(l.run.wide.begin() + first, l.run.wide.begin() + k);
                            piece.t = measureAtZoomOne(nominal, l.run, first, k);
                            emitLine(piece);
                        }
                        first = k;
                        pieceStart = pos;
                    }
                    pos += len;
                }
                Line rest { l.bytes.mid(pieceStart), CharRun {}, 0 };
                rest.run.text.assign(l.run.text.begin() + first, l.run.text.end());
                rest.run.wide.assign(l.run.wide.begin() + first, l.run.wide.end());
                rest.t = measureAtZoomOne(nominal, l.run, first, l.run.size());
                emitLine(rest);
            }
            // Pitch keeps in proportion with the zoom: the fraction of the nominal line height
            // that the whole pixels lose is carried from line to line.
            const double fraction = h1 * zoom - o.fontHeight_;
            const std::vector<int> carry
                = diffuse(fraction * static_cast<double>(lines.size()), static_cast<int>(lines.size()));
            int y = 0;
            for (size_t k = 0; k < lines.size(); ++k) {
                tops.push_back(y);
                y += M + P + carry[k];
            }
            height = y;
        }
        o.multiPrnStr_ = PrnStrRecord {};
        for (size_t k = 0; k < lines.size(); ++k) {
            const int gaps = std::max(lines[k].run.size() - 1, 0);
            o.multiPrnStr_.Lines[k] = lines[k].bytes;
            o.multiPrnStr_.Widths[k] = lines[k].t - gaps * o.textCharExtra_;
        }
        o.multiPrnStr_.Count = static_cast<int>(lines.size());
        extraPerGap = static_cast<int>(Round(o.textCharExtra_ * zoom));
    } else {
        const int P = static_cast<int>(Round(o.textLineExtra_ * f));
        const int count = std::clamp(o.multiPrnStr_.Count, 0, MaxLines);
        for (int k = 0; k < count; ++k) {
            const QByteArray& bytes = o.multiPrnStr_.Lines[static_cast<size_t>(k)];
            lines.push_back(Line { bytes, splitChars(bytes), o.multiPrnStr_.Widths[static_cast<size_t>(k)] });
            tops.push_back(k * (P + M));
        }
        height = count * (P + M) + 2;
        extraPerGap = o.textCharExtra_ * f;
    }

    begin(W, height);
    if (!painter)
        return finish();
    for (size_t k = 0; k < lines.size(); ++k) {
        const Line& l = lines[k];
        const int n = l.run.size();
        const int gaps = std::max(n - 1, 0);
        int O;
        int glyphTarget;
        if (!printer) {
            O = static_cast<int>(Round(l.t * zoom));
            glyphTarget = O - gaps * static_cast<int>(extraPerGap);
        } else {
            glyphTarget = static_cast<int>(Round(l.t * f));
            O = static_cast<int>(Round(gaps * extraPerGap + l.t * f));
        }
        int x0 = 0;
        if (align == 2)
            x0 = (W - O) / 2 - (printer ? 1 : 0);
        else if (align == 3)
            x0 = W - O - ((printer || !wrapped) ? 1 : 0);
        std::vector<int> xs;
        if (align == 4 && n >= 2) {
            // Distributed: the room left in the box is spread over the gaps.
            const std::vector<int> extras = diffuse(extraPerGap * gaps, gaps);
            int a = work.measure(l.run);
            for (int e : extras)
                a += e;
            const std::vector<int> spread = diffuse(W - a + 1, gaps);
            xs.assign(static_cast<size_t>(n) + 1, 0);
            int x = 0;
            for (int i = 0; i < n; ++i) {
                const auto u = static_cast<size_t>(i);
                x += work.advance(l.run.text[u]) + (i < n - 1 ? extras[u] + spread[u] : 0);
                xs[u + 1] = x;
            }
        } else {
            xs = layoutRun(work, l.run, glyphTarget, extraPerGap);
        }
        drawRun(work, l.run, xs, x0, tops[k]);
        if (align == 4 && n > 1)
            drawManualUnderline(0, tops[k] + o.fontHeight_, W);
        else
            drawManualUnderline(x0, tops[k] + o.fontHeight_, O);
    }
    return finish();
}

QImage TextRenderer::ring()
{
    const CharRun run = splitChars(removeCrLf(o.text_));
    const int n = run.size();
    const int gaps = std::max(n - 1, 0);
    int glyphTarget;
    double extraEach;
    if (!printer) {
        const int t = fitOnScreen(run, gaps);
        const int x = static_cast<int>(Round(o.textCharExtra_ * zoom));
        glyphTarget = static_cast<int>(Round(t * zoom)) - gaps * x;
        extraEach = x;
    } else {
        o.fontWidth_ = fitWidthRate(o.textFontSize_, 1.0, true, run).logicalWidth;
        glyphTarget = static_cast<int>(Round(o.strDotLen_ * f));
        extraEach = o.textCharExtra_ * f;
    }
    const FontBox work = box(o.textFontSize_, o.fontWidth_);
    o.fontHeight_ = work.height();
    const int D = std::max(o.dragWidth_, 1);
    begin(D, D);
    if (n == 0 || !painter)
        return finish();

    int p = D - o.fontHeight_;
    if (p < 1)
        p = o.fontHeight_;
    const double l = o.fontHeight_;
    const std::vector<int> share = diffuse(glyphTarget - work.measure(run), n);
    const std::vector<int> extras = diffuse(extraEach * n, n);
    std::vector<int> w(static_cast<size_t>(n));
    std::vector<double> a(static_cast<size_t>(n) + 1, 0.0);
    int wMax = 0;
    double sumA = 0;
    for (int k = 0; k < n; ++k) {
        const auto u = static_cast<size_t>(k);
        w[u] = work.advance(run.text[u]) + share[u] + extras[u];
        wMax = std::max(wMax, w[u]);
        a[u] = 2.0 * std::atan(w[u] / double(p));
        sumA += a[u];
    }
    double theta = (sumA + a[static_cast<size_t>(n - 1)] - 2.0 * a[0]) / 2.0 + M_PI / 2.0;
    const double twoPi = 2.0 * M_PI;
    for (int k = 0; k < n; ++k) {
        const auto u = static_cast<size_t>(k);
        theta = std::fmod(theta, twoPi);
        if (theta < 0)
            theta += twoPi;
        for (double axis : { 0.0, M_PI / 2.0, M_PI, 3.0 * M_PI / 2.0 })
            if (std::abs(theta - axis) < 0.0001) {
                theta -= 0.0001;
                break;
            }
        const int N = static_cast<int>(Round((p / 2.0) * std::abs(std::cos(theta))));
        const int H = static_cast<int>(Round((p / 2.0) * std::abs(std::sin(theta))));
        const int escapement = static_cast<int>(Round(theta * 1800.0 / M_PI - 900.0));
        const double cx = work.advance(run.text[u]);
        const double cy = o.fontHeight_;
        const double d1 = std::sqrt((l / 2) * (l / 2) + (w[u] / 2.0) * (w[u] / 2.0));
        const double d2 = std::sqrt((cx / 2) * (cx / 2) + (cy / 2) * (cy / 2));
        const double phi = w[u] == 0 ? 0.0 : std::atan(l / w[u]);
        const int dx = static_cast<int>(Round(std::cos(-phi) * d1 - std::cos(theta - M_PI / 2 - phi) * d2));
        const int dy = static_cast<int>(Round(std::sin(-phi) * d1 - std::sin(theta - M_PI / 2 - phi) * d2));
        const int X = p / 2 + wMax / 2 + dx - (run.wide[u] ? w[u] / 2 : w[u] / 3);
        const int Y = p / 2 - dy;
        QPoint at;
        if (theta < M_PI / 2)
            at = QPoint(X + N, Y - H);
        else if (theta < M_PI)
            at = QPoint(X - N, Y - H);
        else if (theta < 3 * M_PI / 2)
            at = QPoint(X - N, Y + H);
        else
            at = QPoint(X + N, Y + H);

        // The character's cell turns about its top-left corner by the escapement,
        // counter-clockwise on the page. Turned characters are drawn as outlines filled through
        // the transform: the glyph cache of turned text mixes up the angles of successive
        // characters when anti-aliasing is off.
        QTransform turn;
        turn.translate(at.x(), at.y());
        turn.rotate(-escapement / 10.0);
        QPainterPath glyph;
        glyph.addText(QPointF(0, work.ascent()), work.font, run.text[u]);
        if (ownUnderline())
            glyph.addRect(QRectF(0, work.ascent() + work.fm.underlinePos(), cx, std::max(1, work.fm.lineWidth())));
        if (o.outlineTextout_ == 1) {
            outline.addPath(turn.map(glyph));
        } else {
            painter->save();
            painter->setRenderHint(QPainter::Antialiasing, !printer);
            painter->fillPath(turn.map(glyph), colorOf(o.bkColor_));
            painter->restore();
        }
        theta -= (a[u] + a[u + 1]) / 2.0;
        if (theta < 0)
            theta += twoPi;
    }
    return finish();
}

QImage RenderScreenFontText(TOAText& text, bool draw, QSize& size)
{
    TextRenderer renderer(text, draw);
    QImage picture = renderer.render();
    size = renderer.size();
    return picture;
}

void MeasureScreenFontLength(TOAText& text)
{
    TextRenderer(text).measureLength();
}

} // namespace korvel
