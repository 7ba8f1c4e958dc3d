#include "programrun.h"

#include "privatebus.h"
#include "sanitizers.h"

#include "app/appidentity.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QDir>
#include <QDirIterator>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

// Qt warns on standard error without one; a private folder of the owner's only, under `root`.
void addRuntimeFolder(QProcessEnvironment &environment, const QString &root)
{
    const QString runtime = root + u"/runtime"_s;
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    environment.insert(u"XDG_RUNTIME_DIR"_s, runtime);
}

} // namespace

namespace ProgramRun {

QProcessEnvironment environment(const QString &configHome, Platform platform)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_CONFIG_HOME"_s, configHome);
    environment.remove(u"DISPLAY"_s);
    environment.remove(u"WAYLAND_DISPLAY"_s);
    environment.remove(u"QT_QPA_PLATFORM"_s);
    if (platform == Platform::Offscreen) {
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        addRuntimeFolder(environment, configHome);
    }
    return environment;
}

QProcessEnvironment x11Environment(const QString &display, const QString &root)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"DISPLAY"_s, display);
    environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    addRuntimeFolder(environment, root);
    return environment;
}

std::unique_ptr<QProcess> start(const QStringList &arguments, const QProcessEnvironment &environment)
{
    auto process = std::make_unique<QProcess>();
    // The address sanitizer needs far more address space, so it runs without the limit.
    if (!underAddressSanitizer) {
        process->setChildProcessModifier([] {
            const rlimit limit{rlim_t(2) << 30, rlim_t(2) << 30};
            ::setrlimit(RLIMIT_AS, &limit);
        });
    }
    process->setProcessEnvironment(environment);
    process->start(QStringLiteral(QUAYROW2_EXECUTABLE), arguments);
    return process;
}

Outcome finish(QProcess &program)
{
    if (!program.waitForFinished(30000) || program.exitStatus() != QProcess::NormalExit)
        return {};
    return {program.exitCode(), program.readAllStandardOutput(), program.readAllStandardError()};
}

Outcome run(const QStringList &arguments, const QString &configHome, Platform platform)
{
    const std::unique_ptr<QProcess> program = start(arguments, environment(configHome, platform));
    return finish(*program);
}

Outcome runUntilStarted(const QStringList &arguments, const QString &configHome)
{
    PrivateSessionBus bus;
    QProcessEnvironment offscreen = environment(configHome, Platform::Offscreen);
    offscreen.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, bus.address());
    const std::unique_ptr<QProcess> program = start(arguments, offscreen);

    // Started: its name is on the bus (or it ended before that).
    const QString connectionName = u"program-run"_s;
    {
        QDBusConnection connection = QDBusConnection::connectToBus(bus.address(), connectionName);
        QDBusServiceWatcher watcher(AppIdentity::applicationID(), connection, QDBusServiceWatcher::WatchForRegistration);
        QEventLoop loop;
        QObject::connect(&watcher, &QDBusServiceWatcher::serviceRegistered, &loop, &QEventLoop::quit);
        QObject::connect(program.get(), &QProcess::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);
        if (!connection.interface()->isServiceRegistered(AppIdentity::applicationID())
            && program->state() != QProcess::NotRunning)
            loop.exec();
    }
    QDBusConnection::disconnectFromBus(connectionName);
    if (program->state() == QProcess::Running)
        ::kill(pid_t(program->processId()), SIGTERM);

    Outcome outcome = finish(*program);
    QByteArrayList lines = outcome.err.split('\n');
    // The offscreen platform also says what it cannot do with the panel windows (masks, raising).
    lines.removeIf([](const QByteArray &line) {
        return line.contains(": no system tray is running.") || line.startsWith("This plugin does not support");
    });
    outcome.err = lines.join('\n');
    return outcome;
}

void writeFile(const QString &path, const QByteArray &bytes, int ageSeconds)
{
    if (bytes == absent)
        return;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    file.close();
    if (ageSeconds > 0) {
        const timespec then{std::time(nullptr) - ageSeconds, 0};
        const timespec times[2] = {then, then};
        ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
    }
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : absent;
}

QStringList snapshot(const QString &root)
{
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        entries.append(u"%1 %2 %3"_s.arg(it.filePath()).arg(it.fileInfo().size())
                           .arg(it.fileInfo().lastModified().toMSecsSinceEpoch()));
    }
    entries.sort();
    return entries;
}

} // namespace ProgramRun
