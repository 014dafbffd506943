#pragma once

#include "barcode/BarcodeTypes.h"

#include <QByteArray>

namespace korvel {

/// A variable's value made printable by a linear symbology: a blank value becomes one space and
/// every byte from 0x80 up becomes "0"; fixed-length types are cut or padded with "0" (EAN-13
/// 12, EAN-8 7, UPC-A 11, UPC-E 6, UCC/EAN 19, UPC-2 2, UPC-5 5, China Post 11, electronic
/// supervision code 20), Dispatch is cut to 13, Postnet keeps 5, 9 or 11 characters and
/// otherwise becomes 5; characters outside the symbology's set become "0"; the electronic
/// supervision code gets "21" in front. Code 39 Full ASCII, Code 128 and UCC/EAN-128 keep
/// every character.
QByteArray NormaliseBarcodeValue(TBarCodeType type, const QByteArray& value);

/// The data of a printer barcode command carrying the check character that `parity` asks for.
/// The command has no check-character switch, so the check travels as data: Code 39 and its
/// full ASCII form (`data` is then the expansion) get the modulo-43 character, Interleaved 2 of
/// 5 and Dispatch the leading zero that evens the count and the modulo-10 digit. Every other
/// type, and any type without parity, keeps `data`.
QByteArray WithCheckCharacter(TBarCodeType type, const QByteArray& data, bool parity);

/// The letter of a Codabar start or stop sign (0-3 give "A"-"D"); empty for any other value.
QByteArray CodabarSignLetter(int sign);

} // namespace korvel
