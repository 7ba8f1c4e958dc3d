#pragma once

#include <QByteArray>
#include <QColor>

// Picture files made in memory for the image tests: encoded by Qt's writers, or assembled byte
// by byte where a test needs a header that claims something its data does not hold.
namespace ImageFixtures {

enum class Scan { Baseline, Progressive };

QByteArray encoded(int width, int height, const char *format, QColor color = QColor(200, 40, 40, 128));
QByteArray jpeg(int width, int height, Scan scan = Scan::Baseline);
// A small JPEG whose frame header claims `width` × `height`; libjpeg decodes its missing data
// as grey.
QByteArray jpegClaiming(int width, int height, Scan scan);
// A small PNG whose header claims other dimensions (with a matching checksum).
QByteArray pngClaiming(quint32 width, quint32 height, bool interlaced = false);
// A small PNG carrying `count` zTXt chunks, each inflating to `textBytes` bytes.
QByteArray pngWithCompressedText(int count, int textBytes);
QByteArray svg(const char *width, const char *height, qsizetype padding = 0);
// `bytes` as a gzip file.
QByteArray gzip(const QByteArray &bytes);
// An icon file holding a 16 × 16 and then a 64 × 64 picture, both PNG-compressed.
QByteArray twoSizeIco();

quint32 crc32(QByteArrayView bytes);

} // namespace ImageFixtures
