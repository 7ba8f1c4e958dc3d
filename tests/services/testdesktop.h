#pragma once

#include <QString>
#include <QTemporaryDir>

// A private desktop for one test process: temporary home, XDG data and configuration directories
// set in the environment (GIO reads them once, at its first use, so this must exist before any
// GIO call), the system's MIME database linked in, and a marker directory where the marker
// helper program records how it was started.
class TestDesktop
{
public:
    TestDesktop();

    QString root() const { return m_root.path(); }
    QString home() const;
    QString applicationsDirectory() const;
    QString markerDirectory() const;

    // Writes a desktop entry into the applications directory (or at `path` when absolute).
    QString writeDesktopEntry(const QString &fileName, const QString &keys) const;
    // Writes an application's desktop entry: Type=Application, a Name and the given keys.
    QString writeApplication(const QString &fileName, const QString &keys) const;
    // Writes the user's mimeapps.list with the given [Default Applications] lines.
    void writeDefaultApplications(const QString &lines) const;
    // Writes a file with the given content (creating directories) and returns its path.
    QString writeFile(const QString &relativePath, const QByteArray &content) const;

    // The arguments the marker helper received when started with `tag` as its first argument,
    // after its working directory; empty until it ran.
    QStringList marker(const QString &tag) const;

private:
    QTemporaryDir m_root;
};

// The marker helper, which writes `<markers>/<first argument>` holding its working directory and
// its arguments, one a line.
QString markerHelperPath();
