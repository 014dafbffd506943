#pragma once

#include "document/PrinterSetting.h"

#include <QByteArray>

#include <cstdint>
#include <optional>

namespace korvel::qcml {

inline constexpr char STX = 0x02;
inline constexpr char SOH = 0x01;
inline constexpr char CR = 0x0D;

/// v as exactly w decimal digits: "0" × w, then the decimal text of v (with "-" when
/// negative), keeping the last w characters. Out-of-range values are not rejected: they keep
/// their last digits, and a negative value keeps its minus sign inside the field.
QByteArray D(std::int64_t v, int w);
/// A byte as two upper-case hexadecimal digits.
QByteArray H2(std::uint8_t v);
/// Magnification or module width 1-24 as one of "123456789ABCDEFGHIJKLMNO"; nothing for
/// other values.
std::optional<char> M(int k);
/// "1" for 0°, "2" for 90°, "3" for 180°, "4" for 270°; empty for any other angle.
QByteArray R(int angle);
/// "A2" CR in transparent drawing mode (0), "A1" CR in XOR mode (1), empty otherwise.
QByteArray DrawingModePrefix(int drawingMode);
/// The media flags byte of the job setup, from print type, page type and feed type.
std::uint8_t MediaFlags(const TPrinterSetting& setting);
/// Symbology letter of a barcode type (upper case asks the printer for the human-readable
/// line); empty for types without a printer symbology.
QByteArray BarcodeLetter(int barCodeType, bool humanReadable);

} // namespace korvel::qcml
