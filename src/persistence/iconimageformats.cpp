#include "iconimageformats.h"

#include <QImageReader>

namespace IconImageFormats {

const QList<Format> &all()
{
    static const QList<Format> formats{
        {"png", QStringLiteral("image/png")},
        {"jpeg", QStringLiteral("image/jpeg")},
        {"gif", QStringLiteral("image/gif")},
        {"bmp", QStringLiteral("image/bmp")},
        {"ico", QStringLiteral("image/vnd.microsoft.icon")},
        {"webp", QStringLiteral("image/webp")},
        {"svg", QStringLiteral("image/svg+xml")},
        {"svgz", QStringLiteral("image/svg+xml-compressed")},
    };
    return formats;
}

QStringList availableMimeTypes()
{
    const QList<QByteArray> installed = QImageReader::supportedImageFormats();
    QStringList mimeTypes;
    for (const Format &format : all()) {
        // Compressed drawings are inflated here and read by the drawing reader.
        const QByteArray reader = format.name == "svgz" ? QByteArrayLiteral("svg") : format.name;
        if (installed.contains(reader))
            mimeTypes.append(format.mimeType);
    }
    return mimeTypes;
}

std::optional<QByteArray> detect(QByteArrayView head)
{
    if (head.startsWith("\x89PNG\r\n\x1a\n"))
        return QByteArrayLiteral("png");
    if (head.startsWith("\xff\xd8\xff"))
        return QByteArrayLiteral("jpeg");
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a"))
        return QByteArrayLiteral("gif");
    if (head.startsWith("BM"))
        return QByteArrayLiteral("bmp");
    // An icon directory: reserved 0, type 1, then a non-zero count.
    if (head.size() >= 6 && head.startsWith(QByteArrayView("\0\0\1\0", 4)) && (head[4] != 0 || head[5] != 0))
        return QByteArrayLiteral("ico");
    if (head.size() >= 12 && head.startsWith("RIFF") && head.sliced(8, 4) == "WEBP")
        return QByteArrayLiteral("webp");
    if (head.startsWith("\x1f\x8b"))
        return QByteArrayLiteral("svgz");

    // A drawing is text that opens with markup, after an optional byte-order mark.
    QByteArrayView text = head;
    if (text.startsWith("\xef\xbb\xbf"))
        text = text.sliced(3);
    while (!text.isEmpty() && (text[0] == ' ' || text[0] == '\t' || text[0] == '\r' || text[0] == '\n'))
        text = text.sliced(1);
    if (text.startsWith('<'))
        return QByteArrayLiteral("svg");
    return std::nullopt;
}

} // namespace IconImageFormats
