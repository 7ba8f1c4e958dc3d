#pragma once

#include <QString>

// Names the program is known by outside itself: on the session bus, in the desktop's menus and
// icon theme, in messages, and the maker's web pages.
namespace AppIdentity {

// The reverse-DNS id: the bus name, the .desktop file, the metainfo and the icon name.
inline QString applicationID() { return QStringLiteral("com.fennickworks.Quayrow2"); }
// The object path of the application on the session bus, derived from the id.
inline QString objectPath() { return QStringLiteral("/com/fennickworks/Quayrow2"); }
// The name people read. The application name proper is "Quayrow2", which X11 window managers
// see as the window class (matching StartupWMClass in the .desktop file).
inline QString displayName() { return QStringLiteral("Quayrow 2"); }
inline QString executableName() { return QStringLiteral("quayrow2"); }

inline QString makerHomePage() { return QStringLiteral("https://www.fennickworks.com/"); }
inline QString makerContactPage() { return QStringLiteral("https://www.fennickworks.com/contact-us/"); }

} // namespace AppIdentity
