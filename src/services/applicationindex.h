#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// What is known of the application behind a window.
struct WindowIdentity
{
    QString classInstance;          // WM_CLASS, first string
    QString className;              // WM_CLASS, second string
    QString gtkApplicationId;       // _GTK_APPLICATION_ID
    QStringList programPaths;       // canonical programs of its process, most specific first
    bool isSandboxed = false;       // a Flatpak window: its process ids and paths are not the host's
    QString sandboxAppId;           // the sandbox's application id, when known
};

// The installed applications (Type=Application .desktop files under the given "applications"
// folders, by desktop id with the usual precedence, hidden ones removed) and the match of a window
// to one of them. A built index does not change; building reads the folders and may run on any
// thread.
class ApplicationIndex
{
public:
    ApplicationIndex() = default;

    // Reads the folders, the earlier ones taking precedence.
    static ApplicationIndex build(const QStringList &roots);
    // The "applications" folders of the XDG data directories.
    static QStringList defaultRoots();

    // The .desktop file of the window's application, or empty. A sandboxed window with a known
    // application id matches by that id only (the desktop id, or an Exec of `flatpak run`).
    // Otherwise, in order: StartupWMClass against WM_CLASS class then instance, the desktop id
    // against them (whole, or its last reverse-DNS component), all without regard to case;
    // _GTK_APPLICATION_ID; unless sandboxed, the process's programs against the target of Exec
    // (for an interpreter the script it runs) and TryExec.
    QString applicationFor(const WindowIdentity &window) const;

    qsizetype size() const { return m_paths.size(); }
    // Every folder read (the roots that exist and their subfolders).
    const QStringList &directories() const { return m_directories; }

private:
    void add(const QString &path, const QString &id);

    QStringList m_directories;
    QStringList m_paths;
    QHash<QString, qsizetype> m_byId;
    QHash<QString, qsizetype> m_byWmClass;
    QHash<QString, qsizetype> m_byIdStem;
    QHash<QString, qsizetype> m_byIdLastComponent;
    QHash<QString, qsizetype> m_byProgram;
    QHash<QString, qsizetype> m_bySandboxAppId;
};
