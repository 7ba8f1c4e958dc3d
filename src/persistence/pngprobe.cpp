// The PNG header and the chunks that Qt's reader keeps in memory beside the picture.

#include "imageprobe.h"

#include "boundedimagereader.h"

#include <QtEndian>

#include <zlib.h>

#include <algorithm>
#include <array>

namespace ImageProbe {

namespace {

// More chunks than an encoder writes for the largest picture read at all; walking further would
// only cost time.
constexpr int maxChunks = 1 << 20;
// libpng's limit on one decompressed text chunk; longer texts are dropped.
constexpr qint64 maxTextChunkBytes = 8000000;
// Each character of a text chunk is held by libpng and then several times by Qt (as text of the
// image, in its description, in the list of keys and values).
constexpr double bytesPerTextByte = 8;

enum ColourType : quint8 { Grey = 0, Rgb = 2, Palette = 3, GreyAlpha = 4, RgbAlpha = 6 };

struct Header
{
    QSize size;
    int bitDepth = 0;
    int colourType = 0;
    bool interlaced = false;
    bool transparency = false; // a tRNS chunk
    qint64 textBytes = 0;      // of all text chunks, decompressed
    qint64 largestChunk = 0;   // libpng reads each chunk but the picture data whole into one buffer
};

// The decompressed length of the zlib stream in `length` bytes of `device` from `position`, read
// piece by piece; at most a little over `limit`.
qint64 inflatedLength(QIODevice &device, qint64 position, qint64 length, qint64 limit)
{
    z_stream stream{};
    if (length <= 0 || !device.seek(position) || inflateInit(&stream) != Z_OK)
        return 0;
    std::array<char, 64 * 1024> input;
    std::array<Bytef, 64 * 1024> sink;
    qint64 total = 0;
    int status = Z_OK;
    while (status == Z_OK && total <= limit && (length > 0 || stream.avail_in > 0)) {
        if (stream.avail_in == 0) {
            const qint64 got = device.read(input.data(), std::min<qint64>(length, qint64(input.size())));
            if (got <= 0)
                break;
            length -= got;
            stream.next_in = reinterpret_cast<Bytef *>(input.data());
            stream.avail_in = uInt(got);
        }
        stream.next_out = sink.data();
        stream.avail_out = uInt(sink.size());
        status = inflate(&stream, Z_NO_FLUSH);
        total += qint64(sink.size() - stream.avail_out);
    }
    inflateEnd(&stream);
    return total;
}

// The text a tEXt, zTXt or iTXt chunk of `length` bytes at `position` holds once read.
qint64 textLength(QIODevice &device, QByteArrayView type, qint64 position, qint64 length)
{
    if (type == "tEXt")
        return std::min(length, maxTextChunkBytes);
    // Keyword, then for iTXt the compression flag and method, language tag and translated
    // keyword; a longer prefix than any real one counts as the largest text libpng keeps.
    const QByteArray prefix = readAt(device, position, std::min<qint64>(length, 64 * 1024));
    const qsizetype keyEnd = prefix.indexOf('\0');
    if (keyEnd < 0)
        return std::min(length, maxTextChunkBytes);
    qsizetype textStart = keyEnd + 2;
    if (type == "iTXt") {
        if (keyEnd + 1 < prefix.size() && prefix[keyEnd + 1] == 0)
            return std::min(length, maxTextChunkBytes); // not compressed
        const qsizetype languageEnd = prefix.indexOf('\0', keyEnd + 3);
        const qsizetype translatedEnd = languageEnd < 0 ? -1 : prefix.indexOf('\0', languageEnd + 1);
        if (translatedEnd < 0)
            return maxTextChunkBytes;
        textStart = translatedEnd + 1;
    }
    return std::min(length, qint64(textStart))
        + inflatedLength(device, position + textStart, length - textStart, maxTextChunkBytes);
}

std::optional<Header> readHeader(QIODevice &device, qint64 textLimit)
{
    const QByteArray head = readAt(device, 0, 33);
    if (head.size() < 33 || qFromBigEndian<quint32>(head.constData() + 8) != 13
        || QByteArrayView(head).sliced(12, 4) != "IHDR")
        return std::nullopt;
    const quint32 width = qFromBigEndian<quint32>(head.constData() + 16);
    const quint32 height = qFromBigEndian<quint32>(head.constData() + 20);
    if (width == 0 || height == 0 || width > 0x7fffffff || height > 0x7fffffff)
        return std::nullopt;
    Header header;
    header.size = QSize(int(width), int(height));
    header.bitDepth = quint8(head[24]);
    header.colourType = quint8(head[25]);
    header.interlaced = head[28] != 0;

    // The chunks after the header, up to the end of the picture.
    qint64 position = 33;
    for (int chunk = 0; chunk < maxChunks; ++chunk) {
        const QByteArray chunkHead = readAt(device, position, 8);
        if (chunkHead.size() < 8)
            return header; // a damaged end is the decoder's to find
        const qint64 length = qFromBigEndian<quint32>(chunkHead.constData());
        const QByteArrayView type = QByteArrayView(chunkHead).sliced(4, 4);
        if (type == "IEND")
            return header;
        // libpng allocates what a chunk states before reading it: 2 GB for a few bytes claiming so.
        if (position + 12 + length > device.size())
            return std::nullopt;
        if (type != "IDAT")
            header.largestChunk = std::max(header.largestChunk, length);
        if (type == "tRNS")
            header.transparency = true;
        if (type == "tEXt" || type == "zTXt" || type == "iTXt") {
            header.textBytes += textLength(device, type, position + 8, length);
            if (header.textBytes > textLimit)
                return header;
        }
        position += 12 + length;
    }
    return std::nullopt;
}

// The format Qt's reader decodes into when it decodes the whole picture.
QImage::Format fullFormat(const Header &header)
{
    const bool alpha = header.colourType == GreyAlpha || header.colourType == RgbAlpha || header.transparency;
    if (header.colourType == Grey) {
        if (header.bitDepth == 1)
            return QImage::Format_Mono;
        if (header.bitDepth == 16)
            return header.transparency ? QImage::Format_RGBA64 : QImage::Format_Grayscale16;
        return header.bitDepth == 8 && !header.transparency ? QImage::Format_Grayscale8 : QImage::Format_Indexed8;
    }
    if (header.colourType == Palette)
        return header.bitDepth == 1 ? QImage::Format_Mono : QImage::Format_Indexed8;
    if (header.bitDepth == 16)
        return alpha ? QImage::Format_RGBA64 : QImage::Format_RGBX64;
    return alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32;
}

} // namespace

std::optional<DecodePlan> png(QIODevice &device, int maxSide)
{
    // Text beyond this exceeds the budget; no need to inflate further.
    constexpr qint64 textLimit = qint64(BoundedImageReader::decodeBudget / bytesPerTextByte) + 1;
    const auto header = readHeader(device, textLimit);
    if (!header)
        return std::nullopt;
    const QSize size = header->size;
    const qint64 width = size.width();
    const QSize target = maxSide > 0 ? BoundedImageReader::reducedSize(size, maxSide) : size;

    // Qt reduces 8-bit colour pictures without interlacing row by row while reading: only a few
    // rows of 32-bit accumulators exist beside the reduced picture.
    const bool reducedWhileReading = target != size && !header->interlaced && header->bitDepth == 8
        && (header->colourType == Rgb || header->colourType == GreyAlpha || header->colourType == RgbAlpha);
    qint64 peak = 0;
    if (reducedWhileReading) {
        peak = add(pixelBytes(width, 32), imageBytes(target, QImage::Format_ARGB32));
    } else {
        const QImage::Format format = fullFormat(*header);
        // The picture, libpng's two rows of up to 8 bytes a pixel and its row pointers, then
        // the reduction.
        peak = add(fullDecodeBytes(size, format), add(pixelBytes(width, 16), pixelBytes(size.height(), 8)));
    }
    peak = add(peak, pixelBytes(header->textBytes, bytesPerTextByte));
    peak = add(peak, header->largestChunk);
    return DecodePlan{size, peak, 0};
}

} // namespace ImageProbe
