#pragma once

#include <QString>
#include <QUrl>

#include <optional>

// The absolute path that a location names on this machine, or none when it names no local file.
//
// Only a "file" URL whose host is empty or "localhost" is local. QUrl::isLocalFile() also accepts
// "file://server/share/x", whose toLocalFile() is "//server/share/x": a network share elsewhere,
// which as a plain path on this system would name "/server/share/x" instead.
std::optional<QString> localFilePath(const QUrl &location);
