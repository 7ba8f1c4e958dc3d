#include "locationsdialog.h"

#include <QFileInfo>

LocationsDialog::LocationsDialog(QWidget *parent) : QFileDialog(parent)
{
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::ExistingFiles);
    setAcceptMode(QFileDialog::AcceptOpen);
    setWindowTitle(QStringLiteral("Add"));
    setLabelText(QFileDialog::Accept, QStringLiteral("Add"));
}

void LocationsDialog::accept()
{
    const QStringList selected = selectedFiles();
    QList<QUrl> chosen;
    for (const QString &path : selected) {
        const QFileInfo info(path);
        // A name typed that names nothing: let the dialog say so.
        if (!info.exists()) {
            QFileDialog::accept();
            return;
        }
        chosen.append(QUrl::fromLocalFile(info.absoluteFilePath()));
    }
    if (chosen.isEmpty())
        return;
    m_chosen = chosen;
    QDialog::accept();
}
