#include "boundedimagereader.h"

#include <QFileInfo>
#include <QImageReader>

#include <algorithm>

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

    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QByteArray format = reader.format();
    if (format.isEmpty())
        return std::nullopt;
    const bool vector = isVectorFormat(format);

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

} // namespace BoundedImageReader
