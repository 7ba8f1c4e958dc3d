#include "commandline.h"
#include "quayrow2app.h"

#include "persistence/backgroundconfigurationstorage.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTextStream>

namespace {

// Every way out of the program waits for the last save, at most five seconds: the call that the
// quit command, aboutToQuit and signal handling make too.
int finish(int status)
{
    BackgroundConfigurationStorage::flushAll();
    return status;
}

// Qt aborts when it cannot reach a display; say so plainly instead.
bool hasGraphicalSession()
{
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY")
        || qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
}

} // namespace

int main(int argc, char *argv[])
{
    CommandLine::setApplicationInfo();
    if (CommandLine::needsNoDisplay(argc, argv)) {
        QCoreApplication app(argc, argv);
        return finish(CommandLine::run(QCoreApplication::arguments()).exitStatus.value_or(0));
    }
    if (!hasGraphicalSession()) {
        QTextStream(stderr) << "Quayrow 2 needs a graphical session: neither DISPLAY nor WAYLAND_DISPLAY is set.\n";
        return 1;
    }

    QApplication app(argc, argv);
    const CommandLine::Outcome outcome = CommandLine::run(QCoreApplication::arguments());
    if (outcome.exitStatus)
        return finish(*outcome.exitStatus);
    return finish(Quayrow2App::exec(outcome.command));
}
