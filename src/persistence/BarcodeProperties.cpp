#include "persistence/BarcodeProperties.h"

#include "persistence/StoredRecordObject.h"

namespace korvel {

int BarcodeTypeFromOldNumber(int stored)
{
    static const int map[22] = {4, 12, 13, 1, 8, 10, 11, 7, 0, 15, 16, 9, 19, 17, 14, 6, 18, 2, 3, 20, 21, 5};
    if (stored >= 0 && stored <= 21)
        return map[stored];
    return stored;
}

PropertyMap BarcodeProperties(const TOAControl& barcode)
{
    if (const auto* stored = dynamic_cast<const TStoredRecordObject*>(&barcode))
        return stored->properties();
    return {};
}

std::unique_ptr<TOAControl> BarcodeFromProperties(const PropertyMap& properties, const RecordContext&, double, double z2,
                                                  QString*)
{
    PropertyMap m = properties;
    m[QStringLiteral("Zoom")] = z2;
    return std::make_unique<TStoredRecordObject>(ObjectKind::BarCode, m);
}

} // namespace korvel
