// Icons and display names of 500 locations, as a panel view rebuild asks for them: the first
// time (cold: read from the desktop) and again (warm: from the cache, right away and after the
// files are due to be checked again). Prints the three figures.
#include "services/systemfilesystemaccess.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <vector>

namespace {

QList<QUrl> makeLocations(const QDir &dir)
{
    const QStringList themeNames{u"folder"_qs, u"user-bookmarks"_qs, u"text-x-generic"_qs, u"no-such-icon"_qs,
                                 u"application-x-executable"_qs};
    const QStringList extensions{u"txt"_qs, u"html"_qs, u"png"_qs, u"pdf"_qs, u"tar.gz"_qs, u"unknownext"_qs};
    QList<QUrl> locations;
    for (int i = 0; i < 150; ++i) {
        const QString path = dir.filePath(u"app-%1.desktop"_qs.arg(i));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(u"[Desktop Entry]\nType=Application\nName=App %1\nName[de]=Programm %1\nExec=true\nIcon=%2\n"_qs
                           .arg(i).arg(themeNames[i % themeNames.size()]).toUtf8());
        }
        locations.append(QUrl::fromLocalFile(path));
    }
    for (int i = 0; i < 150; ++i) {
        const QString path = dir.filePath(u"document %1.%2"_qs.arg(i).arg(extensions[i % extensions.size()]));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write("content\n");
        locations.append(QUrl::fromLocalFile(path));
    }
    for (int i = 0; i < 100; ++i) {
        dir.mkdir(u"folder %1"_qs.arg(i));
        locations.append(QUrl::fromLocalFile(dir.filePath(u"folder %1"_qs.arg(i))));
    }
    for (int i = 0; i < 100; ++i)
        locations.append(QUrl::fromLocalFile(dir.filePath(u"missing %1.txt"_qs.arg(i))));
    return locations;
}

double pass(SystemFileSystemAccess &access, const QList<QUrl> &locations)
{
    QElapsedTimer timer;
    timer.start();
    qsizetype checksum = 0;
    for (const QUrl &location : locations) {
        checksum += access.icon(location).isNull() ? 0 : 1;
        checksum += access.name(location).size();
    }
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    if (checksum == 0)
        qFatal("no icons");
    return ms;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QIcon::setThemeSearchPaths({u"/usr/share/icons"_qs});
    QIcon::setThemeName(u"Adwaita"_qs);
    QTemporaryDir temporary;
    const QList<QUrl> locations = makeLocations(QDir(temporary.path()));

    SystemFileSystemAccess access;
    const double cold = pass(access, locations);
    std::vector<double> warm;
    for (int i = 0; i < 50; ++i)
        warm.push_back(pass(access, locations));
    std::sort(warm.begin(), warm.end());
    // A rebuild some time after the last one checks every file again (once per location).
    std::vector<double> rechecked;
    for (int i = 0; i < 5; ++i) {
        QThread::msleep(600);
        rechecked.push_back(pass(access, locations));
    }
    std::sort(rechecked.begin(), rechecked.end());

    QTextStream out(stdout);
    out << "bench_services: icon(at) + name(at) for " << locations.size() << " locations\n";
    out << "  cold: " << QString::number(cold, 'f', 2) << " ms\n";
    out << "  warm: " << QString::number(warm[warm.size() / 2], 'f', 3) << " ms (median of " << warm.size()
        << " passes in a row; best " << QString::number(warm.front(), 'f', 3) << " ms)\n";
    out << "  warm, files checked again: " << QString::number(rechecked[rechecked.size() / 2], 'f', 3)
        << " ms (median of " << rechecked.size() << " passes 0.6 s apart)\n";
    return 0;
}
