#include "editor/ToolIcons.h"

#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>
#include <functional>

namespace korvel {

namespace {

constexpr int S = 24;
const QColor Ink(0x30, 0x36, 0x40);
const QColor Accent(0x1E, 0x6F, 0xC8);
const QColor Paper(0xFF, 0xFF, 0xFF);

void page(QPainter& p)
{
    QPainterPath path;
    path.moveTo(5, 2.5);
    path.lineTo(15, 2.5);
    path.lineTo(19.5, 7);
    path.lineTo(19.5, 21.5);
    path.lineTo(5, 21.5);
    path.closeSubpath();
    p.setPen(QPen(Ink, 1.2));
    p.setBrush(Paper);
    p.drawPath(path);
    p.drawLine(QPointF(15, 2.5), QPointF(15, 7));
    p.drawLine(QPointF(15, 7), QPointF(19.5, 7));
}

void arrow(QPainter& p, QPointF from, QPointF to)
{
    p.setPen(QPen(Accent, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    const QPointF d = to - from;
    const double len = std::hypot(d.x(), d.y());
    if (len <= 0)
        return;
    const QPointF u = d / len;
    const QPointF n(-u.y(), u.x());
    p.drawLine(to, to - u * 4 + n * 3.5);
    p.drawLine(to, to - u * 4 - n * 3.5);
}

void bars(QPainter& p, QRectF r)
{
    const int widths[] = { 1, 2, 1, 1, 3, 1, 2, 1, 1, 2 };
    double x = r.left();
    bool black = true;
    for (int w : widths) {
        if (x + w > r.right())
            break;
        if (black)
            p.fillRect(QRectF(x, r.top(), w, r.height()), Ink);
        x += w;
        black = !black;
    }
}

void letter(QPainter& p, const QString& text, const QColor& color, int pixel = 15, bool bold = true)
{
    QFont f = p.font();
    f.setPixelSize(pixel);
    f.setBold(bold);
    p.setFont(f);
    p.setPen(color);
    p.drawText(QRectF(0, 0, S, S), Qt::AlignCenter, text);
}

void alignLines(QPainter& p, bool vertical, int where)
{
    // where: 0 start, 1 centre, 2 end of the two blocks
    p.setPen(QPen(Accent, 1.5));
    const double guide = where == 0 ? 4 : where == 1 ? 12 : 20;
    if (!vertical) {
        p.drawLine(QPointF(guide, 2), QPointF(guide, 22));
        const double w1 = 14, w2 = 9;
        auto left = [&](double w) { return where == 0 ? 4.0 : where == 1 ? 12 - w / 2 : 20 - w; };
        p.fillRect(QRectF(left(w1), 5, w1, 5), Ink);
        p.fillRect(QRectF(left(w2), 14, w2, 5), Ink);
    } else {
        p.drawLine(QPointF(2, guide), QPointF(22, guide));
        const double h1 = 14, h2 = 9;
        auto top = [&](double h) { return where == 0 ? 4.0 : where == 1 ? 12 - h / 2 : 20 - h; };
        p.fillRect(QRectF(5, top(h1), 5, h1), Ink);
        p.fillRect(QRectF(14, top(h2), 5, h2), Ink);
    }
}

using Painter = std::function<void(QPainter&)>;

const QHash<QString, Painter>& painters()
{
    static const QHash<QString, Painter> table = {
        { "new",
            [](QPainter& p) {
                page(p);
                letter(p, "+", Accent, 14);
            } },
        { "open",
            [](QPainter& p) {
                p.setPen(QPen(Ink, 1.2));
                p.setBrush(QColor(0xF2, 0xC1, 0x4E));
                p.drawRect(QRectF(2.5, 7.5, 19, 13));
                p.drawRect(QRectF(2.5, 5, 8, 3));
            } },
        { "save",
            [](QPainter& p) {
                p.setPen(QPen(Ink, 1.2));
                p.setBrush(Accent);
                p.drawRoundedRect(QRectF(3, 3, 18, 18), 2, 2);
                p.setBrush(Paper);
                p.drawRect(QRectF(7, 3, 10, 6));
                p.drawRect(QRectF(6, 13, 12, 8));
            } },
        { "print",
            [](QPainter& p) {
                p.setPen(QPen(Ink, 1.2));
                p.setBrush(Paper);
                p.drawRect(QRectF(7, 3, 10, 6));
                p.setBrush(QColor(0x9A, 0xA4, 0xB0));
                p.drawRoundedRect(QRectF(3, 9, 18, 8), 2, 2);
                p.setBrush(Paper);
                p.drawRect(QRectF(7, 14, 10, 7));
            } },
        { "cut",
            [](QPainter& p) {
                p.setPen(QPen(Ink, 1.5));
                p.drawLine(QPointF(7, 3), QPointF(15, 15));
                p.drawLine(QPointF(17, 3), QPointF(9, 15));
                p.drawEllipse(QPointF(7.5, 18), 3, 3);
                p.drawEllipse(QPointF(16.5, 18), 3, 3);
            } },
        { "copy",
            [](QPainter& p) {
                p.setPen(QPen(Ink, 1.2));
                p.setBrush(Paper);
                p.drawRect(QRectF(4, 3, 11, 13));
                p.drawRect(QRectF(9, 8, 11, 13));
            } },
        { "paste",
            [](QPainter& p) {
                p.setPen(QPen(Ink, 1.2));
                p.setBrush(QColor(0xC8, 0x9B, 0x5A));
                p.drawRoundedRect(QRectF(4, 4, 14, 17), 2, 2);
                p.setBrush(Paper);
                p.drawRect(QRectF(10, 9, 10, 12));
            } },
        { "undo", [](QPainter& p) { arrow(p, QPointF(19, 14), QPointF(5, 14)); } },
        { "redo", [](QPainter& p) { arrow(p, QPointF(5, 14), QPointF(19, 14)); } },
        { "zoomin",
            [](QPainter& p) {
                p.setPen(QPen(Ink, 2));
                p.drawEllipse(QPointF(10, 10), 6, 6);
                p.drawLine(QPointF(14.5, 14.5), QPointF(20, 20));
                p.setPen(QPen(Accent, 1.8));
                p.drawLine(QPointF(7, 10), QPointF(13, 10));
                p.drawLine(QPointF(10, 7), QPointF(10, 13));
            } },
        { "zoomout",
            [](QPainter& p) {
                p.setPen(QPen(Ink, 2));
                p.drawEllipse(QPointF(10, 10), 6, 6);
                p.drawLine(QPointF(14.5, 14.5), QPointF(20, 20));
                p.setPen(QPen(Accent, 1.8));
                p.drawLine(QPointF(7, 10), QPointF(13, 10));
            } },
        { "actual", [](QPainter& p) { letter(p, "1:1", Ink, 10); } },
        { "fit",
            [](QPainter& p) {
                p.setPen(QPen(Ink, 1.2));
                p.drawRect(QRectF(3, 5, 18, 14));
                arrow(p, QPointF(12, 12), QPointF(19, 7));
            } },
        { "arrow",
            [](QPainter& p) {
                QPainterPath path;
                path.moveTo(7, 3);
                path.lineTo(7, 19);
                path.lineTo(11, 15);
                path.lineTo(14, 21);
                path.lineTo(16, 20);
                path.lineTo(13, 14);
                path.lineTo(18, 14);
                path.closeSubpath();
                p.setPen(QPen(Ink, 1));
                p.setBrush(Paper);
                p.drawPath(path);
            } },
        { "text", [](QPainter& p) { letter(p, "A", Ink, 18); } },
        { "barcode", [](QPainter& p) { bars(p, QRectF(4, 4, 16, 16)); } },
        { "image",
            [](QPainter& p) {
                p.setPen(QPen(Ink, 1.2));
                p.setBrush(QColor(0xD8, 0xEC, 0xFF));
                p.drawRect(QRectF(3, 5, 18, 14));
                QPainterPath hill;
                hill.moveTo(4, 18);
                hill.lineTo(10, 11);
                hill.lineTo(14, 15);
                hill.lineTo(16, 13);
                hill.lineTo(20, 18);
                hill.closeSubpath();
                p.setBrush(QColor(0x4C, 0x9A, 0x4C));
                p.setPen(Qt::NoPen);
                p.drawPath(hill);
            } },
        { "line",
            [](QPainter& p) {
                p.setPen(QPen(Ink, 2, Qt::SolidLine, Qt::RoundCap));
                p.drawLine(QPointF(4, 20), QPointF(20, 4));
            } },
        { "hvline",
            [](QPainter& p) {
                p.setPen(QPen(Ink, 2, Qt::SolidLine, Qt::FlatCap));
                p.drawLine(QPointF(3, 12), QPointF(21, 12));
                p.drawLine(QPointF(12, 3), QPointF(12, 21));
            } },
        { "rect",
            [](QPainter& p) {
                p.setPen(QPen(Ink, 2));
                p.drawRect(QRectF(4, 6, 16, 12));
            } },
        { "ellipse",
            [](QPainter& p) {
                p.setPen(QPen(Ink, 2));
                p.drawEllipse(QRectF(3, 6, 18, 12));
            } },
        { "inverse",
            [](QPainter& p) {
                p.fillRect(QRectF(3, 5, 18, 14), Ink);
                letter(p, "A", Paper, 13);
            } },
        { "alignleft", [](QPainter& p) { alignLines(p, false, 0); } },
        { "alignhcenter", [](QPainter& p) { alignLines(p, false, 1); } },
        { "alignright", [](QPainter& p) { alignLines(p, false, 2); } },
        { "aligntop", [](QPainter& p) { alignLines(p, true, 0); } },
        { "alignvcenter", [](QPainter& p) { alignLines(p, true, 1); } },
        { "alignbottom", [](QPainter& p) { alignLines(p, true, 2); } },
        { "spacehor",
            [](QPainter& p) {
                for (int x : { 3, 10, 17 })
                    p.fillRect(QRectF(x, 7, 4, 10), Ink);
            } },
        { "spacever",
            [](QPainter& p) {
                for (int y : { 3, 10, 17 })
                    p.fillRect(QRectF(7, y, 10, 4), Ink);
            } },
        { "centerhor",
            [](QPainter& p) {
                p.setPen(QPen(Ink, 1.2));
                p.drawRect(QRectF(2.5, 4.5, 19, 15));
                p.fillRect(QRectF(8, 9, 8, 6), Accent);
            } },
        { "centerver",
            [](QPainter& p) {
                p.setPen(QPen(Ink, 1.2));
                p.drawRect(QRectF(4.5, 2.5, 15, 19));
                p.fillRect(QRectF(9, 8, 6, 8), Accent);
            } },
        { "rotateright",
            [](QPainter& p) {
                p.setPen(QPen(Accent, 2));
                p.drawArc(QRectF(5, 5, 14, 14), 90 * 16, 270 * 16);
                arrow(p, QPointF(12, 5), QPointF(16, 5));
            } },
        { "rotateleft",
            [](QPainter& p) {
                p.setPen(QPen(Accent, 2));
                p.drawArc(QRectF(5, 5, 14, 14), 90 * 16, -270 * 16);
                arrow(p, QPointF(12, 5), QPointF(8, 5));
            } },
        { "database",
            [](QPainter& p) {
                p.setPen(QPen(Ink, 1.2));
                p.setBrush(QColor(0xE7, 0xD3, 0x9C));
                p.drawRect(QRectF(5, 6, 14, 12));
                p.drawEllipse(QRectF(5, 15, 14, 6));
                p.drawEllipse(QRectF(5, 3, 14, 6));
            } },
        { "locate", [](QPainter& p) { letter(p, "#", Ink, 16); } },
        { "disconnect",
            [](QPainter& p) {
                p.setPen(QPen(QColor(0xC0, 0x30, 0x30), 2.2));
                p.drawLine(QPointF(5, 5), QPointF(19, 19));
                p.drawLine(QPointF(19, 5), QPointF(5, 19));
            } },
        { "first", [](QPainter& p) { letter(p, "|◀", Ink, 12); } },
        { "prior", [](QPainter& p) { letter(p, "◀", Ink, 13); } },
        { "next", [](QPainter& p) { letter(p, "▶", Ink, 13); } },
        { "last", [](QPainter& p) { letter(p, "▶|", Ink, 12); } },
    };
    return table;
}

} // namespace

QPixmap DisabledPixmap(const QPixmap& pixmap)
{
    // The style's own disabled picture keeps most of the colour and contrast of these small
    // line drawings; a pale grey makes an unavailable command plain to see.
    QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = line[x];
            const int grey = 128 + qGray(c) / 2;
            line[x] = qRgba(grey, grey, grey, qAlpha(c) * 2 / 5);
        }
    }
    return QPixmap::fromImage(image);
}

QIcon ToolIcon(const QString& name)
{
    static QHash<QString, QIcon> cache;
    if (auto it = cache.constFind(name); it != cache.constEnd())
        return *it;
    const Painter painter = painters().value(name);
    if (!painter)
        return {};
    QPixmap pixmap(S, S);
    pixmap.fill(Qt::transparent);
    {
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        painter(p);
    }
    QIcon icon(pixmap);
    icon.addPixmap(DisabledPixmap(pixmap), QIcon::Disabled);
    cache.insert(name, icon);
    return icon;
}

} // namespace korvel
