#include "printing/virtual/VirtualLabel.h"

#include "document/LabelDocument.h"

#include <algorithm>

namespace korvel {

VirtualLabelPrintout PrintFirstLabel(LabelDocument& document, const EmissionContext& context)
{
    VirtualLabelPrintout out;
    out.status = CheckPageLength(document.page());
    if (!out.status)
        return out;
    PieceRecorder recorder;
    const CommandContext& commands = context.commands;

    // The margins only move the grid on the stock; one label is shown from the page's corner.
    TPageRecord page = document.page();
    page.PaperLeftMargin = 0;
    page.PaperTopMargin = 0;

    LabelEmitter emitter(document, context, recorder);
    out.status = SendJobSetup(commands, document.printer, document.printPositionAdjust, recorder);
    if (out.status)
        out.status = emitter.DownloadGraphics();
    if (out.status) {
        if (commands.PrinterID == 0) {
            out.status = SendLabelStart(commands, document.printer, page, recorder);
        } else {
            // These command sets send no label start (and command sets above 1 nothing at all):
            // the page is opened here so that what they do send can be seen.
            CommandContext full = commands;
            full.PrinterID = 0;
            out.status = SendLabelStart(full, document.printer, page, recorder);
            out.notes << (commands.PrinterID == 1
                    ? QStringLiteral("command set 1 sends no label start, printer-font texts or printer barcodes")
                    : QStringLiteral("command set %1 sends nothing to the printer").arg(commands.PrinterID));
        }
    }
    if (out.status)
        out.status = emitter.EmitLabel(0, 0);
    if (out.status)
        out.status = SendLabelEnd(commands, 1, 1, recorder);
    emitter.finish();
    out.stream = recorder.stream();
    if (!out.status)
        return out;
    if (commands.PrinterID != 0 && commands.PrinterID != 1) {
        // Nothing closed the format that was opened above.
        CommandContext full = commands;
        full.PrinterID = 0;
        out.stream += BuildLabelEnd(full, 1, 1).stream();
    }

    VirtualPrinterOptions options;
    options.dpi = emitter.scale().dpi;
    const VirtualPrintout printed = PrintVirtually(out.stream, options);
    out.warnings = printed.warnings;
    if (printed.formats.isEmpty() || printed.formats.front().image.isNull()) {
        out.status = PortStatus::failure(PortError::InvalidInput, QStringLiteral("the printer printed no label"));
        return out;
    }
    out.page = printed.formats.front().image;

    // The label's top edge is the page bottom row that emission counts from; its size is the
    // label's pixel copy in dots, as emission places objects.
    const PagePixels& px = document.pixels();
    const DotScale& scale = emitter.scale();
    const VirtualPrinterOptions limits;
    out.labelRect = QRect(0, out.page.height() - emitter.pageBottom(),
        std::min(scale.dotsPx(px.labelWidth), limits.maxPageWidth),
        std::min(scale.dotsPx(px.labelHeight), limits.maxPageHeight));
    if (out.labelRect.width() <= 0 || out.labelRect.height() <= 0) {
        out.status = PortStatus::failure(PortError::InvalidInput, QStringLiteral("the label has no size"));
        return out;
    }
    // Parts beyond the printed page (a label wider than the printer) come out white.
    out.label = out.page.copy(out.labelRect);
    return out;
}

} // namespace korvel
