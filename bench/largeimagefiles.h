#pragma once

#include <QString>

// Writers of very large picture files that never hold the picture in memory: rows are made and
// encoded one at a time, so that a benchmark can create a 200-megapixel photograph without
// itself needing gigabytes. The content is a smooth photograph-like pattern with fine detail,
// so that the files compress about as well as real photographs do.
namespace LargeImageFiles {

enum class JpegKind { Baseline, Progressive };

bool writeJpeg(const QString &path, int width, int height, JpegKind kind);
// An 8-bit RGB PNG without interlacing.
bool writePng(const QString &path, int width, int height);

} // namespace LargeImageFiles
