#pragma once

#include "printing/ports/PrinterPort.h"

#include <QFile>

#include <memory>

namespace korvel {

/// The command stream written to a file instead of a printer.
class FilePort : public PrinterPort {
public:
    enum class Mode {
        Append, ///< the write-to-file switch: every piece is added to the end of the file
        Fresh, ///< `korvel-cli print -o FILE`: the file is emptied when the port opens
    };

    FilePort(const QString& path, Mode mode, const PortLimits& limits = {});
    ~FilePort() override;

    PortCategory category() const override { return PortCategory::File; }
    QString describe() const override { return QStringLiteral("file %1").arg(path_); }
    bool isOpen() const override;
    QString path() const { return path_; }

    PortStatus OpenPort() override;
    /// Opens the file on first use, so the write-to-file switch works without OpenPort.
    PortStatus SendPiece(const QByteArray& piece) override;
    PortStatus ClosePort() override;

private:
    QString path_;
    Mode mode_;
    bool truncated_ = false; ///< a fresh file is emptied once, later openings append
    std::unique_ptr<QFile> file_;
    /// Pieces not yet written: a label's many small pieces go to the file in one write.
    QByteArray pending_;
    qsizetype pendingSize_ = 0;
    PortStatus writePending();
};

} // namespace korvel
