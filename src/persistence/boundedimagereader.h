#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

// Decodes an image file from outside with bounded memory.
//
// The decoder is asked for the image's size before anything is decoded. Vector images are
// rendered directly at the reduced size; raster images above a fixed pixel budget are refused
// instead of decoded, and everything else is decoded at the reduced size where the format can
// do so. Qt's own allocation limit stays in force underneath for formats that cannot tell their
// size up front. Compressed drawings are inflated here, within a size limit. Of a file holding
// several images (an icon with several resolutions), the largest that fits the budget is taken.
namespace BoundedImageReader {

// Files larger than this are refused unread: no icon source needs it, and some decoders read
// the whole file into memory.
constexpr qint64 maxFileBytes = 256LL * 1024 * 1024;
// The largest raster image decoded at all (a 64-megapixel photograph fits).
constexpr qint64 maxRasterPixels = 64LL * 1000 * 1000;
// The largest drawing parsed, after decompression: the whole text is held and parsed at once.
constexpr qint64 maxVectorBytes = 32LL * 1024 * 1024;

// The reduction rule: scale = min(maxSide / longer side, 1); each side becomes
// floor(side * scale), at least 1, computed exactly. Invalid for an empty size or maxSide < 1.
QSize reducedSize(const QSize &size, int maxSide);

// The image at `path` with neither side above `maxSide` where the format reports its size up
// front, or none when the file is missing, not a regular file, too large, or not a decodable
// image.
std::optional<QImage> read(const QString &path, int maxSide);

} // namespace BoundedImageReader
