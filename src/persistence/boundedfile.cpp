#include "boundedfile.h"

#include <QFile>
#include <QScopeGuard>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace BoundedFile {

namespace {

// Read at a time: large enough for few system calls, small enough not to matter when a file
// turns out to be too long; a multiple of every record size a special file may insist on.
constexpr qint64 chunkSize = 1024 * 1024;

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

QString tooLarge(qint64 limit)
{
    return QStringLiteral("larger than %1 bytes").arg(limit);
}

} // namespace

std::optional<QByteArray> read(const QString &path, qint64 limit, QString *error)
{
    // Non-blocking, so that opening a FIFO planted there returns at once instead of waiting for
    // a writer; it is refused just below.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return fail(error, systemError(errno));
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return fail(error, systemError(errno));
    if (!S_ISREG(status.st_mode))
        return fail(error, QStringLiteral("not a regular file"));
    if (status.st_size > limit)
        return fail(error, tooLarge(limit));

    try {
        QByteArray bytes;
        bytes.reserve(qMin<qint64>(status.st_size, limit) + chunkSize);
        for (;;) {
            // Whole chunks, even past the limit: some files (/proc/self/pagemap) refuse odd sizes.
            const qint64 wanted = chunkSize;
            const qsizetype at = bytes.size();
            bytes.resize(at + wanted);
            const ssize_t got = ::read(fd, bytes.data() + at, size_t(wanted));
            if (got < 0 && errno == EINTR) {
                bytes.resize(at);
                continue;
            }
            if (got < 0)
                return fail(error, systemError(errno));
            bytes.resize(at + got);
            if (bytes.size() > limit)
                return fail(error, tooLarge(limit));
            if (got == 0)
                return bytes;
        }
    } catch (const std::bad_alloc &) {
        return fail(error, QStringLiteral("not enough memory to read it"));
    }
}

} // namespace BoundedFile
