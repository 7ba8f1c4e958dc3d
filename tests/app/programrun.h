#pragma once

// Running the built program in tests, with its configuration in a folder of the test's own.

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <memory>

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

// The environment of a run with XDG_CONFIG_HOME at `configHome`, without the display of the
// environment: with no display at all, or on the offscreen platform.
QProcessEnvironment environment(const QString &configHome, Platform platform);

// The inherited environment (HOME and the XDG folders of a test desktop) on the X display
// `display`, with a private runtime folder made under `root`.
QProcessEnvironment x11Environment(const QString &display, const QString &root);

// Starts the program with `arguments` in `environment`. Its address space is bounded, so that
// reading without a bound fails soon instead of taking the machine's memory.
std::unique_ptr<QProcess> start(const QStringList &arguments, const QProcessEnvironment &environment);
// Waits for the program to end, at most 30 s, and tells what it did.
Outcome finish(QProcess &program);

// Runs the program with `arguments` until it ends by itself.
Outcome run(const QStringList &arguments, const QString &configHome, Platform platform);

// Starts the program on the offscreen platform with a private session bus, waits until it is
// fully started (it has taken its name on that bus), ends it with SIGTERM and tells what it did.
// The line that says no system tray is running, and the offscreen platform's notes on what it cannot
// do with windows, are left out of `err`.
Outcome runUntilStarted(const QStringList &arguments, const QString &configHome);

// Writes `bytes` to `path` (nothing for `absent`), creating folders, and makes it `ageSeconds` old.
void writeFile(const QString &path, const QByteArray &bytes, int ageSeconds = 0);
// The content of `path`, or `absent`.
QByteArray readFile(const QString &path);
// Every file under `root` with its size and modification time, to show that nothing changed.
QStringList snapshot(const QString &root);

} // namespace ProgramRun
