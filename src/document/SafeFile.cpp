#include "document/SafeFile.h"

#include <QFile>

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvel {

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QByteArray folderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

QByteArray baseOf(const QByteArray& path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

/// Follows symbolic links to the file they lead to (which need not exist yet).
bool followLinks(QByteArray path, QByteArray& out, QString& why)
{
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st {};
        if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            out = path;
            return true;
        }
        std::array<char, PATH_MAX> buffer {};
        const ssize_t n = ::readlink(path.constData(), buffer.data(), buffer.size() - 1);
        if (n <= 0) {
            why = systemError(errno);
            return false;
        }
        QByteArray next(buffer.data(), n);
        path = next.startsWith('/') ? next : folderOf(path) + '/' + next;
    }
    why = QStringLiteral("too many levels of symbolic links");
    return false;
}

// Names of the temporaries still open, kept where a signal handler can reach them without
// allocating.
constexpr int kSlots = 16;
std::array<std::array<char, PATH_MAX>, kSlots> g_pending {};
std::array<std::atomic<bool>, kSlots> g_used {};
std::atomic<unsigned> g_counter { 0 };

int remember(const QByteArray& path)
{
    if (path.size() >= PATH_MAX)
        return -1;
    for (int i = 0; i < kSlots; ++i) {
        bool expected = false;
        if (g_used[std::size_t(i)].compare_exchange_strong(expected, true)) {
            std::memcpy(g_pending[std::size_t(i)].data(), path.constData(), std::size_t(path.size()) + 1);
            return i;
        }
    }
    return -1;
}

void forget(int slot)
{
    if (slot >= 0)
        g_used[std::size_t(slot)].store(false);
}

} // namespace

SafeFileWriter::SafeFileWriter(const QString& path)
    : path_(path)
{
}

SafeFileWriter::~SafeFileWriter()
{
    discard();
}

bool SafeFileWriter::open(QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (isOpen())
        return true;
    if (path_.isEmpty())
        return fail(QStringLiteral("no file named"));
    QString why;
    if (!followLinks(QFile::encodeName(path_), target_, why))
        return fail(why);

    struct stat st {};
    hadTarget_ = ::stat(target_.constData(), &st) == 0;
    if (hadTarget_) {
        if (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode)) {
            // Written through: a FIFO nobody reads from is refused at once instead of waiting.
            int fd = ::open(target_.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
            if (fd < 0)
                return fail(errno == ENXIO ? QStringLiteral("no program reads from it") : systemError(errno));
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
            fd_ = fd;
            through_ = true;
            return true;
        }
        if (S_ISDIR(st.st_mode))
            return fail(QStringLiteral("it is a folder"));
        if (!S_ISREG(st.st_mode))
            return fail(QStringLiteral("it is not a regular file, a character device or a FIFO"));
        // The mode bits count too: the super-user passes access(), but a file its owner made
        // read-only is not one to replace.
        if ((st.st_mode & 0222) == 0 || ::access(target_.constData(), W_OK) != 0)
            return fail(QStringLiteral("the file is read-only"));
        mode_ = st.st_mode & 07777;
    } else if (errno != ENOENT) {
        return fail(systemError(errno));
    }

    // A name of our own beside the target: unique per process and call, and never one that
    // may already belong to someone else (O_EXCL).
    const QByteArray folder = folderOf(target_);
    const QByteArray base = baseOf(target_).left(120);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray name = folder + "/." + base + '.' + QByteArray::number(::getpid()) + '-'
            + QByteArray::number(g_counter.fetch_add(1)) + '-' + QByteArray::number(attempt) + ".tmp";
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return fail(systemError(errno));
        }
        if (hadTarget_)
            (void)::fchmod(fd, mode_);
        fd_ = fd;
        temporary_ = name;
        slot_ = remember(name);
        return true;
    }
    return fail(QStringLiteral("no temporary file could be made beside it"));
}

bool SafeFileWriter::write(const char* data, qint64 size, QString* error)
{
    if (!isOpen()) {
        if (error)
            *error = QStringLiteral("the file is not open");
        return false;
    }
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, std::size_t(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (error)
                *error = systemError(errno);
            return false;
        }
        if (n == 0) {
            if (error)
                *error = QStringLiteral("the device takes no more bytes");
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

bool SafeFileWriter::commit(QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        discard();
        return false;
    };
    if (!isOpen())
        return fail(QStringLiteral("the file is not open"));
    if (through_) {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0 && errno != EINTR)
            return fail(systemError(errno));
        return true;
    }
    // A full disk or the file-size limit can show only here; the rename waits until the bytes
    // are safe.
    if (::fsync(fd_) != 0)
        return fail(QStringLiteral("the data could not be stored on the disk (%1)").arg(systemError(errno)));
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR)
        return fail(systemError(errno));
    if (::rename(temporary_.constData(), target_.constData()) != 0)
        return fail(systemError(errno));
    temporary_.clear();
    forget(slot_);
    slot_ = -1;
    const int folder = ::open(folderOf(target_).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        (void)::fsync(folder);
        ::close(folder);
    }
    return true;
}

void SafeFileWriter::discard()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporary_.isEmpty()) {
        ::unlink(temporary_.constData());
        temporary_.clear();
    }
    forget(slot_);
    slot_ = -1;
}

bool WriteFileSafely(const QString& path, const QByteArray& bytes, QString* error)
{
    SafeFileWriter file(path);
    QString why;
    if (file.open(&why) && file.write(bytes, &why) && file.commit(&why))
        return true;
    if (error)
        *error = QStringLiteral("cannot write %1: %2").arg(path, why);
    return false;
}

bool SameFile(const QString& a, const QString& b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    struct stat sa {};
    struct stat sb {};
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0 || ::stat(QFile::encodeName(b).constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

void RemovePendingTemporaries() noexcept
{
    for (int i = 0; i < kSlots; ++i) {
        if (g_used[std::size_t(i)].load())
            ::unlink(g_pending[std::size_t(i)].data());
    }
}

} // namespace korvel
