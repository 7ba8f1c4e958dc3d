#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include <chrono>
#include <optional>

// The windows of the running applications as a dock needs them: which window a press on an
// application brings forward, and which applications ask for attention the user has not given
// them yet. Pure bookkeeping, fed with what the window manager reports.
class ApplicationWindows
{
public:
    using Clock = std::chrono::steady_clock;

    struct Window
    {
        quint32 id = 0;
        // The application's .desktop file; empty for a window of no known application.
        QString application;
        bool demandsAttention = false;
    };

    // The taskbar's windows in client-list order (the order they appeared). A window that starts
    // asking for attention is noted with `now`.
    void setWindows(const QList<Window> &windows, Clock::time_point now);
    // The window the window manager reports active (0 for none); a window becoming active counts
    // as the most recent of its application. Activating any window of an application answers the
    // attention it asked for until then.
    void setActiveWindow(quint32 window);
    // Notes that the user asked for `window` to be activated: it counts as the most recent of its
    // application before the window manager reports it active (or when the report of its
    // activation is folded into later ones).
    void noteActivationRequest(quint32 window);

    // The window a press on the application activates: while one of its windows is active, the
    // next one in list order (the first after the last), so that pressing again cycles through
    // them; otherwise the one that was active most recently, or the newest when none of its
    // windows was seen active. 0 when the application has no window.
    quint32 windowToActivate(const QString &application) const;

    // The applications that ask for attention, each with the moment the earliest unanswered
    // request began.
    const QHash<QString, Clock::time_point> &attention() const { return m_attention; }

private:
    struct Demand
    {
        Clock::time_point since;
        bool isAnswered = false;
    };

    QString applicationOf(quint32 window) const;
    void updateAttention();

    QList<Window> m_windows;
    quint32 m_active = 0;
    QList<quint32> m_recent; // windows seen active, the most recent first
    QHash<quint32, Demand> m_demands;
    QHash<QString, Clock::time_point> m_attention;
};
