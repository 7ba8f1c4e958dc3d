// One instance per configuration: commands of later starts reach the running one over D-Bus,
// the lock keeps a second writer out even without a bus, and a killed instance's lock is taken
// over. The program runs as real processes on a private session bus.

#include "inmemoryservices.h"
#include "privatebus.h"
#include "programrun.h"

#include "app/appidentity.h"
#include "app/applicationservice.h"
#include "app/quayrow2app.h"
#include "app/singleinstance.h"
#include "persistence/configurationdocument.h"
#include "persistence/systemconfigurationstorage.h"
#include "store/appstore.h"

#include <QApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(std::optional<RemoteCommand>)

namespace {

Panel panelNamed(const QString &name)
{
    return Panel(PanelInit{.name = name, .tab = PanelTab{.name = u"Tab"_s}});
}

// A configuration folder with one stored panel, and the program started on it.
class Home
{
public:
    Home()
    {
        QDir().mkpath(folder());
        QFile file(configurationFile());
        if (file.open(QIODevice::WriteOnly))
            file.write(ConfigurationDocument({panelNamed(u"Stored"_s)}).toJson());
    }

    QString folder() const { return m_root.filePath(u"Quayrow 2"_s); }
    QString configurationFile() const { return folder() + u"/configuration.json"_s; }
    QString lockFile() const { return SingleInstance::lockFilePath(folder()); }

    // The panels the configuration file holds, -1 when it cannot be read.
    qsizetype storedPanels() const
    {
        const auto document = SystemConfigurationStorage::readDocument(configurationFile());
        return document ? document->makePanels().size() : -1;
    }

    // The program with `arguments` on this home on the offscreen platform; `busAddress` empty:
    // the test's private bus.
    std::unique_ptr<QProcess> start(const QStringList &arguments, const QString &busAddress = {}) const
    {
        QProcessEnvironment environment = ProgramRun::environment(m_root.path(), ProgramRun::Platform::Offscreen);
        if (!busAddress.isEmpty())
            environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, busAddress);
        return ProgramRun::start(arguments, environment);
    }

    ProgramRun::Outcome run(const QStringList &arguments, const QString &busAddress = {}) const
    {
        return ProgramRun::finish(*start(arguments, busAddress));
    }

private:
    QTemporaryDir m_root;
};

bool isOnTheBus()
{
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(AppIdentity::applicationID());
}

// A bus address where no bus listens.
const QString noBus = u"unix:path=/nonexistent/quayrow-test-bus"_s;

} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void commandsReachTheService_data();
    void commandsReachTheService();
    void badCallsAreRefused_data();
    void badCallsAreRefused();
    void commandsReachTheStore();
    void secondStartsForwardAndExit();
    void withoutABusTheLockKeepsTheSecondOut();
    void lockOfAKilledInstanceIsTakenOver();

private:
    std::unique_ptr<PrivateSessionBus> m_bus;
};

void TestSingleInstance::initTestCase()
{
    m_bus = std::make_unique<PrivateSessionBus>();
    if (!m_bus->isRunning())
        QSKIP("dbus-daemon is not installed");
}

void TestSingleInstance::commandsReachTheService_data()
{
    QTest::addColumn<std::optional<RemoteCommand>>("sent");
    QTest::addColumn<RemoteCommand>("received");
    QTest::newRow("a plain start activates: show all panels") << std::optional<RemoteCommand>() << RemoteCommand::ShowAllPanels;
    QTest::newRow("new-panel") << std::optional(RemoteCommand::NewPanel) << RemoteCommand::NewPanel;
    QTest::newRow("show-all-panels") << std::optional(RemoteCommand::ShowAllPanels) << RemoteCommand::ShowAllPanels;
}

void TestSingleInstance::commandsReachTheService()
{
    QFETCH(std::optional<RemoteCommand>, sent);
    ApplicationService service;
    QVERIFY(service.registerOn(QDBusConnection::sessionBus()));
    QSignalSpy received(&service, &ApplicationService::commandReceived);
    QDBusConnection client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"client"_s);

    const Result forwarded = SingleInstance::forward(sent, client);
    QVERIFY2(forwarded, qPrintable(forwarded.errorMessage()));
    QTRY_COMPARE(received.count(), 1);
    QTEST(received.at(0).at(0).value<RemoteCommand>(), "received");

    // The name is taken while the service runs, and freed with it.
    ApplicationService second;
    QVERIFY(!second.registerOn(QDBusConnection::sessionBus()));
    QDBusConnection::disconnectFromBus(u"client"_s);
}

void TestSingleInstance::badCallsAreRefused_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QVariantList>("arguments");
    QTest::addColumn<QString>("error");
    QTest::newRow("unknown action") << u"ActivateAction"_s << QVariantList{u"frobnicate"_s, QVariantList(), QVariantMap()}
                                    << u"org.freedesktop.DBus.Error.InvalidArgs"_s;
    QTest::newRow("action with a parameter")
        << u"ActivateAction"_s << QVariantList{u"new-panel"_s, QVariantList{QVariant::fromValue(QDBusVariant(1))}, QVariantMap()}
        << u"org.freedesktop.DBus.Error.InvalidArgs"_s;
    QTest::newRow("opening files") << u"Open"_s << QVariantList{QStringList{u"file:///tmp"_s}, QVariantMap()}
                                   << u"org.freedesktop.DBus.Error.NotSupported"_s;
}

