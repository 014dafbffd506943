#pragma once

namespace korvel {

class TChildForm;

/// The printer settings command (0x42E, F5): runs the printer settings dialog on the
/// document's profile; OK writes it back (document, current settings, model profile table,
/// "Label.dat" and "Printer.ini") and converts the objects when the resolution changed. Cancel
/// changes and marks nothing. True on OK.
bool RunPrinterSetCommand(TChildForm& child);

} // namespace korvel
