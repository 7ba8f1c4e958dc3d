#include "commandline.h"
#include "displaychoice.h"
#include "quayrow2app.h"

#include "persistence/backgroundconfigurationstorage.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTextStream>

#include <vector>

namespace {

// Every way out of the program waits for the last save, at most five seconds: the call that the
// quit command, aboutToQuit and signal handling make too.
int finish(int status)
{
    BackgroundConfigurationStorage::flushAll();
    return status;
}

} // namespace

int main(int argc, char *argv[])
{
    CommandLine::setApplicationInfo();
    if (CommandLine::needsNoDisplay(argc, argv)) {
        QCoreApplication app(argc, argv);
        return finish(CommandLine::run(QCoreApplication::arguments()).exitStatus.value_or(0));
    }
    // Qt aborts when it cannot reach a display; say so plainly instead.
    const DisplayChoice::Decision display = DisplayChoice::decide();
    if (!display.refusal.isEmpty()) {
        QTextStream(stderr) << display.refusal << '\n';
        return 1;
    }
    // The platform goes on the command line, not into the environment, so that the programs this
    // one launches still choose their own.
    std::vector<char *> arguments(argv, argv + argc);
    QByteArray platformOption = "-platform";
    QByteArray platform = display.platform;
    if (!platform.isEmpty())
        arguments.insert(arguments.begin() + 1, {platformOption.data(), platform.data()});
    int argumentCount = int(arguments.size());
    arguments.push_back(nullptr);

    QApplication app(argumentCount, arguments.data());
    const CommandLine::Outcome outcome = CommandLine::run(QCoreApplication::arguments());
    if (outcome.exitStatus)
        return finish(*outcome.exitStatus);
    return finish(Quayrow2App::exec(outcome.command));
}
