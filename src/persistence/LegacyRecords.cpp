#include "persistence/LegacyRecords.h"

#include "document/Rounding.h"
#include "document/Units.h"

#include <QPointF>

#include <algorithm>
#include <cmath>
#include <limits>

namespace korvel {

namespace {

int legacyVarType(int kind)
{
    switch (kind) {
    case 1: return 1;
    case 2: return 2;
    case 3: return 5;
    case 5: return 4;
    default: return 0;
    }
}

bool poolItem(const PoolReader& pool, const FixedRecord& r, int offsetAt, int lengthAt, int limit, QByteArray& out,
              QString* error)
{
    const auto item = pool.item(r.i32(offsetAt), r.i32(lengthAt), limit);
    if (!item) {
        if (error)
            *error = QStringLiteral("it refers to data outside the string pool");
        return false;
    }
    out = *item;
    return true;
}

// Damaged records hold any number. Products are formed wide and kept within int, so that the
// plausibility check of the object reader refuses them rather than seeing a wrapped-round value.
int keptInInt(double v)
{
    if (std::isnan(v))
        return 0;
    return static_cast<int>(Round(std::clamp<double>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max())));
}

int keptInInt(qint64 v)
{
    return static_cast<int>(std::clamp<qint64>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

void line(const FixedRecord& r, const RecordContext& ctx, PropertyMap& m, bool hv)
{
    const int zoom = ctx.documentZoom;
    auto px = [&](double v) { return keptInInt(v * zoom / 100.0); };
    const int w = r.i32(24);
    m["Angle"] = r.i32(0);
    m["PenColor"] = r.i32(4);
    m["Name"] = r.str(8, 15);
    if (hv) {
        m["LineWidth"] = w;
        m["MMLineWidth"] = static_cast<double>(Round(ScreenPPI * (w * 10.0) / 254.0));
    } else {
        m["LineWidth"] = keptInInt(static_cast<double>(w) * zoom / 100.0);
        m["MMLineWidth"] = static_cast<double>(Round(ScreenPPI * (zoom * (w * 10.0) / 100.0) / 254.0));
    }
    const int direction = r.u8(28);
    const double x = r.i32(32), y = r.i32(36), dx = r.i32(40), dy = r.i32(44);
    QPointF start(x, y), end(x, y);
    if (!hv && direction == 4) {
        end = QPointF(x + dx, y + dy);
    } else if (!hv && direction == 5) {
        start = QPointF(x + dx, y);
        end = QPointF(x, y + dy);
    } else if (hv && direction == 0) {
        end = QPointF(x, y + dy);
    } else if (hv && direction == 2) {
        end = QPointF(x + dx, y);
    }
    m["StartXPx"] = px(start.x());
    m["StartYPx"] = px(start.y());
    m["EndXPx"] = px(end.x());
    m["EndYPx"] = px(end.y());
}

} // namespace

bool ReadLegacyRecord(int kind, const FixedRecord& r, const PoolReader& pool, const RecordContext& ctx, PropertyMap& m,
                      int& objectKind, QString* error)
{
    switch (kind) {
    case 1:
    case 7:
        objectKind = 4; // both become free lines
        line(r, ctx, m, kind == 7);
        return true;
    case 2:
    case 3:
        objectKind = kind == 2 ? 5 : 6;
        m["Angle"] = r.i32(0);
        m["PenColor"] = r.i32(8);
        m["Name"] = r.str(12, 15);
        m["LineWidth"] = r.i32(28);
        m["LeftPx"] = r.i32(32);
        m["TopPx"] = r.i32(36);
        m["WidthPx"] = r.i32(40);
        m["HeightPx"] = r.i32(44);
        return true;
    case 4: {
        objectKind = 1;
        QByteArray text;
        if (!poolItem(pool, r, 60, 56, PoolReader::StringLimit, text, error))
            return false;
        m["Angle"] = r.i32(0);
        m["Invert"] = static_cast<int>(r.u8(8));
        m["Name"] = r.str(9, 15);
        m["LeftPx"] = r.i32(28);
        m["TopPx"] = r.i32(32);
        m["PrnDPI"] = r.i32(44);
        m["PrnFontIdx"] = r.i32(48);
        m["Text"] = text;
        m["VarName"] = r.str(65, 20);
        m["VarType"] = legacyVarType(r.i32(88));
        const int zoomX = r.i32(92);
        const int zoomY = r.i32(96);
        m["PrnFntZoomX"] = zoomX;
        m["PrnFntZoomY"] = zoomY;
        m["FontName"] = r.str(100, 30);
        m["FontColor"] = r.i32(132);
        m["FontStyle"] = r.i32(136);
        m["FontCharset"] = r.i32(148);
        if (r.u8(64) != 0) {
            m["UsePrnFont"] = 1;
        } else {
            m["UsePrnFont"] = 0;
            m["TextWidthRate"] = keptInInt(static_cast<qint64>(r.i32(144)) * zoomX);
            m["TextFontSize"] = keptInInt(static_cast<qint64>(r.i32(140)) * zoomY);
            m["DragWidth"] = 200;
            m["DragHeight"] = 200;
        }
        return true;
    }
    case 5: {
        objectKind = 3;
        QByteArray picture;
        if (!poolItem(pool, r, 32, 28, 0, picture, error))
            return false;
        m["Angle"] = r.i32(0);
        m["Horizontal"] = static_cast<int>(r.u8(4));
        m["Invert"] = static_cast<int>(r.u8(5));
        m["BW"] = r.i32(8);
        m["Name"] = r.str(12, 15);
        m["Image"] = picture;
        m["LeftPx"] = r.i32(36);
        m["TopPx"] = r.i32(40);
        m["WidthPx"] = r.i32(44);
        m["HeightPx"] = r.i32(48);
        m["Vertical"] = static_cast<int>(r.u8(57));
        return true;
    }
    case 6: {
        objectKind = 2;
        QByteArray data, start, stop, text;
        if (!poolItem(pool, r, 96, 108, PoolReader::StringLimit, data, error)
            || !poolItem(pool, r, 92, 104, PoolReader::StringLimit, start, error)
            || !poolItem(pool, r, 100, 112, PoolReader::StringLimit, stop, error)
            || !poolItem(pool, r, 120, 116, PoolReader::StringLimit, text, error))
            return false;
        const int type = r.u8(4);
        m["Angle"] = r.i32(0);
        m["BarCodeType"] = type;
        m["BarHeight"] = r.i32(8);
        m["BarWidth"] = r.i32(12);
        m["ColorBar"] = r.i32(16);
        m["LabelAlign"] = static_cast<int>(r.u8(22));
        m["LabelDistance"] = static_cast<double>(r.i32(24));
        m["LabelPos"] = static_cast<int>(r.u8(28));
        m["BarNarrow"] = r.i32(32);
        m["Name"] = r.str(36, 15);
        m["Parity"] = static_cast<int>(r.u8(52));
        m["LeftPxUnscaled"] = r.i32(56);
        m["TopPxUnscaled"] = r.i32(60);
        m["PrnDPI"] = r.i32(72);
        m["PrnFontIdx"] = r.i32(76);
        m["BarWide"] = r.i32(84);
        m["ShowSum"] = static_cast<int>(r.u8(88));
        m["ShowText"] = static_cast<int>(r.u8(89));
        m["Data"] = data;
        m["Text"] = text;
        m["VarName"] = r.str(125, 20);
        m["VarType"] = legacyVarType(r.i32(148));
        const char* pdf[] = {"PDFBaseWidth", "PDFBaseHeight", "PDF417WidthScale", "PDF417HeightScale",
                             "PDF417Rols", "PDF417Cels", "PDF417ECClevel"};
        for (int i = 0; i < 7; ++i)
            m[QString::fromLatin1(pdf[i])] = r.i32(152 + 4 * i);
        m["PDF417Trunct"] = static_cast<int>(r.u8(180));
        m["PDF417ASpectType"] = r.i32(184);
        m["PDF417RowCol"] = static_cast<int>(r.u8(188));
        m["FontName"] = r.str(212, 30);
        m["FontColor"] = r.i32(244);
        m["FontStyle"] = r.i32(248);
        m["FontSize"] = ctx.documentZoom > 0 ? keptInInt(static_cast<qint64>(r.i32(252)) * 100 / ctx.documentZoom) : r.i32(252);
        auto letterIndex = [](const QByteArray& s, const char* letters) {
            const QByteArray t = s.trimmed().toUpper();
            for (int i = 0; i < 4; ++i)
                if (t == QByteArray(1, letters[i]))
                    return i;
            return -1;
        };
        if (type == 8) {
            const int s = letterIndex(start, "DABC");
            if (s >= 0)
                m["StartSign"] = s;
        } else if (type == 7) {
            const int s = letterIndex(start, "ABCD");
            const int e = letterIndex(stop, "ABCD");
            if (s >= 0)
                m["StartSign"] = s;
            if (e >= 0)
                m["EndSign"] = e;
        }
        return true;
    }
    default:
        if (error)
            *error = QStringLiteral("unknown legacy object kind %1").arg(kind);
        return false;
    }
}

} // namespace korvel
