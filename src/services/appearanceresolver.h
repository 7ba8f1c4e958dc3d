#pragma once

#include <QIcon>
#include <QString>
#include <QUrl>

// The icon and display name of a location, read from the desktop without caching.
struct ResolvedAppearance
{
    QIcon icon;     // never null
    QString name;
};

// A .desktop file: its Icon (a theme name or an absolute path) and localized Name. Anything
// else: the icon and display name the file manager's library gives it. Fallbacks: a generic
// icon for the kind of location, then a drawn glyph; the last path component without its
// extension for the name.
ResolvedAppearance resolveAppearance(const QUrl &location, bool exists);

// The name a location has when nothing better is known: the last path component without its
// extension ("report" for ".../report.txt"; "/" for the root).
QString fallbackName(const QUrl &location);
