#pragma once

#include "printing/ports/PrinterPort.h"

namespace korvel {

/// Port kind 4 ("none") and every kind that names no port: opening fails, and every piece
/// counts as sent without output.
class NonePort : public PrinterPort {
public:
    /// openFailure is what OpenPort reports (by default PortError::NoPort).
    explicit NonePort(const PortLimits& limits = {}, PortStatus openFailure = {});

    PortCategory category() const override { return PortCategory::None; }
    QString describe() const override { return QStringLiteral("none"); }
    bool isOpen() const override { return false; }

    PortStatus OpenPort() override { return openFailure_; }
    PortStatus SendPiece(const QByteArray&) override { return PortStatus::success(); }
    PortStatus ClosePort() override { return PortStatus::success(); }

private:
    PortStatus openFailure_;
};

} // namespace korvel
