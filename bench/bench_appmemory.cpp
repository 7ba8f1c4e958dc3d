// The memory of the running program with 5 panels x 50 items on a private X server with openbox:
// resident memory once it has started and shown its panels, and again after 10,000 store
// commands (the commands its menus and settings give, each followed by the window updates it
// causes), so that growth over a long session shows. The program runs in this process over the
// desktop's own services, in a home of its own.
//
//   bench_appmemory [COMMANDS]

#include "benchdesktop.h"
#include "processmemory.h"
#include "privatebus.h"
#include "x11session.h"

#include "app/desktopstore.h"
#include "app/quayrow2app.h"
#include "persistence/backgroundconfigurationstorage.h"
#include "store/appstore.h"
#include "windows/panelwindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {

double residentMiB()
{
    return double(residentKiB()) / 1024;
}

// One store command of a rotation that touches every panel in turn and leaves the configuration
// as large as it was.
void command(AppStore &store, int index)
{
    const QList<Panel> panels = store.panels();
    const Panel &panel = panels.at(index % panels.size());
    const QUuid id = panel.id();
    const QUuid tab = panel.activeTabID();
    const int round = index / int(panels.size());
    switch (round % 8) {
    case 0:
        store.setIconSize(round % 16 < 8 ? PanelIconSize::Medium : PanelIconSize::Small, id);
        break;
    case 1:
        store.renameTab(tab, u"Main %1"_s.arg(round % 7), id);
        break;
    case 2:
        store.moveItem(panel.activeTab().items.constFirst().id(), std::nullopt, id);
        break;
    case 3:
        store.setPlacementEdgeInset(round % 16, id);
        break;
    case 4:
        store.setShowsItemLabels(round % 16 < 8, id);
        break;
    case 5:
        store.setTabColor(round % 16 < 8 ? std::optional(TabColor::SystemBlue) : std::nullopt, tab, id);
        break;
    case 6:
        store.addTab(id);
        break;
    case 7:
        store.removeTab(panel.tabs().constLast().id, id, true);
        store.selectTab(panel.tabs().constFirst().id, id);
        break;
    }
}

} // namespace

int main(int argc, char *argv[])
{
    if (QStandardPaths::findExecutable(u"Xvfb"_s).isEmpty() || QStandardPaths::findExecutable(u"openbox"_s).isEmpty()) {
        std::printf("bench_appmemory: needs Xvfb and openbox\n");
        return 0;
    }
    const int commands = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10000;

    X11Session session(QSize(1600, 900), u"openbox"_s);
    if (!session.start())
        qFatal("no X session: %s", qPrintable(session.errorString()));
    qputenv("DISPLAY", session.display().toLatin1());
    qputenv("QT_QPA_PLATFORM", "xcb");
    qunsetenv("QT_SCALE_FACTOR");
    const QTemporaryDir home(QDir::tempPath() + u"/bench-appmemory-XXXXXX"_s);
    for (const auto &[variable, folder] : {std::pair("HOME", ""), std::pair("XDG_CONFIG_HOME", "/.config"),
                                          std::pair("XDG_DATA_HOME", "/.local/share"),
                                          std::pair("XDG_CACHE_HOME", "/.cache")})
        qputenv(variable, (home.path() + QLatin1String(folder)).toLocal8Bit());
    BenchDesktop::writeConfiguration(home.path() + u"/.config"_s, BenchDesktop::crowdedPanels(5, 50));

    QApplication app(argc, argv);
    const PrivateSessionBus bus;
    Quayrow2App program(makeDesktopStore(), QDBusConnection::sessionBus());
    AppStore &store = program.store();
    for (const Panel &panel : store.panels()) {
        if (!QTest::qWaitForWindowExposed(program.windowManager().window(panel.id())))
            qFatal("a panel window was not shown");
    }
    // Settled: icons and running applications looked up, the first saves written.
    QTest::qWait(1000);
    const double started = residentMiB();

    QElapsedTimer clock;
    clock.start();
    // Through the event loop, as the menus' commands arrive: views are replaced and old ones
    // deleted between commands.
    // Every kind of command has reached every panel after the first 1,000: icons at each size,
    // labels, a second tab. What grows after that is what a long session would add.
    const int warmUp = std::min(1000, commands);
    double warmed = started;
    int done = 0;
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        command(store, done);
        if (done == warmUp)
            warmed = residentMiB();
        if (++done == commands) {
            driver.stop();
            QCoreApplication::quit();
        }
    });
    driver.start(0);
    QApplication::exec();
    const double seconds = double(clock.elapsed()) / 1000;
    BackgroundConfigurationStorage::flushAll();
    QTest::qWait(1000);
    const double after = residentMiB();

    const double peak = double(peakResidentKiB()) / 1024;
    std::printf("5 panels x 50 items on Xvfb + openbox, RSS (targets: <= 40 MiB, growth <= 1 MiB):\n");
    std::printf("  after start                      %6.1f MiB\n", started);
    std::printf("  after the first %5d commands   %6.1f MiB  (%+.2f MiB: first use of sizes, labels, tabs)\n",
                warmUp, warmed, warmed - started);
    std::printf("  after %5d store commands       %6.1f MiB  (%+.2f MiB since start, %+.2f MiB after the first %d)\n",
                commands, after, after - started, after - warmed, warmUp);
    std::printf("  peak                             %6.1f MiB;  %.2f ms per command with its window updates\n", peak,
                seconds * 1000 / commands);
    return 0;
}
