#include "commandline.h"

#include "appidentity.h"
#include "singleinstance.h"

#include "persistence/configurationdocument.h"
#include "persistence/systemconfigurationstorage.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace CommandLine {

namespace {

const QString printConfigurationName = QStringLiteral("print-configuration");

// Exit status when no readable configuration was found.
constexpr int noConfigurationStatus = 2;

// Prints the document a save would write for the panels found at `file` (the configuration
// location with its backup when empty). Writes no file.
int printConfiguration(const QString &file)
{
    QString reason;
    std::optional<ConfigurationDocument> document;
    if (file.isEmpty())
        document = SystemConfigurationStorage().loadDocument(&reason);
    else
        document = SystemConfigurationStorage::readDocument(file, &reason);
    if (!document) {
        QTextStream(stderr) << AppIdentity::displayName() << ": no readable configuration: "
                            << reason.replace(u'\n', u' ') << '\n';
        return noConfigurationStatus;
    }
    const std::optional<QByteArray> bytes =
        ConfigurationDocument(document->makePanels()).toJson(SystemConfigurationStorage::maximumFileSize, &reason);
    if (!bytes) {
        QTextStream(stderr) << AppIdentity::displayName() << ": cannot print the configuration: " << reason << '\n';
        return 1;
    }
    QFile output;
    if (!output.open(stdout, QIODevice::WriteOnly))
        return 1;
    return output.write(*bytes) == bytes->size() && output.flush() ? 0 : 1;
}

// The options the toolkit takes for itself (platform, style, session restore and the like) and
// removes before the program sees its arguments. Without a display no toolkit reads them, so they
// are removed here too instead of being refused as unknown. One or two leading dashes; those in
// the first list take the next argument (or "=value") as their value.
QStringList withoutToolkitOptions(const QStringList &arguments)
{
    static const QStringList withValue{u"platform"_s, u"platformpluginpath"_s, u"platformtheme"_s, u"plugin"_s,
                                       u"qwindowgeometry"_s, u"qwindowicon"_s, u"qwindowtitle"_s, u"session"_s,
                                       u"display"_s, u"geometry"_s, u"name"_s, u"title"_s, u"visual"_s,
                                       u"style"_s, u"stylesheet"_s, u"qmljsdebugger"_s};
    static const QStringList flags{u"reverse"_s, u"widgetcount"_s, u"sync"_s, u"nograb"_s, u"dograb"_s};
    QStringList kept;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == u"--") {
            kept.append(arguments.mid(i));
            break;
        }
        if (i == 0 || !argument.startsWith(u'-')) {
            kept.append(argument);
            continue;
        }
        const QStringView name = QStringView(argument).mid(argument.startsWith(u"--") ? 2 : 1);
        const qsizetype equals = name.indexOf(u'=');
        const QStringView bare = equals < 0 ? name : name.left(equals);
        if (withValue.contains(bare)) {
            if (equals < 0)
                ++i;  // the value follows as its own argument
            continue;
        }
        if (equals < 0 && flags.contains(bare))
            continue;
        kept.append(argument);
    }
    return kept;
}

// The names of the options that are mutually exclusive: the commands and printing.
QStringList optionNames()
{
    QStringList names;
    for (const RemoteCommand command : RemoteCommands::all())
        names.append(RemoteCommands::actionName(command));
    names.append(printConfigurationName);
    return names;
}

void addOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QStringLiteral("Floating panels of shortcuts."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(QCommandLineOption(
        printConfigurationName,
        QStringLiteral("Print the configuration as the program would save it, read from FILE or else from "
                       "the configuration file (with its backup), and exit. Writes nothing.")));
    for (const RemoteCommand command : RemoteCommands::all())
        parser.addOption(QCommandLineOption(RemoteCommands::actionName(command), RemoteCommands::description(command)));
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("Configuration file for --%1.").arg(printConfigurationName),
                                 QStringLiteral("[FILE]"));
}

} // namespace

bool needsNoDisplay(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    QCommandLineParser parser;
    addOptions(parser);
    // A usage error is reported without a display too.
    if (!parser.parse(withoutToolkitOptions(arguments)))
        return true;
    // Quitting the running instance needs the session bus only.
    for (const QString &name : {printConfigurationName, QStringLiteral("help"), QStringLiteral("help-all"),
                                QStringLiteral("version"), RemoteCommands::actionName(RemoteCommand::Quit)}) {
        if (parser.isSet(name))
            return true;
    }
    return !parser.positionalArguments().isEmpty();
}

void setApplicationInfo()
{
    // The window class X11 window managers see, matching StartupWMClass; texts use the
    // display name.
    QCoreApplication::setApplicationName(QStringLiteral("Quayrow2"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUAYROW_VERSION));
}

Outcome run(const QStringList &arguments)
{
    QCommandLineParser parser;
    addOptions(parser);
    // Exits with a message on a usage error, and for --help and --version.
    parser.process(withoutToolkitOptions(arguments));

    const auto fail = [](const QString &message) {
        QTextStream(stderr) << AppIdentity::displayName() << ": " << message << '\n';
        return Outcome{.exitStatus = 1};
    };
    std::optional<RemoteCommand> command;
    for (const RemoteCommand candidate : RemoteCommands::all()) {
        if (!parser.isSet(RemoteCommands::actionName(candidate)))
            continue;
        if (command || parser.isSet(printConfigurationName))
            return fail(QStringLiteral("give one of --%1 at a time").arg(optionNames().join(QStringLiteral(", --"))));
        command = candidate;
    }

    const QStringList files = parser.positionalArguments();
    if (!parser.isSet(printConfigurationName)) {
        if (!files.isEmpty())
            return fail(QStringLiteral("FILE is only taken with --%1").arg(printConfigurationName));
        if (command == RemoteCommand::Quit) {
            const QString folder = QFileInfo(SystemConfigurationStorage::applicationSupportFilePath()).absolutePath();
            return {.exitStatus = SingleInstance::claim(folder, command, QDBusConnection::sessionBus()).exitStatus};
        }
        return {.command = command};
    }
    if (files.size() > 1)
        return fail(QStringLiteral("--%1 takes at most one FILE").arg(printConfigurationName));
    return {.exitStatus = printConfiguration(files.value(0))};
}

} // namespace CommandLine
