#include "processidentity.h"

#include "desktopentry.h"
#include "glibptr.h"
#include "launchtarget.h"

#include "persistence/boundedfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr qint64 maxCommandLineBytes = 64 * 1024;
constexpr qint64 maxSandboxInfoBytes = 64 * 1024;

QString canonicalOrSelf(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

// The application id of a Flatpak sandbox from its .flatpak-info; none outside one.
std::optional<QString> sandboxApplication(const QString &process)
{
    const std::optional<QByteArray> info = BoundedFile::read(process + QLatin1String("/root/.flatpak-info"),
                                                             maxSandboxInfoBytes);
    if (!info)
        return std::nullopt;
    const GKeyFilePtr keyFile(g_key_file_new());
    if (!g_key_file_load_from_data(keyFile.get(), info->constData(), gsize(info->size()), G_KEY_FILE_NONE, nullptr))
        return QString();
    const GCharPtr name(g_key_file_get_string(keyFile.get(), "Application", "name", nullptr));
    return name ? QString::fromUtf8(name.get()) : QString();
}

} // namespace

ProcessIdentity processIdentity(quint32 pid, const QString &procDirectory)
{
    ProcessIdentity identity;
    const QString process = QDir(procDirectory).filePath(QString::number(pid));
    if (const std::optional<QString> application = sandboxApplication(process)) {
        identity.isSandboxed = true;
        identity.sandboxAppId = *application;
        return identity;
    }
    const QString exeTarget = QFileInfo(process + QLatin1String("/exe")).symLinkTarget();
    const QString exe = exeTarget.isEmpty() ? QString() : canonicalOrSelf(exeTarget);
    QList<QByteArray> arguments;
    if (const auto cmdline = BoundedFile::readAt(process + QLatin1String("/cmdline"), 0, maxCommandLineBytes)) {
        arguments = cmdline->split('\0');
        if (!arguments.isEmpty() && arguments.constLast().isEmpty())
            arguments.removeLast();
    }
    if (!exe.isEmpty() && isInterpreter(exe)) {
        QStringList rest;
        for (qsizetype i = 1; i < arguments.size(); ++i)
            rest.append(QFile::decodeName(arguments[i]));
        const QString workingDirectory = QFileInfo(process + QLatin1String("/cwd")).symLinkTarget();
        const LaunchTarget target = launchTarget(exe, rest, workingDirectory);
        if (!target.program.isEmpty())
            identity.programs.append(target.program);
        return identity;
    }
    const QString argv0 = arguments.isEmpty() ? QString() : resolveProgramPath(QFile::decodeName(arguments.first()));
    for (const QString &program : {exe, argv0}) {
        if (!program.isEmpty() && !identity.programs.contains(program))
            identity.programs.append(program);
    }
    return identity;
}
