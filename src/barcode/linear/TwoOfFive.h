#pragma once

#include "barcode/linear/BarPattern.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>

namespace korvel {

// The 2 of 5 family: industrial, interleaved (and Dispatch, interleaved inside a bearer frame),
// European and Japanese matrix, China Post. Widths return 0 and encoders false for data their
// validator rejects or for options out of range.

bool ValidateIndustrial25(QByteArrayView data, char& reason);
std::int32_t Industrial25Width(QByteArrayView data, const LinearOptions& options);
bool EncodeIndustrial25(QByteArrayView data, const LinearOptions& options, BarPattern& out);

bool ValidateInterleaved25(QByteArrayView data, char& reason);
/// The digits as they are drawn: made even, with the check digit when options.parity.
QByteArray Interleaved25Digits(QByteArrayView data, bool parity);
/// Modulo-10 check digit ('0'..'9') of interleaved 2 of 5, weight 3 on the rightmost digit.
char Interleaved25CheckDigit(QByteArrayView data);
std::int32_t Interleaved25Width(QByteArrayView data, const LinearOptions& options);
bool EncodeInterleaved25(QByteArrayView data, const LinearOptions& options, BarPattern& out);

/// Dispatch: 1 to 13 digits of interleaved 2 of 5 inside a bearer frame of options.bearer dots.
bool ValidateDispatch(QByteArrayView data, char& reason);
std::int32_t DispatchWidth(QByteArrayView data, const LinearOptions& options);
bool EncodeDispatch(QByteArrayView data, const LinearOptions& options, BarPattern& out);

enum class Matrix25Variant { European, Japanese };
bool ValidateMatrix25(QByteArrayView data, char& reason);
/// The matrix check digit: weights 7, 9, 7 … from the right on the character codes, sum mod 10.
char Matrix25CheckDigit(QByteArrayView data);
std::int32_t Matrix25Width(Matrix25Variant variant, QByteArrayView data, const LinearOptions& options);
bool EncodeMatrix25(Matrix25Variant variant, QByteArrayView data, const LinearOptions& options, BarPattern& out);

bool ValidateChinaPost(QByteArrayView data, char& reason);
std::int32_t ChinaPostWidth(QByteArrayView data, const LinearOptions& options);
bool EncodeChinaPost(QByteArrayView data, const LinearOptions& options, BarPattern& out);

} // namespace korvel
