#pragma once

#include "barcode/linear/BarPattern.h"

#include <QByteArrayView>

#include <cstdint>

namespace korvel {

// Codabar. The data includes its start and stop letters ("A".."D"); there is no check character.

/// The letter "A".."D" of a start or stop choice 0..3; '\0' outside that range.
char CodabarLetter(int choice);

bool ValidateCodabar(QByteArrayView data, char& reason);
std::int32_t CodabarWidth(QByteArrayView data, const LinearOptions& options);
bool EncodeCodabar(QByteArrayView data, const LinearOptions& options, BarPattern& out);

} // namespace korvel
