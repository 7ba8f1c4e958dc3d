#include "privatebus.h"

#include "inmemoryservices.h"
#include "services/systemlauncherentries.h"
#include "store/appstore.h"
#include "ui/itemtiles.h"
#include "ui/tiledecorations.h"

#include <QApplication>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QProcess>
#include <QTest>

#include <cmath>
#include <limits>
#include <unistd.h>

namespace {

// For waits on a publishing process, which a busy machine may start slowly.
constexpr int busyTimeout = 20'000;

const QString interfaceName = QStringLiteral("com.canonical.Unity.LauncherEntry");

QDBusMessage updateSignal(const QVariantList &arguments)
{
    QDBusMessage message = QDBusMessage::createSignal(u"/org/example/launcher"_qs, interfaceName, u"Update"_qs);
    message.setArguments(arguments);
    return message;
}

// Returns once the bus handled what this process sent it over the session bus before: the match
// rule that makes it deliver the signals is sent without waiting for an answer.
void syncWithBus()
{
    QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
        u"org.freedesktop.DBus"_qs, u"/org/freedesktop/DBus"_qs, u"org.freedesktop.DBus.Peer"_qs, u"Ping"_qs));
}

// The child-process side: `--publish <bus address>` publishes a count of 3 and a progress of 0.4
// for mailer.desktop as an application does, prints "sent" and stays on the bus until its standard
// input closes.
int runPublisher(int argc, char *argv[])
{
    if (argc != 3 || qstrcmp(argv[1], "--publish") != 0)
        return -1;
    QCoreApplication app(argc, argv);
    QDBusConnection bus = QDBusConnection::connectToBus(QString::fromLocal8Bit(argv[2]), u"publisher"_qs);
    const QVariantMap properties{{u"count"_qs, qint64(3)},
                                 {u"count-visible"_qs, true},
                                 {u"progress"_qs, 0.4},
                                 {u"progress-visible"_qs, true}};
    if (!bus.send(updateSignal({u"application://mailer.desktop"_qs, properties})))
        return 2;
    bus.call(QDBusMessage::createMethodCall(u"org.freedesktop.DBus"_qs, u"/org/freedesktop/DBus"_qs,
                                            u"org.freedesktop.DBus.Peer"_qs, u"Ping"_qs));
    std::printf("sent\n");
    std::fflush(stdout);
    char buffer[64];
    while (::read(STDIN_FILENO, buffer, sizeof buffer) > 0) {
    }
    return 0;
}

} // namespace

class TestSystemLauncherEntries : public QObject
{
    Q_OBJECT

public:
    explicit TestSystemLauncherEntries(const PrivateSessionBus &bus) : m_bus(bus) {}

private Q_SLOTS:
    void initTestCase();
    void followsAnApplicationOnTheBus();
    void tilesShowWhatThePublisherPublishes();
    void ignoresMalformedUpdates_data();
    void ignoresMalformedUpdates();
    void namesApplicationsByTheirDesktopFileID_data();
    void namesApplicationsByTheirDesktopFileID();

private:
    const PrivateSessionBus &m_bus;
};

void TestSystemLauncherEntries::initTestCase()
{
    if (!m_bus.isRunning())
        QSKIP("dbus-daemon is not installed: no private session bus");
}

void TestSystemLauncherEntries::followsAnApplicationOnTheBus()
{
    SystemLauncherEntries entries;
    syncWithBus();
    QStringList changed;
    entries.observeChanges([&changed](const QString &id) { changed.append(id); });
    QProcess publisher;
    publisher.start(QCoreApplication::applicationFilePath(), {u"--publish"_qs, m_bus.address()});
    QVERIFY(publisher.waitForStarted(5000));

    QTRY_COMPARE_WITH_TIMEOUT(entries.entry(u"mailer.desktop"_qs), (LauncherEntry{.count = 3, .progress = 0.4}),
                              busyTimeout);
    QCOMPARE(changed, QStringList{u"mailer.desktop"_qs});
    QCOMPARE(entries.entry(u"other.desktop"_qs), LauncherEntry());

    publisher.closeWriteChannel();
    QVERIFY(publisher.waitForFinished(5000));
    QTRY_COMPARE_WITH_TIMEOUT(entries.entry(u"mailer.desktop"_qs), LauncherEntry(), busyTimeout);
    QCOMPARE(changed, (QStringList{u"mailer.desktop"_qs, u"mailer.desktop"_qs}));
}

// From the bus to the screen: the tile of the publishing application shows its count and progress
// while the publisher is on the bus.
void TestSystemLauncherEntries::tilesShowWhatThePublisherPublishes()
{
    const ItemLink link{.location = QUrl::fromLocalFile(u"/opt/mail/mailer.desktop"_qs)};
    InMemoryServices services;
    AppStoreServices taken = services.take();
    taken.launcherEntries = std::make_unique<SystemLauncherEntries>();
    syncWithBus();
    PanelTab tab;
    tab.items = {link};
    AppStore store(std::move(taken), QList<Panel>{Panel(PanelInit{.name = u"P"_qs, .tab = tab})});
    LinkTile tile(link, store.panels().first(), store);
    tile.resize(tile.sizeHint());
    const QRectF badge = TileDecorations::badgeFrame(tile.iconFrame(), 3, tile.font());
    const QPointF inBadge = (badge.center() - QPointF(badge.height() * 0.35, 0)) * tile.devicePixelRatioF();
    const auto badgeShows = [&] {
        const QColor shown = tile.grab().toImage().pixelColor(inBadge.toPoint());
        return qAbs(shown.hue() - TabColors::color(TabColor::SystemRed).hue()) < 8 && shown.saturation() > 150;
    };

    QProcess publisher;
    publisher.start(QCoreApplication::applicationFilePath(), {u"--publish"_qs, m_bus.address()});
    QVERIFY(publisher.waitForStarted(5000));
    QTRY_COMPARE_WITH_TIMEOUT(tile.badgeCount(), std::optional<qint64>(3), busyTimeout);
    QCOMPARE(tile.progress(), std::optional<double>(0.4));
    QVERIFY(badgeShows());

    publisher.closeWriteChannel();
    QVERIFY(publisher.waitForFinished(5000));
    QTRY_COMPARE_WITH_TIMEOUT(tile.badgeCount(), std::nullopt, busyTimeout);
    QCOMPARE(tile.progress(), std::nullopt);
    QVERIFY(!badgeShows());
}

