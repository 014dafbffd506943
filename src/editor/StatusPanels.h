#pragma once

#include <QList>
#include <QString>

class QLabel;
class QStatusBar;

namespace korvel {

class LabelDocument;
struct PortSettings;
struct TPrinterSetting;

/// The six panels of the main window's status bar: label size, printer, port, zoom, and the
/// position and size of what is being moved or resized. A panel without text is hidden, so the
/// bar never shows empty boxes.
class StatusPanels {
public:
    static constexpr int Count = 6;

    explicit StatusPanels(QStatusBar* bar);

    QLabel* panel(int index) const;
    void setText(int index, const QString& text);

    /// A document's label size, printer, port and zoom; without a document the printer and
    /// port of the current printer record. The port names the device it leads to on this
    /// machine ("COM1 (/dev/ttyS0)").
    void showStatus(const LabelDocument* document, const TPrinterSetting& current, const PortSettings& ports);

private:
    QList<QLabel*> panels_;
};

} // namespace korvel
