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
};

// The installed applications (Type=Application .desktop files under the XDG data directories'
// "applications" folders, by desktop id with the usual precedence, hidden ones removed) and the
// match of a window to one of them.
class ApplicationIndex
{
public:
    // Reads the directories now if they changed since the last read (or were never read).
    void refreshIfChanged();

    // The .desktop file of the window's application, or empty. In order: StartupWMClass against
    // WM_CLASS class then instance, the desktop id against them (whole, or its last reverse-DNS
    // component), all without regard to case; _GTK_APPLICATION_ID; the process's programs against
    // Exec and TryExec.
    QString applicationFor(const WindowIdentity &window) const;

    qsizetype size() const { return m_paths.size(); }

private:
    struct DirectoryStamp
    {
        QString path;
        qint64 modifiedNs = -1;

        bool operator==(const DirectoryStamp &) const = default;
    };

    static QList<DirectoryStamp> stampDirectories(const QStringList &roots);
    void rebuild(const QStringList &roots);
    void add(const QString &path, const QString &id);

    QList<DirectoryStamp> m_stamps;
    bool m_built = false;
    QStringList m_paths;
    QHash<QString, qsizetype> m_byId;
    QHash<QString, qsizetype> m_byWmClass;
    QHash<QString, qsizetype> m_byIdStem;
    QHash<QString, qsizetype> m_byIdLastComponent;
    QHash<QString, qsizetype> m_byProgram;
};
