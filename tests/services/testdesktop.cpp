#include "testdesktop.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TestDesktop::TestDesktop()
{
    const QDir dir(m_root.path());
    for (const char *sub : {"home", "data/applications", "config", "markers"})
        dir.mkpath(QLatin1String(sub));
    QFile::link(QStringLiteral("/usr/share/mime"), dir.filePath(QStringLiteral("data/mime")));
    qputenv("HOME", QFile::encodeName(home()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(QStringLiteral("data"))));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(dir.filePath(QStringLiteral("data"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(QStringLiteral("config"))));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(dir.filePath(QStringLiteral("config"))));
    qputenv("XDG_CURRENT_DESKTOP", "");
    qputenv("QUAYROW_TEST_MARKERS", QFile::encodeName(markerDirectory()));
}

QString TestDesktop::home() const
{
    return m_root.filePath(QStringLiteral("home"));
}

QString TestDesktop::applicationsDirectory() const
{
    return m_root.filePath(QStringLiteral("data/applications"));
}

QString TestDesktop::markerDirectory() const
{
    return m_root.filePath(QStringLiteral("markers"));
}

QString TestDesktop::writeFile(const QString &relativePath, const QByteArray &content) const
{
    const QString path = QDir::isAbsolutePath(relativePath) ? relativePath : m_root.filePath(relativePath);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    file.write(content);
    return path;
}

QString TestDesktop::writeDesktopEntry(const QString &fileName, const QString &keys) const
{
    const QString path = QDir::isAbsolutePath(fileName) ? fileName : QDir(applicationsDirectory()).filePath(fileName);
    return writeFile(path, "[Desktop Entry]\n" + keys.toUtf8() + '\n');
}

QString TestDesktop::writeApplication(const QString &fileName, const QString &keys) const
{
    return writeDesktopEntry(fileName, u"Type=Application\nName=N\n"_qs + keys);
}

void TestDesktop::writeDefaultApplications(const QString &lines) const
{
    writeFile(QStringLiteral("config/mimeapps.list"), "[Default Applications]\n" + lines.toUtf8() + '\n');
}

QStringList TestDesktop::marker(const QString &tag) const
{
    QFile file(QDir(markerDirectory()).filePath(tag));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

QString markerHelperPath()
{
    return QStringLiteral(QUAYROW_MARKER_HELPER);
}
