#pragma once

#include <QUrl>

// How a location is opened: an application is started, a folder shown in the file manager, and a
// file opened with its default application.
enum class ItemKind {
    Application,
    Folder,
    File,
};

// Classifies a location. An application is a readable .desktop file of Type=Application, or an
// executable regular file that is an ELF binary (an AppImage is one); a folder is a directory,
// symlinks followed. Everything else is a file: scripts (opening them must not run them),
// other desktop entries, non-local URLs and every location that is missing or unreadable.
ItemKind itemKind(const QUrl &location);
