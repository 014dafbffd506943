#include "editor/StatusPanels.h"

#include "document/LabelDocument.h"
#include "editor/Language.h"
#include "printing/PrinterProfiles.h"
#include "printing/ports/PortFactory.h"

#include <QLabel>
#include <QStatusBar>

namespace korvel {

StatusPanels::StatusPanels(QStatusBar* bar)
{
    bar->setObjectName(QStringLiteral("StatusBar1"));
    const int widths[Count] = { 200, 140, 160, 70, 180, 220 };
    for (int i = 0; i < Count; ++i) {
        auto* panel = new QLabel(bar);
        panel->setProperty("panelIndex", i);
        panel->setMinimumWidth(widths[i]);
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        bar->addWidget(panel, i == Count - 1 ? 1 : 0);
        panel->hide();
        panels_.append(panel);
    }
}

QLabel* StatusPanels::panel(int index) const
{
    return index >= 0 && index < panels_.size() ? panels_[index] : nullptr;
}

void StatusPanels::setText(int index, const QString& text)
{
    QLabel* p = panel(index);
    if (!p)
        return;
    p->setText(text);
    p->setVisible(!text.isEmpty());
}

void StatusPanels::showStatus(const LabelDocument* document, const TPrinterSetting& current, const PortSettings& ports)
{
    const TPrinterSetting& printer = document ? document->printer : current;
    DocumentStatus status = document ? ShowDocumentStatus(*document, LanguageLookup())
                                     : PrinterStatus(current, LanguageLookup());
    const QString destination = PortDestination(printer, ports);
    if (!ports.overrideSpec.trimmed().isEmpty()) {
        // A network printer (or any port description) replaces the port of every label's record:
        // the record's own port kind would name a port nothing is sent to.
        status.port = LanguageLookup()("MainFormInside", "message4", QStringLiteral("Port:")) + destination;
    } else if (!status.port.isEmpty() && !destination.isEmpty()) {
        status.port += QStringLiteral(" (%1)").arg(destination);
    }
    setText(0, status.label);
    setText(1, status.printer);
    // A port kind without a text keeps what the panel showed.
    if (!status.port.isEmpty())
        setText(2, status.port);
    setText(3, status.zoom);
}

} // namespace korvel
