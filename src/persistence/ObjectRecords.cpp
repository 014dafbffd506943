#include "persistence/ObjectRecords.h"

#include "persistence/StoredRecordObject.h"

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

RecordResult MakeObject(int kind, const FixedRecord& record, const PoolReader& pool, const RecordContext& context)
{
    RecordResult result;
    if (kind < 1 || kind > 8) {
        result.error = QStringLiteral("unknown object kind %1").arg(kind);
        return result;
    }
    std::vector<QByteArray> items;
    for (const auto& ref : TStoredRecordObject::poolRefs(kind, context.layout)) {
        auto item = pool.item(record.i32(ref.offsetAt), record.i32(ref.lengthAt), kind == 3 ? 0 : PoolReader::StringLimit);
        if (!item) {
            result.error = QStringLiteral("an object refers to data outside the file's string pool");
            return result;
        }
        items.push_back(*item);
    }
    auto object = std::make_unique<TStoredRecordObject>(static_cast<ObjectKind>(kind), context.layout, record.bytes(),
                                                        std::move(items));
    static const int nameAt[8] = {9, 72, 12, 8, 12, 12, 8, 4};
    if (context.layout == RecordLayout::V100)
        object->Name = QString::fromLatin1(record.str(nameAt[kind - 1], 15));
    result.object = std::move(object);
    return result;
}

bool BuildRecord(const TOAControl& object, FixedRecord& record, PoolWriter& pool, QString* error)
{
    const auto* stored = dynamic_cast<const TStoredRecordObject*>(&object);
    if (!stored) {
        if (error)
            *error = QStringLiteral("object %1 has no record writer").arg(object.Name);
        return false;
    }
    if (stored->layout() != RecordLayout::V100) {
        if (error)
            *error = QStringLiteral("object %1 comes from an older file version and cannot be saved yet").arg(object.Name);
        return false;
    }
    record = FixedRecord(stored->record());
    const auto refs = TStoredRecordObject::poolRefs(static_cast<int>(object.kind()), stored->layout());
    for (size_t i = 0; i < refs.size() && i < stored->poolItems().size(); ++i) {
        const QByteArray& item = stored->poolItems()[i];
        record.setI32(refs[i].offsetAt, pool.append(item));
        record.setI32(refs[i].lengthAt, static_cast<std::int32_t>(item.size()));
    }
    return true;
}

} // namespace korvel
