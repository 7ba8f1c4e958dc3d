// The windows layer on a private X server (Xvfb with openbox): how long a store command takes to
// reach the X server as a window's new frame, what a synchronisation costs when nothing changed,
// and that nothing ticks while nothing happens.

#include "windowfixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>

namespace {

struct Figures
{
    double median;
    double p95;
};

Figures figures(QList<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return {samples.at(samples.size() / 2), samples.at(qsizetype(double(samples.size()) * 0.95))};
}

// Store command to frame on the server: the command, the event loop turns a real application
// runs, and reads of the window's geometry from the server until it is the new one.
Figures commandToServerFrame(WindowFixture &fixture, int runs)
{
    QList<double> samples;
    QElapsedTimer timer;
    for (int run = 0; run < runs; ++run) {
        const double inset = run % 2 ? 0 : 10;
        timer.start();
        fixture.store->setPlacementEdgeInset(inset, fixture.id(0));
        const QRect wanted = fixture.window(0)->geometry();
        // Until the server has it and Qt agrees: a user does not act faster than that.
        if (!fixture.reachesServer(0, wanted))
            qFatal("the frame did not reach the server");
        samples.append(double(timer.nsecsElapsed()) / 1e6);
    }
    return figures(samples);
}

Figures unchangedSync(WindowFixture &fixture, int runs)
{
    QList<double> samples;
    QElapsedTimer timer;
    for (int run = 0; run < runs; ++run) {
        timer.start();
        fixture.manager.syncWindows(fixture.store->panels(), *fixture.store);
        samples.append(double(timer.nsecsElapsed()) / 1e6);
    }
    return figures(samples);
}

} // namespace

int main(int argc, char *argv[])
{
    if (const std::optional<int> status = X11SessionMain::prepare(argc, argv))
        return *status == 77 ? 0 : *status;
    QApplication app(argc, argv);
    QTextStream out(stdout);
    out.setRealNumberPrecision(3);
    out.setRealNumberNotation(QTextStream::FixedNotation);

    {
        WindowFixture fixture(crowdedPanels(5, 100));
        if (!fixture.allManaged())
            return 1;
        commandToServerFrame(fixture, 20);
        const Figures frame = commandToServerFrame(fixture, 500);
        out << "store command -> frame on the X server, 5 panels x 100 items: median " << frame.median
            << " ms, p95 " << frame.p95 << " ms (target: median < 4 ms)\n";
    }
    {
        WindowFixture fixture(crowdedPanels(20, 20));
        if (!fixture.allManaged())
            return 1;
        unchangedSync(fixture, 50);
        const Figures sync = unchangedSync(fixture, 1000);
        out << "syncWindows, 20 panels, nothing changed: median " << sync.median << " ms, p95 " << sync.p95
            << " ms (target < 1 ms)\n";

        int timerEvents = 0;
        {
            TimerEventCounter timers;
            QTest::qWait(2000);
            timerEvents = timers.count;
        }
        out << "timer events in 2 s of idleness with 20 panels: " << timerEvents << " (target 0)\n";
    }
    return 0;
}
