#pragma once

#include "document/Binary.h"
#include "persistence/ObjectRecords.h"
#include "persistence/RecordLayouts.h"

namespace korvel {

/// Converts a record of the legacy layout (its own kind numbers, pixel positions at 100 %, no
/// zoom and no not-print field) into stored properties of the current kinds. objectKind
/// receives the current kind number.
bool ReadLegacyRecord(int legacyKind, const FixedRecord& record, const PoolReader& pool, const RecordContext& context,
                      PropertyMap& properties, int& objectKind, QString* error);

} // namespace korvel
