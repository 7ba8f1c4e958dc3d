#pragma once

#include "model/result.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

// Whole-file replacement that a reader never sees half done.
//
// New content goes to a temporary file beside the target, created exclusively under a fresh name
// "<target name>.quayrow2-tmp-XXXXXX" (so never through a link, nor into a FIFO, planted at some
// name), and is then renamed over the target, keeping the permissions of the file it replaces. A
// process killed halfway leaves that file behind (LeftoverFiles clears it at a later start).
namespace AtomicFile {

// Replaces `path` with `bytes` durably: the data reaches the disk before it is renamed over the
// old file, and the directory is synced after, so a power cut leaves the old or the new file.
// A `path` that is a symbolic link (as dotfile managers make) is written through to its target.
Result write(const QString &path, const QByteArray &bytes);

// Replaces `path` itself with `bytes` (a link there is replaced, never followed), without waiting
// for the disk: a crash of the process leaves the old or the new file; a power cut may leave the
// file empty. Meant for secondary copies whose primary was written with write().
Result writeUnsynced(const QString &path, const QByteArray &bytes);

// The file that write() through `path` lands in: the end of its chain of symbolic links, or
// `path` itself when it is no link or the chain does not end.
QString linkTarget(const QString &path);

// Makes renames and creations in the directory durable. Where the file system cannot sync a
// directory at all (EINVAL, ENOTSUP: some network and FUSE file systems) this is a best effort,
// logged once, and not a failure.
Result syncDirectory(const QString &directoryPath);

// Whether `fileName` names one of the temporary files made here.
bool isTemporaryFileName(QStringView fileName);

} // namespace AtomicFile
