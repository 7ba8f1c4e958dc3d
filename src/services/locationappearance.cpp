#include "locationappearance.h"

#include "appearanceresolver.h"

#include <QFile>

#include <chrono>

#include <sys/stat.h>

namespace {

// Bounds the cache for a process that meets very many locations over its life; the panels
// themselves hold far fewer.
constexpr qsizetype maxCachedLocations = 20'000;
constexpr qint64 recheckAfterNs = 500'000'000;

qint64 monotonicNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

qint64 nanoseconds(const timespec &time)
{
    return qint64(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

} // namespace

LocationAppearance::Stamp LocationAppearance::stampOf(const QByteArray &encodedPath)
{
    struct stat status = {};
    if (encodedPath.isEmpty() || ::stat(encodedPath.constData(), &status) != 0)
        return {};
    return {true, status.st_dev, status.st_ino, status.st_size, nanoseconds(status.st_mtim), nanoseconds(status.st_ctim)};
}

const LocationAppearance::Appearance &LocationAppearance::appearance(const QUrl &location)
{
    const qint64 now = monotonicNs();
    auto found = m_cache.find(location);
    if (found != m_cache.end() && now - found->checkedAtNs < recheckAfterNs)
        return *found;
    const QByteArray encodedPath = found != m_cache.end() ? found->encodedPath
        : location.isLocalFile()                           ? QFile::encodeName(location.toLocalFile())
                                                           : QByteArray();
    const Stamp stamp = stampOf(encodedPath);
    if (found != m_cache.end() && found->stamp == stamp) {
        found->checkedAtNs = now;
        return *found;
    }

    ResolvedAppearance resolved = resolveAppearance(location, stamp.exists);
    if (found == m_cache.end() && m_cache.size() >= maxCachedLocations)
        m_cache.clear();
    return *m_cache.insert(location, Appearance{encodedPath, stamp, now, std::move(resolved.icon), std::move(resolved.name)});
}

QIcon LocationAppearance::icon(const QUrl &location)
{
    return appearance(location).icon;
}

QString LocationAppearance::name(const QUrl &location)
{
    return appearance(location).name;
}
