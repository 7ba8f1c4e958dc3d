#include "remotecommand.h"

namespace RemoteCommands {

QList<RemoteCommand> all()
{
    return {RemoteCommand::NewPanel, RemoteCommand::ShowAllPanels, RemoteCommand::Quit};
}

QString actionName(RemoteCommand command)
{
    switch (command) {
    case RemoteCommand::NewPanel:
        return QStringLiteral("new-panel");
    case RemoteCommand::ShowAllPanels:
        return QStringLiteral("show-all-panels");
    case RemoteCommand::Quit:
        return QStringLiteral("quit");
    }
    return {};
}

std::optional<RemoteCommand> fromActionName(QStringView name)
{
    for (const RemoteCommand command : all()) {
        if (name == actionName(command))
            return command;
    }
    return std::nullopt;
}

QString description(RemoteCommand command)
{
    switch (command) {
    case RemoteCommand::NewPanel:
        return QStringLiteral("Add a panel on the screen under the pointer (starting the program if it is not running).");
    case RemoteCommand::ShowAllPanels:
        return QStringLiteral("Bring every panel to the front (starting the program if it is not running). "
                              "This is what starting the program again does.");
    case RemoteCommand::Quit:
        return QStringLiteral("End the running program once its configuration is saved.");
    }
    return {};
}

} // namespace RemoteCommands