// Each malformed update is followed by a sound one of another application: once that is seen, the
// malformed one was handled before it.
void TestSystemLauncherEntries::ignoresMalformedUpdates_data()
{
    QTest::addColumn<QVariantList>("arguments");
    QTest::addColumn<LauncherEntry>("expected"); // mailer.desktop's entry afterwards

    const QString uri = u"application://mailer.desktop"_qs;
    // The value, made visible.
    auto with = [](const QString &key, const QVariant &value) {
        return QVariantMap{{key, value}, {key + u"-visible"_qs, true}};
    };
    QTest::newRow("no arguments") << QVariantList() << LauncherEntry();
    QTest::newRow("a third argument") << QVariantList{uri, with(u"count"_qs, 3), 1} << LauncherEntry();
    QTest::newRow("properties that are no map") << QVariantList{uri, u"count=3"_qs} << LauncherEntry();
    QTest::newRow("URI of another scheme") << QVariantList{u"file:///mailer.desktop"_qs, with(u"count"_qs, 3)}
                                           << LauncherEntry();
    QTest::newRow("URI that is a path") << QVariantList{u"application://../apps/mailer.desktop"_qs, with(u"count"_qs, 3)}
                                        << LauncherEntry();
    QTest::newRow("URI as a number") << QVariantList{42, with(u"count"_qs, 3)} << LauncherEntry();
    QTest::newRow("count of 2^31") << QVariantList{uri, with(u"count"_qs, qint64(1) << 31)} << LauncherEntry();
    QTest::newRow("count of 2^64 - 1") << QVariantList{uri, with(u"count"_qs, std::numeric_limits<quint64>::max())}
                                       << LauncherEntry();
    QTest::newRow("negative count") << QVariantList{uri, with(u"count"_qs, -5)} << LauncherEntry();
    QTest::newRow("count as text") << QVariantList{uri, with(u"count"_qs, u"3"_qs)} << LauncherEntry();
    QTest::newRow("progress not a number")
        << QVariantList{uri, with(u"progress"_qs, std::nan(""))} << LauncherEntry{.progress = 0.0};
    QTest::newRow("progress as text") << QVariantList{uri, with(u"progress"_qs, u"0.5"_qs)} << LauncherEntry{.progress = 0.0};
    QTest::newRow("progress beyond 1 is full") << QVariantList{uri, with(u"progress"_qs, 7.5)} << LauncherEntry{.progress = 1.0};
    QTest::newRow("visibility as a number")
        << QVariantList{uri, QVariantMap{{u"count"_qs, 3}, {u"count-visible"_qs, 1}}} << LauncherEntry();
    QTest::newRow("count of 2^31 - 1 is kept")
        << QVariantList{uri, with(u"count"_qs, std::numeric_limits<qint32>::max())}
        << LauncherEntry{.count = std::numeric_limits<qint32>::max()};
}

void TestSystemLauncherEntries::ignoresMalformedUpdates()
{
    QFETCH(QVariantList, arguments);
    QFETCH(LauncherEntry, expected);
    QDBusConnection emitter = QDBusConnection::connectToBus(m_bus.address(), QString::fromUtf8(QTest::currentDataTag()));
    SystemLauncherEntries entries;
    syncWithBus();

    QVERIFY(emitter.send(updateSignal(arguments)));
    const QVariantMap sentinel{{u"count"_qs, 1}, {u"count-visible"_qs, true}};
    QVERIFY(emitter.send(updateSignal({u"application://sentinel.desktop"_qs, sentinel})));
    QTRY_COMPARE(entries.entry(u"sentinel.desktop"_qs).count, std::optional<qint64>(1));
    QCOMPARE(entries.entry(u"mailer.desktop"_qs), expected);
    QDBusConnection::disconnectFromBus(emitter.name());
}

void TestSystemLauncherEntries::namesApplicationsByTheirDesktopFileID_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");

    QTest::newRow("in an application folder") << u"/usr/share/applications/org.example.Mail.desktop"_qs
                                              << u"org.example.Mail.desktop"_qs;
    QTest::newRow("in a subfolder") << u"/usr/share/applications/kde/mail.desktop"_qs << u"kde-mail.desktop"_qs;
    QTest::newRow("elsewhere") << u"/opt/mail/mail.desktop"_qs << u"mail.desktop"_qs;
    QTest::newRow("no desktop entry") << u"/usr/share/applications/readme.txt"_qs << QString();
}

void TestSystemLauncherEntries::namesApplicationsByTheirDesktopFileID()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    const SystemLauncherEntries entries(QDBusConnection::sessionBus(), {u"/usr/share/applications/"_qs});
    QCOMPARE(entries.applicationID(QUrl::fromLocalFile(path)), expected);
}

int main(int argc, char *argv[])
{
    if (const int publisher = runPublisher(argc, argv); publisher >= 0)
        return publisher;
    QApplication app(argc, argv);
    const PrivateSessionBus bus;
    TestSystemLauncherEntries test(bus);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_systemlauncherentries.moc"
