#pragma once

#include "barcode/linear/BarPattern.h"

#include <QByteArrayView>

#include <cstdint>

namespace korvel {

// POSTNET: 5, 9 or 11 digits and a modulo-10 check digit, full and half bars between two
// full frame bars. Half bars cover the rows from H × 23 div 38 to H.

bool ValidatePostnet(QByteArrayView data, char& reason);
/// (10 - digit sum mod 10) mod 10 as '0'..'9'; '\0' for data with a non-digit.
char PostnetCheckDigit(QByteArrayView data);
std::int32_t PostnetWidth(QByteArrayView data, const LinearOptions& options);
bool EncodePostnet(QByteArrayView data, const LinearOptions& options, BarPattern& out);

} // namespace korvel
