#include "localfile.h"

#include <QDir>

std::optional<QString> localFilePath(const QUrl &location)
{
    if (!location.isLocalFile())
        return std::nullopt;
    const QString host = location.host();
    if (!host.isEmpty() && host.compare(u"localhost", Qt::CaseInsensitive) != 0)
        return std::nullopt;
    // Without the host: "file://localhost/x" names "/x", not "//localhost/x".
    QString path = location.adjusted(QUrl::RemoveAuthority).toLocalFile();
    if (!QDir::isAbsolutePath(path))
        return std::nullopt;
    // A run of leading slashes names the root here; kept, it would read as a host again.
    qsizetype slashes = 0;
    while (slashes + 1 < path.size() && path.at(slashes + 1) == u'/')
        ++slashes;
    return path.mid(slashes);
}
