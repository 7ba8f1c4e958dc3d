#include "boundeddevice.h"

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

BoundedDevice::BoundedDevice(QIODevice &source, qint64 offset, qint64 limit)
    : m_source(source)
    , m_offset(std::max<qint64>(offset, 0))
    , m_limit(std::max<qint64>(limit, 0))
{
    // The source buffers already; a second buffer here would only copy.
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

qint64 BoundedDevice::size() const
{
    return std::clamp<qint64>(m_source.size() - m_offset, 0, m_limit);
}

qint64 BoundedDevice::readData(char *data, qint64 maxSize)
{
    const qint64 position = pos();
    const qint64 wanted = std::min(maxSize, m_limit - position);
    if (wanted <= 0)
        return 0;
    if (m_source.pos() != m_offset + position && !m_source.seek(m_offset + position))
        return -1;
    return m_source.read(data, wanted);
}

qint64 BoundedDevice::writeData(const char *, qint64)
{
    return -1;
}

std::optional<QByteArray> readAtMost(QIODevice &device, qint64 limit)
{
    QByteArray bytes;
    constexpr qint64 chunkSize = 256 * 1024;
    while (true) {
        const qint64 room = limit + 1 - bytes.size();
        const QByteArray chunk = device.read(std::min(chunkSize, room));
        if (chunk.isEmpty())
            break;
        bytes.append(chunk);
        if (bytes.size() > limit)
            return std::nullopt;
    }
    return bytes;
}

std::unique_ptr<QFile> openRegularFile(const QString &path)
{
    if (path.isEmpty())
        return nullptr;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return nullptr;
    struct stat status = {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return nullptr;
    }
    return file;
}
