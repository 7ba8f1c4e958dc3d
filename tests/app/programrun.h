#pragma once

// Running the built program in tests, with its configuration in a folder of the test's own.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace ProgramRun {

// Stands for a file that is not there, in tables of file contents.
inline const QByteArray absent = "<absent>";

struct Outcome
{
    int status = -1; // -1 when the program crashed or did not end
    QByteArray out;
    QByteArray err;
};

enum class Platform { NoDisplay, Offscreen };

// Runs the program with `arguments` and XDG_CONFIG_HOME at `configHome`, without the display of
// the environment: with no display at all, or on the offscreen platform. Its address space is
// bounded, so that reading without a bound fails soon instead of taking the machine's memory.
Outcome run(const QStringList &arguments, const QString &configHome, Platform platform);

// Writes `bytes` to `path` (nothing for `absent`), creating folders, and makes it `ageSeconds` old.
void writeFile(const QString &path, const QByteArray &bytes, int ageSeconds = 0);
// The content of `path`, or `absent`.
QByteArray readFile(const QString &path);

} // namespace ProgramRun
