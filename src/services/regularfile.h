#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Reads at most `maxBytes` from the start of a regular file (symlinks followed). None for
// anything else: a missing or unreadable location, a directory, or a device or FIFO, which
// could otherwise block the caller forever.
std::optional<QByteArray> readRegularFileHead(const QString &path, qint64 maxBytes);
// The same for the bytes from `offset` on; empty when the file ends before it.
std::optional<QByteArray> readRegularFileAt(const QString &path, qint64 offset, qint64 maxBytes);

// Reads a whole regular file of at most `maxBytes`; none when it is larger or not readable.
std::optional<QByteArray> readSmallRegularFile(const QString &path, qint64 maxBytes);
