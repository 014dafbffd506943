#include "persistence/StoredRecordObject.h"

namespace korvel {

TStoredRecordObject::TStoredRecordObject(ObjectKind kind, RecordLayout layout, QByteArray record,
                                         std::vector<QByteArray> poolItems)
    : TOAControl(kind), layout_(layout), record_(std::move(record)), poolItems_(std::move(poolItems))
{
}

std::unique_ptr<TOAControl> TStoredRecordObject::clone() const
{
    return std::make_unique<TStoredRecordObject>(*this);
}

std::vector<TStoredRecordObject::PoolRef> TStoredRecordObject::poolRefs(int kind, RecordLayout layout)
{
    if (layout != RecordLayout::V100)
        return {};
    switch (kind) {
    case 1: return {{76, 80}};
    case 2: return {{140, 136}, {144, 148}};
    case 3: return {{28, 32}};
    default: return {};
    }
}

} // namespace korvel
