#pragma once

#include "printing/ports/PrinterPort.h"

#include <memory>

class QTcpSocket;

namespace korvel {

inline constexpr quint16 kRawPrintPort = 9100;

/// A network printer's raw socket: the command stream goes out unchanged over TCP.
class TcpPort : public PrinterPort {
public:
    TcpPort(const QString& host, quint16 port = kRawPrintPort, const PortLimits& limits = {});
    ~TcpPort() override;

    PortCategory category() const override { return PortCategory::Tcp; }
    QString describe() const override;
    bool isOpen() const override;

    /// Connects within PortLimits::connectMs.
    PortStatus OpenPort() override;
    PortStatus SendPiece(const QByteArray& piece) override;
    /// Sends what is still queued (within the stall bound) and closes the connection.
    PortStatus ClosePort() override;

private:
    /// Waits until the socket has handed every queued byte to the system.
    PortStatus flush(qint64 sentBefore, qint64 pieceSize, WriteClock& clock);
    QString where() const;

    QString host_;
    quint16 port_;
    std::unique_ptr<QTcpSocket> socket_;
};

} // namespace korvel
