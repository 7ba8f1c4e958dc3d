#include "regularfile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }

private:
    int m_fd;
};

// Opens without blocking (a FIFO would wait for a writer) and accepts only regular files.
std::optional<QByteArray> read(const QString &path, qint64 offset, qint64 maxBytes, bool wholeFileOnly)
{
    if (path.isEmpty() || maxBytes < 0 || offset < 0)
        return std::nullopt;
    const QByteArray encoded = QFile::encodeName(path);
    const FileDescriptor fd(::open(encoded.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0)
        return std::nullopt;
    struct stat status = {};
    if (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    if (wholeFileOnly && status.st_size > maxBytes)
        return std::nullopt;

    const qint64 available = std::max<qint64>(0, status.st_size - offset);
    QByteArray data(static_cast<qsizetype>(std::min<qint64>(maxBytes, available)), Qt::Uninitialized);
    qsizetype filled = 0;
    while (filled < data.size()) {
        const ssize_t count = ::pread(fd.get(), data.data() + filled, static_cast<size_t>(data.size() - filled),
                                      static_cast<off_t>(offset + filled));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return std::nullopt;
        if (count == 0)
            break;
        filled += count;
    }
    data.truncate(filled);
    return data;
}

} // namespace

std::optional<QByteArray> readRegularFileHead(const QString &path, qint64 maxBytes)
{
    return read(path, 0, maxBytes, false);
}

std::optional<QByteArray> readRegularFileAt(const QString &path, qint64 offset, qint64 maxBytes)
{
    return read(path, offset, maxBytes, false);
}

std::optional<QByteArray> readSmallRegularFile(const QString &path, qint64 maxBytes)
{
    return read(path, 0, maxBytes, true);
}
