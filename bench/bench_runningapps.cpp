// The running-applications lookup as the panel views use it: the cost of building the index of
// 600 installed applications (on a worker thread), the longest stall of the UI thread while the
// index is rebuilt after an application folder changed, and the cost of asking for the running
// applications on the UI thread, steadily and right after the window manager's client list
// changed. Starts a private Xvfb; the client list of 20 windows (and one of an application that
// is installed during the run) is set on its root window by the benchmark itself.
#include "services/applicationindex.h"
#include "services/systemrunningapplicationslookup.h"

#include "x11session.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

constexpr int entryCount = 600;
constexpr int windowCount = 20;

void writeEntries(const QDir &applications)
{
    for (int i = 0; i < entryCount; ++i) {
        const QString folder = i % 5 == 0 ? u"vendor-%1/"_qs.arg(i % 3) : QString();
        applications.mkpath(folder.isEmpty() ? u"."_qs : folder);
        QFile file(applications.filePath(folder + u"org.example.App%1.desktop"_qs.arg(i)));
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(file.fileName()));
        file.write(u"[Desktop Entry]\nType=Application\nName=App %1\nName[de]=Programm %1\nComment=An application\n"
                   "Exec=/usr/bin/app-%1 --new-window %U\nTryExec=/usr/bin/app-%1\nIcon=app-%1\n"
                   "StartupWMClass=AppClass%1\nCategories=Utility;\nMimeType=text/plain;\n"_qs.arg(i).toUtf8());
    }
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QString ms(double value)
{
    return QString::number(value, 'f', value < 0.1 ? 4 : 2) + u" ms"_qs;
}

void sync(xcb_connection_t *c)
{
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

// A private X server whose root carries a client list of windows with matching WM_CLASS.
struct FakeDesktop
{
    X11Session server{QSize(640, 480), u"none"_qs};
    xcb_connection_t *connection = nullptr;
    xcb_window_t root = XCB_WINDOW_NONE;
    QList<xcb_window_t> windows;

    bool start()
    {
        if (!server.start())
            return false;
        connection = server.connection();
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
        root = screen->root;
        const xcb_atom_t pid = server.atom("_NET_WM_PID");
        for (int i = 0; i < windowCount; ++i) {
            const xcb_window_t window = xcb_generate_id(connection);
            xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, root, 0, 0, 10, 10, 0,
                              XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
            const QByteArray wmClass = "app" + QByteArray::number(i * 7) + '\0' + "AppClass" + QByteArray::number(i * 7) + '\0';
            xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                                uint32_t(wmClass.size()), wmClass.constData());
            const uint32_t processId = 1;
            xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, pid, XCB_ATOM_CARDINAL, 32, 1, &processId);
            windows.append(window);
        }
        const xcb_window_t fresh = xcb_generate_id(connection);
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, fresh, root, 0, 0, 10, 10, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          screen->root_visual, 0, nullptr);
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, fresh, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, 22,
                            "fresh\0FreshlyInstalled\0");
        windows.append(fresh);
        publishClientList();
        return true;
    }

    void publishClientList()
    {
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, root, server.atom("_NET_CLIENT_LIST"),
                            XCB_ATOM_WINDOW, 32, uint32_t(windows.size()), windows.constData());
        sync(connection);
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir temporary;
    const QDir root(temporary.path());
    root.mkpath(u"data/applications"_qs);
    qputenv("XDG_DATA_HOME", QFile::encodeName(root.filePath(u"home-data"_qs)));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(root.filePath(u"data"_qs)));
    writeEntries(QDir(root.filePath(u"data/applications"_qs)));

    if (QStandardPaths::findExecutable(u"Xvfb"_qs).isEmpty())
        qFatal("bench_runningapps needs Xvfb");
    FakeDesktop desktop;
    if (!desktop.start())
        qFatal("cannot start Xvfb");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);

    // Building the index of the installed applications from scratch (done on a worker thread).
    const QStringList roots = ApplicationIndex::defaultRoots();
    std::vector<double> builds;
    qsizetype indexed = 0;
    for (int i = 0; i < 15; ++i) {
        QElapsedTimer timer;
        timer.start();
        const ApplicationIndex index = ApplicationIndex::build(roots);
        builds.push_back(double(timer.nsecsElapsed()) / 1e6);
        indexed = index.size();
    }

    SystemRunningApplicationsLookup lookup(desktop.server.display());
    int reports = 0;
    lookup.observeChanges([&reports] { ++reports; });
    QElapsedTimer startup;
    startup.start();
    while (lookup.runningApplications().size() < windowCount && startup.elapsed() < 10'000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const qsizetype running = lookup.runningApplications().size();

    // An application is installed, then removed again: each change rebuilds the index off the UI
    // thread; the longest single turn of the event loop until the list changed is the stall.
    const QString fresh = root.filePath(u"data/applications/fresh.desktop"_qs);
    std::vector<double> stalls;
    for (int i = 0; i < 10; ++i) {
        const int before = reports;
        QFile file(fresh);
        if (i % 2 == 0) {
            if (!file.open(QIODevice::WriteOnly))
                qFatal("cannot write %s", qPrintable(fresh));
            file.write("[Desktop Entry]\nType=Application\nName=Fresh\nExec=fresh\nStartupWMClass=FreshlyInstalled\n");
            file.close();
        } else {
            file.remove();
        }
        double longest = 0;
        QElapsedTimer waited;
        waited.start();
        while (reports == before && waited.elapsed() < 10'000) {
            QElapsedTimer turn;
            turn.start();
            QCoreApplication::processEvents();
            longest = std::max(longest, double(turn.nsecsElapsed()) / 1e6);
            QThread::usleep(200);
        }
        if (reports == before)
            qFatal("the installed application was not seen");
        stalls.push_back(longest);
    }

    std::vector<double> steady;
    for (int i = 0; i < 2000; ++i) {
        QElapsedTimer timer;
        timer.start();
        const QList<QUrl> applications = lookup.runningApplications();
        steady.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (applications.size() != running)
            qFatal("the list changed");
    }

    // The first question after the client list changed, before the event loop ran.
    std::vector<double> afterChange;
    for (int i = 0; i < 50; ++i) {
        desktop.publishClientList();
        QElapsedTimer timer;
        timer.start();
        lookup.runningApplications();
        afterChange.push_back(double(timer.nsecsElapsed()) / 1e6);
        QCoreApplication::processEvents();
    }

    out << "bench_runningapps: " << indexed << " applications indexed, " << running << " of " << windowCount + 1
        << " windows matched\n";
    out << "  index build: " << ms(median(builds)) << " (median of " << builds.size() << ", on a worker thread)\n";
    out << "  longest UI-thread turn while the index is rebuilt after a folder change: " << ms(median(stalls))
        << " (median of " << stalls.size() << ")\n";
    out << "  runningApplications(), steady: " << ms(median(steady)) << " (median of " << steady.size() << ")\n";
    out << "  runningApplications() right after a client-list change: " << ms(median(afterChange))
        << " (median of " << afterChange.size() << ")\n";
    return 0;
}
