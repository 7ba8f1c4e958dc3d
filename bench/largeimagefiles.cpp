#include "largeimagefiles.h"

#include <QFile>
#include <QtEndian>

#include <zlib.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace LargeImageFiles {

namespace {

// One row of RGB bytes of the pattern.
void fillRow(std::vector<unsigned char> &row, int width, int height, int y)
{
    const double fy = double(y) / height;
    for (int x = 0; x < width; ++x) {
        const double fx = double(x) / width;
        const int detail = ((x * 7 + y * 13) ^ (x >> 3) ^ (y >> 2)) & 15;
        row[3 * size_t(x)] = static_cast<unsigned char>(120 + 100 * std::sin(6.3 * fx) + detail);
        row[3 * size_t(x) + 1] = static_cast<unsigned char>(110 + 90 * std::cos(4.1 * fy + fx) + detail);
        row[3 * size_t(x) + 2] = static_cast<unsigned char>(100 + 80 * std::sin(9.0 * fx * fy) + detail);
    }
}

class PngChunkWriter
{
public:
    explicit PngChunkWriter(QFile &file) : m_file(file) {}

    bool write(const char type[4], const QByteArray &data)
    {
        QByteArray chunk(4, '\0');
        qToBigEndian(quint32(data.size()), chunk.data());
        chunk.append(type, 4).append(data);
        const quint32 crc = quint32(crc32(0, reinterpret_cast<const Bytef *>(chunk.constData() + 4), uInt(chunk.size() - 4)));
        QByteArray trailer(4, '\0');
        qToBigEndian(crc, trailer.data());
        chunk.append(trailer);
        return m_file.write(chunk) == chunk.size();
    }

private:
    QFile &m_file;
};

} // namespace

bool writeJpeg(const QString &path, int width, int height, JpegKind kind)
{
    FILE *out = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!out)
        return false;
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, out);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 85, TRUE);
    if (kind == JpegKind::Progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(3 * size_t(width));
    while (info.next_scanline < info.image_height) {
        fillRow(row, width, height, int(info.next_scanline));
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(out) == 0;
}

bool writePng(const QString &path, int width, int height)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    PngChunkWriter chunks(file);
    if (file.write("\x89PNG\r\n\x1a\n", 8) != 8)
        return false;
    QByteArray header(13, '\0');
    qToBigEndian(quint32(width), header.data());
    qToBigEndian(quint32(height), header.data() + 4);
    header[8] = 8;  // bits per sample
    header[9] = 2;  // RGB
    if (!chunks.write("IHDR", header))
        return false;

    z_stream stream{};
    if (deflateInit(&stream, 6) != Z_OK)
        return false;
    std::vector<unsigned char> row(1 + 3 * size_t(width)); // filter byte 0, then the samples
    std::vector<unsigned char> samples(3 * size_t(width));
    std::vector<unsigned char> out(1 << 20);
    bool ok = true;
    for (int y = 0; y <= height && ok; ++y) {
        const bool last = y == height;
        if (!last) {
            fillRow(samples, width, height, y);
            std::copy(samples.begin(), samples.end(), row.begin() + 1);
        }
        stream.next_in = last ? nullptr : row.data();
        stream.avail_in = last ? 0 : uInt(row.size());
        int status = Z_OK;
        do {
            stream.next_out = out.data();
            stream.avail_out = uInt(out.size());
            status = deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH);
            const auto produced = qsizetype(out.size() - stream.avail_out);
            if (produced > 0)
                ok = chunks.write("IDAT", QByteArray(reinterpret_cast<const char *>(out.data()), produced));
        } while (ok && (stream.avail_out == 0 || (last && status != Z_STREAM_END)));
    }
    deflateEnd(&stream);
    return ok && chunks.write("IEND", {}) && file.flush();
}

} // namespace LargeImageFiles
