#include "iconimagecheck.h"

#include "persistence/boundedimagereader.h"
#include "persistence/customiconstorage.h"

#include <QBuffer>

namespace {

std::optional<QImage> decode(QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return BoundedImageReader::read(buffer, SystemCustomIconStorage::maxPixelSide);
}

} // namespace

bool checkIconImport(const QByteArray &bytes)
{
    constexpr int maxSide = SystemCustomIconStorage::maxPixelSide;
    const auto image = decode(bytes);
    if (!image)
        return true;
    if (image->isNull() || std::max(image->width(), image->height()) > maxSide)
        return false;
    const auto png = SystemCustomIconStorage::pngData(*image, maxSide);
    if (!png)
        return false;
    const auto stored = decode(*png);
    return stored && stored->size() == image->size();
}
