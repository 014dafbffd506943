#include "variables/database/ZipArchive.h"

#include "document/Binary.h"

#include <zlib.h>

#include <algorithm>

namespace korvel {

namespace {

constexpr quint32 EndOfDirectorySignature = 0x06054b50;
constexpr quint32 DirectoryEntrySignature = 0x02014b50;
constexpr quint32 LocalHeaderSignature = 0x04034b50;
constexpr qint64 EndOfDirectorySize = 22;
constexpr qint64 LocalHeaderSize = 30;
constexpr qint64 DirectoryEntrySize = 46;

} // namespace

struct ZipEntryStream::Inflater {
    z_stream z{};
    bool initialised = false;
    ~Inflater()
    {
        if (initialised)
            inflateEnd(&z);
    }
};

ZipArchive::ZipArchive() = default;
ZipArchive::~ZipArchive() = default;

bool ZipArchive::fail(const QString& message)
{
    error_ = message;
    return false;
}

bool ZipArchive::open(const QString& path)
{
    entries_.clear();
    error_.clear();
    file_.setFileName(path);
    if (!file_.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot open %1: %2").arg(path, file_.errorString()));
    return readCentralDirectory();
}

bool ZipArchive::readCentralDirectory()
{
    const qint64 size = file_.size();
    if (size < EndOfDirectorySize)
        return fail(QStringLiteral("%1 is not a zip archive").arg(file_.fileName()));
    // The end record sits at the very end, followed only by a comment of at most 65535 bytes.
    const qint64 tailSize = std::min<qint64>(size, EndOfDirectorySize + 65535);
    file_.seek(size - tailSize);
    const QByteArray tail = file_.read(tailSize);
    qsizetype at = -1;
    for (qsizetype i = tail.size() - EndOfDirectorySize; i >= 0; --i) {
        if (FixedRecord(tail.mid(i, 4)).i32(0) == static_cast<qint32>(EndOfDirectorySignature)) {
            at = i;
            break;
        }
    }
    if (at < 0)
        return fail(QStringLiteral("%1 is not a zip archive").arg(file_.fileName()));
    const FixedRecord end(tail.mid(at, EndOfDirectorySize));
    const quint16 count = end.u16(10);
    const quint32 dirSize = static_cast<quint32>(end.i32(12));
    const quint32 dirOffset = static_cast<quint32>(end.i32(16));
    if (count == 0xFFFF || dirSize == 0xFFFFFFFF || dirOffset == 0xFFFFFFFF)
        return fail(QStringLiteral("%1: archives in the 64-bit zip form are not supported").arg(file_.fileName()));
    if (static_cast<qint64>(dirOffset) + dirSize > size)
        return fail(QStringLiteral("%1: the zip directory lies outside the file").arg(file_.fileName()));
    file_.seek(dirOffset);
    const QByteArray dir = file_.read(dirSize);
    if (dir.size() != static_cast<qsizetype>(dirSize))
        return fail(QStringLiteral("%1: cannot read the zip directory").arg(file_.fileName()));

    ByteReader in(dir);
    for (int i = 0; i < count; ++i) {
        const qsizetype start = in.pos();
        if (in.u32() != DirectoryEntrySignature)
            return fail(QStringLiteral("%1: damaged zip directory").arg(file_.fileName()));
        in.seek(start + 8);
        Entry e;
        e.flags = in.u16();
        e.method = in.u16();
        in.skip(4);
        e.crc = in.u32();
        e.compressedSize = in.u32();
        e.size = in.u32();
        const quint16 nameLength = in.u16();
        const quint16 extraLength = in.u16();
        const quint16 commentLength = in.u16();
        in.skip(8);
        e.localHeaderOffset = in.u32();
        const QByteArray name = in.bytes(nameLength);
        in.skip(extraLength + commentLength);
        if (!in.ok() || in.pos() - start < DirectoryEntrySize)
            return fail(QStringLiteral("%1: damaged zip directory").arg(file_.fileName()));
        // Bit 11 marks UTF-8 names; the others are in the old PC code page, which for the names
        // of workbook parts is plain ASCII anyway.
        e.name = (e.flags & 0x800) ? QString::fromUtf8(name) : QString::fromLatin1(name);
        entries_.push_back(e);
    }
    return true;
}

const ZipArchive::Entry* ZipArchive::find(const QString& name) const
{
    for (const Entry& e : entries_)
        if (e.name == name)
            return &e;
    for (const Entry& e : entries_)
        if (e.name.compare(name, Qt::CaseInsensitive) == 0)
            return &e;
    return nullptr;
}

std::unique_ptr<ZipEntryStream> ZipArchive::openEntry(const Entry& e)
{
    if (e.flags & 0x1) {
        fail(QStringLiteral("%1: the part %2 is encrypted").arg(file_.fileName(), e.name));
        return nullptr;
    }
    if (e.method != 0 && e.method != 8) {
        fail(QStringLiteral("%1: the part %2 uses an unsupported compression (method %3)").arg(file_.fileName(), e.name).arg(e.method));
        return nullptr;
    }
    // A part that would inflate out of all proportion (a "zip bomb") is refused before a byte
    // of it is inflated; the stream holds every part to its declared size.
    constexpr quint64 kMaxPartSize = 300ULL * 1024 * 1024;
    constexpr quint64 kMaxRatio = 400;
    if (e.size > kMaxPartSize || (e.size > 32ULL * 1024 * 1024 && e.size / std::max<quint64>(e.compressedSize, 1) > kMaxRatio)) {
        fail(QStringLiteral("%1: the part %2 would inflate to %3 MB from %4 KB, more than a workbook holds")
                 .arg(file_.fileName(), e.name)
                 .arg(e.size >> 20)
                 .arg(e.compressedSize >> 10));
        return nullptr;
    }
    const qint64 size = file_.size();
    if (static_cast<qint64>(e.localHeaderOffset) + LocalHeaderSize > size) {
        fail(QStringLiteral("%1: the part %2 lies outside the file").arg(file_.fileName(), e.name));
        return nullptr;
    }
    file_.seek(static_cast<qint64>(e.localHeaderOffset));
    const FixedRecord header(file_.read(LocalHeaderSize));
    if (header.size() != LocalHeaderSize || static_cast<quint32>(header.i32(0)) != LocalHeaderSignature) {
        fail(QStringLiteral("%1: damaged header of the part %2").arg(file_.fileName(), e.name));
        return nullptr;
    }
    const quint64 dataOffset = e.localHeaderOffset + LocalHeaderSize + header.u16(26) + header.u16(28);
    if (dataOffset + e.compressedSize > static_cast<quint64>(size)) {
        fail(QStringLiteral("%1: the part %2 is cut short").arg(file_.fileName(), e.name));
        return nullptr;
    }
    auto stream = std::unique_ptr<ZipEntryStream>(new ZipEntryStream(file_, e, dataOffset));
    if (stream->failed()) {
        fail(stream->errorString());
        return nullptr;
    }
    return stream;
}

bool ZipArchive::readAll(const Entry& e, QByteArray* out, qint64 limit)
{
    out->clear();
    if (e.size > static_cast<quint64>(limit))
        return fail(QStringLiteral("%1: the part %2 is too large").arg(file_.fileName(), e.name));
    auto stream = openEntry(e);
    if (!stream)
        return false;
    while (!stream->atEnd()) {
        const QByteArray piece = stream->read();
        if (stream->failed())
            return fail(stream->errorString());
        out->append(piece);
    }
    return true;
}

ZipEntryStream::ZipEntryStream(QFile& file, const ZipArchive::Entry& entry, quint64 dataOffset)
    : file_(file), entry_(entry), position_(dataOffset), compressedLeft_(entry.compressedSize)
{
    crc_ = static_cast<quint32>(crc32(0, nullptr, 0));
    if (entry_.method == 8) {
        inflater_ = std::make_unique<Inflater>();
        if (inflateInit2(&inflater_->z, -MAX_WBITS) != Z_OK)
            error_ = QStringLiteral("cannot start decompressing %1").arg(entry_.name);
        else
            inflater_->initialised = true;
    }
}

ZipEntryStream::~ZipEntryStream() = default;

QByteArray ZipEntryStream::fail(const QString& message)
{
    error_ = message;
    done_ = true;
    return {};
}

QByteArray ZipEntryStream::read(qint64 max)
{
    if (done_ || failed() || max <= 0)
        return {};
    QByteArray out;
    if (!inflater_) {
        const qint64 n = static_cast<qint64>(std::min<quint64>(compressedLeft_, static_cast<quint64>(max)));
        file_.seek(static_cast<qint64>(position_));
        out = file_.read(n);
        if (out.size() != n)
            return fail(QStringLiteral("cannot read the part %1").arg(entry_.name));
        position_ += static_cast<quint64>(n);
        compressedLeft_ -= static_cast<quint64>(n);
        if (compressedLeft_ == 0)
            done_ = true;
    } else {
        out.resize(max);
        z_stream& z = inflater_->z;
        z.next_out = reinterpret_cast<Bytef*>(out.data());
        z.avail_out = static_cast<uInt>(max);
        QByteArray input;
        while (z.avail_out > 0 && !done_) {
            if (z.avail_in == 0) {
                if (compressedLeft_ == 0)
                    return fail(QStringLiteral("the part %1 is cut short").arg(entry_.name));
                const qint64 n = static_cast<qint64>(std::min<quint64>(compressedLeft_, 64 * 1024));
                file_.seek(static_cast<qint64>(position_));
                input = file_.read(n);
                if (input.size() != n)
                    return fail(QStringLiteral("cannot read the part %1").arg(entry_.name));
                position_ += static_cast<quint64>(n);
                compressedLeft_ -= static_cast<quint64>(n);
                z.next_in = reinterpret_cast<Bytef*>(input.data());
                z.avail_in = static_cast<uInt>(n);
            }
            const int r = inflate(&z, Z_NO_FLUSH);
            if (r == Z_STREAM_END) {
                done_ = true;
            } else if (r != Z_OK && r != Z_BUF_ERROR) {
                return fail(QStringLiteral("the part %1 is damaged (%2)").arg(entry_.name, QString::fromLatin1(z.msg ? z.msg : "inflate")));
            } else if (r == Z_BUF_ERROR && z.avail_in == 0 && compressedLeft_ == 0) {
                return fail(QStringLiteral("the part %1 is cut short").arg(entry_.name));
            }
        }
        out.resize(max - z.avail_out);
        // Input not consumed by this call stays in `input`, which is about to go away: step the
        // file position back so the next call reads it again.
        if (z.avail_in > 0) {
            position_ -= z.avail_in;
            compressedLeft_ += z.avail_in;
            z.avail_in = 0;
            z.next_in = nullptr;
        }
    }
    produced_ += static_cast<quint64>(out.size());
    crc_ = static_cast<quint32>(crc32(crc_, reinterpret_cast<const Bytef*>(out.constData()), static_cast<uInt>(out.size())));
    if (produced_ > entry_.size)
        return fail(QStringLiteral("the part %1 is larger than its directory says").arg(entry_.name));
    if (done_) {
        if (produced_ != entry_.size)
            return fail(QStringLiteral("the part %1 has the wrong size").arg(entry_.name));
        if (crc_ != entry_.crc)
            return fail(QStringLiteral("the part %1 fails its checksum").arg(entry_.name));
    }
    return out;
}

} // namespace korvel
