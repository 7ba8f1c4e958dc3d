// The tray item waits for a tray: a StatusNotifierWatcher with a host on the session bus.

#include "privatebus.h"

#include "app/trayhostwatcher.h"

#include <QApplication>
#include <QDBusConnection>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A stand-in for the watcher a desktop's tray runs, on its own connection to the bus.
class StatusNotifierWatcher : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)

public:
    explicit StatusNotifierWatcher(bool hostRegistered)
        : m_connection(QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"watcher"_s))
        , m_hostRegistered(hostRegistered)
    {
        m_connection.registerObject(u"/StatusNotifierWatcher"_s, this, QDBusConnection::ExportAllContents);
        m_connection.registerService(u"org.kde.StatusNotifierWatcher"_s);
    }
    ~StatusNotifierWatcher() override
    {
        m_connection.unregisterService(u"org.kde.StatusNotifierWatcher"_s);
        QDBusConnection::disconnectFromBus(u"watcher"_s);
    }

    bool isHostRegistered() const { return m_hostRegistered; }
    void registerHost()
    {
        m_hostRegistered = true;
        Q_EMIT StatusNotifierHostRegistered();
    }

Q_SIGNALS:
    void StatusNotifierHostRegistered();

private:
    QDBusConnection m_connection;
    bool m_hostRegistered;
};

} // namespace

class TestTrayHostWatcher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void trayAppearsLater_data();
    void trayAppearsLater();
    void trayPresentAtStart();

private:
    std::unique_ptr<PrivateSessionBus> m_bus;
};

void TestTrayHostWatcher::initTestCase()
{
    m_bus = std::make_unique<PrivateSessionBus>();
    if (!m_bus->isRunning())
        QSKIP("dbus-daemon is not installed");
}

void TestTrayHostWatcher::trayAppearsLater_data()
{
    QTest::addColumn<bool>("watcherFirst");
    QTest::newRow("watcher and host appear together") << false;
    QTest::newRow("host registers with a running watcher") << true;
}

void TestTrayHostWatcher::trayAppearsLater()
{
    QFETCH(bool, watcherFirst);
    std::unique_ptr<StatusNotifierWatcher> tray;
    if (watcherFirst)
        tray = std::make_unique<StatusNotifierWatcher>(false);

    TrayHostWatcher watcher(QDBusConnection::sessionBus());
    QSignalSpy without(&watcher, &TrayHostWatcher::startedWithoutTray);
    QSignalSpy available(&watcher, &TrayHostWatcher::trayAvailable);
    QVERIFY(without.wait(5000));
    QCOMPARE(available.count(), 0);

    if (watcherFirst)
        tray->registerHost();
    else
        tray = std::make_unique<StatusNotifierWatcher>(true);
    QVERIFY(available.wait(5000));
    QCOMPARE(available.at(0).at(0).value<TrayHostWatcher::Host>(), TrayHostWatcher::Host::StatusNotifier);
    QCOMPARE(without.count(), 1);

    // Reported once: a host that registers again changes nothing.
    tray->registerHost();
    QTest::qWait(100);
    QCOMPARE(available.count(), 1);
}

void TestTrayHostWatcher::trayPresentAtStart()
{
    StatusNotifierWatcher tray(true);
    TrayHostWatcher watcher(QDBusConnection::sessionBus());
    QSignalSpy without(&watcher, &TrayHostWatcher::startedWithoutTray);
    QSignalSpy available(&watcher, &TrayHostWatcher::trayAvailable);
    QVERIFY(available.wait(5000));
    QCOMPARE(without.count(), 0);
}

QTEST_MAIN(TestTrayHostWatcher)
#include "tst_trayhostwatcher.moc"
