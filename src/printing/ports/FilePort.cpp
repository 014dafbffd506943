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
    if (mode_ == Mode::Fresh)
        return freshOpen_;
    return file_ && file_->isOpen();
}

PortStatus FilePort::OpenPort()
{
    if (isOpen())
        return PortStatus::success();
    if (path_.isEmpty())
        return PortStatus::failure(PortError::OpenFailed, QStringLiteral("no output file named"));
    if (mode_ == Mode::Fresh) {
        // Opened again after a close, the same new file goes on.
        if (!fresh_) {
            auto writer = std::make_unique<SafeFileWriter>(path_);
            QString error;
            if (!writer->open(&error))
                return PortStatus::failure(
                    PortError::OpenFailed, QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path_), error));
            fresh_ = std::move(writer);
        }
        freshOpen_ = true;
        return PortStatus::success();
    }
    auto file = std::make_unique<QFile>(path_);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return PortStatus::failure(
            PortError::OpenFailed, QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path_), file->errorString()));
    file_ = std::move(file);
    return PortStatus::success();
}

bool FilePort::writeBytes(const char* data, qint64 size, PortStatus& status)
{
    QString error;
    bool ok = false;
    if (fresh_) {
        ok = fresh_->write(data, size, &error);
    } else {
        ok = file_->write(data, size) == size;
        if (!ok)
            error = file_->errorString();
    }
    if (!ok)
        status = PortStatus::failure(PortError::WriteFailed, QStringLiteral("%1: %2").arg(path_, error));
    return ok;
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
        PortStatus s = PortStatus::success();
        writeBytes(piece.constData(), piece.size(), s);
        return s;
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
    PortStatus s = PortStatus::success();
    writeBytes(pending_.constData(), size, s);
    return s;
}

PortStatus FilePort::ClosePort()
{
    if (mode_ == Mode::Fresh) {
        if (!freshOpen_)
            return PortStatus::success();
        freshOpen_ = false;
        PortStatus s = writePending();
        if (!s)
            fresh_.reset(); // a broken stream is never delivered
        return s;
    }
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

PortStatus FilePort::CommitOutput()
{
    if (mode_ != Mode::Fresh)
        return PortStatus::success();
    if (PortStatus s = ClosePort(); !s)
        return s;
    if (!fresh_)
        return PortStatus::failure(PortError::WriteFailed, QStringLiteral("%1: nothing was written").arg(path_));
    QString error;
    const bool ok = fresh_->commit(&error);
    fresh_.reset();
    if (!ok)
        return PortStatus::failure(PortError::WriteFailed, QStringLiteral("%1: %2").arg(path_, error));
    return PortStatus::success();
}

} // namespace korvel
