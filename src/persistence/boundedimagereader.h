#pragma once

#include <QImage>
#include <QIODevice>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>

// Decodes a picture from outside with bounded memory.
//
// Only the formats of IconImageFormats are read, recognised by their content. Before anything is
// decoded, the picture's header tells its size and what its reader will hold while decoding it
// at the reduced size (ImageProbe); a picture whose decoding would exceed the budget is refused,
// and every other is decoded at the reduced size where its format allows that: baseline JPEG
// through libjpeg's scaling, 8-bit PNG row by row, drawings rendered straight at that size.
// Every read of the file is bounded while it happens, whatever size the file reports.
namespace BoundedImageReader {

// The most memory one decode may hold (a progressive JPEG of about 40 megapixels, a PNG or WebP
// picture decoded whole at about 30, a baseline JPEG or 8-bit PNG of any size up to the format's
// own limits).
constexpr qint64 decodeBudget = 128LL * 1024 * 1024;
// Longer files are not read past this: readers that stream need time, not memory, for more.
constexpr qint64 maxFileBytes = 512LL * 1024 * 1024;
// The longest drawing read, after decompression.
constexpr qint64 maxDrawingBytes = 32LL * 1024 * 1024;
// Pictures of at least this many pixels, and drawings whose parse state is at least this large,
// take long enough to decode for the user to notice (about a tenth of a second and more).
constexpr qint64 longDecodePixels = 16LL * 1000 * 1000;
constexpr qint64 longDecodeDrawingBytes = 16LL * 1024 * 1024;

// Runs the decode it is given, for a picture that takes a while, so that the caller can show
// that the program is busy. Called at most once per read, on the reading thread.
using LongDecodeScope = std::function<void(const std::function<void()> &decode)>;

// The reduction rule: scale = min(maxSide / longer side, 1); each side becomes
// floor(side * scale), at least 1, computed exactly. Invalid for an empty size or maxSide < 1.
QSize reducedSize(const QSize &size, int maxSide);

// The picture at `path` reduced to at most `maxSide` on its longer side, or none when the file
// is missing, not a regular file, not of an accepted format, damaged, or too costly to decode.
std::optional<QImage> read(const QString &path, int maxSide, const LongDecodeScope &longDecode = {});
// The same for the content of `device`, which must be open for reading and seekable.
std::optional<QImage> read(QIODevice &device, int maxSide, const LongDecodeScope &longDecode = {});

} // namespace BoundedImageReader
