#pragma once

#include "printing/emission/LabelEmitter.h"
#include "printing/ports/PortStatus.h"
#include "printing/virtual/VirtualPrinter.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRect>
#include <QString>

namespace korvel {

class LabelDocument;

/// One label of a document as the printer prints it.
struct VirtualLabelPrintout {
    /// The label at the first grid position cut out of the printed page: Format_Mono in
    /// printer dots, colour index 1 a printed dot. Null when emission failed.
    QImage label;
    /// The whole page the printer printed, and where the label lies on it.
    QImage page;
    QRect labelRect;
    /// The stream that went to the virtual printer.
    QByteArray stream;
    /// The printer's warnings, and notes on what the document's command set leaves out.
    QList<VirtualPrinterWarning> warnings;
    QStringList notes;
    /// The first emission failure (a barcode whose data its symbology refuses …).
    PortStatus status;

    bool ok() const { return status.ok() && !label.isNull(); }
};

/// Prints the label at the first grid position through the real emission code (job setup,
/// graphics download, label start without margins, the label's fields, the label end) into a
/// virtual printer at the document's resolution. Emission may change the document as a print
/// job does (a bound barcode keeps the printed value).
VirtualLabelPrintout PrintFirstLabel(LabelDocument& document, const EmissionContext& context);

} // namespace korvel
