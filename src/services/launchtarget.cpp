#include "launchtarget.h"

#include "desktopentry.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

namespace {

// How an interpreter's own options read: those that take the next argument as their value,
// those that name the target in the next argument, and those after which no script follows.
struct OptionRules
{
    QSet<QString> takesValue;
    QSet<QString> namesFile;   // the next argument is the target file (java -jar)
    QSet<QString> namesModule; // the next argument is the target by name (python -m)
    QSet<QString> runsCommand; // the program text is on the command line (sh -c, perl -e)
};

QString family(const QString &name)
{
    static const QRegularExpression versioned(QStringLiteral("^(python|pypy|perl|ruby|lua|luajit|php|tclsh|wish|guile)"
                                                             "[0-9.]*$"));
    if (const QRegularExpressionMatch match = versioned.match(name); match.hasMatch())
        return match.captured(1);
    static const QSet<QString> plain{
        QStringLiteral("node"), QStringLiteral("nodejs"), QStringLiteral("java"), QStringLiteral("sh"),
        QStringLiteral("bash"), QStringLiteral("dash"), QStringLiteral("zsh"), QStringLiteral("ksh"),
        QStringLiteral("mksh"), QStringLiteral("fish"), QStringLiteral("env"), QStringLiteral("flatpak"),
        QStringLiteral("gjs"), QStringLiteral("mono"), QStringLiteral("electron"), QStringLiteral("Rscript"),
    };
    return plain.contains(name) ? name : QString();
}

OptionRules rulesFor(const QString &family)
{
    const auto set = [](std::initializer_list<const char *> options) {
        QSet<QString> result;
        for (const char *option : options)
            result.insert(QLatin1String(option));
        return result;
    };
    if (family == QLatin1String("python") || family == QLatin1String("pypy"))
        return {set({"-W", "-X", "-Q"}), {}, set({"-m"}), set({"-c"})};
    if (family == QLatin1String("java"))
        return {set({"-cp", "-classpath", "--class-path", "-p", "--module-path", "--add-modules"}), set({"-jar"}),
                set({"-m", "--module"}), {}};
    if (family == QLatin1String("node") || family == QLatin1String("nodejs") || family == QLatin1String("electron"))
        return {set({"-r", "--require", "--import"}), {}, {}, set({"-e", "--eval", "-p", "--print"})};
    if (family == QLatin1String("perl") || family == QLatin1String("ruby"))
        return {set({"-I", "-M", "-r", "-C"}), {}, {}, set({"-e", "-E"})};
    if (family == QLatin1String("lua") || family == QLatin1String("luajit") || family == QLatin1String("php"))
        return {set({"-l", "-d", "-c"}), {}, {}, set({"-e", "-r"})};
    if (family == QLatin1String("gjs"))
        return {set({"-I", "--include-path"}), {}, set({"-m", "--module"}), set({"-c", "--command"})};
    // The shells and the rest.
    return {set({"-o", "-O", "--rcfile", "--init-file"}), {}, {}, set({"-c"})};
}

QString canonicalFile(const QString &path, const QString &workingDirectory)
{
    if (QDir::isRelativePath(path) && workingDirectory.isEmpty())
        return {};
    const QString absolute = QDir::isAbsolutePath(path) ? path : QDir(workingDirectory).filePath(path);
    const QFileInfo info(absolute);
    return info.isFile() ? info.canonicalFilePath() : QDir::cleanPath(absolute);
}

// `flatpak run [options] APP [arguments]`: the application id.
QString flatpakApplication(const QStringList &arguments)
{
    static const QSet<QString> takesValue{QStringLiteral("--arch"), QStringLiteral("--branch"),
                                          QStringLiteral("--command"), QStringLiteral("--runtime"),
                                          QStringLiteral("--runtime-version"), QStringLiteral("--cwd")};
    const qsizetype run = arguments.indexOf(QStringLiteral("run"));
    if (run < 0)
        return {};
    for (qsizetype i = run + 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (takesValue.contains(argument))
            ++i;
        else if (!argument.startsWith(QLatin1Char('-')))
            return argument;
    }
    return {};
}

} // namespace

bool isInterpreter(const QString &program)
{
    return !family(QFileInfo(program).fileName()).isEmpty();
}

LaunchTarget launchTarget(const QString &program, const QStringList &arguments, const QString &workingDirectory)
{
    const QString kind = family(QFileInfo(program).fileName());
    if (kind.isEmpty())
        return {program, {}};
    if (kind == QLatin1String("flatpak"))
        return {{}, flatpakApplication(arguments)};
    if (kind == QLatin1String("env"))
        return {};
    const OptionRules rules = rulesFor(kind);
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        const bool isLast = i + 1 >= arguments.size();
        if (argument == QLatin1String("--"))
            return isLast ? LaunchTarget{} : LaunchTarget{canonicalFile(arguments[i + 1], workingDirectory), {}};
        if (rules.runsCommand.contains(argument))
            return {};
        if (rules.namesFile.contains(argument))
            return isLast ? LaunchTarget{} : LaunchTarget{canonicalFile(arguments[i + 1], workingDirectory), {}};
        if (rules.namesModule.contains(argument))
            return isLast ? LaunchTarget{} : LaunchTarget{program + QLatin1Char(' ') + arguments[i + 1], {}};
        if (rules.takesValue.contains(argument)) {
            ++i;
            continue;
        }
        if (argument.startsWith(QLatin1Char('-')))
            continue;
        // A file, or a name the interpreter resolves itself (a Java main class).
        if (kind == QLatin1String("java") && !argument.contains(QLatin1Char('/')))
            return {program + QLatin1Char(' ') + argument, {}};
        return {canonicalFile(argument, workingDirectory), {}};
    }
    return {};
}

LaunchTarget execLaunchTarget(const QString &exec, const QString &workingDirectory)
{
    const QStringList arguments = execArguments(exec);
    qsizetype index = 0;
    if (!arguments.isEmpty() && QFileInfo(arguments.first()).fileName() == QLatin1String("env")) {
        index = 1;
        while (index < arguments.size()
               && (arguments[index].contains(QLatin1Char('=')) || arguments[index].startsWith(QLatin1Char('-')))) {
            ++index;
        }
    }
    if (index >= arguments.size())
        return {};
    // Flatpak's exports name the sandboxed application whether or not flatpak itself is found.
    const QString named = arguments[index];
    const QString program = QFileInfo(named).fileName() == QLatin1String("flatpak") ? named : resolveProgramPath(named);
    if (program.isEmpty())
        return {};
    return launchTarget(program, arguments.mid(index + 1), workingDirectory);
}
