#pragma once

#include "applicationindex.h"
#include "launcherentrytable.h"

#include "store/services.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QStringList>

class QDBusMessage;

// The counts, progress and urgency that running applications publish on the session bus with
// the com.canonical.Unity.LauncherEntry Update signal, the way docks have read them for years.
// What a bus name published goes when that name leaves the bus. Malformed signals are ignored
// (see parseLauncherEntryUpdate). Without a session bus nothing is ever published. Main thread
// only.
class SystemLauncherEntries final : public QObject, public LauncherEntries
{
    Q_OBJECT

public:
    // `applicationRoots`: the "applications" folders under which desktop file ids are counted.
    explicit SystemLauncherEntries(const QDBusConnection &bus = QDBusConnection::sessionBus(),
                                   const QStringList &applicationRoots = ApplicationIndex::defaultRoots(),
                                   QObject *parent = nullptr);
    ~SystemLauncherEntries() override;

    // The file's path below one of the application folders with "/" turned into "-", or its
    // file name when it lies elsewhere.
    QString applicationID(const QUrl &location) const override;
    LauncherEntry entry(const QString &applicationID) const override;
    void observeChanges(std::function<void(const QString &applicationID)> handler) override;

public Q_SLOTS:
    // One Update signal as the bus delivers it.
    void handleUpdate(const QDBusMessage &message);

private:
    void watchSender(const QString &sender);
    void senderLeft(const QString &sender);
    void notify(const QString &applicationID);

    QDBusConnection m_bus;
    QStringList m_roots; // each ending in "/"
    QDBusServiceWatcher m_senders;
    LauncherEntryTable m_table;
    std::function<void(const QString &)> m_handler;
};
