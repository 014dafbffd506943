#pragma once

#include "variables/Evaluation.h"

#include <functional>

namespace korvel {

class LabelDocument;
class TOAControl;

/// Some text or barcode is bound to a variable (a name and a kind other than fixed content).
bool HasVariables(const LabelDocument& document);
/// Some variable of the document is a database field.
bool HasDatabase(const LabelDocument& document);

/// Shows the current values on the design surface: every bound text takes its variable's value
/// ("<NULL>" when blank); every bound barcode takes the value made valid for its symbology
/// (PDF417 and QR Code take it as their data, "<NULL>" when blank). Marks the document changed
/// when an object was bound. Run after every variable print job; objects for which `skip` says
/// so are left as they are.
void RefreshBoundObjects(
    LabelDocument& document, const EvaluationContext& context, const std::function<bool(const TOAControl&)>& skip = {});

} // namespace korvel
