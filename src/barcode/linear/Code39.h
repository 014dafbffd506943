#pragma once

#include "barcode/linear/BarPattern.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>

namespace korvel {

// Code 39 (ISO/IEC 16388), its full ASCII form and HIBC (Code 39 with a mandatory check).

/// Value 0..42 of a Code 39 data character, -1 when the character is not in the set.
int Code39Value(char c);
/// The character of a value 0..43 (43 is the start/stop "*"); '\0' outside.
char Code39Character(int value);

bool ValidateCode39(QByteArrayView data, char& reason);
/// The check character: sum of the values mod 43. '\0' when the data has a character outside the set.
char Code39CheckChar(QByteArrayView data);
std::int32_t Code39Width(QByteArrayView data, bool check, const LinearOptions& options);
/// "*", the data, the check character when `check`, "*".
bool EncodeCode39(QByteArrayView data, bool check, const LinearOptions& options, BarPattern& out);

/// Full ASCII expansion; false for a byte of 128 or more or when the expansion would not fit
/// 256 characters (no sequence may start at position 255 or later).
bool FullAscii39Expand(QByteArrayView data, QByteArray& expansion);
bool ValidateCode39Ex(QByteArrayView data, char& reason);
std::int32_t Code39ExWidth(QByteArrayView data, const LinearOptions& options, QByteArray* expansion = nullptr);
bool EncodeCode39Ex(QByteArrayView data, const LinearOptions& options, BarPattern& out);

} // namespace korvel
