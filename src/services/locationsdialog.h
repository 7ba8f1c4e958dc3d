#pragma once

#include <QFileDialog>
#include <QList>
#include <QUrl>

// An open dialog that picks several files and folders at once. Qt's dialogs (and the desktop
// portals behind native ones) choose either files or folders, so this one runs Qt's own dialog
// in the existing-files mode and accepts a selected folder instead of entering it; double-
// clicking a folder still enters it.
class LocationsDialog final : public QFileDialog
{
    Q_OBJECT

public:
    explicit LocationsDialog(QWidget *parent = nullptr);

    // The accepted locations in the order they were selected; empty unless accepted.
    QList<QUrl> chosenLocations() const { return m_chosen; }

public Q_SLOTS:
    void accept() override;

private:
    QList<QUrl> m_chosen;
};
