#pragma once

#include "printing/job/PrintDialog.h"
#include "printing/job/PrintJob.h"

#include <QString>

#include <functional>
#include <memory>

namespace korvel {

class DatabaseSource;
class LabelDocument;
class PrintJobRunner;
class TChildForm;

/// What the designer keeps between print commands for the life of the main window: the
/// numbers of every document window and the two print flags of the last print dialog.
struct DesignerPrintState {
    PrintNumberTable numbers;
    bool writeToFile = false;
    bool quantityFromField = false;
    /// Check the barcodes of the first label before sending (the print dialog's box).
    bool verifyBarcodes = true;
    /// Called with every runner the designer starts, before it starts (tests watch jobs).
    std::function<void(PrintJobRunner&)> onJobStarted;
};
DesignerPrintState& PrintState();

/// The number of a document window by its component name: "ChildForm" 0, "ChildForm_N" N.
int WindowNumberOf(const QString& componentName);

/// The "Select printer" entries that are down in the main window holding the document window.
std::uint32_t ModelButtonsOf(const TChildForm& child);

/// The options a job of this document runs with in the designer and in korvel-cli alike.
PrintJobOptions DesignerJobOptions(const LabelDocument& document, int drawingMode, std::uint32_t modelButtonsDown);

/// The print command (0x41E): the checks, the print dialog (or the stored numbers for a quick
/// print), then the job on its own thread with the progress dialog. True when a job ran to
/// its end (or had nothing to print).
bool RunPrintCommand(TChildForm& child, bool withDialog);

} // namespace korvel
