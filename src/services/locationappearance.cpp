#include "locationappearance.h"

#include "appearanceresolver.h"

#include <QFile>

#include <sys/stat.h>

namespace {

// Bounds the cache for a process that meets very many locations over its life; the panels
// themselves hold far fewer.
constexpr qsizetype maxCachedLocations = 20'000;

qint64 nanoseconds(const timespec &time)
{
    return qint64(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

} // namespace

const LocationAppearance::Appearance &LocationAppearance::appearance(const QUrl &location)
{
    Stamp stamp;
    if (location.isLocalFile()) {
        struct stat status = {};
        if (::stat(QFile::encodeName(location.toLocalFile()).constData(), &status) == 0) {
            stamp = {true, status.st_dev, status.st_ino, status.st_size,
                     nanoseconds(status.st_mtim), nanoseconds(status.st_ctim)};
        }
    }
    auto found = m_cache.find(location);
    if (found != m_cache.end() && found->stamp == stamp)
        return *found;

    ResolvedAppearance resolved = resolveAppearance(location, stamp.exists);
    if (found == m_cache.end() && m_cache.size() >= maxCachedLocations)
        m_cache.clear();
    return *m_cache.insert(location, Appearance{stamp, std::move(resolved.icon), std::move(resolved.name)});
}

QIcon LocationAppearance::icon(const QUrl &location)
{
    return appearance(location).icon;
}

QString LocationAppearance::name(const QUrl &location)
{
    return appearance(location).name;
}
