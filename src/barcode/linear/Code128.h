#pragma once

#include "barcode/linear/BarPattern.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <vector>

namespace korvel {

// Code 128 (ISO/IEC 15417) written in the escape form: a leading "A", "B" or "C" picks the start
// subset (any other first character means subset B and is data); "&A" FNC3, "&B" FNC2, "&C" SHIFT
// (the next character in the other subset), "&D" to C, "&E" to B (FNC4 in B), "&F" to A (FNC4 in
// A), "&G" FNC1, "&&" an ampersand. In subset A the characters 96..127 stand for controls 0..31.

/// Most data codewords a symbol may hold.
inline constexpr int kCode128MaxDataCodewords = 252;
/// Longest escape form a user may write (input positions 1..255).
inline constexpr qsizetype kCode128MaxEscapeInput = 255;
/// Longest escape form the automatic subset choice may produce (its 300-character area).
inline constexpr qsizetype kCode128MaxAutoEscape = 300;

enum class Code128Kind {
    Plain, ///< the escape form as it stands
    UccEan, ///< 19 digits: start C, FNC1, and the modulo-10 digit completing the last pair
};

/// Start codeword followed by the data codewords (no check, no stop). False with a reason for a
/// form the rules reject or one longer than `maxInput` characters.
bool Code128Parse(QByteArrayView data, Code128Kind kind, std::vector<std::uint8_t>& codewords, char& reason,
                  qsizetype maxInput = kCode128MaxEscapeInput);

/// The validator of bcCode128: the escape form rules and limits.
bool ValidateCode128(QByteArrayView data, char& reason);
/// (start + sum of position × codeword) mod 103; -1 when the data does not parse.
int Code128CheckValue(QByteArrayView data, Code128Kind kind = Code128Kind::Plain);
/// Width of a drawn escape form (up to the 300 characters of an automatic form); 0 when invalid.
std::int32_t Code128Width(QByteArrayView data, const LinearOptions& options);
bool EncodeCode128(QByteArrayView data, const LinearOptions& options, BarPattern& out);

/// UCC/EAN: exactly 19 digits.
bool ValidateUccEan(QByteArrayView data, char& reason);
/// The modulo-10 digit over the 19 digits, weight 3 on the odd positions from the left.
char UccEanCheckDigit(QByteArrayView data);
std::int32_t UccEanWidth(QByteArrayView data, const LinearOptions& options);
bool EncodeUccEan(QByteArrayView data, const LinearOptions& options, BarPattern& out);

/// The plain ASCII rule: 1 to 255 bytes, every byte below 128.
bool ValidatePlainAscii(QByteArrayView text, char& reason);

/// The automatic subset choice: plain text (that passed the plain ASCII rule) to escape form,
/// with "&G" after the start letter when `fnc1`.
QByteArray Code128AutoEscape(QByteArrayView text, bool fnc1);

/// The text an escape form shows: "&&" as "&", every other escape pair dropped, the start
/// letter removed.
QByteArray Code128StripEscapes(QByteArrayView data);

} // namespace korvel
