#include "printing/ports/PrinterPort.h"

#include <algorithm>

namespace korvel {

PortCategory CategoryOfComPort(std::uint8_t comPort)
{
    if (comPort <= 3)
        return PortCategory::Parallel;
    if (comPort == 4)
        return PortCategory::None;
    if (comPort <= 12)
        return PortCategory::Serial;
    if (comPort <= 20)
        return PortCategory::UsbDirect;
    if (comPort <= 28)
        return PortCategory::UsbAccumulating;
    if (comPort == 99)
        return PortCategory::Queue;
    return PortCategory::Invalid;
}

int DeviceNumberOfComPort(std::uint8_t comPort)
{
    switch (CategoryOfComPort(comPort)) {
    case PortCategory::Parallel: return comPort;
    case PortCategory::Serial: return comPort - 4;
    case PortCategory::UsbDirect: return comPort - 12;
    case PortCategory::UsbAccumulating: return comPort - 20;
    default: return 0;
    }
}

int WriteClock::nextWait(int slice) const
{
    const qint64 leftBudget = budgetMs_ - total_.elapsed();
    const qint64 leftStall = stallMs_ - progress_.elapsed();
    const qint64 left = std::min({ leftBudget, leftStall, qint64(slice) });
    return int(std::max<qint64>(1, left));
}

QString WriteClock::reason(qint64 sent, qint64 total) const
{
    if (stalled())
        return QStringLiteral("no byte accepted for %1 ms; %2 of %3 bytes sent").arg(stallMs_).arg(sent).arg(total);
    return QStringLiteral("piece not sent within %1 ms; %2 of %3 bytes sent").arg(budgetMs_).arg(sent).arg(total);
}

} // namespace korvel
