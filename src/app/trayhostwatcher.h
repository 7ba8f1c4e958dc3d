#pragma once

#include <QAbstractNativeEventFilter>
#include <QDBusConnection>
#include <QObject>

#include <cstdint>

class QDBusServiceWatcher;

// Watches for a system tray to show the program's item in: a StatusNotifierWatcher with a
// registered host on the session bus, or an XEmbed tray manager on the X screen.
//
// Qt decides once per process, when the first tray icon is made, whether the D-Bus tray is
// there, and never asks again. An icon made before the tray of a starting session appears would
// therefore never show; so the icon is made only after this watcher has seen a tray.
class TrayHostWatcher : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    enum class Host { StatusNotifier, XEmbed };

    // Starts watching at once; the first check of the bus answers asynchronously.
    explicit TrayHostWatcher(QDBusConnection bus, QObject *parent = nullptr);
    ~TrayHostWatcher() override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

Q_SIGNALS:
    // A tray is there: emitted once, at the first check or whenever one appears later. A
    // StatusNotifier host is reported in preference to an XEmbed tray when both are there.
    void trayAvailable(TrayHostWatcher::Host host);
    // The first check found no tray; watching goes on.
    void startedWithoutTray();

private Q_SLOTS:
    void checkStatusNotifierHost();

private:
    void statusNotifierHostAnswered(bool registered);
    void report(Host host);
    bool hasXEmbedTray() const;

    QDBusConnection m_bus;
    QDBusServiceWatcher *m_serviceWatcher = nullptr;
    bool m_firstCheckDone = false;
    bool m_reported = false;
    bool m_filtersEvents = false;
    // The X11 selection an XEmbed tray manager owns, none without X11.
    std::uint32_t m_trayManagerSelection = 0;
    std::uint32_t m_managerAtom = 0;
};
