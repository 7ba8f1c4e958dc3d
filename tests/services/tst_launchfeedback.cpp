// Launch feedback on X11: the program runs on the xcb platform of a private Xvfb and announces its
// launches over Qt's own connection; a connection of the test's own reads the messages back.
#include "testdesktop.h"
#include "x11client.h"
#include "x11session.h"

#include "services/systemitemlauncher.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QtGui/private/qtx11extras_p.h>

#include <tuple>

class TestLaunchFeedback : public QObject
{
    Q_OBJECT

public:
    TestLaunchFeedback(const TestDesktop &desktop, X11Session *x) : m_desktop(desktop), m_x(x) {}

private Q_SLOTS:
    void initTestCase();
    void announcesLaunches_data();
    void announcesLaunches();
    void withdrawsFailedLaunches();

private:
    // Waits for `count` messages (each within the QTRY timeout).
    QList<X11Client::StartupMessage> messages(qsizetype count);
    QString startupId(const QString &tag) const;

    const TestDesktop &m_desktop;
    X11Session *m_x;
    QByteArray m_pending;
    SystemItemLauncher m_launcher;
};

QList<X11Client::StartupMessage> TestLaunchFeedback::messages(qsizetype count)
{
    QList<X11Client::StartupMessage> received;
    std::ignore = QTest::qWaitFor([&] {
        received += X11Client::takeStartupMessages(m_x->connection(), m_pending);
        return received.size() >= count;
    });
    return received;
}

QString TestLaunchFeedback::startupId(const QString &tag) const
{
    QFile file(QDir(m_desktop.markerDirectory()).filePath(tag + u".startup-id"_qs));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void TestLaunchFeedback::initTestCase()
{
    if (!m_x)
        QSKIP("Xvfb is not installed: no private X server to run on");
    QCOMPARE(QGuiApplication::platformName(), u"xcb"_qs);
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(m_x->connection(), m_x->root(), XCB_CW_EVENT_MASK, &mask);
    std::free(xcb_get_input_focus_reply(m_x->connection(), xcb_get_input_focus(m_x->connection()), nullptr));
}

void TestLaunchFeedback::announcesLaunches_data()
{
    QTest::addColumn<qint64>("eventTime"); // -1: launched without an input event
    QTest::addColumn<quint32>("lastUserInput");
    QTest::addColumn<quint32>("lastEvent");
    QTest::addColumn<quint32>("expectedTime");

    // Qt only moves its times forward, so the rows go from the earliest to the latest.
    QTest::newRow("no event, no input yet: Qt's last event") << qint64(-1) << 0u << 1'000'000u << 1'000'000u;
    QTest::newRow("no event: the last user input Qt saw") << qint64(-1) << 2'000'000u << 3'000'000u << 2'000'000u;
    QTest::newRow("the input event's time") << qint64(4242) << 2'000'000u << 3'000'000u << 4242u;
}

void TestLaunchFeedback::announcesLaunches()
{
    QFETCH(qint64, eventTime);
    QFETCH(quint32, lastUserInput);
    QFETCH(quint32, lastEvent);
    QFETCH(quint32, expectedTime);
    const QString tag = u"announced%1"_qs.arg(QTest::currentDataTag() ? qHash(QByteArray(QTest::currentDataTag())) : 0);
    const QString path = m_desktop.writeDesktopEntry(
        tag + u".desktop"_qs,
        u"Type=Application\nName=Announced \"App\" %1\nIcon=announced-icon\nStartupWMClass=AnnouncedClass\n"
        "StartupNotify=true\nExec=%2 %1"_qs.arg(tag, markerHelperPath()));
    QX11Info::setAppUserTime(lastUserInput);
    QX11Info::setAppTime(lastEvent);

    m_launcher.launch(QUrl::fromLocalFile(path), eventTime < 0 ? std::nullopt : std::optional<quint32>(quint32(eventTime)));

    QTRY_VERIFY(!m_desktop.marker(tag).isEmpty());
    const QString id = startupId(tag);
    QVERIFY2(id.endsWith(u"_TIME%1"_qs.arg(expectedTime)), qPrintable(id));
    const QList<X11Client::StartupMessage> received = messages(1);
    QCOMPARE(received.size(), 1);
    const X11Client::StartupMessage &message = received.constFirst();
    QCOMPARE(message.kind, QByteArray("new"));
    QCOMPARE(message.keys.value("ID"), id.toUtf8());
    QCOMPARE(message.keys.value("NAME"), u"Announced \"App\" %1"_qs.arg(tag).toUtf8());
    QCOMPARE(message.keys.value("SCREEN"), QByteArray("0"));
    QCOMPARE(message.keys.value("WMCLASS"), QByteArray("AnnouncedClass"));
    QCOMPARE(message.keys.value("ICON"), QByteArray("announced-icon"));
    QCOMPARE(message.keys.value("BIN"), QFileInfo(markerHelperPath()).fileName().toUtf8());
    QCOMPARE(message.keys.value("APPLICATION_ID"), QFile::encodeName(path));
}

// GIO starts programs through its small gio-launch-desktop wrapper, so the only launch it sees
// fail is one whose start itself fails: here the wrapper goes missing.
void TestLaunchFeedback::withdrawsFailedLaunches()
{
    const QString wrapper = qEnvironmentVariable("GIO_LAUNCH_DESKTOP");
    const QString target = QFileInfo(wrapper).symLinkTarget();
    if (target.isEmpty() || !QFile::exists(target))
        QSKIP("GIO's gio-launch-desktop is not installed");
    const QString path = m_desktop.writeDesktopEntry(
        u"failing.desktop"_qs, u"Type=Application\nName=Failing\nStartupNotify=true\nExec=%1 failing"_qs.arg(markerHelperPath()));
    QVERIFY(QFile::remove(wrapper));

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^Cannot launch .*failing.desktop"_qs));
    m_launcher.launch(QUrl::fromLocalFile(path), 77);
    QVERIFY(QFile::link(target, wrapper));

    const QList<X11Client::StartupMessage> received = messages(2);
    QCOMPARE(received.size(), 2);
    QCOMPARE(received[0].kind, QByteArray("new"));
    QVERIFY2(received[0].keys.value("ID").endsWith("_TIME77"), received[0].keys.value("ID").constData());
    QCOMPARE(received[1].kind, QByteArray("remove"));
    QCOMPARE(received[1].keys.value("ID"), received[0].keys.value("ID"));
    QVERIFY(m_desktop.marker(u"failing"_qs).isEmpty());
}

int main(int argc, char *argv[])
{
    const TestDesktop desktop;
    // GIO's launch wrapper, through a link that a test can take away (GIO reads the variable once).
    const QString wrapper = QDir(desktop.root()).filePath(u"gio-launch-desktop"_qs);
    QFile::link(QStringLiteral(QUAYROW_GIO_LAUNCH_DESKTOP), wrapper);
    qputenv("GIO_LAUNCH_DESKTOP", QFile::encodeName(wrapper));
    // The server must run before the application connects to it.
    X11Session x(QSize(640, 480), u"none"_qs);
    const bool hasServer = !QStandardPaths::findExecutable(u"Xvfb"_qs).isEmpty() && x.start();
    if (hasServer) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        qputenv("DISPLAY", x.display().toLatin1());
    }
    QGuiApplication app(argc, argv);
    TestLaunchFeedback test(desktop, hasServer ? &x : nullptr);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_launchfeedback.moc"
