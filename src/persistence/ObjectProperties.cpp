#include "persistence/ObjectProperties.h"

#include "document/CodePage.h"
#include "document/OAEllipse.h"
#include "document/OAHVLine.h"
#include "document/OAImage.h"
#include "document/OAInvertArea.h"
#include "document/OALabel.h"
#include "document/OALine.h"
#include "document/OARectangle.h"
#include "document/Rounding.h"
#include "document/Units.h"
#include "persistence/BarcodeProperties.h"

#include <cmath>

namespace korvel {

QColor ColorFromValue(std::int32_t v)
{
    return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
}

std::int32_t ValueFromColor(const QColor& c)
{
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

namespace {

QByteArray nameBytes(const TOAControl& o)
{
    return o.Name.toLatin1();
}

void common(PropertyMap& m, const TOAControl& o, bool withVariable)
{
    m["Angle"] = o.Angle();
    m["Name"] = nameBytes(o);
    m["Zoom"] = o.Zoom();
    m["NotPrint"] = static_cast<int>(o.flags[0]);
    if (withVariable) {
        m["VarName"] = o.VarName;
        m["VarType"] = o.VarType;
    }
}

PropertyMap textProperties(const TOAText& t)
{
    PropertyMap m;
    common(m, t, true);
    m["BkColor"] = t.BkColor();
    m["Invert"] = t.Invert() ? 1 : 0;
    m["AbsLeft"] = t.AbsLeft();
    m["AbsTop"] = t.AbsTop();
    m["PrnDPI"] = t.PrnDPI();
    m["PrnFontIdx"] = t.PrnFontIdx();
    m["Text"] = t.Text();
    m["FontName"] = CodePage::document().fromUnicode(t.TextFont().Name);
    m["FontColor"] = t.TextFont().Color;
    m["FontStyle"] = static_cast<int>(t.TextFont().Style);
    m["TextWidthRate"] = t.TextWidthRate();
    m["FontCharset"] = static_cast<int>(t.TextFont().Charset);
    m["TextAlign"] = t.TextAlign();
    m["RoundText"] = t.RoundText();
    m["TextCharExtra"] = t.TextCharExtra();
    m["TextLineExtra"] = t.TextLineExtra();
    m["OutlineTextout"] = t.OutlineTextout();
    m["FontSizePt"] = t.FontSizePt();
    m["DragWidth"] = t.DragWidth();
    m["DragHeight"] = t.DragHeight();
    m["PrnFntZoomX"] = t.PrnFntZoomX();
    m["PrnFntZoomY"] = t.PrnFntZoomY();
    m["UsePrnFont"] = t.UsePrnFont();
    return m;
}

PropertyMap imageProperties(const TOAImage& i)
{
    PropertyMap m;
    common(m, i, false);
    m["Horizontal"] = i.Horizontal() ? 1 : 0;
    m["Invert"] = i.Invert() ? 1 : 0;
    m["BW"] = i.BW();
    m["Image"] = i.OrgPicture();
    m["AbsLeft"] = i.AbsLeft();
    m["AbsTop"] = i.AbsTop();
    m["AbsWidth"] = i.AbsWidth();
    m["AbsHeight"] = i.AbsHeight();
    m["Vertical"] = i.Vertical() ? 1 : 0;
    m["HeightWidthRatio"] = i.HeightWidthRatio();
    m["OriginalSize"] = i.OriginalSize();
    m["Ctr"] = i.Ctr();
    m["Brt"] = i.Brt();
    m["Red"] = i.Red();
    m["Green"] = i.Green();
    m["Blue"] = i.Blue();
    m["OrgWidth"] = i.OrgWidth;
    m["OrgHeight"] = i.OrgHeight;
    m["DragWidth"] = i.DragWidth();
    m["DragHeight"] = i.DragHeight();
    return m;
}

PropertyMap lineProperties(const TOALineShape& l)
{
    PropertyMap m;
    common(m, l, false);
    m["PenColor"] = ValueFromColor(l.Pen.color());
    m["LineWidth"] = l.LineWidth();
    m["Style"] = l.Style();
    m["MMLineWidth"] = l.MMLineWidth();
    m["AbsStartX"] = l.AbsStartX();
    m["AbsStartY"] = l.AbsStartY();
    m["AbsEndX"] = l.AbsEndX();
    m["AbsEndY"] = l.AbsEndY();
    return m;
}

void boxProperties(PropertyMap& m, const TOABoxShape& b)
{
    common(m, b, false);
    m["AbsLeft"] = b.AbsLeft();
    m["AbsTop"] = b.AbsTop();
    m["AbsWidth"] = b.AbsWidth();
    m["AbsHeight"] = b.AbsHeight();
}

template <typename Shape>
PropertyMap filledShapeProperties(const Shape& s)
{
    PropertyMap m;
    boxProperties(m, s);
    m["BrushColor"] = ValueFromColor(s.Brush.color());
    m["Color"] = ValueFromColor(s.Color());
    m["LineWidth"] = s.LineWidth();
    m["MMLineWidth"] = s.MMLineWidth();
    m["Fill"] = s.Fill();
    return m;
}

int intOf(const PropertyMap& m, const char* key, int fallback = 0)
{
    const auto it = m.constFind(QString::fromLatin1(key));
    return it == m.constEnd() ? fallback : it->toInt();
}

double doubleOf(const PropertyMap& m, const char* key, double fallback = 0)
{
    const auto it = m.constFind(QString::fromLatin1(key));
    if (it == m.constEnd())
        return fallback;
    const double v = it->toDouble();
    return std::isfinite(v) ? v : fallback;
}

QByteArray bytesOf(const PropertyMap& m, const char* key)
{
    return m.value(QString::fromLatin1(key)).toByteArray();
}

bool has(const PropertyMap& m, const char* key)
{
    return m.contains(QString::fromLatin1(key));
}

/// The two zoom factors of a conversion.
struct Zooms {
    double z1;
    double z2;
};

Zooms zoomsFor(const PropertyMap& m, const RecordContext& ctx)
{
    const double doc = ctx.documentZoom / 100.0;
    if (!has(m, "Zoom"))
        return {doc, doc};
    double rec = doubleOf(m, "Zoom", doc);
    // A damaged zoom would scale everything to nothing or to infinity.
    if (!(rec >= 0.1 && rec <= 10.0))
        rec = doc;
    return ctx.fileReading ? Zooms{doc, rec} : Zooms{rec, doc};
}

int scaled(int px, double z)
{
    return static_cast<int>(Round(px * z));
}

void startObject(TOAControl& o, const PropertyMap& m, double z1)
{
    o.setZoom(z1);
    o.setVirReadPr(intOf(m, "NotPrint"));
}

void finishObject(TOAControl& o, const PropertyMap& m, double z2)
{
    o.setZoom(z2);
    o.Name = QString::fromLatin1(bytesOf(m, "Name"));
}

int normalAngle(int a)
{
    a %= 360;
    if (a < 0)
        a += 360;
    return a - a % 90;
}

std::unique_ptr<TOAControl> makeText(const PropertyMap& m, const RecordContext& ctx)
{
    const Zooms z = zoomsFor(m, ctx);
    auto t = std::make_unique<TOAText>(QString::fromLatin1(bytesOf(m, "Name")));
    t->setUpdatesBlocked(true);
    startObject(*t, m, z.z1);
    t->setAngle(normalAngle(intOf(m, "Angle")));
    t->SetInvert(intOf(m, "Invert") != 0);
    if (has(m, "AbsLeft")) {
        t->SetAbsLeft(doubleOf(m, "AbsLeft"));
        t->SetAbsTop(doubleOf(m, "AbsTop"));
    } else {
        t->SetVirLeft(scaled(intOf(m, "LeftPx"), z.z1));
        t->SetVirTop(scaled(intOf(m, "TopPx"), z.z1));
    }
    t->SetPrnDPI(intOf(m, "PrnDPI", 203) == 300 ? 300 : 203);
    t->SetPrnFontIdx(intOf(m, "PrnFontIdx", 1));
    t->VarName = bytesOf(m, "VarName");
    t->VarType = intOf(m, "VarType");
    TTextFont font;
    font.Name = CodePage::document().toUnicode(bytesOf(m, "FontName"));
    if (font.Name.isEmpty())
        font.Name = QStringLiteral("Arial");
    font.Color = intOf(m, "FontColor");
    font.Style = static_cast<std::uint8_t>(intOf(m, "FontStyle"));
    font.Charset = static_cast<std::uint8_t>(intOf(m, "FontCharset"));
    t->SetTextFont(font);
    t->SetTextWidthRate(intOf(m, "TextWidthRate", 100));
    t->SetTextAlign(intOf(m, "TextAlign"));
    t->SetRoundText(intOf(m, "RoundText"));
    t->SetTextCharExtra(intOf(m, "TextCharExtra"));
    t->SetTextLineExtra(intOf(m, "TextLineExtra"));
    t->SetOutlineTextout(intOf(m, "OutlineTextout"));
    if (has(m, "FontSizePt"))
        t->SetFontSizePt(intOf(m, "FontSizePt"));
    else if (has(m, "TextFontSize"))
        t->SetTextFontSize(intOf(m, "TextFontSize"));
    if (has(m, "DragWidth")) {
        t->SetDragWidth(intOf(m, "DragWidth"));
        t->SetDragHeight(intOf(m, "DragHeight"));
    }
    t->SetPrnFntZoomX(intOf(m, "PrnFntZoomX", 1));
    t->SetPrnFntZoomY(intOf(m, "PrnFntZoomY", 1));
    t->SetUsePrnFont(intOf(m, "UsePrnFont"));
    t->SetText(bytesOf(m, "Text"));
    finishObject(*t, m, z.z2);
    t->setUpdatesBlocked(false);
    return t;
}

std::unique_ptr<TOAControl> makeImage(const PropertyMap& m, const RecordContext& ctx, QString* error)
{
    const Zooms z = zoomsFor(m, ctx);
    auto i = std::make_unique<TOAImage>();
    i->setZoom(ctx.documentZoom / 100.0);
    const QByteArray picture = bytesOf(m, "Image");
    if (!picture.isEmpty() && i->SetOrgPicture(picture) != PictureError::None) {
        if (error)
            *error = QStringLiteral("its picture cannot be decoded");
        return nullptr;
    }
    startObject(*i, m, z.z1);
    i->setAngle(normalAngle(intOf(m, "Angle")));
    i->setHorizontal(intOf(m, "Horizontal") != 0);
    i->setInvert(intOf(m, "Invert") != 0);
    i->setBW(intOf(m, "BW"));
    if (has(m, "AbsLeft")) {
        i->setAbsLeft(doubleOf(m, "AbsLeft"));
        i->setAbsTop(doubleOf(m, "AbsTop"));
        i->setAbsWidth(doubleOf(m, "AbsWidth"));
        i->setAbsHeight(doubleOf(m, "AbsHeight"));
    } else {
        i->setVirLeft(scaled(intOf(m, "LeftPx"), z.z1));
        i->setVirTop(scaled(intOf(m, "TopPx"), z.z1));
        i->setVirWidth(scaled(intOf(m, "WidthPx"), z.z1));
        i->setVirHeight(scaled(intOf(m, "HeightPx"), z.z1));
    }
    i->setVertical(intOf(m, "Vertical") != 0);
    i->setHeightWidthRatio(intOf(m, "HeightWidthRatio"));
    i->setOriginalSize(intOf(m, "OriginalSize"));
    i->setCtr(intOf(m, "Ctr"));
    i->setBrt(intOf(m, "Brt"));
    i->setRed(intOf(m, "Red"));
    i->setGreen(intOf(m, "Green"));
    i->setBlue(intOf(m, "Blue"));
    if (has(m, "OrgWidth")) {
        i->OrgWidth = intOf(m, "OrgWidth");
        i->OrgHeight = intOf(m, "OrgHeight");
    }
    // Pictures of the legacy layout have no drag size: it is the control's size.
    i->storeDragSize(has(m, "DragWidth") ? intOf(m, "DragWidth") : i->VirWidth(),
                     has(m, "DragHeight") ? intOf(m, "DragHeight") : i->VirHeight());
    finishObject(*i, m, z.z2);
    return i;
}

std::unique_ptr<TOAControl> makeLine(int kind, const PropertyMap& m, const RecordContext& ctx)
{
    const Zooms z = zoomsFor(m, ctx);
    std::unique_ptr<TOALineShape> l;
    if (kind == 7)
        l = std::make_unique<TOAHVLine>();
    else
        l = std::make_unique<TOALine>();
    // Every end-point setter would lay the line out and draw it again, through states where
    // the other end still lies at the origin: drawn once at the end instead.
    l->setUpdatesBlocked(true);
    startObject(*l, m, z.z1);
    l->Pen.setColor(ColorFromValue(intOf(m, "PenColor")));
    l->setLineWidth(std::max(1, intOf(m, "LineWidth", 1)));
    l->setStyle(intOf(m, "Style"));
    l->setMMLineWidth(doubleOf(m, "MMLineWidth"));
    if (has(m, "AbsStartX")) {
        l->setAbsStartX(doubleOf(m, "AbsStartX"));
        l->setAbsStartY(doubleOf(m, "AbsStartY"));
        l->setAbsEndX(doubleOf(m, "AbsEndX"));
        l->setAbsEndY(doubleOf(m, "AbsEndY"));
    } else {
        l->setPoints(QPoint(intOf(m, "StartXPx"), intOf(m, "StartYPx")), QPoint(intOf(m, "EndXPx"), intOf(m, "EndYPx")));
    }
    finishObject(*l, m, z.z2);
    l->setUpdatesBlocked(false);
    return l;
}

template <typename Shape>
std::unique_ptr<TOAControl> makeBox(int kind, const PropertyMap& m, const RecordContext& ctx)
{
    const Zooms z = zoomsFor(m, ctx);
    auto s = std::make_unique<Shape>();
    startObject(*s, m, z.z1);
    if constexpr (!std::is_same_v<Shape, TOAInvertArea>) {
        // Before 3202 the colour at offset 8 was the pen's; from then on it is Color with a Fill.
        if (has(m, "Color")) {
            s->setColor(ColorFromValue(intOf(m, "Color")));
            s->setFill(intOf(m, "Fill"));
        } else {
            s->Pen.setColor(ColorFromValue(intOf(m, "PenColor")));
        }
        s->setLineWidth(std::max(1, intOf(m, "LineWidth", 1)));
        s->setMMLineWidth(doubleOf(m, "MMLineWidth"));
    }
    if (has(m, "AbsLeft")) {
        s->setAbsLeft(doubleOf(m, "AbsLeft"));
        s->setAbsTop(doubleOf(m, "AbsTop"));
        s->setAbsWidth(doubleOf(m, "AbsWidth"));
        s->setAbsHeight(doubleOf(m, "AbsHeight"));
    } else if (has(m, "LeftPx")) {
        // Version-300 rectangles: pixels at 100 %, converted without the three-decimal rule.
        auto mm = [](int px) { return px * 254.0 / ScreenPPI / 10.0; };
        s->setAbsLeft(mm(intOf(m, "LeftPx")));
        s->setAbsTop(mm(intOf(m, "TopPx")));
        s->setAbsWidth(mm(intOf(m, "WidthPx")));
        s->setAbsHeight(mm(intOf(m, "HeightPx")));
    } else if (has(m, "LeftMMPx")) {
        s->setAbsLeft(PixelsToMM(intOf(m, "LeftMMPx"), 1.0));
        s->setAbsTop(PixelsToMM(intOf(m, "TopMMPx"), 1.0));
        s->setAbsWidth(PixelsToMM(intOf(m, "WidthMMPx"), 1.0));
        s->setAbsHeight(PixelsToMM(intOf(m, "HeightMMPx"), 1.0));
    }
    // Boxes turn in their own setters; a read angle is stored, not applied as a turn.
    s->AgFlag = 0;
    s->setAngle(normalAngle(intOf(m, "Angle")));
    (void)kind;
    finishObject(*s, m, z.z2);
    return s;
}

} // namespace

PropertyMap PropertiesOf(const TOAControl& o)
{
    switch (o.kind()) {
    case ObjectKind::Text: return textProperties(static_cast<const TOAText&>(o));
    case ObjectKind::Image: return imageProperties(static_cast<const TOAImage&>(o));
    case ObjectKind::Line:
    case ObjectKind::HVLine: return lineProperties(static_cast<const TOALineShape&>(o));
    case ObjectKind::Rectangle: return filledShapeProperties(static_cast<const TOARectangle&>(o));
    case ObjectKind::Ellipse: return filledShapeProperties(static_cast<const TOAEllipse&>(o));
    case ObjectKind::InvertArea: {
        PropertyMap m;
        boxProperties(m, static_cast<const TOABoxShape&>(o));
        return m;
    }
    case ObjectKind::BarCode: return BarcodeProperties(o);
    }
    return {};
}

namespace {

/// Damaged files can hold any number where a size belongs; an object that big cannot be drawn
/// (its picture could not even be allocated), so such records are refused.
bool plausibleGeometry(const PropertyMap& m, QString* error, bool millimetresOnly = false)
{
    constexpr double maxMM = 2000.0;   // far beyond any label stock
    constexpr int maxPixels = 20000;   // 2 m at 96 ppi, before zoom
    constexpr int maxSmall = 1000;     // line widths, drag sizes, font sizes
    static const char* const mmKeys[] = {"AbsLeft", "AbsTop", "AbsWidth", "AbsHeight", "AbsStartX", "AbsStartY",
                                         "AbsEndX", "AbsEndY", "MMLineWidth", "LabelDistance"};
    static const char* const pxKeys[] = {"LeftPx", "TopPx", "WidthPx", "HeightPx", "StartXPx", "StartYPx", "EndXPx",
                                         "EndYPx", "LeftMMPx", "TopMMPx", "WidthMMPx", "HeightMMPx", "LeftPxUnscaled",
                                         "TopPxUnscaled", "BarHeight", "BarWidth", "DragWidth", "DragHeight"};
    static const char* const smallKeys[] = {"LineWidth", "FontSizePt", "TextFontSize", "FontSize", "PrnFntZoomX",
                                            "PrnFntZoomY", "TextCharExtra", "TextLineExtra", "BarNarrow", "BarWide",
                                            "PDFBaseWidth", "PDFBaseHeight", "TextWidthRate"};
    auto bad = [&](const char* key) {
        if (error)
            *error = QStringLiteral("its %1 is out of range").arg(QString::fromLatin1(key));
        return false;
    };
    for (const char* k : mmKeys) {
        const auto it = m.constFind(QString::fromLatin1(k));
        if (it != m.constEnd() && !(std::abs(it->toDouble()) <= maxMM))
            return bad(k);
    }
    if (millimetresOnly)
        return true;
    for (const char* k : pxKeys) {
        const auto it = m.constFind(QString::fromLatin1(k));
        if (it != m.constEnd() && std::abs(it->toLongLong()) > maxPixels)
            return bad(k);
    }
    for (const char* k : smallKeys) {
        const auto it = m.constFind(QString::fromLatin1(k));
        if (it != m.constEnd() && std::abs(it->toLongLong()) > maxSmall)
            return bad(k);
    }
    return true;
}

} // namespace

namespace {

std::unique_ptr<TOAControl> makeObject(int kind, const PropertyMap& m, const RecordContext& ctx, QString* error)
{
    switch (kind) {
    case 1: return makeText(m, ctx);
    case 2: {
        const Zooms z = zoomsFor(m, ctx);
        return BarcodeFromProperties(m, ctx, z.z1, z.z2, error);
    }
    case 3: return makeImage(m, ctx, error);
    case 4:
    case 7: return makeLine(kind, m, ctx);
    case 5: return makeBox<TOARectangle>(kind, m, ctx);
    case 6: return makeBox<TOAEllipse>(kind, m, ctx);
    case 8: return makeBox<TOAInvertArea>(kind, m, ctx);
    }
    if (error)
        *error = QStringLiteral("unknown object kind %1").arg(kind);
    return nullptr;
}

} // namespace

std::unique_ptr<TOAControl> ObjectFromProperties(int kind, const PropertyMap& m, const RecordContext& ctx, QString* error)
{
    if (!plausibleGeometry(m, error))
        return nullptr;
    std::unique_ptr<TOAControl> object = makeObject(kind, m, ctx, error);
    // Older records give positions in pixels at some zoom; in millimetres (as every file is
    // written) they must still be within range, or the next save would write a file whose
    // object the next opening refuses.
    if (object && !plausibleGeometry(PropertiesOf(*object), error, true))
        return nullptr;
    return object;
}

} // namespace korvel
