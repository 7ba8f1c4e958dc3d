#include "tilepictures.h"

#include "viewstyle.h"

#include <QCache>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// Bounds of what is kept: the pictures by their size in KiB, the others by count.
constexpr int picturesKeptKiB = 10240;
constexpr int captionsKept = 4096;
constexpr int imageIconsKept = 256;

// The finished pictures, by their size in KiB. Not Qt's application-wide pixmap cache: that one
// wakes the program up again and again for minutes after its last use, to shrink itself.
QCache<QString, QPixmap> &pictures()
{
    static QCache<QString, QPixmap> kept(picturesKeptKiB);
    // Emptied while the application still exists: pixmaps must not outlive it.
    static const bool emptiedAtExit = (qAddPostRoutine([] { kept.clear(); }), true);
    Q_UNUSED(emptiedAtExit);
    return kept;
}

QPixmap keep(const QString &key, QImage picture, double devicePixelRatio)
{
    QPixmap pixmap = QPixmap::fromImage(std::move(picture));
    pixmap.setDevicePixelRatio(devicePixelRatio);
    const qint64 bytes = qint64(pixmap.width()) * pixmap.height() * pixmap.depth() / 8;
    pictures().insert(key, new QPixmap(pixmap), qsizetype(std::max<qint64>(1, bytes / 1024)));
    return pixmap;
}

QImage fittedSquare(const QIcon &icon, double side, double devicePixelRatio, int pixels)
{
    QImage square(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    square.fill(Qt::transparent);
    const int requested = int(std::lround(side));
    const QPixmap source = icon.pixmap(QSize(requested, requested), devicePixelRatio);
    if (source.isNull())
        return square;
    QImage image = source.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // Placed pixel for pixel: the square takes its ratio only at the end.
    image.setDevicePixelRatio(1.0);
    const QSize fitted = image.size().scaled(pixels, pixels, Qt::KeepAspectRatio);
    if (image.size() != fitted)
        image = image.scaled(fitted, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPainter(&square).drawImage(QPoint((pixels - image.width()) / 2, (pixels - image.height()) / 2), image);
    return square;
}

struct CaptionKey
{
    QFont font;
    double maxWidth;
    QString text;

    bool operator==(const CaptionKey &) const = default;
};

size_t qHash(const CaptionKey &key, size_t seed = 0)
{
    return qHashMulti(seed, key.font, key.maxWidth, key.text);
}

} // namespace

namespace TilePictures {

QPixmap roundedSquare(double side, double cornerRadius, const QColor &color, double devicePixelRatio)
{
    const int pixels = int(std::lround(side * devicePixelRatio));
    const QString key = QStringLiteral("quayrow-plate:%1:%2:%3")
                            .arg(pixels)
                            .arg(cornerRadius * devicePixelRatio)
                            .arg(color.rgba(), 0, 16);
    if (const QPixmap *kept = pictures().object(key))
        return *kept;
    QImage square(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    square.fill(Qt::transparent);
    {
        QPainter painter(&square);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(ViewStyle::roundedRect(QRectF(0, 0, pixels, pixels), cornerRadius * devicePixelRatio), color);
    }
    return keep(key, std::move(square), devicePixelRatio);
}

QPixmap roundedIcon(const QIcon &icon, double side, double cornerRadius, double devicePixelRatio, qint64 paletteKey)
{
    const int pixels = int(std::lround(side * devicePixelRatio));
    const QString key = QStringLiteral("quayrow-tile:%1:%2:%3:%4")
                            .arg(icon.cacheKey())
                            .arg(pixels)
                            .arg(cornerRadius * devicePixelRatio)
                            .arg(paletteKey);
    if (const QPixmap *kept = pictures().object(key))
        return *kept;

    QImage square = fittedSquare(icon, side, devicePixelRatio, pixels);
    // The corners are cut by an antialiased mask; a clip path would leave them jagged.
    QPixmap mask = roundedSquare(side, cornerRadius, Qt::black, devicePixelRatio);
    mask.setDevicePixelRatio(1.0);
    {
        QPainter painter(&square);
        painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        painter.drawPixmap(QPoint(0, 0), mask);
    }
    return keep(key, std::move(square), devicePixelRatio);
}

Caption caption(const QString &text, const QFont &font, double maxWidth)
{
    static QCache<CaptionKey, Caption> captions(captionsKept);
    // Emptied while the application still exists: fonts must not outlive it.
    static const bool emptiedAtExit = (qAddPostRoutine([] { captions.clear(); }), true);
    Q_UNUSED(emptiedAtExit);
    const CaptionKey key{font, maxWidth, text};
    if (const Caption *kept = captions.object(key))
        return *kept;
    const QFontMetricsF metrics(font);
    auto made = std::make_unique<Caption>();
    const QString shown = metrics.elidedText(text, Qt::ElideRight, maxWidth);
    made->text = QStaticText(shown);
    made->text.setTextFormat(Qt::PlainText);
    made->text.setPerformanceHint(QStaticText::AggressiveCaching);
    made->text.prepare(QTransform(), font);
    made->width = std::min(metrics.horizontalAdvance(shown), maxWidth);
    made->height = metrics.height();
    const Caption result = *made;
    captions.insert(key, made.release());
    return result;
}

QIcon iconForImage(const QImage &image)
{
    static QCache<qint64, QIcon> icons(imageIconsKept);
    static const bool emptiedAtExit = (qAddPostRoutine([] { icons.clear(); }), true);
    Q_UNUSED(emptiedAtExit);
    if (const QIcon *kept = icons.object(image.cacheKey()))
        return *kept;
    auto icon = std::make_unique<QIcon>(QPixmap::fromImage(image));
    const QIcon made = *icon;
    icons.insert(image.cacheKey(), icon.release());
    return made;
}

} // namespace TilePictures
