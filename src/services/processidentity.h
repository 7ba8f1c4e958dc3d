#pragma once

#include <QString>
#include <QStringList>

// What the process behind a window tells of its application.
struct ProcessIdentity
{
    // Canonical programs, most specific first: the executable and argv[0]; for an interpreter
    // only the target it runs (see LaunchTarget), never the interpreter itself.
    QStringList programs;
    // A process in a Flatpak sandbox: its paths are the sandbox's, only its application id counts.
    bool isSandboxed = false;
    QString sandboxAppId;
};

// Reads /proc/<pid> (or `<procDirectory>/<pid>`); empty for a process that is gone or not ours.
ProcessIdentity processIdentity(quint32 pid, const QString &procDirectory = QStringLiteral("/proc"));
