#pragma once

#include "document/PrinterSetting.h"
#include "printing/ports/PrinterPort.h"

#include <memory>

class QSerialPort;

namespace korvel {

/// Line parameters of a serial printer, as the printer settings record holds them.
struct SerialParams {
    QString device;
    std::int32_t BaudRate = 38400;
    std::uint8_t ByteSize = 8;
    std::uint8_t StopBits = 0; ///< 0 one stop bit; anything else keeps the device's own setting
    std::int32_t Parity = 0; ///< 0 none, 1 odd, 2 even, 3 mark, 4 space
    std::uint8_t FlowControl = 1; ///< 0 XON/XOFF, 1 RTS/CTS, other values none

    static SerialParams fromSetting(const TPrinterSetting& setting, const QString& device);
};

/// A serial printer through Qt SerialPort, in raw mode: no byte of the stream is changed on
/// the wire. Writes are bounded by the line speed plus an allowance for the printer holding
/// the line (flow control), never by a per-byte wait.
class SerialPort : public PrinterPort {
public:
    SerialPort(const SerialParams& params, const PortLimits& limits = {});
    ~SerialPort() override;

    PortCategory category() const override { return PortCategory::Serial; }
    QString describe() const override { return QStringLiteral("serial %1").arg(params_.device); }
    bool isOpen() const override;
    const SerialParams& params() const { return params_; }

    PortStatus OpenPort() override;
    PortStatus SendPiece(const QByteArray& piece) override;
    PortStatus ClosePort() override;
    /// The per-byte allowance of the job stage; it bounds how long the printer may hold the
    /// line (capped by PortLimits::stallMs).
    bool SetSerialWriteTimeout(int msPerByte) override;

    /// Time allowed for a piece of n bytes at the current settings.
    int pieceBudgetMs(qint64 bytes) const;
    int writeTimeoutMultiplier() const { return multiplier_; }
    /// The open device's file descriptor (-1 when closed), for line-setting diagnostics.
    int nativeHandle() const;

private:
    PortStatus abortWrite(PortStatus status);
    int allowanceMs() const;

    SerialParams params_;
    std::unique_ptr<QSerialPort> port_;
    int multiplier_ = 2000;
    int bitsPerChar_ = 10;
};

} // namespace korvel
