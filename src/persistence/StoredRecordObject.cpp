#include "persistence/StoredRecordObject.h"

namespace korvel {

TStoredRecordObject::TStoredRecordObject(ObjectKind kind, PropertyMap properties)
    : TOAControl(kind), properties_(std::move(properties))
{
    Name = QString::fromLatin1(properties_.value(QStringLiteral("Name")).toByteArray());
}

std::unique_ptr<TOAControl> TStoredRecordObject::clone() const
{
    return std::make_unique<TStoredRecordObject>(*this);
}

} // namespace korvel
