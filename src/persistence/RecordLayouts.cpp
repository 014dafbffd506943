#include "persistence/RecordLayouts.h"

#include <map>

namespace korvel {

namespace {

using F = FieldType;

// Version 100 (and 3221, 3330).
const std::vector<FieldSpec> kText100 = {
    {"Angle", F::I32, 0},         {"BkColor", F::I32, 4},       {"Invert", F::U8, 8},
    {"Name", F::Str, 9, 15},      {"AbsLeft", F::F64, 32},      {"AbsTop", F::F64, 40},
    {"PrnDPI", F::I32, 64},       {"PrnFontIdx", F::I32, 68},   {"Text", F::Pool, 76, 80},
    {"VarName", F::Str, 84, 20},  {"VarType", F::I32, 108},     {"FontName", F::Str, 112, 30},
    {"FontColor", F::I32, 144},   {"FontStyle", F::U8, 148},    {"TextWidthRate", F::I32, 156},
    {"FontCharset", F::U8, 160},  {"TextAlign", F::I32, 164},   {"RoundText", F::I32, 168},
    {"TextCharExtra", F::I32, 172}, {"TextLineExtra", F::I32, 176}, {"OutlineTextout", F::I32, 180},
    {"FontSizePt", F::I32, 184},  {"DragWidth", F::I32, 188},   {"DragHeight", F::I32, 192},
    {"PrnFntZoomX", F::I32, 196}, {"PrnFntZoomY", F::I32, 200}, {"UsePrnFont", F::I32, 204},
    {"Zoom", F::F64, 208},        {"NotPrint", F::I32, 216},
};

std::vector<FieldSpec> without(const std::vector<FieldSpec>& fields, const char* name)
{
    std::vector<FieldSpec> out;
    for (const FieldSpec& f : fields)
        if (QByteArray(f.name) != name)
            out.push_back(f);
    return out;
}

std::vector<FieldSpec> text300(bool pointSize)
{
    return {
        {"Angle", F::I32, 0},          {"Invert", F::U8, 8},          {"Name", F::Str, 9, 15},
        {"LeftPx", F::I32, 28},        {"TopPx", F::I32, 32},         {"PrnDPI", F::I32, 44},
        {"PrnFontIdx", F::I32, 48},    {"Text", F::Pool, 56, 60},     {"VarName", F::Str, 64, 20},
        {"VarType", F::I32, 88},       {"FontName", F::Str, 92, 30},  {"FontColor", F::I32, 124},
        {"FontStyle", F::U8, 128},     {"TextWidthRate", F::I32, 136}, {"FontCharset", F::U8, 140},
        {"TextAlign", F::I32, 144},    {"RoundText", F::I32, 148},    {"TextCharExtra", F::I32, 152},
        {"TextLineExtra", F::I32, 156}, {"OutlineTextout", F::I32, 160},
        {pointSize ? "FontSizePt" : "TextFontSize", F::I32, 164},
        {"DragWidth", F::I32, 168},    {"DragHeight", F::I32, 172},   {"PrnFntZoomX", F::I32, 176},
        {"PrnFntZoomY", F::I32, 180},  {"UsePrnFont", F::I32, 184},   {"Zoom", F::F64, 192},
    };
}

const std::vector<FieldSpec> kBarcode100 = {
    {"Howmany", F::I32, 0},          {"FenGeFu", F::Str, 4, 15},       {"Angle", F::I32, 20},
    {"StartSign", F::I32, 24},       {"EndSign", F::I32, 28},          {"BarCodeType", F::U8, 32},
    {"BarHeight", F::I32, 36},       {"BarWidth", F::I32, 40},         {"ColorBar", F::I32, 44},
    {"LabelAlign", F::U8, 50},       {"LabelDistance", F::F64, 56},    {"LabelPos", F::U8, 64},
    {"LabelWithPrn", F::U8, 65},     {"BarNarrow", F::I32, 68},        {"Name", F::Str, 72, 15},
    {"Parity", F::U8, 88},           {"AbsLeft", F::F64, 96},          {"AbsTop", F::F64, 104},
    {"BarWide", F::I32, 128},        {"ShowSum", F::U8, 132},          {"ShowText", F::U8, 133},
    {"Text", F::Pool, 140, 136},     {"Data", F::Pool, 144, 148},      {"UsePrnFont", F::I32, 152},
    {"PrnFontIdx", F::I32, 156},     {"PrnDPI", F::I32, 160},          {"VarName", F::Str, 164, 20},
    {"VarType", F::I32, 188},        {"PDFBaseWidth", F::I32, 192},    {"PDFBaseHeight", F::I32, 196},
    {"PDF417WidthScale", F::I32, 200}, {"PDF417HeightScale", F::I32, 204}, {"PDF417Rols", F::I32, 208},
    {"PDF417Cels", F::I32, 212},     {"PDF417ECClevel", F::I32, 216},  {"PDF417Trunct", F::U8, 220},
    {"PDF417ASpectType", F::I32, 224}, {"PDF417RowCol", F::U8, 228},   {"QRcodeElement", F::I32, 232},
    {"QRLanguage", F::I32, 236},     {"QRModel", F::I32, 240},         {"QRErrLevel", F::Str, 244, 5},
    {"QRMaskNo", F::Str, 250, 5},    {"QRDataInputModel", F::U8, 256}, {"FontName", F::Str, 257, 30},
    {"FontColor", F::I32, 288},      {"FontStyle", F::U8, 292},        {"FontSize", F::I32, 296},
    {"FontCharset", F::U8, 300},     {"Zoom", F::F64, 304},            {"NotPrint", F::I32, 312},
};

// The seven PDF417 integers in version-100 order, from a start offset.
void addPdf(std::vector<FieldSpec>& v, int at)
{
    const char* names[] = {"PDFBaseWidth", "PDFBaseHeight", "PDF417WidthScale", "PDF417HeightScale",
                           "PDF417Rols", "PDF417Cels", "PDF417ECClevel"};
    for (int i = 0; i < 7; ++i)
        v.push_back({names[i], F::I32, at + 4 * i});
}

std::vector<FieldSpec> barcodeHead(bool doubleDistance)
{
    // Versions 300 to 3202 share the head up to BarNarrow; 3202 stores the distance as a
    // double and moves the fields after it by four bytes.
    std::vector<FieldSpec> v = {
        {"Angle", F::I32, 0},   {"StartSign", F::I32, 4}, {"EndSign", F::I32, 8},  {"BarCodeType", F::U8, 12},
        {"BarHeight", F::I32, 16}, {"BarWidth", F::I32, 20}, {"ColorBar", F::I32, 24}, {"LabelAlign", F::U8, 30},
    };
    if (doubleDistance) {
        v.push_back({"LabelDistance", F::F64, 32});
        v.push_back({"LabelPos", F::U8, 40});
        v.push_back({"LabelWithPrn", F::U8, 41});
        v.push_back({"BarNarrow", F::I32, 44});
    } else {
        v.push_back({"LabelDistanceStored", F::I32, 32});
        v.push_back({"LabelPos", F::U8, 36});
        v.push_back({"LabelWithPrn", F::U8, 37});
        v.push_back({"BarNarrow", F::I32, 40});
    }
    return v;
}

std::vector<FieldSpec> barcode300()
{
    std::vector<FieldSpec> v = barcodeHead(false);
    const std::vector<FieldSpec> rest = {
        {"Name", F::Str, 44, 15}, {"Parity", F::U8, 60},    {"LeftPx", F::I32, 64},     {"TopPx", F::I32, 68},
        {"BarWide", F::I32, 80}, {"ShowSum", F::U8, 84},    {"ShowText", F::U8, 85},    {"Text", F::Pool, 92, 88},
        {"Data", F::Pool, 96, 100}, {"UsePrnFont", F::I32, 104}, {"PrnFontIdx", F::I32, 108}, {"PrnDPI", F::I32, 112},
        {"VarName", F::Str, 116, 20}, {"VarType", F::I32, 140},
    };
    v.insert(v.end(), rest.begin(), rest.end());
    addPdf(v, 144);
    const std::vector<FieldSpec> tail = {
        {"PDF417Trunct", F::U8, 172},  {"PDF417ASpectType", F::I32, 176}, {"PDF417RowCol", F::U8, 180},
        {"QRcodeElement", F::I32, 184}, {"QRLanguage", F::I32, 188},      {"QRModel", F::I32, 192},
        {"QRErrLevel", F::Str, 196, 5}, {"QRMaskNo", F::Str, 202, 5},     {"QRDataInputModel", F::U8, 208},
        {"FontName", F::Str, 209, 30},  {"FontColor", F::I32, 240},       {"FontStyle", F::U8, 244},
        {"FontSizeStored", F::I32, 248}, {"FontCharset", F::U8, 252},     {"Zoom", F::F64, 256},
    };
    v.insert(v.end(), tail.begin(), tail.end());
    return v;
}

std::vector<FieldSpec> barcode320Or3202(bool v3202)
{
    std::vector<FieldSpec> v = barcodeHead(v3202);
    const int s = v3202 ? 4 : 0; // the shift after the head
    const std::vector<FieldSpec> rest = {
        {"Name", F::Str, 44 + s, 15}, {"Parity", F::U8, 60 + s}, {"AbsLeft", F::F64, 64 + 2 * s},
        {"AbsTop", F::F64, 72 + 2 * s}, {"BarWide", F::I32, 96 + 2 * s}, {"ShowSum", F::U8, 100 + 2 * s},
        {"ShowText", F::U8, 101 + 2 * s}, {"Text", F::Pool, 108 + 2 * s, 104 + 2 * s},
        {"Data", F::Pool, 112 + 2 * s, 116 + 2 * s}, {"UsePrnFont", F::I32, 120 + 2 * s},
        {"PrnFontIdx", F::I32, 124 + 2 * s}, {"PrnDPI", F::I32, 128 + 2 * s}, {"VarName", F::Str, 132 + 2 * s, 20},
        {"VarType", F::I32, 156 + 2 * s},
    };
    v.insert(v.end(), rest.begin(), rest.end());
    const int b = 2 * s;
    addPdf(v, 160 + b);
    const std::vector<FieldSpec> tail = {
        {"PDF417Trunct", F::U8, 188 + b},  {"PDF417ASpectType", F::I32, 192 + b}, {"PDF417RowCol", F::U8, 196 + b},
        {"QRcodeElement", F::I32, 200 + b}, {"QRLanguage", F::I32, 204 + b},      {"QRModel", F::I32, 208 + b},
        {"QRErrLevel", F::Str, 212 + b, 5}, {"QRMaskNo", F::Str, 218 + b, 5},     {"QRDataInputModel", F::U8, 224 + b},
        {"FontName", F::Str, 225 + b, 30},  {"FontColor", F::I32, 256 + b},       {"FontStyle", F::U8, 260 + b},
        {"FontSize", F::I32, 264 + b},      {"FontCharset", F::U8, 268 + b},      {"Zoom", F::F64, 272 + b},
    };
    v.insert(v.end(), tail.begin(), tail.end());
    if (v3202)
        v.push_back({"NotPrint", F::I32, 288});
    return v;
}

const std::vector<FieldSpec> kImage100 = {
    {"Angle", F::I32, 0},      {"Horizontal", F::U8, 4}, {"Invert", F::U8, 5},
    {"BW", F::I32, 8},         {"Name", F::Str, 12, 15}, {"Image", F::Pool, 28, 32},
    {"AbsLeft", F::F64, 40},   {"AbsTop", F::F64, 48},   {"AbsWidth", F::F64, 56},
    {"AbsHeight", F::F64, 64}, {"Vertical", F::U8, 72},  {"HeightWidthRatio", F::I32, 76},
    {"OriginalSize", F::I32, 80}, {"Ctr", F::I32, 84},   {"Brt", F::I32, 88},
    {"Red", F::I32, 92},       {"Green", F::I32, 96},    {"Blue", F::I32, 100},
    {"OrgWidth", F::I32, 104}, {"OrgHeight", F::I32, 108}, {"DragWidth", F::I32, 112},
    {"DragHeight", F::I32, 116}, {"Zoom", F::F64, 120},  {"NotPrint", F::I32, 128},
};

const std::vector<FieldSpec> kImage300 = {
    {"Angle", F::I32, 0},       {"Horizontal", F::U8, 4}, {"Invert", F::U8, 5},
    {"BW", F::I32, 8},          {"Name", F::Str, 12, 15}, {"Image", F::Pool, 28, 32},
    {"LeftPx", F::I32, 36},     {"TopPx", F::I32, 40},    {"WidthPx", F::I32, 44},
    {"HeightPx", F::I32, 48},   {"Vertical", F::U8, 52},  {"HeightWidthRatio", F::I32, 56},
    {"OriginalSize", F::I32, 60}, {"Ctr", F::I32, 64},    {"Brt", F::I32, 68},
    {"Red", F::I32, 72},        {"Green", F::I32, 76},    {"Blue", F::I32, 80},
    {"OrgWidth", F::I32, 84},   {"OrgHeight", F::I32, 88}, {"DragWidth", F::I32, 92},
    {"DragHeight", F::I32, 96}, {"Zoom", F::F64, 104},
};

const std::vector<FieldSpec> kLine100 = {
    {"Angle", F::I32, 0},       {"PenColor", F::I32, 4},   {"Name", F::Str, 8, 15},
    {"LineWidth", F::I32, 24},  {"Style", F::U8, 28},      {"MMLineWidth", F::F64, 32},
    {"AbsStartX", F::F64, 40},  {"AbsStartY", F::F64, 48}, {"AbsEndX", F::F64, 56},
    {"AbsEndY", F::F64, 64},    {"Zoom", F::F64, 72},      {"NotPrint", F::I32, 80},
};

const std::vector<FieldSpec> kLine300 = {
    {"Angle", F::I32, 0},     {"PenColor", F::I32, 4}, {"Name", F::Str, 8, 15}, {"LineWidth", F::I32, 24},
    {"Style", F::U8, 28},     {"MMLineWidth", F::F64, 32}, {"StartXPx", F::I32, 40}, {"StartYPx", F::I32, 44},
    {"EndXPx", F::I32, 48},   {"EndYPx", F::I32, 52},  {"Zoom", F::F64, 56},
};

const std::vector<FieldSpec> kRect100 = {
    {"Angle", F::I32, 0},      {"BrushColor", F::I32, 4}, {"Color", F::I32, 8},
    {"Name", F::Str, 12, 15},  {"LineWidth", F::I32, 28}, {"MMLineWidth", F::F64, 32},
    {"AbsLeft", F::F64, 40},   {"AbsTop", F::F64, 48},    {"AbsWidth", F::F64, 56},
    {"AbsHeight", F::F64, 64}, {"Zoom", F::F64, 72},      {"Fill", F::I32, 80},
    {"NotPrint", F::I32, 84},
};

const std::vector<FieldSpec> kRect300 = {
    {"Angle", F::I32, 0},  {"PenColor", F::I32, 8}, {"Name", F::Str, 12, 15}, {"LineWidth", F::I32, 28},
    {"MMLineWidth", F::F64, 32}, {"LeftPx", F::I32, 40}, {"TopPx", F::I32, 44}, {"WidthPx", F::I32, 48},
    {"HeightPx", F::I32, 52}, {"Zoom", F::F64, 56},
};

const std::vector<FieldSpec> kRect310 = {
    {"Angle", F::I32, 0},        {"PenColor", F::I32, 8}, {"Name", F::Str, 12, 15}, {"LineWidth", F::I32, 28},
    {"MMLineWidth", F::F64, 32}, {"AbsLeft", F::F64, 40}, {"AbsTop", F::F64, 48},   {"AbsWidth", F::F64, 56},
    {"AbsHeight", F::F64, 64},   {"Zoom", F::F64, 72},
};

const std::vector<FieldSpec> kEllipse100 = {
    {"Angle", F::I32, 0},      {"BrushColor", F::I32, 4},  {"Color", F::I32, 8},
    {"Name", F::Str, 12, 15},  {"MMLineWidth", F::F64, 32}, {"LineWidth", F::I32, 40},
    {"AbsLeft", F::F64, 48},   {"AbsTop", F::F64, 56},     {"AbsWidth", F::F64, 64},
    {"AbsHeight", F::F64, 72}, {"Zoom", F::F64, 80},       {"Fill", F::I32, 88},
    {"NotPrint", F::I32, 92},
};

const std::vector<FieldSpec> kEllipse300 = {
    {"Angle", F::I32, 0},         {"PenColor", F::I32, 8}, {"Name", F::Str, 12, 15}, {"MMLineWidth", F::F64, 32},
    {"LineWidth", F::I32, 40},    {"LeftMMPx", F::I32, 44}, {"TopMMPx", F::I32, 48}, {"WidthMMPx", F::I32, 52},
    {"HeightMMPx", F::I32, 56},   {"Zoom", F::F64, 64},
};

const std::vector<FieldSpec> kEllipse310 = {
    {"Angle", F::I32, 0},         {"PenColor", F::I32, 8}, {"Name", F::Str, 12, 15}, {"MMLineWidth", F::F64, 32},
    {"LineWidth", F::I32, 40},    {"AbsLeft", F::F64, 48}, {"AbsTop", F::F64, 56},   {"AbsWidth", F::F64, 64},
    {"AbsHeight", F::F64, 72},    {"Zoom", F::F64, 80},
};

const std::vector<FieldSpec> kInverse100 = {
    {"Angle", F::I32, 0},      {"Name", F::Str, 4, 15}, {"AbsLeft", F::F64, 24}, {"AbsTop", F::F64, 32},
    {"AbsWidth", F::F64, 40},  {"AbsHeight", F::F64, 48}, {"Zoom", F::F64, 56},  {"NotPrint", F::I32, 64},
};

const std::vector<FieldSpec> kNone;

} // namespace

const std::vector<FieldSpec>& RecordFields(RecordLayout layout, int kind)
{
    static const std::vector<FieldSpec> text320 = without(kText100, "NotPrint");
    static const std::vector<FieldSpec> text300v = text300(false);
    static const std::vector<FieldSpec> text310v = text300(true);
    static const std::vector<FieldSpec> bc300 = barcode300();
    static const std::vector<FieldSpec> bc320 = barcode320Or3202(false);
    static const std::vector<FieldSpec> bc3202 = barcode320Or3202(true);
    static const std::vector<FieldSpec> image320 = without(kImage100, "NotPrint");
    static const std::vector<FieldSpec> line310 = without(kLine100, "NotPrint");

    switch (layout) {
    case RecordLayout::V100:
    case RecordLayout::V3202:
        switch (kind) {
        case 1: return kText100;
        case 2: return layout == RecordLayout::V100 ? kBarcode100 : bc3202;
        case 3: return kImage100;
        case 4:
        case 7: return kLine100;
        case 5: return kRect100;
        case 6: return kEllipse100;
        case 8: return kInverse100;
        }
        break;
    case RecordLayout::V320:
    case RecordLayout::V310:
    case RecordLayout::V300: {
        const bool v300 = layout == RecordLayout::V300;
        const bool v320 = layout == RecordLayout::V320;
        switch (kind) {
        case 1: return v320 ? text320 : (v300 ? text300v : text310v);
        case 2: return v320 ? bc320 : bc300;
        case 3: return v320 ? image320 : kImage300;
        case 4: return v300 ? kLine300 : line310;
        case 7: return line310;
        case 5: return v300 ? kRect300 : kRect310;
        case 6: return v300 ? kEllipse300 : kEllipse310;
        }
        break;
    }
    case RecordLayout::Legacy: break;
    }
    return kNone;
}

bool ReadFields(const FixedRecord& r, const std::vector<FieldSpec>& fields, const PoolReader& pool, PropertyMap& out,
                QString* error)
{
    for (const FieldSpec& f : fields) {
        const QString name = QString::fromLatin1(f.name);
        switch (f.type) {
        case F::I32: out[name] = r.i32(f.offset); break;
        case F::U8: out[name] = static_cast<int>(r.u8(f.offset)); break;
        case F::F64: out[name] = r.f64(f.offset); break;
        case F::Str: out[name] = r.str(f.offset, f.extra); break;
        case F::Pool: {
            const bool picture = name == QLatin1String("Image");
            const auto item = pool.item(r.i32(f.extra), r.i32(f.offset), picture ? 0 : PoolReader::StringLimit);
            if (!item) {
                if (error)
                    *error = QStringLiteral("its %1 lies outside the string pool or is longer than %2 bytes")
                                 .arg(name)
                                 .arg(PoolReader::StringLimit);
                return false;
            }
            out[name] = *item;
            break;
        }
        }
    }
    return true;
}

void WriteFields(FixedRecord& r, const std::vector<FieldSpec>& fields, const PropertyMap& in, PoolWriter& pool)
{
    for (const FieldSpec& f : fields) {
        const auto it = in.constFind(QString::fromLatin1(f.name));
        if (it == in.constEnd())
            continue;
        switch (f.type) {
        case F::I32: r.setI32(f.offset, it->toInt()); break;
        case F::U8: r.setU8(f.offset, static_cast<std::uint8_t>(it->toInt())); break;
        case F::F64: r.setF64(f.offset, it->toDouble()); break;
        case F::Str: r.setStr(f.offset, f.extra, it->toByteArray()); break;
        case F::Pool: {
            const QByteArray item = it->toByteArray();
            r.setI32(f.extra, pool.append(item));
            r.setI32(f.offset, static_cast<std::int32_t>(item.size()));
            break;
        }
        }
    }
}

} // namespace korvel
