#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>
#include <vector>

namespace korvel {

class ZipEntryStream;

/// A read-only zip archive (the container of .xlsx workbooks): the central directory is read
/// once, entries are stored or deflated and are read as streams, so a large sheet never has to
/// be held in memory. Every offset and size is checked against the file.
class ZipArchive {
public:
    struct Entry {
        QString name;
        quint16 flags = 0;
        quint16 method = 0;
        quint32 crc = 0;
        quint64 compressedSize = 0;
        quint64 size = 0;
        quint64 localHeaderOffset = 0;
    };

    ZipArchive();
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    bool open(const QString& path);
    QString errorString() const { return error_; }

    const std::vector<Entry>& entries() const { return entries_; }
    /// The entry of that name (exact, then without regard to case), or null.
    const Entry* find(const QString& name) const;

    /// A stream over the entry's uncompressed bytes; null with errorString() set when the entry
    /// cannot be read (encrypted, unknown method, damaged header).
    std::unique_ptr<ZipEntryStream> openEntry(const Entry& entry);
    /// The whole entry, refused when it is larger than `limit` bytes.
    bool readAll(const Entry& entry, QByteArray* out, qint64 limit = 64 * 1024 * 1024);

private:
    bool fail(const QString& message);
    bool readCentralDirectory();

    QFile file_;
    std::vector<Entry> entries_;
    QString error_;
};

/// Uncompressed bytes of one entry, read piece by piece. The CRC and the size are checked when
/// the end is reached.
class ZipEntryStream {
public:
    ~ZipEntryStream();
    /// Up to `max` bytes; an empty array at the end or after an error.
    QByteArray read(qint64 max = 64 * 1024);
    bool atEnd() const { return done_; }
    bool failed() const { return !error_.isEmpty(); }
    QString errorString() const { return error_; }

private:
    friend class ZipArchive;
    struct Inflater;
    ZipEntryStream(QFile& file, const ZipArchive::Entry& entry, quint64 dataOffset);
    QByteArray fail(const QString& message);

    QFile& file_;
    ZipArchive::Entry entry_;
    quint64 position_;
    quint64 compressedLeft_;
    quint64 produced_ = 0;
    quint32 crc_ = 0;
    bool done_ = false;
    QString error_;
    std::unique_ptr<Inflater> inflater_;
};

} // namespace korvel
