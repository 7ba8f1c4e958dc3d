#include "customiconstorage.h"

#include "atomicfile.h"
#include "boundedimagereader.h"
#include "systemconfigurationstorage.h"

#include "model/localfile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>

SystemCustomIconStorage::SystemCustomIconStorage(QString directory, BoundedImageReader::LongDecodeScope longDecode)
    : m_directory(std::move(directory))
    , m_longDecode(std::move(longDecode))
{
}

QString SystemCustomIconStorage::applicationSupportDirectory()
{
    return QFileInfo(SystemConfigurationStorage::applicationSupportFilePath()).absolutePath() + QStringLiteral("/Icons");
}

bool SystemCustomIconStorage::isSafeFileName(const QString &name)
{
    if (name.isEmpty() || name == u"." || name == u"..")
        return false;
    return !name.contains(QLatin1Char('/')) && !name.contains(QChar(u'\0'));
}

QString SystemCustomIconStorage::filePath(const QString &fileName) const
{
    return m_directory + QLatin1Char('/') + fileName;
}

std::optional<QString> SystemCustomIconStorage::importImage(const QUrl &source, const QString &fileName)
{
    const std::optional<QString> sourcePath = localFilePath(source);
    if (!isSafeFileName(fileName) || !sourcePath)
        return std::nullopt;
    const auto decoded = BoundedImageReader::read(*sourcePath, maxPixelSide, m_longDecode);
    if (!decoded)
        return std::nullopt;
    const auto png = pngData(*decoded, maxPixelSide);
    if (!png)
        return std::nullopt;

    // Only now, with a picture to store, may the directory come into being.
    if (!QDir().mkpath(m_directory))
        return std::nullopt;
    if (!AtomicFile::write(filePath(fileName), *png))
        return std::nullopt;
    return fileName;
}

std::optional<QImage> SystemCustomIconStorage::image(const QString &fileName) const
{
    if (!isSafeFileName(fileName))
        return std::nullopt;
    // The files are normally our own; one replaced from outside is read with the same bounds.
    return BoundedImageReader::read(filePath(fileName), maxPixelSide);
}

void SystemCustomIconStorage::remove(const QString &fileName)
{
    if (isSafeFileName(fileName))
        QFile::remove(filePath(fileName));
}

std::optional<QByteArray> SystemCustomIconStorage::pngData(const QImage &image, int maxSide)
{
    if (image.isNull())
        return std::nullopt;
    const QSize target = BoundedImageReader::reducedSize(image.size(), maxSide);
    if (!target.isValid())
        return std::nullopt;

    // Area-averaged reduction first: a painter's bilinear scaling aliases at large factors.
    QImage source = target == image.size()
        ? image
        : image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (source.isNull())
        return std::nullopt;
    source.setDevicePixelRatio(1);

    QImage canvas(target, QImage::Format_ARGB32);
    if (canvas.isNull())
        return std::nullopt;
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        // Replace the transparent background rather than blend with it, so that the source's own
        // alpha survives unchanged.
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(QRect(QPoint(0, 0), target), source);
    }

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(canvas))
        return std::nullopt;
    return bytes;
}
