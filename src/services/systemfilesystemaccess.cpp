#include "systemfilesystemaccess.h"

#include "locationsdialog.h"
#include "persistence/iconimageformats.h"

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
    const QMimeDatabase database;
    QStringList patterns;
    QSet<QString> seen;
    for (const QString &name : IconImageFormats::availableMimeTypes()) {
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
