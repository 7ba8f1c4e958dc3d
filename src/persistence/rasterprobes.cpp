// The headers of GIF, BMP, ICO and WebP files. Their readers decode the whole picture at its own
// size; it is reduced afterwards.

#include "imageprobe.h"

#include "boundeddevice.h"

#include <QtEndian>

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace ImageProbe {

namespace {

// More pictures than any real icon file holds; keeps the search for the largest short.
constexpr int maxIconEntries = 64;

// A device-independent bitmap header: the picture's size and bits per pixel.
struct BitmapHeader
{
    QSize size;
    int bitCount = 0;
    bool uncompressed = true; // rows of pixels as they are, no run-length coding
};

std::optional<BitmapHeader> readBitmapHeader(QIODevice &device, qint64 position)
{
    const QByteArray header = readAt(device, position, 20);
    if (header.size() < 12)
        return std::nullopt;
    const quint32 headerSize = qFromLittleEndian<quint32>(header.constData());
    if (headerSize == 12) // the old form, with 16-bit sizes
        return BitmapHeader{QSize(qFromLittleEndian<quint16>(header.constData() + 4),
                                  qFromLittleEndian<quint16>(header.constData() + 6)),
                            qFromLittleEndian<quint16>(header.constData() + 10)};
    if (headerSize < 40 || header.size() < 20)
        return std::nullopt;
    const qint32 width = qFromLittleEndian<qint32>(header.constData() + 4);
    const qint32 height = qFromLittleEndian<qint32>(header.constData() + 8);
    if (width <= 0 || height == 0 || height == std::numeric_limits<qint32>::min())
        return std::nullopt;
    const quint32 compression = qFromLittleEndian<quint32>(header.constData() + 16);
    return BitmapHeader{QSize(width, std::abs(height)), qFromLittleEndian<quint16>(header.constData() + 14),
                        compression == 0 || compression == 3};
}

QImage::Format bitmapFormat(int bitCount)
{
    if (bitCount > 8)
        return QImage::Format_ARGB32;
    return bitCount > 1 ? QImage::Format_Indexed8 : QImage::Format_Mono;
}

// One picture of an icon file: a whole PNG file, or a bitmap of twice the height whose lower
// half is the transparency mask.
std::optional<DecodePlan> iconEntry(QIODevice &device, const QByteArray &entry)
{
    const qint64 bytes = qFromLittleEndian<quint32>(entry.constData() + 8);
    const qint64 offset = qFromLittleEndian<quint32>(entry.constData() + 12);
    // The reader takes the entry's bytes in one read of the size the entry states.
    if (bytes <= 0 || offset + bytes > device.size())
        return std::nullopt;
    if (readAt(device, offset, 8) == "\x89PNG\r\n\x1a\n") {
        BoundedDevice png(device, offset, bytes);
        auto plan = ImageProbe::png(png, 0);
        if (plan)
            plan->peakBytes = add(plan->peakBytes, bytes);
        return plan;
    }
    auto header = readBitmapHeader(device, offset);
    if (!header || header->size.height() < 2)
        return std::nullopt;
    const QSize size(header->size.width(), header->size.height() / 2);
    const int bitCount = header->bitCount ? header->bitCount : qFromLittleEndian<quint16>(entry.constData() + 6);
    // The picture, its conversion to 32 bits to apply the mask, the mask, and the reduction.
    qint64 peak = add(fullDecodeBytes(size, QImage::Format_ARGB32), imageBytes(size, bitmapFormat(bitCount)));
    peak = add(peak, imageBytes(size, QImage::Format_Mono));
    return DecodePlan{size, add(peak, bytes), 0};
}

} // namespace

std::optional<DecodePlan> gif(QIODevice &device)
{
    const QByteArray header = readAt(device, 0, 10);
    if (header.size() < 10)
        return std::nullopt;
    const QSize size(qFromLittleEndian<quint16>(header.constData() + 6),
                     qFromLittleEndian<quint16>(header.constData() + 8));
    if (size.isEmpty())
        return std::nullopt;
    // The screen the frames are drawn on, a copy of the area a frame restores, and the reduction.
    const qint64 peak = add(fullDecodeBytes(size, QImage::Format_ARGB32), imageBytes(size, QImage::Format_ARGB32));
    return DecodePlan{size, peak, 0};
}

std::optional<DecodePlan> bmp(QIODevice &device)
{
    const auto header = readBitmapHeader(device, 14);
    if (!header || header->size.isEmpty())
        return std::nullopt;
    // Rows stored as they are must all be in the file: a few bytes claiming a million rows would
    // otherwise be decoded, widened and reduced in full.
    const QByteArray fileHeader = readAt(device, 0, 14);
    const qint64 pixelsAt = fileHeader.size() == 14 ? qFromLittleEndian<quint32>(fileHeader.constData() + 10) : 0;
    const qint64 stride = (qint64(header->size.width()) * header->bitCount + 31) / 32 * 4;
    if (header->uncompressed && add(pixelsAt, pixelBytes(stride, header->size.height())) > device.size())
        return std::nullopt;
    const qint64 rowBytes = pixelBytes(header->size.width(), 4);
    return DecodePlan{header->size, add(fullDecodeBytes(header->size, bitmapFormat(header->bitCount)), rowBytes), 0};
}

std::optional<DecodePlan> ico(QIODevice &device, qint64 budget)
{
    const QByteArray directory = readAt(device, 0, 6);
    if (directory.size() < 6 || qFromLittleEndian<quint16>(directory.constData() + 2) != 1)
        return std::nullopt;
    const int count = std::min<int>(qFromLittleEndian<quint16>(directory.constData() + 4), maxIconEntries);
    std::optional<DecodePlan> best;
    for (int index = 0; index < count; ++index) {
        const QByteArray entry = readAt(device, 6 + 16 * index, 16);
        if (entry.size() < 16)
            break;
        auto plan = iconEntry(device, entry);
        if (plan && plan->peakBytes <= budget && (!best || pixelCount(plan->size) > pixelCount(best->size))) {
            best = plan;
            best->imageIndex = index;
        }
    }
    return best;
}

std::optional<DecodePlan> webp(QIODevice &device)
{
    const QByteArray header = readAt(device, 0, 30);
    if (header.size() < 30 || !header.startsWith("RIFF") || QByteArrayView(header).sliced(8, 4) != "WEBP")
        return std::nullopt;
    const QByteArrayView chunk = QByteArrayView(header).sliced(12, 4);
    const char *data = header.constData() + 20;
    QSize size;
    bool alpha = false;
    bool lossless = false;
    bool animated = false;
    if (chunk == "VP8 ") {
        if (QByteArrayView(data + 3, 3) != "\x9d\x01\x2a")
            return std::nullopt;
        size = QSize(qFromLittleEndian<quint16>(data + 6) & 0x3fff, qFromLittleEndian<quint16>(data + 8) & 0x3fff);
    } else if (chunk == "VP8L") {
        if (quint8(data[0]) != 0x2f)
            return std::nullopt;
        const quint32 bits = qFromLittleEndian<quint32>(data + 1);
        size = QSize(int(bits & 0x3fff) + 1, int((bits >> 14) & 0x3fff) + 1);
        alpha = (bits >> 28) & 1;
        lossless = true;
    } else if (chunk == "VP8X") {
        const auto read24 = [](const char *at) {
            return int(quint8(at[0]) | quint8(at[1]) << 8 | quint8(at[2]) << 16);
        };
        animated = data[0] & 0x02;
        alpha = data[0] & 0x10;
        lossless = true; // not known before the picture's own chunk
        size = QSize(read24(data + 4) + 1, read24(data + 7) + 1);
    } else {
        return std::nullopt;
    }
    if (size.isEmpty())
        return std::nullopt;
    // The whole file twice (read from here, then copied by the reader), the decoded picture,
    // the lossless decoder's own copy, the canvas of an animation, an alpha plane, the reduction.
    double bytesPerPixel = 4;
    bytesPerPixel += lossless ? 4 : 0;
    bytesPerPixel += animated ? 4 : 0;
    bytesPerPixel += alpha ? 5 : 0;
    // libwebp's caches of a few rows of macroblocks.
    const qint64 rowCaches = pixelBytes(size.width(), 512);
    const qint64 peak = add(add(pixelBytes(device.size(), 2), pixelBytes(pixelCount(size), bytesPerPixel)), rowCaches);
    return DecodePlan{size, peak, 0};
}

} // namespace ImageProbe
