#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Reading a whole file from outside without trusting the size it reports.
namespace BoundedFile {

// The content of the regular file at `path` (links followed), or none when it is missing, not a
// regular file, unreadable, or longer than `limit` bytes; `error` then tells why. The limit is
// counted while reading: files such as those in /proc report a size of 0 and never end.
std::optional<QByteArray> read(const QString &path, qint64 limit, QString *error = nullptr);

} // namespace BoundedFile
