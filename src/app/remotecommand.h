#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// The commands another process can send to the running instance: from the command line
// (--new-panel, --show-all-panels, --quit) and as the actions of org.freedesktop.Application.
enum class RemoteCommand { NewPanel, ShowAllPanels, Quit };

namespace RemoteCommands {

// Every command, in the order --help lists them.
QList<RemoteCommand> all();

// The action and command-line option name: "new-panel", "show-all-panels", "quit".
QString actionName(RemoteCommand command);
std::optional<RemoteCommand> fromActionName(QStringView name);

// What --help says of the command.
QString description(RemoteCommand command);

} // namespace RemoteCommands
