#include "atomicfile.h"

#include "filedescriptor.h"
#include "persistencelog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace AtomicFile {

namespace {

const QLatin1String temporaryInfix(".quayrow2-tmp-");
constexpr int temporaryRandomLength = 6;

Result failure(const QString &what, const QString &path, const QString &reason)
{
    return Result::failure(QStringLiteral("%1 %2: %3").arg(what, QDir::toNativeSeparators(path), reason));
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool isTemporaryCharacter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

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

enum class Durability { Synced, Unsynced };

// Writes `bytes` to a fresh temporary file beside `target` and renames it over `target`.
Result replace(const QString &target, const QByteArray &bytes, Durability durability)
{
    const QByteArray nativeTarget = QFile::encodeName(target);
    QByteArray nativeTemporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        QString name = target + temporaryInfix;
        for (int i = 0; i < temporaryRandomLength; ++i) {
            static constexpr char alphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
            name.append(QLatin1Char(alphabet[QRandomGenerator::global()->bounded(int(sizeof alphabet - 1))]));
        }
        nativeTemporary = QFile::encodeName(name);
        // O_EXCL with O_CREAT fails on anything already there, a link or a FIFO included.
        fd = ::open(nativeTemporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return failure(QStringLiteral("Could not create a file beside"), target, systemError(errno));
    }
    FileDescriptor file(fd);
    if (file.get() < 0)
        return failure(QStringLiteral("Could not create a file beside"), target, systemError(EEXIST));

    const auto abandon = [&](const QString &what, const QString &path, int error) {
        ::unlink(nativeTemporary.constData());
        return failure(what, path, systemError(error));
    };
    // The replaced file's permissions carry over; a new file gets the usual ones.
    struct stat previous {};
    if (::lstat(nativeTarget.constData(), &previous) == 0 && S_ISREG(previous.st_mode)
        && ::fchmod(file.get(), previous.st_mode & 07777) != 0)
        return abandon(QStringLiteral("Could not set the permissions of a file beside"), target, errno);
    if (!writeAll(file.get(), bytes) || (durability == Durability::Synced && ::fdatasync(file.get()) != 0)
        || file.close() != 0)
        return abandon(QStringLiteral("Could not write"), target, errno);
    if (std::rename(nativeTemporary.constData(), nativeTarget.constData()) != 0)
        return abandon(QStringLiteral("Could not replace"), target, errno);
    if (durability == Durability::Synced)
        return syncDirectory(QFileInfo(target).absolutePath());
    return Result::success();
}

} // namespace

QString linkTarget(const QString &path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < 40 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.isSymLink() ? path : info.filePath();
}

Result write(const QString &path, const QByteArray &bytes)
{
    return replace(linkTarget(path), bytes, Durability::Synced);
}

Result writeUnsynced(const QString &path, const QByteArray &bytes)
{
    return replace(path, bytes, Durability::Unsynced);
}

Result syncDirectory(const QString &directoryPath)
{
    FileDescriptor fd(::open(QFile::encodeName(directoryPath).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0 && ::fsync(fd.get()) == 0)
        return Result::success();
    const int error = errno;
    if (fd.get() >= 0 && (error == EINVAL || error == ENOTSUP)) {
        static std::atomic_bool logged = false;
        if (!logged.exchange(true)) {
            qCInfo(lcPersistence, "The file system of %s cannot sync folders (%s); saving without it",
                   qUtf8Printable(QDir::toNativeSeparators(directoryPath)), qUtf8Printable(systemError(error)));
        }
        return Result::success();
    }
    return failure(QStringLiteral("Could not sync the folder"), directoryPath, systemError(error));
}

bool isTemporaryFileName(QStringView fileName)
{
    const qsizetype infixAt = fileName.size() - temporaryRandomLength - temporaryInfix.size();
    if (infixAt < 1 || fileName.mid(infixAt, temporaryInfix.size()) != temporaryInfix)
        return false;
    const QStringView random = fileName.right(temporaryRandomLength);
    return std::all_of(random.begin(), random.end(), isTemporaryCharacter);
}

} // namespace AtomicFile
