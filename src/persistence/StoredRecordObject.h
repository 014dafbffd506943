#pragma once

#include "document/OAControl.h"
#include "persistence/RecordLayouts.h"

namespace korvel {

/// An object kept only as its stored properties (a kind this build cannot draw): opening and
/// saving a file never loses it.
class TStoredRecordObject : public TOAControl {
public:
    TStoredRecordObject(ObjectKind kind, PropertyMap properties);

    std::unique_ptr<TOAControl> clone() const override;
    void Rotate90() override {}

    const PropertyMap& properties() const { return properties_; }

private:
    PropertyMap properties_;
};

} // namespace korvel
