#pragma once

#include "barcode/BarcodeTypes.h"
#include "variables/Evaluation.h"

#include <QByteArray>

namespace korvel {

class LabelDocument;

/// A variable's value made fit for a barcode of that symbology: PDF417 and QR Code take it
/// unchanged ("<NULL>" when blank); the linear types replace a blank value by a space and bytes
/// from 0x80 up by "0", then cut or pad fixed-length types with "0", shape Postnet and CYM
/// lengths, and replace characters the symbology cannot encode by "0" (UCC/EAN-128 with "21"
/// in front).
QByteArray DatabaseValueForBarcode(const QByteArray& value, TBarCodeType type);

/// Refreshes every object bound to a variable from the current record: a text shows the value
/// ("<NULL>" when blank), a barcode the value made fit by DatabaseValueForBarcode (as its data
/// for the two-dimensional symbols, as its text otherwise). Marks the document changed.
void RefreshFromRecord(LabelDocument& document, const EvaluationContext& context);

} // namespace korvel
