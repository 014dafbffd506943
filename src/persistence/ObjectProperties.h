#pragma once

#include "document/OAControl.h"
#include "persistence/ObjectRecords.h"
#include "persistence/RecordLayouts.h"

#include <memory>

namespace korvel {

/// The stored properties of an object under their property names, as the version-100 record
/// holds them (also what `korvel-cli info` lists).
PropertyMap PropertiesOf(const TOAControl& object);

/// Builds an object of a kind from stored properties of a record layout, with the two-zoom rule:
/// while a file is read the object first takes the document zoom and last the record's zoom,
/// otherwise the other way round. Returns null with a reason when the properties cannot make an
/// object (an undecodable picture).
std::unique_ptr<TOAControl> ObjectFromProperties(int kind, const PropertyMap& properties, const RecordContext& context,
                                                 QString* error);

/// Colour value 0x00BBGGRR <-> QColor.
QColor ColorFromValue(std::int32_t value);
std::int32_t ValueFromColor(const QColor& color);


} // namespace korvel
