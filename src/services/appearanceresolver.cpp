#include "appearanceresolver.h"

#include "desktopentry.h"
#include "genericglyph.h"
#include "glibptr.h"
#include "itemkind.h"

#include <QFileInfo>
#include <QImageReader>
#include <QMimeDatabase>
#include <QStandardPaths>

namespace {

QIcon themeIcon(const QString &name)
{
    if (name.isEmpty() || name.endsWith(QLatin1String("-symbolic")))
        return {};
    return QIcon::fromTheme(name);
}

// Only a regular file is read: Icon= comes from any .desktop file, and opening a FIFO there
// would block the caller until some writer appears.
QIcon imageFileIcon(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return {};
    QImageReader reader(path);
    return reader.canRead() ? QIcon(path) : QIcon();
}

// An Icon= value: an absolute path to an image, or a theme name; names written with an image
// suffix and the legacy pixmaps directories are accepted too, as desktops do.
QIcon desktopEntryIcon(const QString &value)
{
    if (value.isEmpty())
        return {};
    if (QFileInfo(value).isAbsolute())
        return imageFileIcon(value);
    QString name = value;
    static const QStringList imageSuffixes{QStringLiteral(".png"), QStringLiteral(".svg"), QStringLiteral(".xpm")};
    for (const QString &suffix : imageSuffixes) {
        if (name.endsWith(suffix))
            name.chop(suffix.size());
    }
    if (QIcon icon = themeIcon(name); !icon.isNull())
        return icon;
    for (const QString &suffix : imageSuffixes) {
        const QString legacy = QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                                      QLatin1String("pixmaps/") + name + suffix);
        if (!legacy.isEmpty()) {
            if (QIcon icon = imageFileIcon(legacy); !icon.isNull())
                return icon;
        }
    }
    return {};
}

struct FileInfoAppearance
{
    QString displayName;
    QIcon icon;
};

QIcon iconFromGIcon(GIcon *icon)
{
    if (G_IS_THEMED_ICON(icon)) {
        for (const gchar *const *name = g_themed_icon_get_names(G_THEMED_ICON(icon)); name && *name; ++name) {
            if (QIcon found = themeIcon(QString::fromUtf8(*name)); !found.isNull())
                return found;
        }
    } else if (G_IS_FILE_ICON(icon)) {
        const GCharPtr path(g_file_get_path(g_file_icon_get_file(G_FILE_ICON(icon))));
        if (path)
            return imageFileIcon(QString::fromUtf8(path.get()));
    }
    return {};
}

// The display name and content-type icon a file manager built on GIO shows.
FileInfoAppearance fileInfoAppearance(const QString &path)
{
    const GObjectPtr<GFile> file(g_file_new_for_path(QFile::encodeName(path).constData()));
    const GObjectPtr<GFileInfo> info(g_file_query_info(
        file.get(), G_FILE_ATTRIBUTE_STANDARD_DISPLAY_NAME "," G_FILE_ATTRIBUTE_STANDARD_ICON,
        G_FILE_QUERY_INFO_NONE, nullptr, nullptr));
    if (!info)
        return {};
    FileInfoAppearance result;
    if (const char *displayName = g_file_info_get_display_name(info.get()))
        result.displayName = QString::fromUtf8(displayName);
    if (GIcon *icon = g_file_info_get_icon(info.get()))
        result.icon = iconFromGIcon(icon);
    return result;
}

QIcon mimeTypeIcon(const QString &path)
{
    static const QMimeDatabase database;
    const QMimeType type = database.mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    if (QIcon icon = themeIcon(type.iconName()); !icon.isNull())
        return icon;
    return themeIcon(type.genericIconName());
}

QIcon kindIcon(ItemKind kind)
{
    switch (kind) {
    case ItemKind::Application:
        return themeIcon(QStringLiteral("application-x-executable"));
    case ItemKind::Folder:
        return themeIcon(QStringLiteral("folder"));
    case ItemKind::File:
        return themeIcon(QStringLiteral("text-x-generic"));
    }
    return {};
}

} // namespace

QString fallbackName(const QUrl &location)
{
    const QString path = location.isLocalFile() ? location.toLocalFile() : location.path();
    QString name = QFileInfo(path.size() > 1 && path.endsWith(QLatin1Char('/')) ? path.chopped(1) : path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        name.truncate(dot);
    if (!name.isEmpty())
        return name;
    if (path == QLatin1String("/"))
        return path;
    return location.isLocalFile() ? path : location.toDisplayString();
}

ResolvedAppearance resolveAppearance(const QUrl &location, bool exists)
{
    ResolvedAppearance result;
    const QString path = location.isLocalFile() ? location.toLocalFile() : QString();
    const ItemKind kind = exists ? itemKind(location) : ItemKind::File;
    if (exists) {
        if (hasDesktopEntrySuffix(path)) {
            if (const std::optional<DesktopEntry> entry = readDesktopEntry(path)) {
                result.name = entry->name;
                result.icon = desktopEntryIcon(entry->icon);
            }
        }
        if (result.icon.isNull() && kind == ItemKind::Application)
            result.icon = kindIcon(kind);
        if (result.name.isEmpty() || result.icon.isNull()) {
            FileInfoAppearance info = fileInfoAppearance(path);
            if (result.name.isEmpty())
                result.name = info.displayName;
            if (result.icon.isNull())
                result.icon = info.icon;
        }
    } else if (!path.isEmpty()) {
        result.icon = mimeTypeIcon(path);
    }
    if (result.name.isEmpty())
        result.name = fallbackName(location);
    if (result.icon.isNull())
        result.icon = kindIcon(kind);
    if (result.icon.isNull())
        result.icon = genericGlyph(kind == ItemKind::Folder);
    return result;
}
