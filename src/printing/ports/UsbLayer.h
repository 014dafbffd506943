#pragma once

#include "printing/ports/PortStatus.h"

#include <QList>
#include <QString>

#include <memory>

namespace korvel {

/// Where USB printers are looked for.
struct UsbOptions {
    QString deviceDir = QStringLiteral("/dev/usb"); ///< the kernel printer driver's files lp0, lp1 …
    bool useLibusb = true; ///< also list printer-class devices no kernel driver holds
};

/// One attached USB printer, in enumeration order.
struct UsbPrinterInfo {
    QString path; ///< the device file, or empty for a libusb device
    int bus = 0; ///< libusb devices: bus number and address
    int address = 0;
    QString description; ///< for lists and messages
};

/// An open USB printer.
class UsbConnection {
public:
    virtual ~UsbConnection() = default;
    virtual QString name() const = 0;
    /// Writes what the device takes within waitMs: the count written (0 when the wait ran out)
    /// or -1 with the reason in *error.
    virtual qint64 writeSome(const char* data, qint64 size, int waitMs, QString* error) = 0;
};

/// The attached printers: device files first (lp0, lp1 … by number), then libusb devices.
QList<UsbPrinterInfo> EnumUsbPrinters(const UsbOptions& options);
/// Opens printer number n (1-based) of the enumeration.
std::unique_ptr<UsbConnection> OpenUsbPrinter(int number, const UsbOptions& options, PortStatus* status);
/// Opens a printer device file by path.
std::unique_ptr<UsbConnection> OpenUsbDeviceFile(const QString& path, PortStatus* status);

} // namespace korvel
