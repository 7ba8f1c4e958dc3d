#pragma once

#include "remotecommand.h"

#include <QStringList>

#include <optional>

// The program's command line. Options that need no display (help, version, printing the
// configuration, quitting the running instance) run without a GUI application object.
namespace CommandLine {

// Whether the arguments ask only for something that needs no display.
bool needsNoDisplay(int argc, char *argv[]);

// Sets the application name and version that --help and --version show.
void setApplicationInfo();

struct Outcome
{
    std::optional<int> exitStatus;         // set: the request is complete, exit with this
    std::optional<RemoteCommand> command;  // otherwise: start with this command (none: a plain start)
};

// Handles the arguments: printing the configuration, quitting the running instance, a usage
// error; or tells what to start with. Exits the process itself for --help and --version.
Outcome run(const QStringList &arguments);

} // namespace CommandLine
