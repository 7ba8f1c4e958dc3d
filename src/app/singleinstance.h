#pragma once

#include "remotecommand.h"

#include "model/result.h"

#include <QDBusConnection>
#include <QLockFile>
#include <QString>

#include <chrono>
#include <memory>
#include <optional>

// One instance per configuration: a lock file in the configuration folder makes one process its
// only writer, even without a session bus, and a second start hands its command to that process
// over the bus instead of running.
namespace SingleInstance {

// How long a second start waits for the instance holding the lock to appear on the bus (it may
// be starting), and how long "quit" waits for it to end (its last save takes at most 5 s).
inline constexpr std::chrono::milliseconds ownerWait{5000};
inline constexpr std::chrono::milliseconds quitWait{10000};

struct Claim
{
    std::unique_ptr<QLockFile> lock;  // set: this process is the instance and holds the lock
    int exitStatus = 0;               // otherwise: the command was handled, exit with this
};

// The lock file in `folder`.
QString lockFilePath(const QString &folder);

// Takes the lock in `folder` (a lock left by a process that no longer runs is taken over).
// When another running process holds it, `command` is sent to it over `bus` (none: Activate)
// and the claim ends with 0, or with 1 and a message on standard error when it cannot be
// reached. Quit is never started: with the lock free it says so and ends with 0.
Claim claim(const QString &folder, const std::optional<RemoteCommand> &command, QDBusConnection bus);

// Sends `command` (none: Activate) to the instance on `bus`, waiting up to `ownerWait` for it
// to appear there. Quit returns once the instance has left the bus.
Result forward(const std::optional<RemoteCommand> &command, QDBusConnection bus);

} // namespace SingleInstance
