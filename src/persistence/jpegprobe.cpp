// The JPEG header: frame size, components and whether libjpeg must buffer every coefficient.

#include "imageprobe.h"

#include "boundedimagereader.h"

#include <QList>
#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace ImageProbe {

namespace {

// Comments, Exif and ICC segments are kept by libjpeg and copied by Qt as text, Exif data and
// colour profile; a comment's characters end up in several strings.
constexpr double bytesPerSavedMarkerByte = 9;
// libjpeg's sample rows, upsampling and colour conversion buffers per pixel of a row, for the
// worst sampling factors.
constexpr double rowBufferBytesPerSample = 64;
// More markers and fill bytes before the first scan than any encoder writes.
constexpr int maxHeaderSteps = 1 << 16;

struct Component
{
    int horizontal = 1; // sampling factors
    int vertical = 1;
};

struct Header
{
    QSize size;
    QList<Component> components;
    bool progressive = false;
    int componentsInFirstScan = 0;
    qint64 savedMarkerBytes = 0;
};

bool isFrameMarker(quint8 marker)
{
    return marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc;
}

// The markers up to the first scan. Only frames libjpeg decodes are accepted: baseline,
// extended sequential and progressive, with Huffman or arithmetic coding.
std::optional<Header> readHeader(QIODevice &device)
{
    Header header;
    bool haveFrame = false;
    qint64 position = 2; // after the start-of-image marker
    for (int step = 0; step < maxHeaderSteps; ++step) {
        const QByteArray prefix = readAt(device, position, 2);
        if (prefix.size() < 2 || quint8(prefix[0]) != 0xff)
            return std::nullopt;
        const quint8 marker = quint8(prefix[1]);
        if (marker == 0xff) {
            ++position; // a fill byte
            continue;
        }
        position += 2;
        if ((marker >= 0xd0 && marker <= 0xd7) || marker == 0x01)
            continue; // no length
        if (marker == 0xd8 || marker == 0xd9)
            return std::nullopt;
        const QByteArray lengthBytes = readAt(device, position, 2);
        if (lengthBytes.size() < 2)
            return std::nullopt;
        const qint64 length = qFromBigEndian<quint16>(lengthBytes.constData());
        if (length < 2)
            return std::nullopt;

        if (isFrameMarker(marker)) {
            if (haveFrame || !(marker <= 0xc2 || marker == 0xc9 || marker == 0xca))
                return std::nullopt;
            const QByteArray frame = readAt(device, position + 2, length - 2);
            if (frame.size() < 6)
                return std::nullopt;
            const int height = qFromBigEndian<quint16>(frame.constData() + 1);
            const int width = qFromBigEndian<quint16>(frame.constData() + 3);
            const int count = quint8(frame[5]);
            if (width == 0 || height == 0 || count < 1 || frame.size() < 6 + 3 * count)
                return std::nullopt;
            for (int i = 0; i < count; ++i) {
                const quint8 factors = quint8(frame[6 + 3 * i + 1]);
                const Component component{factors >> 4, factors & 0x0f};
                if (component.horizontal < 1 || component.horizontal > 4 || component.vertical < 1
                    || component.vertical > 4)
                    return std::nullopt;
                header.components.append(component);
            }
            header.size = QSize(width, height);
            header.progressive = marker == 0xc2 || marker == 0xca;
            haveFrame = true;
        } else if (marker == 0xda) {
            const QByteArray scan = readAt(device, position + 2, 1);
            if (!haveFrame || scan.isEmpty())
                return std::nullopt;
            header.componentsInFirstScan = quint8(scan[0]);
            return header;
        } else if (marker == 0xfe || marker == 0xe1 || marker == 0xe2) {
            header.savedMarkerBytes += length;
        }
        position += length;
    }
    return std::nullopt;
}

qint64 ceilDiv(qint64 a, qint64 b)
{
    return (a + b - 1) / b;
}

// libjpeg's whole-image coefficient buffer: every 8 × 8 block of every component, 64 two-byte
// coefficients each, rounded up to whole sampling units.
qint64 coefficientBytes(const Header &header)
{
    int maxHorizontal = 1;
    int maxVertical = 1;
    for (const Component &component : header.components) {
        maxHorizontal = std::max(maxHorizontal, component.horizontal);
        maxVertical = std::max(maxVertical, component.vertical);
    }
    qint64 total = 0;
    for (const Component &component : header.components) {
        const qint64 blocksWide = ceilDiv(qint64(header.size.width()) * component.horizontal, 8 * maxHorizontal);
        const qint64 blocksHigh = ceilDiv(qint64(header.size.height()) * component.vertical, 8 * maxVertical);
        const qint64 blocks = ceilDiv(blocksWide, component.horizontal) * component.horizontal
            * ceilDiv(blocksHigh, component.vertical) * component.vertical;
        total = add(total, pixelBytes(blocks, 128));
    }
    return total;
}

} // namespace

std::optional<DecodePlan> jpeg(QIODevice &device, int maxSide)
{
    const auto header = readHeader(device);
    if (!header)
        return std::nullopt;
    const QSize size = header->size;
    const QSize target = BoundedImageReader::reducedSize(size, maxSide);

    // Qt lets libjpeg scale by n/8 while decoding, with the smallest n that still gives at least
    // the reduced size, and reduces the rest of the way afterwards.
    const double factor = std::min(double(size.width()) / target.width(), double(size.height()) / target.height());
    const int eighths = std::clamp(int(std::ceil(8 / factor)), 1, 8);
    const QSize decoded(int(ceilDiv(qint64(size.width()) * eighths, 8)),
                        int(ceilDiv(qint64(size.height()) * eighths, 8)));
    const QImage::Format format = header->components.size() == 1 ? QImage::Format_Grayscale8 : QImage::Format_RGB32;

    qint64 peak = fullDecodeBytes(decoded, format);
    peak = add(peak, pixelBytes(qint64(size.width()) * header->components.size(), rowBufferBytesPerSample));
    peak = add(peak, pixelBytes(header->savedMarkerBytes, bytesPerSavedMarkerByte));
    // A progressive picture, or one whose first scan leaves out a component, arrives in several
    // scans: libjpeg keeps every coefficient of the whole picture until the last one. Scaling
    // while decoding saves nothing there.
    if (header->progressive || header->componentsInFirstScan < header->components.size())
        peak = add(peak, coefficientBytes(*header));
    return DecodePlan{size, peak, 0};
}

} // namespace ImageProbe
