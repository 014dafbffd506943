#pragma once

#include "document/Binary.h"
#include "persistence/ObjectRecords.h"
#include "persistence/StringPool.h"

#include <QVariantMap>

#include <vector>

namespace korvel {

/// An object's stored properties by their property names ("AbsLeft", "BarCodeType" …). Strings
/// and pool items are QByteArray (document code page); pictures are complete bitmap files.
using PropertyMap = QVariantMap;

enum class FieldType { I32, U8, F64, Str, Pool };

/// One field of a fixed record. A pool field names the offsets of its length and its pool offset.
struct FieldSpec {
    const char* name;
    FieldType type;
    int offset;
    int extra = 0; ///< str[n]: n; pool: offset of the pool offset (offset holds the length)
};

/// The fields of a kind's record in a layout (empty for a kind the layout does not have).
/// The legacy layout is converted by hand and has no table here.
const std::vector<FieldSpec>& RecordFields(RecordLayout layout, int kind);

/// Reads every field; false with a reason when a pool item lies outside the pool or is too long.
bool ReadFields(const FixedRecord& record, const std::vector<FieldSpec>& fields, const PoolReader& pool,
                PropertyMap& out, QString* error);
/// Writes the fields present in the map; pool items are appended in field order.
void WriteFields(FixedRecord& record, const std::vector<FieldSpec>& fields, const PropertyMap& in, PoolWriter& pool);

} // namespace korvel
