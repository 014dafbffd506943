#pragma once

#include "printing/ports/PortFactory.h"

namespace korvel {

class RegistryStore;

/// Group of the settings file that says where the port kinds lead on this machine.
inline const QString PortsKey = QStringLiteral("Ports");

/// The port settings the settings file gives, the defaults for what it leaves out. Values of
/// the "Ports" group: "Com1" … "Com8" (serial device files), "Lpt1" … "Lpt4" (parallel port
/// kinds 0-3), "UsbDevices" (the folder of the kernel's lp files), "Queue" and "QueueServer"
/// (the raw print queue), "WriteToFile" (the write-to-file switch's file) and "Printer", a
/// port description (`tcp:HOST:PORT` …) that replaces the port of every label's printer record,
/// "Lean" (1: lean printer streams) and "LeanGraphicsMemory" (bytes a lean stream may keep).
/// Empty values keep the defaults.
PortSettings ReadPortSettings(const RegistryStore& store);

} // namespace korvel
