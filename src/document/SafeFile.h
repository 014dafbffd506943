#pragma once

#include <QByteArray>
#include <QString>

namespace korvel {

/// One output being written, complete or not at all. A regular file (or a name that does not
/// exist yet) is written into a uniquely named temporary file in the same folder, flushed to
/// the disk and renamed over the target by commit(); until then, and whenever the writer is
/// discarded or the process dies, the previous file stays as it was. A symbolic link is
/// followed and its target replaced. A character device or a FIFO is written through (it is
/// never replaced; a write error is a failure). A read-only file, a folder and any other kind
/// of file are refused.
class SafeFileWriter {
public:
    explicit SafeFileWriter(const QString& path);
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    /// Checks the target and opens the temporary file (or the device). False with a reason.
    bool open(QString* error);
    bool isOpen() const { return fd_ >= 0; }
    /// Writes all bytes (a device that takes only part of them is written to again).
    bool write(const char* data, qint64 size, QString* error);
    bool write(const QByteArray& bytes, QString* error) { return write(bytes.constData(), bytes.size(), error); }
    /// Flushes to the disk and puts the new file in place of the old one.
    bool commit(QString* error);
    /// Removes the temporary file; the target stays as it was.
    void discard();
    /// Whether the output goes straight to a device or FIFO (nothing is held back).
    bool writesThrough() const { return through_; }
    const QString& path() const { return path_; }

private:
    QString path_;
    QByteArray target_; ///< the file that is replaced, after following links
    QByteArray temporary_;
    int fd_ = -1;
    bool through_ = false;
    bool hadTarget_ = false;
    unsigned mode_ = 0;
    int slot_ = -1; ///< where the temporary's name waits for a signal's clean-up
};

/// Writes bytes to a file through SafeFileWriter. False with "cannot write PATH: reason".
/// Label files, "Label.dat", every INI file and every output of korvel-cli go through here.
bool WriteFileSafely(const QString& path, const QByteArray& bytes, QString* error);

/// Whether two names lead to the same existing file (the same device and inode).
bool SameFile(const QString& a, const QString& b);

/// Removes the temporary files of the writers still open. Safe to call from a signal handler
/// (the process is about to end and the temporaries would otherwise stay behind).
void RemovePendingTemporaries() noexcept;

} // namespace korvel