void TestSingleInstance::badCallsAreRefused()
{
    QFETCH(QString, method);
    QFETCH(QVariantList, arguments);
    ApplicationService service;
    QVERIFY(service.registerOn(QDBusConnection::sessionBus()));
    QSignalSpy received(&service, &ApplicationService::commandReceived);
    QDBusConnection client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"client"_s);

    QDBusMessage message = QDBusMessage::createMethodCall(AppIdentity::applicationID(), AppIdentity::objectPath(),
                                                          u"org.freedesktop.Application"_s, method);
    message.setArguments(arguments);
    QDBusPendingCallWatcher call(client.asyncCall(message));
    QSignalSpy finished(&call, &QDBusPendingCallWatcher::finished);
    QVERIFY(finished.wait(5000));
    QTEST(call.error().name(), "error");
    QTest::qWait(50);
    QCOMPARE(received.count(), 0);
    QDBusConnection::disconnectFromBus(u"client"_s);
}

void TestSingleInstance::commandsReachTheStore()
{
    InMemoryServices services;
    services.storage->stored = QList<Panel>{panelNamed(u"A"_s)};
    services.storage->hasStored = true;
    Quayrow2App app(std::make_unique<AppStore>(services.take()), QDBusConnection::sessionBus());
    QDBusConnection client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"client"_s);

    QVERIFY(SingleInstance::forward(RemoteCommand::NewPanel, client));
    QTRY_COMPARE(app.store().panels().size(), 2);
    QVERIFY(SingleInstance::forward(std::nullopt, client));
    QTRY_VERIFY(app.store().isRevealingAllPanels());
    QDBusConnection::disconnectFromBus(u"client"_s);
}

void TestSingleInstance::secondStartsForwardAndExit()
{
    Home home;
    const auto first = home.start({});
    QTRY_VERIFY_WITH_TIMEOUT(isOnTheBus(), 15000);

    const ProgramRun::Outcome newPanel = home.run({u"--new-panel"_s});
    QCOMPARE(newPanel.status, 0);
    QTRY_COMPARE(home.storedPanels(), 2);
    for (const QStringList &arguments : {QStringList{u"--show-all-panels"_s}, QStringList{}}) {
        const ProgramRun::Outcome run = home.run(arguments);
        QCOMPARE(run.status, 0);
        QVERIFY2(run.err.isEmpty(), run.err.constData());
    }
    QCOMPARE(first->state(), QProcess::Running);

    // --quit returns once the instance has ended.
    const ProgramRun::Outcome quit = home.run({u"--quit"_s});
    QCOMPARE(quit.status, 0);
    QVERIFY(first->waitForFinished(5000));
    QCOMPARE(first->exitStatus(), QProcess::NormalExit);
    QCOMPARE(first->exitCode(), 0);
    QVERIFY(!QFile::exists(home.lockFile()));
    QCOMPARE(home.storedPanels(), 2);

    const ProgramRun::Outcome again = home.run({u"--quit"_s});
    QCOMPARE(again.status, 0);
    QVERIFY2(again.err.contains("not running"), again.err.constData());
}

void TestSingleInstance::withoutABusTheLockKeepsTheSecondOut()
{
    Home home;
    const auto first = home.start({}, noBus);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(home.lockFile()), 15000);
    QByteArray firstErrors;
    QTRY_VERIFY_WITH_TIMEOUT((firstErrors += first->readAllStandardError()).contains("cannot reach this one"), 15000);
    const QStringList before = ProgramRun::snapshot(home.folder());

    const ProgramRun::Outcome second = home.run({u"--new-panel"_s}, noBus);
    QCOMPARE(second.status, 1);
    QVERIFY2(second.err.contains("already running (process " + QByteArray::number(first->processId())),
             second.err.constData());
    QCOMPARE(ProgramRun::snapshot(home.folder()), before);
    QCOMPARE(home.storedPanels(), 1);

    // SIGTERM takes the clean way out.
    ::kill(pid_t(first->processId()), SIGTERM);
    QVERIFY(first->waitForFinished(10000));
    QCOMPARE(first->exitStatus(), QProcess::NormalExit);
    QCOMPARE(first->exitCode(), 0);
    QVERIFY(!QFile::exists(home.lockFile()));
}

void TestSingleInstance::lockOfAKilledInstanceIsTakenOver()
{
    Home home;
    const auto killed = home.start({});
    QTRY_VERIFY_WITH_TIMEOUT(isOnTheBus(), 15000);
    killed->kill();
    QVERIFY(killed->waitForFinished(5000));
    QVERIFY(QFile::exists(home.lockFile()));  // left behind
    QTRY_VERIFY(!isOnTheBus());

    const auto second = home.start({u"--new-panel"_s});
    QTRY_VERIFY_WITH_TIMEOUT(isOnTheBus(), 15000);
    QTRY_COMPARE(home.storedPanels(), 2);
    QCOMPARE(second->state(), QProcess::Running);

    QCOMPARE(home.run({u"--quit"_s}).status, 0);
    QVERIFY(second->waitForFinished(5000));
    QCOMPARE(second->exitCode(), 0);
}

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
