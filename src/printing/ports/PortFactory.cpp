#include "printing/ports/PortFactory.h"

#include "document/DataPaths.h"
#include "printing/ports/FilePort.h"
#include "printing/ports/NonePort.h"
#include "printing/ports/SerialPort.h"
#include "printing/ports/TcpPort.h"
#include "printing/ports/UsbPort.h"

#include <QDir>

namespace korvel {

PortSettings::PortSettings()
{
    for (int i = 0; i < int(serialDevices.size()); ++i)
        serialDevices[std::size_t(i)] = QStringLiteral("/dev/ttyS%1").arg(i);
    for (int i = 0; i < int(parallelDevices.size()); ++i)
        parallelDevices[std::size_t(i)] = QStringLiteral("/dev/parport%1").arg(i);
    writeToFilePath = QDir(settingsDirectory()).filePath(QStringLiteral("temp.txt"));
}

QString SerialDevice(const PortSettings& settings, int n)
{
    if (n < 1 || n > int(settings.serialDevices.size()))
        return {};
    return settings.serialDevices[std::size_t(n - 1)];
}

namespace {

std::unique_ptr<PrinterPort> parallelPort(const QString& device, const PortSettings& settings)
{
    ParallelOptions options = settings.parallel;
    options.device = device;
    return std::make_unique<ParallelPort>(options, nullptr, settings.limits);
}

std::unique_ptr<PrinterPort> serialPort(
    const QString& device, int baudRate, const TPrinterSetting& setting, const PortSettings& settings)
{
    SerialParams params = SerialParams::fromSetting(setting, device);
    if (baudRate > 0)
        params.BaudRate = baudRate;
    return std::make_unique<SerialPort>(params, settings.limits);
}

} // namespace

std::unique_ptr<PrinterPort> CreatePortFromSpec(
    const PortSpec& portSpec, const TPrinterSetting& setting, const PortSettings& settings)
{
    switch (portSpec.kind) {
    case PortSpecKind::None: return std::make_unique<NonePort>(settings.limits);
    case PortSpecKind::File: return CreateOutputFilePort(portSpec.path, settings.limits);
    case PortSpecKind::Serial: {
        const QString device = portSpec.path.isEmpty() ? SerialDevice(settings, portSpec.number) : portSpec.path;
        return serialPort(device, portSpec.baudRate, setting, settings);
    }
    case PortSpecKind::Parallel: {
        const bool numbered
            = portSpec.path.isEmpty() && portSpec.number >= 0 && portSpec.number < int(settings.parallelDevices.size());
        return parallelPort(
            numbered ? settings.parallelDevices[std::size_t(portSpec.number)] : portSpec.path, settings);
    }
    case PortSpecKind::Usb: {
        // A description names one device; the accumulating mode belongs to the record's kinds.
        if (!portSpec.path.isEmpty())
            return std::make_unique<UsbPort>(portSpec.path, UsbPort::Mode::Direct, settings.limits);
        return std::make_unique<UsbPort>(portSpec.number, UsbPort::Mode::Direct, settings.usb, settings.limits);
    }
    case PortSpecKind::Queue: {
        QueueOptions queue = settings.queue;
        if (!portSpec.name.isEmpty())
            queue.name = portSpec.name;
        return std::make_unique<QueuePort>(queue, settings.limits);
    }
    case PortSpecKind::Tcp: return std::make_unique<TcpPort>(portSpec.host, portSpec.port, settings.limits);
    }
    return std::make_unique<NonePort>(settings.limits);
}

std::unique_ptr<PrinterPort> CreatePort(const TPrinterSetting& setting, const PortSettings& settings)
{
    if (!settings.overrideSpec.trimmed().isEmpty()) {
        const PortSpecParse parsed = ParsePortSpec(settings.overrideSpec);
        if (!parsed.ok)
            return std::make_unique<NonePort>(settings.limits, PortStatus::failure(PortError::BadSpec, parsed.error));
        return CreatePortFromSpec(parsed.portSpec, setting, settings);
    }
    const int n = DeviceNumberOfComPort(setting.ComPort);
    switch (CategoryOfComPort(setting.ComPort)) {
    case PortCategory::Parallel: return parallelPort(settings.parallelDevices[std::size_t(n)], settings);
    case PortCategory::Serial: return serialPort(SerialDevice(settings, n), 0, setting, settings);
    case PortCategory::UsbDirect:
        return std::make_unique<UsbPort>(n, UsbPort::Mode::Direct, settings.usb, settings.limits);
    case PortCategory::UsbAccumulating:
        return std::make_unique<UsbPort>(n, UsbPort::Mode::Accumulating, settings.usb, settings.limits);
    case PortCategory::Queue: return std::make_unique<QueuePort>(settings.queue, settings.limits);
    case PortCategory::None: return std::make_unique<NonePort>(settings.limits);
    default:
        return std::make_unique<NonePort>(settings.limits,
            PortStatus::failure(PortError::NoPort, QStringLiteral("port kind %1 names no port").arg(setting.ComPort)));
    }
}

QString PortDestination(const TPrinterSetting& setting, const PortSettings& settings)
{
    if (!settings.overrideSpec.trimmed().isEmpty())
        return settings.overrideSpec.trimmed();
    const int n = DeviceNumberOfComPort(setting.ComPort);
    switch (CategoryOfComPort(setting.ComPort)) {
    case PortCategory::Parallel:
        return n >= 0 && n < int(settings.parallelDevices.size()) ? settings.parallelDevices[std::size_t(n)] : QString();
    case PortCategory::Serial: return SerialDevice(settings, n);
    case PortCategory::Queue: return settings.queue.name;
    default: return {};
    }
}

std::unique_ptr<PrinterPort> CreateWriteToFilePort(const PortSettings& settings)
{
    return std::make_unique<FilePort>(settings.writeToFilePath, FilePort::Mode::Append, settings.limits);
}

std::unique_ptr<PrinterPort> CreateOutputFilePort(const QString& path, const PortLimits& limits)
{
    return std::make_unique<FilePort>(path, FilePort::Mode::Fresh, limits);
}

} // namespace korvel
