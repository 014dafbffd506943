#pragma once

#include "persistence/ObjectRecords.h"
#include "persistence/RecordLayouts.h"

#include <memory>

namespace korvel {

/// Stored properties of a barcode object (version-100 names).
PropertyMap BarcodeProperties(const TOAControl& barcode);
/// A barcode from stored properties of any layout; z1 and z2 are the two zooms of the conversion.
std::unique_ptr<TOAControl> BarcodeFromProperties(const PropertyMap& properties, const RecordContext& context, double z1,
                                                  double z2, QString* error);

/// The older numbering of barcode types in versions 300, 310 and 320.
int BarcodeTypeFromOldNumber(int stored);

} // namespace korvel
