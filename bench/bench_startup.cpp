// The program's start as a user sees it, on a private X server with openbox: from the moment the
// process is started to its first panel window being mapped, and to that window's first paint
// (the first damage the server reports on it), median of 10 runs; and the process's peak
// resident memory once it has painted. Cold runs start in a fresh home each time (first launch
// for one panel; a written configuration for 5 panels x 50 items), warm runs in the home of the
// previous run. The same figures for the floor of the stack (a minimal Qt Widgets window, this
// executable with --floor) and for tint2, a light panel program of Debian, when installed.
//
//   bench_startup [RUNS]

#include "benchdesktop.h"
#include "processmemory.h"
#include "privatebus.h"
#include "x11session.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QWidget>

#include <xcb/damage.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>

#include <poll.h>

using namespace Qt::StringLiterals;

namespace {

struct Sample
{
    double mappedMs = 0;
    double paintedMs = 0;
    qint64 peakKiB = -1;
};

struct Subject
{
    QString label;
    QString program;
    QStringList arguments;
    QByteArray windowClass;    // in WM_CLASS of the window that counts
    int panels = 0;            // of the program's own configuration; 0: none written (first launch)
};

template<typename T>
struct Reply
{
    T *reply;
    ~Reply() { std::free(reply); }
    T *operator->() const { return reply; }
    explicit operator bool() const { return reply != nullptr; }
};

class Watcher
{
public:
    explicit Watcher(X11Session &session)
        : m_session(session)
        , m_c(session.connection())
    {
        const Reply<xcb_damage_query_version_reply_t> version{
            xcb_damage_query_version_reply(m_c, xcb_damage_query_version(m_c, 1, 1), nullptr)};
        const xcb_query_extension_reply_t *extension = xcb_get_extension_data(m_c, &xcb_damage_id);
        if (!version || !extension || !extension->present)
            qFatal("the X server has no DAMAGE extension");
        m_damageEvent = extension->first_event + XCB_DAMAGE_NOTIFY;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_c, session.root(), XCB_CW_EVENT_MASK, &mask);
        xcb_aux_sync();
    }

    // Starts `subject` and follows its windows until the one with its class was mapped and painted.
    std::optional<Sample> measure(const Subject &subject, const QProcessEnvironment &environment)
    {
        drain();
        QProcess process;
        process.setProcessEnvironment(environment);
        // What the programs say (no tray, missing icons) is not the benchmark's.
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        QElapsedTimer clock;
        clock.start();
        process.start(subject.program, subject.arguments);
        std::optional<Sample> sample = follow(subject, clock, process);
        if (sample) {
            // Settled: the first turns of its event loop after the paint are part of the start.
            QElapsedTimer settle;
            settle.start();
            while (settle.elapsed() < 300)
                process.waitForFinished(50);
            sample->peakKiB = residentMemoryOf(process.processId()).peakKiB;
        }
        process.terminate();
        if (!process.waitForFinished(10000)) {
            process.kill();
            process.waitForFinished();
        }
        forgetWindows();
        return sample;
    }

private:
    void xcb_aux_sync() { std::free(xcb_get_input_focus_reply(m_c, xcb_get_input_focus(m_c), nullptr)); }

    void drain()
    {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_c))
            std::free(event);
    }

    void forgetWindows()
    {
        for (const auto &[window, damage] : m_damages)
            xcb_damage_destroy(m_c, damage);
        m_damages.clear();
        xcb_flush(m_c);
        drain();
    }

    bool hasClass(xcb_window_t window, const QByteArray &windowClass) const
    {
        return m_session.property(window, "WM_CLASS").toLower().contains(windowClass.toLower());
    }

    std::optional<Sample> follow(const Subject &subject, const QElapsedTimer &clock, QProcess &process)
    {
        Sample sample;
        xcb_window_t mapped = XCB_WINDOW_NONE;
        while (clock.elapsed() < 20000 && process.state() != QProcess::NotRunning) {
            xcb_generic_event_t *event = xcb_poll_for_event(m_c);
            if (!event) {
                if (xcb_connection_has_error(m_c))
                    qFatal("lost the X server");
                pollfd readable{.fd = xcb_get_file_descriptor(m_c), .events = POLLIN, .revents = 0};
                ::poll(&readable, 1, 20);
                process.waitForFinished(0);
                continue;
            }
            const double now = double(clock.nsecsElapsed()) / 1e6;
            const uint8_t type = event->response_type & 0x7f;
            if (type == XCB_CREATE_NOTIFY) {
                const auto *created = reinterpret_cast<xcb_create_notify_event_t *>(event);
                // Followed before it can be mapped: the client maps only after more requests.
                const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
                xcb_change_window_attributes(m_c, created->window, XCB_CW_EVENT_MASK, &mask);
                const xcb_damage_damage_t damage = xcb_generate_id(m_c);
                xcb_damage_create(m_c, damage, created->window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
                m_damages.emplace_back(created->window, damage);
                xcb_flush(m_c);
            } else if (type == XCB_MAP_NOTIFY && mapped == XCB_WINDOW_NONE) {
                const auto *map = reinterpret_cast<xcb_map_notify_event_t *>(event);
                if (map->event == map->window && hasClass(map->window, subject.windowClass)) {
                    mapped = map->window;
                    sample.mappedMs = now;
                }
            } else if (type == m_damageEvent && mapped != XCB_WINDOW_NONE) {
                const auto *damaged = reinterpret_cast<xcb_damage_notify_event_t *>(event);
                if (damaged->drawable == mapped) {
                    sample.paintedMs = now;
                    std::free(event);
                    return sample;
                }
            }
            std::free(event);
        }
        QTextStream(stderr) << "bench_startup: " << subject.label << " showed no painted window\n";
        return std::nullopt;
    }

    X11Session &m_session;
    xcb_connection_t *m_c;
    uint8_t m_damageEvent = 0;
    std::vector<std::pair<xcb_window_t, xcb_damage_damage_t>> m_damages;
};

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

