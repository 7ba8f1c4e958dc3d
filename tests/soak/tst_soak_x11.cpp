// A long session of the program on a live desktop (Xvfb, openbox, picom): the application object
// with its real windows and the desktop's own services, in this process, takes 10,000 random
// commands through the program's own command paths, a real pointer drag every 100th step and
// 200 monitor changes. Afterwards the configuration on disk equals the program's state, every
// panel window is where the geometry puts it, no X error was reported, and the resident memory
// grew by less than 1 MiB from step 1,000 to the end.
//
// Not part of every test run: `make soak` runs it (CTest label "soak", QUAYROW_SOAK=1; without
// that variable it skips). QUAYROW_SOAK_SEED and QUAYROW_SOAK_STEPS replay a sequence or
// shorten it; QUAYROW_SOAK_SCREENSHOT names a PNG file for the screen at the end.

#include "soakcommands.h"
#include "soakdesktop.h"
#include "soakpointer.h"

#include "privatebus.h"
#include "processmemory.h"
#include "testdesktop.h"
#include "x11session.h"

#include "app/desktopstore.h"
#include "app/quayrow2app.h"
#include "persistence/backgroundconfigurationstorage.h"
#include "persistence/systemconfigurationstorage.h"
#include "store/appstore.h"
#include "windows/settingswindow.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>

#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

X11Session &session()
{
    return X11Session::current();
}

quint32 soakSeed()
{
    bool ok = false;
    const quint32 given = qEnvironmentVariable("QUAYROW_SOAK_SEED").toUInt(&ok);
    return ok ? given : 1717;
}

int soakSteps()
{
    bool ok = false;
    const int given = qEnvironmentVariableIntValue("QUAYROW_SOAK_STEPS", &ok);
    return ok && given > 0 ? given : 10000;
}

const QRect leftMonitor(0, 0, 800, 900);
// The second monitor comes and goes, in one of a few shapes beside the first.
const QRect secondMonitorShapes[] = {QRect(800, 0, 800, 900), QRect(800, 0, 800, 600), QRect(800, 300, 800, 600),
                                     QRect(800, 0, 640, 480)};

bool closesSettingsWindows(Quayrow2App &app)
{
    const auto settingsWindows = [&app] {
        QList<QWidget *> open;
        for (const Panel &panel : app.store().panels()) {
            if (QWidget *window = app.windowManager().settingsWindow(panel.id()))
                open << window;
        }
        return open;
    };
    for (QWidget *window : settingsWindows())
        session().askWindowManager(xcb_window_t(window->winId()), "_NET_CLOSE_WINDOW", {XCB_CURRENT_TIME, 2, 0, 0, 0});
    return QTest::qWaitFor([&] { return settingsWindows().isEmpty(); });
}

} // namespace

class TestSoakX11 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void longSessionKeepsConfigurationWindowsAndMemory();

private:
    // Before the program's first use of GIO and of the session bus.
    TestDesktop m_desktop;
    PrivateSessionBus m_bus;
};

void TestSoakX11::initTestCase()
{
    if (qEnvironmentVariable("QUAYROW_SOAK") != u"1")
        QSKIP("the soak runs with `make soak` (QUAYROW_SOAK=1)");
    if (QStandardPaths::findExecutable(u"xdotool"_s).isEmpty() || QStandardPaths::findExecutable(u"xrandr"_s).isEmpty())
        QSKIP("xdotool and xrandr are needed");
    if (QStandardPaths::findExecutable(u"picom"_s).isEmpty())
        qWarning("picom is not installed: the soak runs without a compositor");
    else
        QVERIFY(session().startCompositor());
    QVERIFY(session().setMonitor(u"LEFT"_s, leftMonitor, true));
    QVERIFY(session().setMonitor(u"RIGHT"_s, secondMonitorShapes[0]));
    QTRY_COMPARE(QGuiApplication::screens().size(), 2);
}

