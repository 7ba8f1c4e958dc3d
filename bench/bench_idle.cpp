// The program at rest: started with 5 panels x 50 items on a private X server with openbox and a
// private session bus, once its panels are mapped and it has settled, nothing happens on the
// server or the bus for a while. Counted over that while: the wake-ups of each of its threads
// (voluntary and involuntary context switches) and the CPU time it used. An idle program
// wakes up 0 times and uses 0 ms.
//
//   bench_idle [SECONDS]      (60 by default)

#include "benchdesktop.h"
#include "privatebus.h"
#include "x11session.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int settleSeconds = 3;

struct ThreadSample
{
    QString name;
    qint64 switches = 0;     // voluntary + involuntary context switches
    qint64 runNs = 0;        // time on a CPU (schedstat)
};

struct ProcessSample
{
    QMap<qint64, ThreadSample> threads;    // by thread id
    qint64 cpuTicks = 0;                   // utime + stime
};

QByteArray readProc(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ProcessSample sample(qint64 pid)
{
    ProcessSample taken;
    const QString proc = u"/proc/%1"_s.arg(pid);
    // The command name may hold spaces and parentheses: the fields start after the last ')'.
    const QByteArray stat = readProc(proc + u"/stat"_s);
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    // utime and stime are the 14th and 15th fields; the list starts at the 3rd.
    if (fields.size() > 12)
        taken.cpuTicks = fields.at(11).toLongLong() + fields.at(12).toLongLong();

    const QDir tasks(proc + u"/task"_s);
    for (const QString &tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString task = tasks.filePath(tid);
        const QByteArray status = readProc(task + u"/status"_s);
        if (status.isEmpty())
            continue;    // ended meanwhile
        ThreadSample thread;
        thread.name = QString::fromUtf8(readProc(task + u"/comm"_s).trimmed());
        for (const QByteArray &line : status.split('\n')) {
            if (line.startsWith("voluntary_ctxt_switches:") || line.startsWith("nonvoluntary_ctxt_switches:"))
                thread.switches += line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
        }
        thread.runNs = readProc(task + u"/schedstat"_s).split(' ').constFirst().toLongLong();
        taken.threads.insert(tid.toLongLong(), thread);
    }
    return taken;
}

// Until the program's `count` panel windows are managed and viewable; false after 20 s.
bool waitForPanels(const X11Session &session, const QProcess &program, int count)
{
    const QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired() && program.state() == QProcess::Running) {
        int shown = 0;
        for (const xcb_window_t window : session.clientList()) {
            if (session.property(window, "WM_CLASS").toLower().contains("quayrow2") && session.isViewable(window))
                ++shown;
        }
        if (shown >= count)
            return true;
        QThread::msleep(50);
    }
    return false;
}

void report(const ProcessSample &before, const ProcessSample &after, int seconds)
{
    qint64 total = 0;
    qint64 runNs = 0;
    std::printf("wake-ups in %d s, by thread:\n", seconds);
    for (auto it = after.threads.cbegin(); it != after.threads.cend(); ++it) {
        // A thread started meanwhile counts from nothing.
        const ThreadSample start = before.threads.value(it.key());
        const qint64 wakeUps = it->switches - start.switches;
        total += wakeUps;
        runNs += it->runNs - start.runNs;
        std::printf("  %-16s (tid %lld)%s %6lld\n", qPrintable(it->name), it.key(),
                    before.threads.contains(it.key()) ? "" : " started meanwhile", wakeUps);
    }
    // What a thread that ended did before its end is gone with it; its ending is a wake-up.
    for (auto it = before.threads.cbegin(); it != before.threads.cend(); ++it) {
        if (!after.threads.contains(it.key())) {
            ++total;
            std::printf("  %-16s (tid %lld) ended meanwhile: at least 1\n", qPrintable(it->name), it.key());
        }
    }
    const double cpuMs = double(after.cpuTicks - before.cpuTicks) * 1000.0 / double(::sysconf(_SC_CLK_TCK));
    std::printf("total wake-ups in %d s: %lld (target 0)\n", seconds, total);
    std::printf("CPU time in %d s: %.0f ms user + system (target 0); %.3f ms on a CPU by the threads still there\n",
                seconds, cpuMs, double(runNs) / 1e6);
}

} // namespace

int main(int argc, char *argv[])
{
    if (QStandardPaths::findExecutable(u"Xvfb"_s).isEmpty() || QStandardPaths::findExecutable(u"openbox"_s).isEmpty()) {
        std::printf("bench_idle: needs Xvfb and openbox\n");
        return 0;
    }
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    constexpr int panels = 5;

    X11Session session(QSize(1600, 900), u"openbox"_s);
    if (!session.start())
        qFatal("no X session: %s", qPrintable(session.errorString()));
    QCoreApplication app(argc, argv);
    const PrivateSessionBus bus;

    QTemporaryDir home(QDir::tempPath() + u"/bench-idle-XXXXXX"_s);
    BenchDesktop::writeConfiguration(home.path() + u"/.config"_s, BenchDesktop::crowdedPanels(panels, 50));
    QProcess program;
    program.setProcessEnvironment(BenchDesktop::environmentIn(session.display(), home.path()));
    // What it says (no tray, missing icons) is not the benchmark's.
    program.setStandardOutputFile(QProcess::nullDevice());
    program.setStandardErrorFile(QProcess::nullDevice());
    program.start(QStringLiteral(QUAYROW2_EXECUTABLE), {});
    if (!program.waitForStarted() || !waitForPanels(session, program, panels))
        qFatal("bench_idle: the program showed no %d panels", panels);
    QThread::sleep(settleSeconds);

    std::printf("quayrow2, %d panels x 50 items, left alone for %d s after its panels were mapped and %d s to "
                "settle; Xvfb 1600x900 + openbox, private session bus\n",
                panels, seconds, settleSeconds);
    std::fflush(stdout);
    const ProcessSample before = sample(program.processId());
    QThread::sleep(seconds);
    const ProcessSample after = sample(program.processId());
    if (program.state() != QProcess::Running)
        qFatal("bench_idle: the program ended while idle");
    report(before, after, seconds);

    program.terminate();
    if (!program.waitForFinished(10000)) {
        program.kill();
        program.waitForFinished();
    }
    return 0;
}
