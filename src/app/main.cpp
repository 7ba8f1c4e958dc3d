#include "commandline.h"

#include "persistence/systemconfigurationstorage.h"

#include <QApplication>
#include <QCoreApplication>

int main(int argc, char *argv[])
{
    CommandLine::setApplicationInfo();
    if (CommandLine::needsNoDisplay(argc, argv)) {
        QCoreApplication app(argc, argv);
        return CommandLine::run(QCoreApplication::arguments()).value_or(0);
    }

    QApplication app(argc, argv);
    if (const std::optional<int> status = CommandLine::run(QCoreApplication::arguments()))
        return *status;

    // Until the windows exist, a start only reads the configuration.
    SystemConfigurationStorage storage;
    (void)storage.load();
    return 0;
}
