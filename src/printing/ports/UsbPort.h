#pragma once

#include "printing/ports/PrinterPort.h"
#include "printing/ports/UsbLayer.h"

#include <memory>

namespace korvel {

/// A USB printer by number (1-based, in enumeration order) or by device file.
class UsbPort : public PrinterPort {
public:
    enum class Mode {
        Direct, ///< port kinds 13-20
        Accumulating, ///< port kinds 21-28: the stream since the last job setup or label end
                      ///< forms one span, but every byte still goes out once
    };

    UsbPort(int number, Mode mode, const UsbOptions& options = {}, const PortLimits& limits = {});
    UsbPort(const QString& devicePath, Mode mode, const PortLimits& limits = {});
    ~UsbPort() override;

    PortCategory category() const override
    {
        return mode_ == Mode::Direct ? PortCategory::UsbDirect : PortCategory::UsbAccumulating;
    }
    QString describe() const override;
    bool isOpen() const override { return connection_ != nullptr; }

    PortStatus OpenPort() override;
    /// Every byte must be taken; a short or failed write is an error.
    PortStatus SendPiece(const QByteArray& piece) override;
    PortStatus ClosePort() override;
    void ClearAccumulation() override { accumulated_ = 0; }

    /// Bytes in the current accumulation span (0 in direct mode).
    qint64 accumulatedBytes() const { return accumulated_; }

private:
    int number_ = 0;
    QString path_;
    Mode mode_;
    UsbOptions options_;
    std::unique_ptr<UsbConnection> connection_;
    qint64 accumulated_ = 0;
};

} // namespace korvel