void report(const Subject &subject, const char *start, const QList<Sample> &samples)
{
    QList<double> mapped, painted, peak;
    for (const Sample &sample : samples) {
        mapped.append(sample.mappedMs);
        painted.append(sample.paintedMs);
        peak.append(double(sample.peakKiB) / 1024);
    }
    std::printf("%-34s %-4s  mapped %7.1f ms   painted %7.1f ms   peak RSS %5.1f MiB  (%d runs)\n",
                qPrintable(subject.label), start, median(mapped), median(painted), median(peak), int(samples.size()));
}

void runSubject(Watcher &watcher, const QString &display, const Subject &subject, int runs)
{
    const QList<Panel> panels = subject.panels ? BenchDesktop::crowdedPanels(subject.panels, 50) : QList<Panel>();
    const auto prepared = [&](const QString &home) {
        if (subject.panels)
            BenchDesktop::writeConfiguration(home + u"/.config"_s, panels);
        return BenchDesktop::environmentIn(display, home);
    };
    QList<Sample> cold;
    for (int run = 0; run < runs; ++run) {
        QTemporaryDir home(QDir::tempPath() + u"/bench-startup-XXXXXX"_s);
        if (const std::optional<Sample> sample = watcher.measure(subject, prepared(home.path())))
            cold.append(*sample);
    }
    report(subject, "cold", cold);

    QTemporaryDir home(QDir::tempPath() + u"/bench-startup-XXXXXX"_s);
    const QProcessEnvironment environment = prepared(home.path());
    watcher.measure(subject, environment); // leaves its configuration and caches behind
    QList<Sample> warm;
    for (int run = 0; run < runs; ++run) {
        if (const std::optional<Sample> sample = watcher.measure(subject, environment))
            warm.append(*sample);
    }
    report(subject, "warm", warm);
}

// The floor: what any Qt Widgets program costs to show one painted window.
int showFloorWindow(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(u"Floor"_s);
    window.resize(400, 60);
    window.show();
    return app.exec();
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && qstrcmp(argv[1], "--floor") == 0)
        return showFloorWindow(argc, argv);
    if (QStandardPaths::findExecutable(u"Xvfb"_s).isEmpty() || QStandardPaths::findExecutable(u"openbox"_s).isEmpty()) {
        std::printf("bench_startup: needs Xvfb and openbox\n");
        return 0;
    }
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;

    X11Session session(QSize(1600, 900), u"openbox"_s);
    if (!session.start())
        qFatal("no X session: %s", qPrintable(session.errorString()));
    QCoreApplication app(argc, argv);
    // The program reaches its session bus as on a desktop; the bus is the benchmark's own.
    const PrivateSessionBus bus;
    Watcher watcher(session);

    const QString self = QCoreApplication::applicationFilePath();
    QList<Subject> subjects = {
        {u"Qt Widgets window (floor)"_s, self, {u"--floor"_s}, "bench_startup"},
        {u"quayrow2, 1 panel (first launch)"_s, QStringLiteral(QUAYROW2_EXECUTABLE), {}, "Quayrow2", 0},
        {u"quayrow2, 5 panels x 50 items"_s, QStringLiteral(QUAYROW2_EXECUTABLE), {}, "Quayrow2", 5},
    };
    if (const QString tint2 = QStandardPaths::findExecutable(u"tint2"_s); !tint2.isEmpty())
        subjects.append({u"tint2 (Debian's light panel)"_s, tint2, {}, "tint2"});
    else
        std::printf("tint2 is not installed: no light panel program to compare with\n");

    std::printf("process start -> first window mapped / first paint, median of %d runs; Xvfb 1600x900 + openbox\n", runs);
    for (const Subject &subject : std::as_const(subjects))
        runSubject(watcher, session.display(), subject, runs);
    return 0;
}
