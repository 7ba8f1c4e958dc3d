#include "imagefixtures.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QtEndian>

namespace ImageFixtures {

namespace {

QByteArray pngChunk(const char *type, const QByteArray &data)
{
    QByteArray chunk(4, '\0');
    qToBigEndian(quint32(data.size()), chunk.data());
    chunk += QByteArray(type, 4) + data;
    QByteArray crc(4, '\0');
    qToBigEndian(crc32(QByteArrayView(chunk).sliced(4)), crc.data());
    return chunk + crc;
}

} // namespace

quint32 crc32(QByteArrayView bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray encoded(int width, int height, const char *format, QColor color)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QByteArray jpeg(int width, int height, Scan scan)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, 90));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(scan == Scan::Progressive);
    writer.write(image);
    return bytes;
}

QByteArray jpegClaiming(int width, int height, Scan scan)
{
    QByteArray bytes = jpeg(64, 48, scan);
    const char frame[] = {'\xff', scan == Scan::Progressive ? '\xc2' : '\xc0'};
    const qsizetype at = bytes.indexOf(QByteArrayView(frame, 2));
    if (at >= 0) {
        qToBigEndian(quint16(height), bytes.data() + at + 5);
        qToBigEndian(quint16(width), bytes.data() + at + 7);
    }
    return bytes;
}

QByteArray pngClaiming(quint32 width, quint32 height, bool interlaced)
{
    QByteArray png = encoded(4, 4, "png");
    qToBigEndian(width, png.data() + 16);
    qToBigEndian(height, png.data() + 20);
    png[28] = interlaced ? 1 : 0;
    qToBigEndian(crc32(QByteArrayView(png).sliced(12, 17)), png.data() + 29);
    return png;
}

QByteArray pngWithCompressedText(int count, int textBytes)
{
    const QByteArray png = encoded(4, 4, "png");
    const QByteArray zlib = qCompress(QByteArray(textBytes, 'a'), 9).mid(4); // without Qt's length
    QByteArray text;
    for (int i = 0; i < count; ++i)
        text += pngChunk("zTXt", QByteArray("Comment") + '\0' + '\0' + zlib);
    return png.left(33) + text + png.mid(33);
}

QByteArray svg(const char *width, const char *height, qsizetype padding)
{
    return QByteArrayLiteral("<svg xmlns='http://www.w3.org/2000/svg' width='") + width + "' height='" + height
        + "' viewBox='0 0 10 10'><!--" + QByteArray(padding, ' ') + "--><rect width='10' height='10' fill='#3060c0'/></svg>";
}

QByteArray gzip(const QByteArray &bytes)
{
    const QByteArray zlib = qCompress(bytes, 9);
    QByteArray trailer(8, '\0');
    qToLittleEndian(crc32(bytes), trailer.data());
    qToLittleEndian(quint32(bytes.size()), trailer.data() + 4);
    // The raw deflate stream of qCompress (after its length and the zlib header) between a gzip
    // header and trailer.
    return QByteArray("\x1f\x8b\x08\0\0\0\0\0\0\x03", 10) + zlib.mid(6, zlib.size() - 10) + trailer;
}

QByteArray twoSizeIco()
{
    const QByteArray pictures[] = {encoded(16, 16, "png"), encoded(64, 64, "png")};
    QByteArray ico(6 + 2 * 16, '\0');
    qToLittleEndian<quint16>(1, ico.data() + 2);
    qToLittleEndian<quint16>(2, ico.data() + 4);
    for (int i = 0; i < 2; ++i) {
        char *entry = ico.data() + 6 + 16 * i;
        entry[0] = entry[1] = char(i == 0 ? 16 : 64);
        qToLittleEndian<quint16>(32, entry + 6);
        qToLittleEndian<quint32>(quint32(pictures[i].size()), entry + 8);
        qToLittleEndian<quint32>(quint32(38 + (i == 0 ? 0 : pictures[0].size())), entry + 12);
    }
    return ico + pictures[0] + pictures[1];
}

} // namespace ImageFixtures
