#pragma once

#include "barcode/linear/BarPattern.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>

namespace korvel {

// EAN-13, EAN-8, UPC-A, UPC-E and the two UPC/EAN add-ons. The data holds the digits without the
// check digit; the guard bars (and the first and last digit of UPC-A) reach H + e.

bool ValidateEan13(QByteArrayView data, char& reason); // 12 digits
bool ValidateEan8(QByteArrayView data, char& reason); // 7 digits
bool ValidateUpcA(QByteArrayView data, char& reason); // 11 digits
bool ValidateUpcE(QByteArrayView data, char& reason); // 6 digits
bool ValidateUpc2(QByteArrayView data, char& reason); // 2 digits
bool ValidateUpc5(QByteArrayView data, char& reason); // 5 digits

/// Check digits '0'..'9'; '\0' when the data is not what the symbology takes.
char Ean13CheckDigit(QByteArrayView data);
char Ean8CheckDigit(QByteArrayView data);
char UpcACheckDigit(QByteArrayView data);
/// UPC-E: the UPC-A check digit of the expansion.
char UpcECheckDigit(QByteArrayView data);
/// The 11-digit UPC-A string (number system 0) of six UPC-E digits; empty when not six digits.
QByteArray UpcEExpand(QByteArrayView data);

std::int32_t Ean13Width(QByteArrayView data, const LinearOptions& options);
std::int32_t Ean8Width(QByteArrayView data, const LinearOptions& options);
std::int32_t UpcAWidth(QByteArrayView data, const LinearOptions& options);
std::int32_t UpcEWidth(QByteArrayView data, const LinearOptions& options);
std::int32_t Upc2Width(QByteArrayView data, const LinearOptions& options);
std::int32_t Upc5Width(QByteArrayView data, const LinearOptions& options);

bool EncodeEan13(QByteArrayView data, const LinearOptions& options, BarPattern& out);
bool EncodeEan8(QByteArrayView data, const LinearOptions& options, BarPattern& out);
bool EncodeUpcA(QByteArrayView data, const LinearOptions& options, BarPattern& out);
bool EncodeUpcE(QByteArrayView data, const LinearOptions& options, BarPattern& out);
bool EncodeUpc2(QByteArrayView data, const LinearOptions& options, BarPattern& out);
bool EncodeUpc5(QByteArrayView data, const LinearOptions& options, BarPattern& out);

} // namespace korvel
