#include "imageprobe.h"

#include <QPixelFormat>

#include <algorithm>

namespace ImageProbe {

qint64 add(qint64 a, qint64 b)
{
    return std::min(unaffordable, a + b); // both are at most `unaffordable`, far from overflow
}

qint64 pixelCount(const QSize &size)
{
    return size.isValid() ? qint64(size.width()) * size.height() : 0;
}

qint64 pixelBytes(qint64 pixels, double bytesPerPixel)
{
    const double bytes = double(pixels) * bytesPerPixel;
    return bytes >= double(unaffordable) ? unaffordable : qint64(bytes);
}

qint64 imageBytes(const QSize &size, QImage::Format format)
{
    const qint64 depth = QImage::toPixelFormat(format).bitsPerPixel();
    const qint64 rowBytes = ((qint64(size.width()) * depth + 31) >> 5) << 2;
    return pixelBytes(rowBytes, size.height());
}

qint64 scalingCopyBytes(const QSize &size, QImage::Format format)
{
    switch (format) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGBX8888:
    case QImage::Format_RGBA8888_Premultiplied:
    case QImage::Format_RGBX64:
    case QImage::Format_RGBA64_Premultiplied:
        return 0;
    case QImage::Format_RGBA64:
    case QImage::Format_Grayscale16:
        return add(imageBytes(size, format), imageBytes(size, QImage::Format_RGBA64_Premultiplied));
    default:
        return add(imageBytes(size, format), imageBytes(size, QImage::Format_ARGB32_Premultiplied));
    }
}

qint64 fullDecodeBytes(const QSize &size, QImage::Format format)
{
    return add(imageBytes(size, format), scalingCopyBytes(size, format));
}

QByteArray readAt(QIODevice &device, qint64 position, qint64 count)
{
    if (position < 0 || count <= 0 || !device.seek(position))
        return {};
    return device.read(count);
}

} // namespace ImageProbe
