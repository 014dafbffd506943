#pragma once

#include "document/SafeFile.h"
#include "printing/ports/PrinterPort.h"

#include <QFile>

#include <memory>

namespace korvel {

/// The command stream written to a file instead of a printer.
class FilePort : public PrinterPort {
public:
    enum class Mode {
        Append, ///< the write-to-file switch: every piece is added to the end of the file
        /// `korvel-cli print -o FILE`: a new file that replaces the old one only when the job
        /// completes (CommitOutput); a device or FIFO is written through
        Fresh,
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
    /// A fresh file takes the place of the old one; until then the old one stays.
    PortStatus CommitOutput() override;

private:
    QString path_;
    Mode mode_;
    std::unique_ptr<QFile> file_; ///< the append mode's file
    std::unique_ptr<SafeFileWriter> fresh_; ///< the fresh mode's new file, open until committed
    bool freshOpen_ = false; ///< between OpenPort and ClosePort
    bool writeBytes(const char* data, qint64 size, PortStatus& status);
    /// Pieces not yet written: a label's many small pieces go to the file in one write.
    QByteArray pending_;
    qsizetype pendingSize_ = 0;
    PortStatus writePending();
};

} // namespace korvel
