#include "applicationwindows.h"

#include <QSet>

#include <algorithm>

void ApplicationWindows::setWindows(const QList<Window> &windows, Clock::time_point now)
{
    m_windows = windows;
    QSet<quint32> listed;
    for (const Window &window : windows) {
        listed.insert(window.id);
        if (!window.demandsAttention)
            m_demands.remove(window.id);
        else if (!m_demands.contains(window.id))
            m_demands.insert(window.id, Demand{now});
    }
    m_recent.removeIf([&listed](quint32 window) { return !listed.contains(window); });
    m_demands.removeIf([&listed](const auto &demand) { return !listed.contains(demand.key()); });
    updateAttention();
}

void ApplicationWindows::setActiveWindow(quint32 window)
{
    // Only a change says which window the user came to last. A report of the window that was
    // already active may have been read before the window manager handled a request noted
    // since: it must not put that window back in front of the requested one.
    if (window != 0 && window != m_active)
        noteActivationRequest(window);
    m_active = window;
    updateAttention();
}

void ApplicationWindows::noteActivationRequest(quint32 window)
{
    m_recent.removeOne(window);
    m_recent.prepend(window);
}

QString ApplicationWindows::applicationOf(quint32 window) const
{
    const auto found = std::find_if(m_windows.cbegin(), m_windows.cend(),
                                    [window](const Window &listed) { return listed.id == window; });
    return found == m_windows.cend() ? QString() : found->application;
}

quint32 ApplicationWindows::windowToActivate(const QString &application) const
{
    if (application.isEmpty())
        return 0;
    QList<quint32> own;
    for (const Window &window : m_windows) {
        if (window.application == application)
            own.append(window.id);
    }
    if (own.isEmpty())
        return 0;
    if (const qsizetype active = own.indexOf(m_active); active >= 0)
        return own.at((active + 1) % own.size());
    for (const quint32 window : m_recent) {
        if (own.contains(window))
            return window;
    }
    return own.constLast();
}

void ApplicationWindows::updateAttention()
{
    // The user is looking at the active application: what it asks for is answered, also when it
    // asks while it is active.
    const QString activeApplication = applicationOf(m_active);
    m_attention.clear();
    for (const Window &window : std::as_const(m_windows)) {
        const auto demand = m_demands.find(window.id);
        if (demand == m_demands.end() || window.application.isEmpty())
            continue;
        if (window.application == activeApplication)
            demand->isAnswered = true;
        if (demand->isAnswered)
            continue;
        const auto marked = m_attention.constFind(window.application);
        if (marked == m_attention.cend() || demand->since < *marked)
            m_attention.insert(window.application, demand->since);
    }
}
