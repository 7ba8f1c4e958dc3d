#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The picture formats accepted as icon sources: only those whose readers can be held to a memory
// bound (their sizes and costs can be told from their headers before anything is decoded).
// Every other format is refused, even when an image plugin for it is installed: some plugins
// allocate whatever a tiny file claims. The open dialog offers exactly these formats.
namespace IconImageFormats {

struct Format
{
    QByteArray name;  // the reader's format name
    QString mimeType;
};

// PNG, JPEG, GIF, BMP, ICO, WebP, SVG and compressed SVG, in that order.
const QList<Format> &all();

// The MIME types of the formats whose readers are installed here, in the order of all().
QStringList availableMimeTypes();

// The format of data that begins with `head`, from its content alone: the binary formats by
// their signatures, a gzip stream as a compressed drawing, and text that opens with markup as a
// drawing. None for anything else. A file's name or suffix never decides.
std::optional<QByteArray> detect(QByteArrayView head);

} // namespace IconImageFormats
