#include "persistence/ObjectRecords.h"

#include "document/Rounding.h"
#include "persistence/BarcodeProperties.h"
#include "persistence/LegacyRecords.h"
#include "persistence/ObjectProperties.h"
#include "persistence/RecordLayouts.h"

namespace korvel {

RecordLayout LayoutOfVersion(int version)
{
    switch (version) {
    case 300: return RecordLayout::V300;
    case 310: return RecordLayout::V310;
    case 320: return RecordLayout::V320;
    case 3202: return RecordLayout::V3202;
    default: return RecordLayout::V100;
    }
}

int RecordSize(RecordLayout layout, int kind)
{
    // Columns: 300, 310, 320, 3202, 100 (also 3221 and 3330).
    static const int sizes[8][5] = {
        {200, 200, 216, 224, 224}, // text
        {264, 264, 280, 296, 320}, // barcode
        {112, 112, 128, 136, 136}, // image
        {64, 80, 80, 88, 88},      // line
        {64, 80, 80, 88, 88},      // rectangle
        {72, 88, 88, 96, 96},      // ellipse
        {80, 80, 80, 88, 88},      // horizontal/vertical line
        {0, 0, 0, 72, 72},         // inverse area
    };
    // Legacy kinds: 1 line, 2 rectangle, 3 ellipse, 4 text, 5 image, 6 barcode, 7 h/v line.
    static const int legacy[8] = {48, 48, 48, 152, 60, 260, 48, 0};
    if (kind < 1 || kind > 8)
        return 0;
    switch (layout) {
    case RecordLayout::V300: return sizes[kind - 1][0];
    case RecordLayout::V310: return sizes[kind - 1][1];
    case RecordLayout::V320: return sizes[kind - 1][2];
    case RecordLayout::V3202: return sizes[kind - 1][3];
    case RecordLayout::V100: return sizes[kind - 1][4];
    case RecordLayout::Legacy: return legacy[kind - 1];
    }
    return 0;
}

namespace {

/// The barcode fields whose meaning changed between versions.
void normalizeOlderBarcode(PropertyMap& m, RecordLayout layout, const RecordContext& ctx)
{
    const QString type = QStringLiteral("BarCodeType");
    m[type] = BarcodeTypeFromOldNumber(m.value(type).toInt());
    const int stored = m.take(QStringLiteral("LabelDistanceStored")).toInt();
    const double z1 = ctx.fileReading ? ctx.documentZoom / 100.0 : m.value(QStringLiteral("Zoom")).toDouble();
    if (layout == RecordLayout::V320) {
        // Printer dots at the barcode's resolution.
        const int dpi = m.value(QStringLiteral("PrnDPI")).toInt() == 300 ? 300 : 203;
        m[QStringLiteral("LabelDistance")] = z1 > 0 ? stored * 25.4 / (dpi * z1) : 0.0;
    } else {
        m[QStringLiteral("LabelDistance")] = static_cast<double>(stored);
    }
    if (m.contains(QStringLiteral("FontSizeStored"))) {
        const int size = m.take(QStringLiteral("FontSizeStored")).toInt();
        m[QStringLiteral("FontSize")] = z1 > 0 ? static_cast<int>(Round(size / z1)) : size;
    }
}

} // namespace

RecordResult MakeObject(int kind, const FixedRecord& record, const PoolReader& pool, const RecordContext& context)
{
    RecordResult result;
    PropertyMap properties;
    int objectKind = kind;
    if (context.layout == RecordLayout::Legacy) {
        if (!ReadLegacyRecord(kind, record, pool, context, properties, objectKind, &result.error))
            return result;
    } else {
        const auto& fields = RecordFields(context.layout, kind);
        if (fields.empty()) {
            result.error = QStringLiteral("unknown object kind %1").arg(kind);
            return result;
        }
        if (!ReadFields(record, fields, pool, properties, &result.error))
            return result;
        if (kind == 2 && context.layout != RecordLayout::V100 && context.layout != RecordLayout::V3202)
            normalizeOlderBarcode(properties, context.layout, context);
    }
    result.object = ObjectFromProperties(objectKind, properties, context, &result.error);
    return result;
}

bool BuildRecord(const TOAControl& object, FixedRecord& record, PoolWriter& pool, QString* error)
{
    const int kind = static_cast<int>(object.kind());
    const auto& fields = RecordFields(RecordLayout::V100, kind);
    if (fields.empty()) {
        if (error)
            *error = QStringLiteral("object %1 has no record layout").arg(object.Name);
        return false;
    }
    record = FixedRecord(RecordSize(RecordLayout::V100, kind));
    WriteFields(record, fields, PropertiesOf(object), pool);
    return true;
}

} // namespace korvel
