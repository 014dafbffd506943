#pragma once

#include "document/PrinterSetting.h"
#include "printing/ports/ParallelPort.h"
#include "printing/ports/PortSpec.h"
#include "printing/ports/PrinterPort.h"
#include "printing/ports/QueuePort.h"
#include "printing/ports/UsbLayer.h"

#include <array>
#include <memory>

namespace korvel {

/// Where the port kinds of the printer settings record lead on this machine. The settings
/// file fills it (its "Ports" group); the defaults are the usual Linux device names.
struct PortSettings {
    PortSettings();

    std::array<QString, 8> serialDevices; ///< "Com1" … "Com8"; default /dev/ttyS0 … /dev/ttyS7
    std::array<QString, 4> parallelDevices; ///< port kinds 0-3; default /dev/parport0 … 3
    UsbOptions usb;
    QueueOptions queue; ///< default queue "VTX-Relay" on the default server
    QString writeToFilePath; ///< default temp.txt in the settings folder
    /// A port description that replaces the record's port kind (a network printer, say), so
    /// that the 40-byte record keeps its meaning for existing files. Empty: use the record.
    QString overrideSpec;
    PortLimits limits;
    ParallelOptions parallel; ///< waits and the retry question; the device comes from above
    /// Lean printer streams on every run (see PrintJobOptions::lean).
    bool lean = false;
    /// Graphics memory in bytes a lean stream may fill; 0 keeps the job's default.
    qint64 leanGraphicsMemory = 0;
};

/// The device of serial port "ComN" (n = 1-8); empty for other numbers.
QString SerialDevice(const PortSettings& settings, int n);

/// Where the record's port leads on this machine, for the status bar: the device file of a
/// serial or parallel port, the raw queue's name, or the description that overrides the record.
/// Empty for kinds that lead to no one place before a job starts (USB, none).
QString PortDestination(const TPrinterSetting& setting, const PortSettings& settings);

/// The port the record names (or the override description); never null. A kind that names no
/// port, or an override that does not parse, gives a port that fails to open with the reason.
std::unique_ptr<PrinterPort> CreatePort(const TPrinterSetting& setting, const PortSettings& settings);
/// The port of a parsed description; serial line parameters other than the speed come from
/// the record.
std::unique_ptr<PrinterPort> CreatePortFromSpec(
    const PortSpec& portSpec, const TPrinterSetting& setting, const PortSettings& settings);
/// The write-to-file switch's target: every piece is appended to the file.
std::unique_ptr<PrinterPort> CreateWriteToFilePort(const PortSettings& settings);
/// An output file made fresh for this job (`korvel-cli print -o FILE`).
std::unique_ptr<PrinterPort> CreateOutputFilePort(const QString& path, const PortLimits& limits = {});

} // namespace korvel
