#pragma once

#include <QString>
#include <QStringList>

namespace korvel {

/// The serial devices present on this machine (/dev/ttyS0, /dev/ttyUSB0 …), sorted.
QStringList ListSerialDevices();
/// The print queues the scheduler knows (raw queues among them); empty when no scheduler
/// answers. server: empty for the default one.
QStringList ListPrintQueues(const QString& server = QString());

} // namespace korvel
