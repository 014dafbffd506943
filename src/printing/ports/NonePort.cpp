#include "printing/ports/NonePort.h"

namespace korvel {

NonePort::NonePort(const PortLimits& limits, PortStatus openFailure)
    : PrinterPort(limits)
    , openFailure_(std::move(openFailure))
{
    if (openFailure_.ok())
        openFailure_ = PortStatus::failure(PortError::NoPort, QStringLiteral("no printer port is configured"));
}

} // namespace korvel
