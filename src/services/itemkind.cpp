#include "itemkind.h"

#include "desktopentry.h"
#include "regularfile.h"

#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// An ELF header up to e_type: the magic, class, data, version, ABI, padding and the type.
bool isElfExecutable(const QString &path)
{
    const QByteArray encoded = QFile::encodeName(path);
    if (::access(encoded.constData(), X_OK) != 0)
        return false;
    const std::optional<QByteArray> head = readRegularFileHead(path, 18);
    if (!head || head->size() < 18 || !head->startsWith("\x7f" "ELF"))
        return false;
    // e_type: ET_EXEC (2) or ET_DYN (3, position-independent executables), in the file's byte order.
    const bool littleEndian = head->at(5) == 1;
    const auto low = static_cast<unsigned char>(head->at(littleEndian ? 16 : 17));
    const auto high = static_cast<unsigned char>(head->at(littleEndian ? 17 : 16));
    return high == 0 && (low == 2 || low == 3);
}

} // namespace

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
