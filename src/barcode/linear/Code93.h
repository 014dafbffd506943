#pragma once

#include "barcode/linear/BarPattern.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>

namespace korvel {

// Code 93. The data alphabet is the 43 Code 39 characters plus "a", "b", "c", "d" for the four
// shift characters (values 43..46); full ASCII pairs are the caller's to write.

/// Value 0..46 of a data character, -1 outside the set.
int Code93Value(char c);
/// The data character of a value 0..46 ("a".."d" for the shifts); '\0' outside.
char Code93Character(int value);

bool ValidateCode93(QByteArrayView data, char& reason);
/// The two check characters C and K as data characters; empty for data outside the set.
QByteArray Code93CheckChars(QByteArrayView data);
std::int32_t Code93Width(QByteArrayView data, const LinearOptions& options);
/// Start, data, C and K when options.parity, stop, termination bar.
bool EncodeCode93(QByteArrayView data, const LinearOptions& options, BarPattern& out);

} // namespace korvel
