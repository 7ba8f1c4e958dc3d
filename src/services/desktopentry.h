#pragma once

#include "store/services.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The keys of a .desktop file's [Desktop Entry] group that the services use. Strings are
// unescaped; `name` is localized for the current language settings.
struct DesktopEntry
{
    QString type;
    QString name;
    QString icon;
    QString exec;
    QString tryExec;
    QString startupWmClass;
    QString workingDirectory; // Path
    bool hidden = false;
    bool isDBusActivatable = false;
    bool isSingleMainWindow = false;
    // The [Desktop Action …] groups that Actions lists, in its order; an action without a name
    // (or without a command, unless the application is D-Bus activated) is left out.
    QList<ApplicationAction> actions;

    bool isApplication() const { return type == QLatin1String("Application"); }
};

// How a new window of the application is asked for while it runs.
enum class NewWindowRoute {
    // It shows one main window only (SingleMainWindow), or is a D-Bus activated application
    // without a "new-window" action: starting it again would only show it.
    None,
    // Its own "new-window" action.
    NewWindowAction,
    // A new process of its main command.
    NewProcess,
};

NewWindowRoute newWindowRoute(const DesktopEntry &entry);
// The id of the action that asks an application for a new window.
QString newWindowActionID();

// Whether the path names a desktop entry file (by its suffix, as the desktop does).
bool hasDesktopEntrySuffix(const QString &path);

// Reads a .desktop file. None when the location is not a readable regular file of sane size,
// is not a key file, or lacks a [Desktop Entry] group with a Type.
std::optional<DesktopEntry> readDesktopEntry(const QString &path);

// The arguments of an Exec value split by its quoting rules, field codes left in place; empty
// when the value is malformed.
QStringList execArguments(const QString &exec);

// A program name or path made absolute (PATH lookup) and canonical; empty when not found.
QString resolveProgramPath(const QString &program);
