#include "singleinstance.h"

#include "appidentity.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QDir>
#include <QEventLoop>
#include <QTextStream>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace SingleInstance {

namespace {

// Runs the event loop until `done` is called or `timeout` passes; returns whether it was called.
template<typename Arm>
bool waitFor(std::chrono::milliseconds timeout, Arm arm)
{
    QEventLoop loop;
    bool called = false;
    arm([&] {
        called = true;
        loop.quit();
    });
    if (called)
        return true;
    QTimer::singleShot(timeout, &loop, &QEventLoop::quit);
    loop.exec();
    return called;
}

bool waitForOwner(QDBusConnection &bus, const QString &name)
{
    QDBusServiceWatcher watcher(name, bus, QDBusServiceWatcher::WatchForRegistration);
    return waitFor(ownerWait, [&](auto done) {
        QObject::connect(&watcher, &QDBusServiceWatcher::serviceRegistered, done);
        if (bus.interface()->isServiceRegistered(name))
            done();
    });
}

QDBusMessage commandMessage(const std::optional<RemoteCommand> &command)
{
    const QString interface = u"org.freedesktop.Application"_s;
    if (!command) {
        QDBusMessage message = QDBusMessage::createMethodCall(AppIdentity::applicationID(), AppIdentity::objectPath(),
                                                              interface, u"Activate"_s);
        message << QVariantMap();
        return message;
    }
    QDBusMessage message = QDBusMessage::createMethodCall(AppIdentity::applicationID(), AppIdentity::objectPath(),
                                                          interface, u"ActivateAction"_s);
    message << RemoteCommands::actionName(*command) << QVariantList() << QVariantMap();
    return message;
}

// Quit is answered before the instance ends, but the answer can be lost when it ends at once;
// what counts is that its connection leaves the bus.
Result forwardQuit(QDBusConnection &bus, const QString &owner)
{
    QDBusServiceWatcher watcher(owner, bus, QDBusServiceWatcher::WatchForUnregistration);
    QString failure;
    const bool ended = waitFor(quitWait, [&](auto done) {
        QObject::connect(&watcher, &QDBusServiceWatcher::serviceUnregistered, done);
        auto *call = new QDBusPendingCallWatcher(bus.asyncCall(commandMessage(RemoteCommand::Quit)), &watcher);
        QObject::connect(call, &QDBusPendingCallWatcher::finished, [&failure, done](QDBusPendingCallWatcher *finished) {
            const QDBusError error = finished->error();
            if (error.isValid() && error.type() != QDBusError::NoReply && error.type() != QDBusError::Disconnected) {
                failure = error.message();
                done();
            }
        });
        if (!bus.interface()->isServiceRegistered(owner))
            done();
    });
    if (!failure.isEmpty())
        return Result::failure(failure);
    if (!ended)
        return Result::failure(u"it did not end within %1 seconds"_s.arg(quitWait.count() / 1000));
    return Result::success();
}

void say(const QString &sentence)
{
    QTextStream(stderr) << sentence << '\n';
}

} // namespace

QString lockFilePath(const QString &folder)
{
    return QDir(folder).filePath(u"instance.lock"_s);
}

Result forward(const std::optional<RemoteCommand> &command, QDBusConnection bus)
{
    if (!bus.isConnected())
        return Result::failure(u"there is no session bus"_s);
    const QString name = AppIdentity::applicationID();
    if (!waitForOwner(bus, name))
        return Result::failure(u"it is not on the session bus"_s);
    if (command == RemoteCommand::Quit) {
        const QString owner = bus.interface()->serviceOwner(name);
        if (owner.isEmpty())
            return Result::success();  // it ended meanwhile
        return forwardQuit(bus, owner);
    }
    // Events go on meanwhile, so that the instance may even be this process.
    const QDBusMessage reply = bus.call(commandMessage(command), QDBus::BlockWithGui);
    if (reply.type() == QDBusMessage::ErrorMessage)
        return Result::failure(reply.errorMessage());
    return Result::success();
}

Claim claim(const QString &folder, const std::optional<RemoteCommand> &command, QDBusConnection bus)
{
    const bool quitting = command == RemoteCommand::Quit;
    if (quitting && !QDir(folder).exists()) {
        say(u"%1 is not running."_s.arg(AppIdentity::displayName()));
        return {};
    }
    if (!QDir().mkpath(folder)) {
        say(u"%1 cannot create its configuration folder %2."_s.arg(AppIdentity::displayName(), folder));
        return {.exitStatus = 1};
    }
    auto lock = std::make_unique<QLockFile>(lockFilePath(folder));
    // Only a lock whose process has ended is stale, however old it is.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        if (quitting) {
            say(u"%1 is not running."_s.arg(AppIdentity::displayName()));
            return {};
        }
        return {.lock = std::move(lock)};
    }
    if (lock->error() != QLockFile::LockFailedError) {
        const QString reason = lock->error() == QLockFile::PermissionError ? u"permission denied"_s : u"unknown error"_s;
        say(u"%1 cannot take its lock %2: %3."_s.arg(AppIdentity::displayName(), lockFilePath(folder), reason));
        return {.exitStatus = 1};
    }
    const Result forwarded = forward(command, bus);
    if (forwarded)
        return {};
    qint64 pid = 0;
    QString host;
    QString application;
    lock->getLockInfo(&pid, &host, &application);
    say(u"%1 is already running (process %2, holding %3) but cannot be reached: %4. Nothing was changed."_s.arg(
        AppIdentity::displayName(), QString::number(pid), lockFilePath(folder), forwarded.errorMessage()));
    return {.exitStatus = 1};
}

} // namespace SingleInstance
