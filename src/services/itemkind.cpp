#include "itemkind.h"

#include "desktopentry.h"
#include "elfexecutable.h"

#include <QFile>

#include <sys/stat.h>

ItemKind itemKind(const QUrl &location)
{
    if (!location.isLocalFile())
        return ItemKind::File;
    const QString path = location.toLocalFile();
    struct stat status = {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &status) != 0)
        return ItemKind::File;
    if (S_ISDIR(status.st_mode))
        return ItemKind::Folder;
    if (!S_ISREG(status.st_mode))
        return ItemKind::File;
    if (hasDesktopEntrySuffix(path)) {
        const std::optional<DesktopEntry> entry = readDesktopEntry(path);
        return entry && entry->isApplication() ? ItemKind::Application : ItemKind::File;
    }
    return isElfExecutable(path) ? ItemKind::Application : ItemKind::File;
}
