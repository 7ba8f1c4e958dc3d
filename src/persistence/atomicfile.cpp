#include "atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace AtomicFile {

namespace {

Result failure(const QString &what, const QString &path, const QString &reason)
{
    return Result::failure(QStringLiteral("%1 %2: %3").arg(what, QDir::toNativeSeparators(path), reason));
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;

    int get() const { return m_fd; }
    // Closes now and reports the close error, which can be the first sign of a failed write.
    int close()
    {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result;
    }

private:
    int m_fd;
};

bool writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype remaining = bytes.size();
    while (remaining > 0) {
        const ssize_t written = ::write(fd, data, size_t(remaining));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        remaining -= written;
    }
    return true;
}

} // namespace

Result write(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    // Never write in place, even where the directory refuses a temporary file.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return failure(QStringLiteral("Could not create"), path, file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return failure(QStringLiteral("Could not write"), path, reason);
    }
    if (!file.commit())
        return failure(QStringLiteral("Could not write"), path, file.errorString());
    return syncDirectory(QFileInfo(path).absolutePath());
}

Result writeUnsynced(const QString &path, const QByteArray &bytes)
{
    // A fixed temporary name: one left behind by a killed process is reused, not accumulated.
    const QString temporaryPath = path + QStringLiteral(".tmp");
    const QByteArray nativeTemporary = QFile::encodeName(temporaryPath);
    FileDescriptor fd(::open(nativeTemporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (fd.get() < 0)
        return failure(QStringLiteral("Could not create"), temporaryPath, systemError(errno));
    if (!writeAll(fd.get(), bytes) || fd.close() != 0) {
        const int error = errno;
        ::unlink(nativeTemporary.constData());
        return failure(QStringLiteral("Could not write"), temporaryPath, systemError(error));
    }
    if (std::rename(nativeTemporary.constData(), QFile::encodeName(path).constData()) != 0) {
        const int error = errno;
        ::unlink(nativeTemporary.constData());
        return failure(QStringLiteral("Could not replace"), path, systemError(error));
    }
    return Result::success();
}

Result syncDirectory(const QString &directoryPath)
{
    FileDescriptor fd(::open(QFile::encodeName(directoryPath).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0 || ::fsync(fd.get()) != 0)
        return failure(QStringLiteral("Could not sync the folder"), directoryPath, systemError(errno));
    return Result::success();
}

} // namespace AtomicFile
