#include "printing/ports/FilePort.h"

#include <QDir>
#include <QFileInfo>

namespace korvel {

FilePort::FilePort(const QString& path, Mode mode, const PortLimits& limits)
    : PrinterPort(limits)
    , path_(path)
    , mode_(mode)
{
}

FilePort::~FilePort()
{
    ClosePort();
}

bool FilePort::isOpen() const
{
    return file_ && file_->isOpen();
}

PortStatus FilePort::OpenPort()
{
    if (isOpen())
        return PortStatus::success();
    if (path_.isEmpty())
        return PortStatus::failure(PortError::OpenFailed, QStringLiteral("no output file named"));
    auto file = std::make_unique<QFile>(path_);
    const QIODevice::OpenMode how = mode_ == Mode::Append || truncated_ ? QIODevice::WriteOnly | QIODevice::Append
                                                                        : QIODevice::WriteOnly | QIODevice::Truncate;
    if (!file->open(how))
        return PortStatus::failure(
            PortError::OpenFailed, QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path_), file->errorString()));
    file_ = std::move(file);
    truncated_ = true;
    return PortStatus::success();
}

PortStatus FilePort::SendPiece(const QByteArray& piece)
{
    if (limits_.cancelled())
        return PortStatus::failure(PortError::Cancelled, describe());
    if (!isOpen()) {
        PortStatus s = OpenPort();
        if (!s)
            return s;
    }
    if (piece.isEmpty())
        return PortStatus::success();
    // The file's own buffer gathers the small pieces (a graphic travels as one piece per row);
    // a write that fails when the buffer goes to disk is reported here, the rest by the close.
    const qint64 written = file_->write(piece);
    if (written != piece.size())
        return PortStatus::failure(PortError::WriteFailed, QStringLiteral("%1: %2").arg(path_, file_->errorString()));
    return PortStatus::success();
}

PortStatus FilePort::ClosePort()
{
    if (!file_)
        return PortStatus::success();
    const bool flushed = !file_->isOpen() || file_->flush();
    const QString error = file_->errorString();
    file_->close();
    file_.reset();
    if (!flushed)
        return PortStatus::failure(PortError::WriteFailed, QStringLiteral("%1: %2").arg(path_, error));
    return PortStatus::success();
}

} // namespace korvel
