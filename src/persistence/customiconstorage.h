#pragma once

#include "boundedimagereader.h"
#include "store/services.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QUrl>

#include <optional>

// Custom icons as small PNG files in one directory, one file per item.
//
// Every operation that takes a file name checks it with isSafeFileName() first and does nothing
// (or answers none) for an unsafe name, so no operation reaches outside the directory. The
// directory is created by the first successful import, never by a failed one. Outside files are
// decoded with bounded memory (BoundedImageReader): at the reduced size where the format allows
// it, and refused when even that would exceed the budget.
class SystemCustomIconStorage final : public CustomIconStorage
{
public:
    // The largest width or height, in pixels, of a stored icon.
    static constexpr int maxPixelSide = 128;

    // `longDecode` runs the decoding of a large chosen picture (see BoundedImageReader).
    explicit SystemCustomIconStorage(QString directory = applicationSupportDirectory(),
                                     BoundedImageReader::LongDecodeScope longDecode = {});

    // The "Icons" directory beside the default configuration file:
    // $XDG_CONFIG_HOME (default ~/.config) / "Quayrow 2" / "Icons".
    static QString applicationSupportDirectory();

    const QString &directory() const { return m_directory; }

    // Decodes the local file `source`, reduces it to at most maxPixelSide on its longer side and
    // writes it atomically as PNG under `fileName`, replacing any earlier file of that name.
    // Answers `fileName`, or none when the source is no usable image or the file cannot be
    // written. The source is only read.
    std::optional<QString> importImage(const QUrl &source, const QString &fileName) override;
    std::optional<QImage> image(const QString &fileName) const override;
    void remove(const QString &fileName) override;

    // True when `name` names a file directly inside the directory: not empty, not "." or "..",
    // and free of path separators (and of NUL, which the file system cannot store).
    static bool isSafeFileName(const QString &name);

    // `image` reduced (never enlarged) to at most `maxSide` on its longer side and encoded as
    // PNG with an alpha channel; none for a null image or a non-positive `maxSide`.
    static std::optional<QByteArray> pngData(const QImage &image, int maxSide);

private:
    QString filePath(const QString &fileName) const;

    QString m_directory;
    BoundedImageReader::LongDecodeScope m_longDecode;
};
