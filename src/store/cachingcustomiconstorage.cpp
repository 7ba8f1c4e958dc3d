#include "cachingcustomiconstorage.h"

#include <algorithm>

namespace {

qsizetype costOf(const std::optional<QImage> &image)
{
    return std::max<qsizetype>(1, image ? image->sizeInBytes() : 0);
}

} // namespace

CachingCustomIconStorage::CachingCustomIconStorage(std::unique_ptr<CustomIconStorage> stored, qsizetype budget)
    : m_stored(std::move(stored))
    , m_images(budget)
{
}

std::optional<QString> CachingCustomIconStorage::importImage(const QUrl &source, const QString &fileName)
{
    // The file of this name is replaced, or left as it was when the import fails; either way it
    // is read again when next asked for.
    m_images.remove(fileName);
    return m_stored->importImage(source, fileName);
}

std::optional<QImage> CachingCustomIconStorage::image(const QString &fileName) const
{
    if (const std::optional<QImage> *kept = m_images.object(fileName))
        return *kept;
    auto read = std::make_unique<std::optional<QImage>>(m_stored->image(fileName));
    std::optional<QImage> result = *read;
    const qsizetype cost = costOf(result);
    m_images.insert(fileName, read.release(), cost);
    return result;
}

void CachingCustomIconStorage::remove(const QString &fileName)
{
    m_images.remove(fileName);
    m_stored->remove(fileName);
}
