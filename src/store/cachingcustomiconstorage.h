#pragma once

#include "store/services.h"

#include <QCache>
#include <QString>

#include <memory>
#include <optional>

// Keeps the pictures of another custom icon storage in memory, so that rebuilding a view reads
// no file. Every change of a stored file goes through this object (an import replaces its
// picture, a removal drops it), so what it keeps is never stale. At most `budget` bytes of
// pictures are kept (a stored icon is at most 128 x 128 pixels, 64 KiB); beyond that the least
// recently used are read again when asked for.
class CachingCustomIconStorage final : public CustomIconStorage
{
public:
    static constexpr qsizetype defaultBudget = 8 * 1024 * 1024;

    explicit CachingCustomIconStorage(std::unique_ptr<CustomIconStorage> stored, qsizetype budget = defaultBudget);

    // The storage whose pictures are kept.
    const CustomIconStorage &stored() const { return *m_stored; }

    std::optional<QString> importImage(const QUrl &source, const QString &fileName) override;
    std::optional<QImage> image(const QString &fileName) const override;
    void remove(const QString &fileName) override;

private:
    std::unique_ptr<CustomIconStorage> m_stored;
    // A file that could not be read is remembered as none.
    mutable QCache<QString, std::optional<QImage>> m_images;
};
