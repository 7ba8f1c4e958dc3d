#pragma once

#include <QStringList>

#include <optional>

// The program's command line. Options that need no display (help, version, printing the
// configuration) run without a GUI application object.
namespace CommandLine {

// Whether the arguments ask only for something that needs no display.
bool needsNoDisplay(int argc, char *argv[]);

// Sets the application name and version that --help and --version show.
void setApplicationInfo();

// Handles the arguments of the running application; returns the exit status when the request
// is complete (printing, or a usage error), none when the program should go on to start.
// Exits the process itself for --help and --version.
std::optional<int> run(const QStringList &arguments);

} // namespace CommandLine
