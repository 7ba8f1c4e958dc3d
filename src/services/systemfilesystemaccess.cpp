#include "systemfilesystemaccess.h"

#include "locationsdialog.h"

#include <QImageReader>
#include <QMimeDatabase>
#include <QSet>

namespace {

void bringToFront(QFileDialog &dialog)
{
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
}

} // namespace

QString imageNameFilter()
{
    QStringList mimeTypes;
    for (const QByteArray &type : QImageReader::supportedMimeTypes())
        mimeTypes.append(QString::fromLatin1(type));
    // Offered even when their image plugin is missing, so that the user can find them;
    // importing then refuses them.
    mimeTypes << QStringLiteral("image/svg+xml") << QStringLiteral("image/x-icns")
              << QStringLiteral("image/vnd.microsoft.icon") << QStringLiteral("image/webp");
    const QMimeDatabase database;
    QStringList patterns;
    QSet<QString> seen;
    for (const QString &name : std::as_const(mimeTypes)) {
        for (const QString &pattern : database.mimeTypeForName(name).globPatterns()) {
            if (!seen.contains(pattern)) {
                seen.insert(pattern);
                patterns.append(pattern);
            }
        }
    }
    return QStringLiteral("Images (%1)").arg(patterns.join(QLatin1Char(' ')));
}

QList<QUrl> SystemFileSystemAccess::chooseLocations()
{
    LocationsDialog dialog;
    bringToFront(dialog);
    return dialog.exec() == QDialog::Accepted ? dialog.chosenLocations() : QList<QUrl>();
}

std::optional<QUrl> SystemFileSystemAccess::chooseImage()
{
    QFileDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Choose"));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Choose"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilter(imageNameFilter());
    bringToFront(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedUrls().isEmpty())
        return std::nullopt;
    return dialog.selectedUrls().constFirst();
}

QIcon SystemFileSystemAccess::icon(const QUrl &location)
{
    return m_appearance.icon(location);
}

QString SystemFileSystemAccess::name(const QUrl &location)
{
    return m_appearance.name(location);
}
