#include "boundedimagereader.h"

#include "boundeddevice.h"
#include "boundedfile.h"
#include "iconimageformats.h"
#include "imageprobe.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>

#include <zlib.h>

#include <algorithm>
#include <array>

namespace BoundedImageReader {

namespace {

// The decompressed bytes of the gzip stream that `device` holds, or none when it is damaged or
// would exceed `limit`. Qt's own reader of compressed drawings inflates without any limit.
std::optional<QByteArray> inflateGzip(QIODevice &device, qint64 limit)
{
    z_stream stream{};
    if (!device.seek(0) || inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK)
        return std::nullopt;
    QByteArray inflated;
    std::array<char, 64 * 1024> input;
    std::array<char, 64 * 1024> output;
    int status = Z_OK;
    while (status == Z_OK) {
        if (stream.avail_in == 0) {
            const qint64 got = device.read(input.data(), qint64(input.size()));
            if (got <= 0)
                break;
            stream.next_in = reinterpret_cast<Bytef *>(input.data());
            stream.avail_in = uInt(got);
        }
        stream.next_out = reinterpret_cast<Bytef *>(output.data());
        stream.avail_out = uInt(output.size());
        status = inflate(&stream, Z_NO_FLUSH);
        const qsizetype produced = qsizetype(output.size() - stream.avail_out);
        if (inflated.size() + produced > limit)
            status = Z_MEM_ERROR;
        else
            inflated.append(output.data(), produced);
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END)
        return std::nullopt;
    return inflated;
}

std::optional<QImage> decode(QIODevice &device, const QByteArray &format, const std::optional<DecodePlan> &plan,
                             int maxSide, const LongDecodeScope &longDecode)
{
    if (!plan || plan->peakBytes > decodeBudget || !device.seek(0))
        return std::nullopt;
    QImageReader reader(&device, format);
    // Never another reader than the one chosen here, whatever the content claims.
    reader.setAutoDetectImageFormat(false);
    reader.setAutoTransform(true);
    if (plan->imageIndex > 0 && !reader.jumpToImage(plan->imageIndex))
        return std::nullopt;
    // A drawing's size is known once it is parsed, which its plan has allowed.
    const QSize size = plan->size.isValid() ? plan->size : reader.size();
    const QSize target = reducedSize(size, maxSide);
    if (!target.isValid())
        return std::nullopt;
    reader.setScaledSize(target);

    QImage image;
    const auto run = [&] { image = reader.read(); };
    // Decoding time follows the pixels of a picture and the parse state of a drawing.
    const bool takesLong = plan->size.isValid() ? ImageProbe::pixelCount(plan->size) >= longDecodePixels
                                                : plan->peakBytes >= longDecodeDrawingBytes;
    if (longDecode && takesLong)
        longDecode(run);
    else
        run();
    if (image.isNull())
        return std::nullopt;
    return image;
}

std::optional<QImage> readDrawing(const QByteArray &document, int maxSide, const LongDecodeScope &longDecode)
{
    // Text in a drawing needs the font database, which exists only in a GUI application.
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return std::nullopt;
    QByteArray text = document;
    QBuffer buffer(&text);
    buffer.open(QIODevice::ReadOnly);
    return decode(buffer, QByteArrayLiteral("svg"), ImageProbe::svg(document, maxSide), maxSide, longDecode);
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

std::optional<QImage> read(const QString &path, int maxSide, const LongDecodeScope &longDecode)
{
    const std::unique_ptr<QFile> file = BoundedFile::open(path);
    if (!file)
        return std::nullopt;
    return read(*file, maxSide, longDecode);
}

std::optional<QImage> read(QIODevice &device, int maxSide, const LongDecodeScope &longDecode)
{
    BoundedDevice bounded(device, maxFileBytes);
    const auto format = IconImageFormats::detect(ImageProbe::readAt(bounded, 0, 256));
    if (!format || maxSide < 1)
        return std::nullopt;

    if (*format == "svgz") {
        const auto document = inflateGzip(bounded, maxDrawingBytes);
        return document ? readDrawing(*document, maxSide, longDecode) : std::nullopt;
    }
    if (*format == "svg") {
        const auto document = bounded.seek(0) ? BoundedFile::read(bounded, maxDrawingBytes) : std::nullopt;
        return document ? readDrawing(*document, maxSide, longDecode) : std::nullopt;
    }
    if (*format == "webp") {
        // The reader takes the whole file into memory anyway; its size is part of the plan.
        auto bytes = bounded.seek(0) ? BoundedFile::read(bounded, decodeBudget) : std::nullopt;
        if (!bytes)
            return std::nullopt;
        QBuffer buffer(&*bytes);
        buffer.open(QIODevice::ReadOnly);
        return decode(buffer, *format, ImageProbe::webp(buffer), maxSide, longDecode);
    }

    std::optional<DecodePlan> plan;
    if (*format == "png")
        plan = ImageProbe::png(bounded, maxSide);
    else if (*format == "jpeg")
        plan = ImageProbe::jpeg(bounded, maxSide);
    else if (*format == "gif")
        plan = ImageProbe::gif(bounded);
    else if (*format == "bmp")
        plan = ImageProbe::bmp(bounded);
    else if (*format == "ico")
        plan = ImageProbe::ico(bounded, decodeBudget);
    return decode(bounded, *format, plan, maxSide, longDecode);
}

} // namespace BoundedImageReader
