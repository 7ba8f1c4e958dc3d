#pragma once

#include <QString>
#include <QStringList>

// What a process killed halfway can leave behind: temporary files of a write (AtomicFile), and
// icon files whose import was never followed by the save that references them. Only files older
// than a minute count, since a younger one may belong to work still going on in another process.
namespace LeftoverFiles {

// Removes the stale temporary files from `directory`; returns how many went.
int removeTemporaryFiles(const QString &directory);

// The names of the stale files in `directory` that are named as the program names icon files
// ("<UUID>.png"); whether an item still references them is for the caller to decide.
QStringList iconFiles(const QString &directory);

} // namespace LeftoverFiles
