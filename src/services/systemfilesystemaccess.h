#pragma once

#include "locationappearance.h"
#include "store/services.h"

// Open dialogs, icons and display names on the desktop. Icons and names are cached per location
// and refreshed when the file changes. Main thread only.
class SystemFileSystemAccess final : public FileSystemAccess
{
public:
    QList<QUrl> chooseLocations() override;
    std::optional<QUrl> chooseImage() override;
    QIcon icon(const QUrl &location) override;
    QString name(const QUrl &location) override;

private:
    LocationAppearance m_appearance;
};

// The name filter of the image dialog: the file patterns of the picture formats accepted as icons
// whose readers are installed here.
QString imageNameFilter();
