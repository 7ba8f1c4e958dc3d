#pragma once

#include <QByteArray>
#include <QHash>
#include <QIcon>
#include <QString>
#include <QUrl>

#include <sys/types.h>

// The icons and display names of locations, cached by location and the file's identity and
// modification time: panel views are rebuilt after every change and ask again for every item,
// so a repeated question costs a hash lookup and at most one stat(). A location checked less
// than half a second ago is not checked again, so that the icon and the name of one item (and
// repeated questions within one rebuild) share a check. Main thread only.
class LocationAppearance
{
public:
    // Never null: a drawn generic glyph stands in when nothing better is found.
    QIcon icon(const QUrl &location);
    // Never empty for a location with a path.
    QString name(const QUrl &location);

private:
    // What stat() tells of a location; a changed stamp invalidates the cached appearance.
    struct Stamp
    {
        bool exists = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        qint64 modifiedNs = 0;
        qint64 changedNs = 0;

        bool operator==(const Stamp &) const = default;
    };
    struct Appearance
    {
        QByteArray encodedPath;
        Stamp stamp;
        qint64 checkedAtNs = 0;
        QIcon icon;
        QString name;
    };

    static Stamp stampOf(const QByteArray &encodedPath);
    const Appearance &appearance(const QUrl &location);

    QHash<QUrl, Appearance> m_cache;
};
