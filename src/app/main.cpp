#include "commandline.h"
#include "desktopstore.h"

#include "persistence/backgroundconfigurationstorage.h"
#include "persistence/systemconfigurationstorage.h"
#include "store/appstore.h"

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
        return finish(CommandLine::run(QCoreApplication::arguments()).value_or(0));
    }
    if (!hasGraphicalSession()) {
        QTextStream(stderr) << "Quayrow 2 needs a graphical session: neither DISPLAY nor WAYLAND_DISPLAY is set.\n";
        return 1;
    }

    QApplication app(argc, argv);
    if (const std::optional<int> status = CommandLine::run(QCoreApplication::arguments()))
        return finish(*status);

    // The panels' windows do not exist yet: a start loads the configuration (creating it on
    // first launch), reports what it found and ends.
    const std::unique_ptr<AppStore> store = makeDesktopStore();
    const qsizetype count = store->panels().size();
    QTextStream(stdout) << QCoreApplication::applicationName() << ": " << count << (count == 1 ? " panel" : " panels")
                        << " in " << SystemConfigurationStorage::applicationSupportFilePath() << '\n';
    return finish(0);
}
