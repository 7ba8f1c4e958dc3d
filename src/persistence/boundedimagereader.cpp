#include "boundedimagereader.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <zlib.h>

#include <algorithm>
#include <array>

namespace BoundedImageReader {

namespace {

// More entries than any real multi-resolution icon holds; stops a crafted file from making the
// search for the largest entry long.
constexpr int maxEntriesSearched = 64;

qint64 pixelCount(const QSize &size)
{
    return size.isValid() ? qint64(size.width()) * size.height() : 0;
}

bool isVectorFormat(const QByteArray &format)
{
    return format == "svg" || format == "svgz";
}

bool fitsBudget(const QSize &size, bool vector)
{
    return vector || pixelCount(size) <= maxRasterPixels;
}

bool isGzip(const QByteArray &head)
{
    return head.startsWith("\x1f\x8b");
}

// The decompressed bytes of a gzip stream, or none when it is damaged or would exceed `limit`.
// Qt's own reader of compressed drawings inflates without any limit.
std::optional<QByteArray> inflateGzip(QByteArray compressed, qint64 limit)
{
    z_stream stream{};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK)
        return std::nullopt;
    stream.next_in = reinterpret_cast<Bytef *>(compressed.data());
    stream.avail_in = uInt(compressed.size());
    QByteArray inflated;
    std::array<char, 64 * 1024> chunk;
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef *>(chunk.data());
        stream.avail_out = uInt(chunk.size());
        status = inflate(&stream, Z_NO_FLUSH);
        const qsizetype produced = qsizetype(chunk.size() - stream.avail_out);
        if (inflated.size() + produced > limit)
            status = Z_MEM_ERROR;
        else
            inflated.append(chunk.data(), produced);
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END)
        return std::nullopt;
    return inflated;
}

struct Entry
{
    int index = 0;
    QSize size;  // invalid when the format cannot tell before decoding
};

// The largest entry within the budget, or the first one. Leaves the reader on that entry.
std::optional<Entry> chooseEntry(QImageReader &reader, bool vector)
{
    Entry best{0, reader.size()};
    const int count = std::min(reader.imageCount(), maxEntriesSearched);
    bool moved = false;
    for (int index = 1; index < count && reader.jumpToImage(index); ++index) {
        moved = true;
        const QSize size = reader.size();
        const bool bestFits = fitsBudget(best.size, vector);
        if (fitsBudget(size, vector) && (!bestFits || pixelCount(size) > pixelCount(best.size)))
            best = Entry{index, size};
    }
    if (moved && !reader.jumpToImage(best.index))
        return std::nullopt;
    return best;
}

std::optional<QImage> decode(QImageReader &reader, qint64 sourceBytes, int maxSide)
{
    reader.setAutoTransform(true);
    const QByteArray format = reader.format();
    if (format.isEmpty())
        return std::nullopt;
    const bool vector = isVectorFormat(format);
    if (vector && sourceBytes > maxVectorBytes)
        return std::nullopt;

    const auto entry = chooseEntry(reader, vector);
    if (!entry)
        return std::nullopt;
    if (entry->size.isValid()) {
        if (entry->size.isEmpty() || !fitsBudget(entry->size, vector))
            return std::nullopt;
        // Formats that can decode at a smaller size do so; the rest decode within the budget
        // and are reduced by the reader.
        reader.setScaledSize(reducedSize(entry->size, maxSide));
    } else if (vector) {
        // A drawing without a size would be rendered at whatever size it claims while drawing.
        return std::nullopt;
    }
    // The size is unknown until decoded: only Qt's allocation limit bounds this decode.

    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    return image;
}

} // namespace

QSize reducedSize(const QSize &size, int maxSide)
{
    if (size.isEmpty() || maxSide < 1)
        return {};
    const qint64 longer = std::max(size.width(), size.height());
    if (longer <= maxSide)
        return size;
    const auto reduce = [&](int side) { return int(std::max<qint64>(1, qint64(side) * maxSide / longer)); };
    return QSize(reduce(size.width()), reduce(size.height()));
}

std::optional<QImage> read(const QString &path, int maxSide)
{
    // Only regular files: a FIFO or a device would block or never end.
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > maxFileBytes)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;

    if (!isGzip(file.peek(2))) {
        file.close();
        // By name, so that formats without a signature are still known by their suffix.
        QImageReader reader(path);
        return decode(reader, info.size(), maxSide);
    }
    // Compressed: only a drawing is read that way, inflated here within the drawing limit.
    auto inflated = inflateGzip(file.readAll(), maxVectorBytes);
    if (!inflated)
        return std::nullopt;
    QBuffer buffer(&*inflated);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (reader.format() != "svg")
        return std::nullopt;
    return decode(reader, inflated->size(), maxSide);
}

} // namespace BoundedImageReader
