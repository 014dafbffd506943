#include "printing/ports/FilePort.h"

#include <QDir>
#include <QFileInfo>

#include <cstring>

namespace korvel {

namespace {
constexpr qsizetype kFileWriteChunk = 64 * 1024;
}

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
    if (!file->open(how | QIODevice::Unbuffered))
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
    // Small pieces (a graphic travels as one piece per row) are gathered and written together;
    // a write that fails is reported by the piece that caused it, the rest by the close.
    if (pendingSize_ + piece.size() > kFileWriteChunk) {
        if (PortStatus s = writePending(); !s)
            return s;
    }
    if (piece.size() >= kFileWriteChunk) {
        if (file_->write(piece) != piece.size())
            return PortStatus::failure(
                PortError::WriteFailed, QStringLiteral("%1: %2").arg(path_, file_->errorString()));
        return PortStatus::success();
    }
    if (pending_.size() < kFileWriteChunk)
        pending_.resize(kFileWriteChunk);
    std::memcpy(pending_.data() + pendingSize_, piece.constData(), std::size_t(piece.size()));
    pendingSize_ += piece.size();
    return PortStatus::success();
}

PortStatus FilePort::writePending()
{
    if (pendingSize_ == 0)
        return PortStatus::success();
    const qint64 size = pendingSize_;
    pendingSize_ = 0;
    const qint64 written = file_->write(pending_.constData(), size);
    if (written != size)
        return PortStatus::failure(PortError::WriteFailed, QStringLiteral("%1: %2").arg(path_, file_->errorString()));
    return PortStatus::success();
}

PortStatus FilePort::ClosePort()
{
    if (!file_)
        return PortStatus::success();
    const bool flushed = !file_->isOpen() || (writePending().ok() && file_->flush());
    const QString error = file_->errorString();
    file_->close();
    file_.reset();
    if (!flushed)
        return PortStatus::failure(PortError::WriteFailed, QStringLiteral("%1: %2").arg(path_, error));
    return PortStatus::success();
}

} // namespace korvel
