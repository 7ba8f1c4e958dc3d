#pragma once

#include "model/result.h"

#include <QByteArray>
#include <QString>

// Whole-file replacement that a reader never sees half done.
namespace AtomicFile {

// Replaces `path` with `bytes` durably: the data reaches the disk before it is renamed over the
// old file, and the directory is synced after, so a power cut leaves the old or the new file.
Result write(const QString &path, const QByteArray &bytes);

// Replaces `path` with `bytes` through a temporary file and a rename, without waiting for the
// disk: a crash of the process leaves the old or the new file; a power cut may leave the file
// empty. Meant for secondary copies whose primary was written with write().
Result writeUnsynced(const QString &path, const QByteArray &bytes);

// Makes renames and creations in the directory durable.
Result syncDirectory(const QString &directoryPath);

} // namespace AtomicFile
