#include "boundedfile.h"

#include "filedescriptor.h"

#include <QFile>
#include <QIODevice>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>

namespace BoundedFile {

namespace {

// Reads ask for whole pages: some special files (/proc/self/pagemap) refuse other sizes.
constexpr qint64 pageSize = 4096;
// Large enough for few system calls, small enough not to matter when a file turns out too long.
constexpr qint64 maxChunkSize = 1024 * 1024;

std::nullopt_t fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return std::nullopt;
}

QString systemError(int error)
{
    return error == ENOENT ? QStringLiteral("no such file") : QString::fromLocal8Bit(std::strerror(error));
}

struct OpenFile
{
    FileDescriptor fd;
    qint64 reportedSize = 0;
};

std::optional<OpenFile> openRegular(const QString &path, QString *error)
{
    // Non-blocking, so that opening a FIFO planted there returns at once instead of waiting for
    // a writer; it is refused just below.
    FileDescriptor fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.isValid())
        return fail(error, systemError(errno));
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0)
        return fail(error, systemError(errno));
    if (!S_ISREG(status.st_mode))
        return fail(error, QStringLiteral("not a regular file"));
    return OpenFile{std::move(fd), qint64(status.st_size)};
}

// Reads a file descriptor from its position, or from `offset` when one is given.
class DescriptorSource
{
public:
    DescriptorSource(int fd, std::optional<qint64> offset) : m_fd(fd), m_offset(offset) {}

    qint64 read(char *data, qint64 size)
    {
        for (;;) {
            const ssize_t got = m_offset ? ::pread(m_fd, data, size_t(size), off_t(*m_offset))
                                         : ::read(m_fd, data, size_t(size));
            if (got >= 0) {
                if (m_offset)
                    *m_offset += got;
                return got;
            }
            if (errno != EINTR) {
                m_error = errno;
                return -1;
            }
        }
    }
    QString errorString() const { return systemError(m_error); }

private:
    int m_fd;
    std::optional<qint64> m_offset;
    int m_error = 0;
};

class DeviceSource
{
public:
    explicit DeviceSource(QIODevice &device) : m_device(device) {}
    qint64 read(char *data, qint64 size) { return m_device.read(data, size); }
    QString errorString() const { return m_device.errorString(); }

private:
    QIODevice &m_device;
};

// What to do with data beyond the limit: refuse all of it, or stop reading at the limit.
enum class Overflow { Refuse, Truncate };

// The one reading loop. `expected` is the size the source reports, a hint for the buffer only.
template<typename Source>
std::optional<QByteArray> readBounded(Source &source, qint64 expected, qint64 limit, Overflow overflow,
                                      QString *error)
{
    const auto tooLarge = [&] { return fail(error, QStringLiteral("larger than %1 bytes").arg(limit)); };
    expected = std::max<qint64>(expected, 0);
    if (overflow == Overflow::Refuse && expected > limit)
        return tooLarge();
    try {
        QByteArray bytes;
        // Refusing needs room for one read past the limit, to see that the data goes on.
        bytes.reserve(std::min(expected, limit) + (overflow == Overflow::Refuse ? pageSize : 0));
        while (overflow == Overflow::Refuse || bytes.size() < limit) {
            // What the reported size leaves and a page to see the end; past it, as much again as
            // has been read, so that a file reporting 0 is read in growing chunks.
            const qint64 remaining = expected > bytes.size() ? expected - bytes.size() : bytes.size();
            qint64 wanted = std::clamp((remaining / pageSize + 1) * pageSize, pageSize, maxChunkSize);
            if (overflow == Overflow::Truncate)
                wanted = std::min(wanted, limit - bytes.size());
            const qsizetype at = bytes.size();
            bytes.resize(at + wanted);
            const qint64 got = source.read(bytes.data() + at, wanted);
            if (got < 0)
                return fail(error, source.errorString());
            bytes.resize(at + got);
            if (bytes.size() > limit)
                return tooLarge();
            if (got == 0)
                break;
        }
        return bytes;
    } catch (const std::bad_alloc &) {
        return fail(error, QStringLiteral("not enough memory to read it"));
    }
}

} // namespace

std::optional<QByteArray> read(const QString &path, qint64 limit, QString *error)
{
    std::optional<OpenFile> file = openRegular(path, error);
    if (!file)
        return std::nullopt;
    DescriptorSource source(file->fd.get(), std::nullopt);
    return readBounded(source, file->reportedSize, limit, Overflow::Refuse, error);
}

std::optional<QByteArray> readAt(const QString &path, qint64 offset, qint64 maxBytes)
{
    if (offset < 0 || maxBytes < 0)
        return std::nullopt;
    std::optional<OpenFile> file = openRegular(path, nullptr);
    if (!file)
        return std::nullopt;
    // A fresh descriptor is at the start; plain reads there also suit files that cannot seek.
    DescriptorSource source(file->fd.get(), offset > 0 ? std::optional(offset) : std::nullopt);
    return readBounded(source, file->reportedSize - offset, maxBytes, Overflow::Truncate, nullptr);
}

std::optional<QByteArray> read(QIODevice &device, qint64 limit)
{
    DeviceSource source(device);
    const qint64 reported = device.isSequential() ? 0 : device.size() - device.pos();
    return readBounded(source, reported, limit, Overflow::Refuse, nullptr);
}

std::unique_ptr<QFile> open(const QString &path)
{
    std::optional<OpenFile> opened = openRegular(path, nullptr);
    if (!opened)
        return nullptr;
    auto file = std::make_unique<QFile>();
    if (!file->open(opened->fd.get(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return nullptr;
    opened->fd.release();
    return file;
}

} // namespace BoundedFile