void TestSoakX11::longSessionKeepsConfigurationWindowsAndMemory()
{
    const quint32 seed = soakSeed();
    const int steps = soakSteps();
    std::printf("soak: seed %u (QUAYROW_SOAK_SEED), %d steps (QUAYROW_SOAK_STEPS)\n", seed, steps);
    std::fflush(stdout);

    const SoakDesktop desktop(m_desktop);
    const XErrorCounter xErrors;
    Quayrow2App app(makeDesktopStore(), QDBusConnection::sessionBus());
    AppStore &store = app.store();
    SoakCommands commands(store, desktop.locations(), seed);
    SoakPointer pointer(app, seed);

    QElapsedTimer clock;
    clock.start();
    int monitorChanges = 0;
    bool hasSecondMonitor = true;
    qint64 residentAtWarmUp = -1;
    for (int step = 1; step <= steps; ++step) {
        commands.runOne(SoakDesktop::attachedScreenIDs());
        SoakDesktop::turnEventLoop();

        // 200 monitor changes spread over the steps.
        if (step * 200 / steps != (step - 1) * 200 / steps) {
            // Qt sees a monitor replaced under the same name only once it has seen it go.
            hasSecondMonitor = !hasSecondMonitor;
            // Every third time it comes back as the primary monitor, which moves the origin of
            // the global coordinates; once it goes, the first one is primary again.
            const int arrival = monitorChanges / 2;
            QVERIFY(hasSecondMonitor
                        ? session().setMonitor(u"RIGHT"_s, secondMonitorShapes[arrival % 4], arrival % 3 == 2)
                        : session().deleteMonitor(u"RIGHT"_s));
            QTRY_COMPARE(QGuiApplication::screens().size(), hasSecondMonitor ? 2 : 1);
            ++monitorChanges;
        }
        if (step % 100 == 0)
            QVERIFY(pointer.dragSomething());
        if (step % 500 == 0 || step == steps) {
            // The user closes the settings windows opened meanwhile, through the window manager.
            QVERIFY(closesSettingsWindows(app));
            const QStringList misplaced = SoakDesktop::settle(app);
            QVERIFY2(misplaced.isEmpty(),
                     qPrintable(u"after step %1: %2"_s.arg(step).arg(misplaced.join(u"; "_s))));
            if (step == 1000)
                residentAtWarmUp = residentKiB();
            std::printf("soak: step %5d  %4.0f s  %d panels  resident %.2f MiB\n", step, double(clock.elapsed()) / 1000,
                        int(store.panels().size()), double(residentKiB()) / 1024);
            std::fflush(stdout);
        }
    }
    const double seconds = double(clock.elapsed()) / 1000;
    const qint64 residentAtEnd = residentKiB();
    if (const QString picture = qEnvironmentVariable("QUAYROW_SOAK_SCREENSHOT"); !picture.isEmpty())
        session().grab(QRect(0, 0, 1600, 900)).save(picture);

    std::printf("soak: %d steps, %d monitor changes, %d pointer drags (%d changed the panels) in %.0f s\n", steps,
                monitorChanges, pointer.drags(), pointer.effectiveDrags(), seconds);
    QStringList counts;
    for (auto command = commands.counts().cbegin(); command != commands.counts().cend(); ++command)
        counts << u"%1 %2"_s.arg(command.key()).arg(command.value());
    std::printf("soak: commands: %s\n", qPrintable(counts.join(u", "_s)));
    std::printf("soak: X errors reported: %d\n", xErrors.count());
    if (residentAtWarmUp >= 0) {
        std::printf("soak: resident memory %.2f MiB at step 1,000, %.2f MiB at step %d (%+.2f MiB)\n",
                    double(residentAtWarmUp) / 1024, double(residentAtEnd) / 1024, steps,
                    double(residentAtEnd - residentAtWarmUp) / 1024);
    }
    std::fflush(stdout);

    QVERIFY(BackgroundConfigurationStorage::flushAll());
    SystemConfigurationStorage written(SystemConfigurationStorage::applicationSupportFilePath());
    const std::optional<QList<Panel>> stored = written.load();
    QVERIFY2(stored, "the configuration file does not read back");
    QVERIFY2(*stored == store.panels(), qPrintable(SoakDesktop::firstDifference(*stored, store.panels())));
    QVERIFY2(xErrors.count() == 0, qPrintable(xErrors.first().join(u"\n"_s)));
    if (residentAtWarmUp >= 0)
        QCOMPARE_LT(residentAtEnd - residentAtWarmUp, qint64(1024));
}

QUAYROW_X11_TEST_MAIN(TestSoakX11)
#include "tst_soak_x11.moc"
