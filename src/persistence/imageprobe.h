#pragma once

#include <QByteArray>
#include <QImage>
#include <QIODevice>
#include <QSize>

#include <optional>

// Before a picture is decoded, its header tells how large it is and how much memory its reader
// will hold while decoding it at a reduced size. The figures follow the readers in use (Qt's
// plugins over libpng, libjpeg and libwebp, Qt's own GIF, BMP, ICO and SVG code): what they
// allocate for the picture, the working copies they make and the metadata they keep. Where that
// depends on data further on in the file, the figure errs on the high side.
struct DecodePlan
{
    QSize size;           // the picture at its own resolution; invalid for a drawing (asked later)
    qint64 peakBytes = 0; // the most memory the reader holds at once
    int imageIndex = 0;   // the picture to decode, in a file holding several
};

namespace ImageProbe {

// A figure too large for any budget; the arithmetic below saturates at it.
constexpr qint64 unaffordable = qint64(1) << 60;

// Each probe reads its format's header from `device` (seekable, positioned anywhere, holding
// the whole file) and answers none when the header is damaged or describes something its reader
// cannot decode. `maxSide` is the longer side the picture will be reduced to; for a PNG, 0 means
// decoding at full size (as Qt does with a PNG inside an icon file).
std::optional<DecodePlan> png(QIODevice &device, int maxSide);
std::optional<DecodePlan> jpeg(QIODevice &device, int maxSide);
std::optional<DecodePlan> gif(QIODevice &device);
std::optional<DecodePlan> bmp(QIODevice &device);
// Of an icon file's pictures, the largest whose decoding fits `budget`.
std::optional<DecodePlan> ico(QIODevice &device, qint64 budget);
std::optional<DecodePlan> webp(QIODevice &device);
// A drawing, given as its whole text. None also for a drawing that would read other files (an
// embedded image or an external style sheet names any path, a FIFO or a device among them).
std::optional<DecodePlan> svg(const QByteArray &document, int maxSide);

// --- Shared arithmetic --------------------------------------------------------------------------

// `pixels` × `bytesPerPixel`, saturating at `unaffordable`.
qint64 pixelBytes(qint64 pixels, double bytesPerPixel);
qint64 pixelCount(const QSize &size);
// The bytes of an image of `size` in `format`, rows padded as QImage pads them.
qint64 imageBytes(const QSize &size, QImage::Format format);
// What reducing a full-size image of that format costs on top of it: unless the smooth scaler
// takes the format directly, it detaches a copy of the image and converts that.
qint64 scalingCopyBytes(const QSize &size, QImage::Format format);
// A picture of `size` decoded whole in `format`, and its reduction: imageBytes + scalingCopyBytes.
qint64 fullDecodeBytes(const QSize &size, QImage::Format format);
// Saturating sum.
qint64 add(qint64 a, qint64 b);

// `count` bytes of `device` from `position`; shorter at the end of the device.
QByteArray readAt(QIODevice &device, qint64 position, qint64 count);

} // namespace ImageProbe
