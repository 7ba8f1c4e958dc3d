#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

class QFile;
class QIODevice;

// Reading data from outside without trusting it. Only regular files are opened (symbolic links
// followed), and opening never blocks: a FIFO would wait for a writer, a device may never end.
// Every limit holds while reading, not only by the size a file reports: files in /proc report a
// size of 0 and may deliver gigabytes, and a file can grow while it is read.
namespace BoundedFile {

// The content of the regular file at `path`, or none when it is missing, not a regular file,
// unreadable, or longer than `limit` bytes; `error` then tells why, in words for the user.
std::optional<QByteArray> read(const QString &path, qint64 limit, QString *error = nullptr);

// At most `maxBytes` of the regular file at `path` from `offset` on: fewer where the file ends
// first, none when it cannot be opened or read.
std::optional<QByteArray> readAt(const QString &path, qint64 offset, qint64 maxBytes);

// Everything from the device's current position to its end, or none when that is more than
// `limit` bytes or a read fails.
std::optional<QByteArray> read(QIODevice &device, qint64 limit);

// The regular file at `path` opened for reading, for readers that take a device; none for
// anything else.
std::unique_ptr<QFile> open(const QString &path);

} // namespace BoundedFile
