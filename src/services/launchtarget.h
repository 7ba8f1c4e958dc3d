#pragma once

#include <QString>
#include <QStringList>

// What a command starts, in the terms the running-applications match compares: the program, or
// for an interpreter the script it runs, or for `flatpak run` the sandboxed application's id.
struct LaunchTarget
{
    // A canonical path: the program itself, or the script an interpreter runs. A target that
    // names no file (`python3 -m notes`, a Java main class) is the interpreter's path, a space
    // and the name.
    QString program;
    QString sandboxAppId;

    bool isEmpty() const { return program.isEmpty() && sandboxAppId.isEmpty(); }
};

// Whether the program (a path or name) runs programs given to it rather than being one: Python,
// Perl, Ruby, Node, Java, the shells, env, flatpak and the like, judged by the file name.
bool isInterpreter(const QString &program);

// The target of `program` (canonical) started with `arguments` (those after the program).
// Relative script paths are taken against `workingDirectory`. An interpreter without a script
// (alone, or given a command line with -c / -e) has no target: the interpreter is never one.
LaunchTarget launchTarget(const QString &program, const QStringList &arguments, const QString &workingDirectory);

// The target of a .desktop Exec value: a leading `env` with its assignments is skipped, a bare
// program name is looked up in PATH. Empty when the program cannot be found.
LaunchTarget execLaunchTarget(const QString &exec, const QString &workingDirectory);
