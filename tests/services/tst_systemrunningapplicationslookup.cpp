#include "testdesktop.h"
#include "x11client.h"
#include "x11session.h"

#include "inmemoryservices.h"
#include "services/systemitemlauncher.h"
#include "services/systemrunningapplicationslookup.h"
#include "store/appstore.h"
#include "ui/itemtiles.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QThread>

#include <array>
#include <memory>
#include <vector>
#include <unistd.h>


// For what waits on the window manager and on the index of installed applications, which a
// machine busy with other builds and tests may delay well beyond QTRY's default.
constexpr int busyTimeout = 20'000;

class TestSystemRunningApplicationsLookup : public QObject
{
    Q_OBJECT

public:
    explicit TestSystemRunningApplicationsLookup(const TestDesktop &desktop) : m_desktop(desktop) {}

private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void matchesWindowsToApplications_data();
    void matchesWindowsToApplications();
    void reportsChangesOfTheApplications();
    void leavesOutOwnWindows();
    void keepsItsListUntilTheEventLoopRuns();
    void seesWindowsReportedDuringAQuestion();
    void seesApplicationsInstalledLater();
    void isEmptyWithoutX11_data();
    void isEmptyWithoutX11();
    void survivesTheServerGoing();
    void bringsApplicationsForward();
    void followsRequestsForAttention_data();
    void followsRequestsForAttention();
    void tileBringsForwardOrStartsAnother();

private:
    struct Client
    {
        std::unique_ptr<QProcess> process;
        xcb_window_t window = 0;
    };
    // `command`: the program and its first arguments (by default this test program itself).
    Client startClient(const QString &instance, const QString &className, const QStringList &options = {},
                       const QStringList &command = {}, const QString &workingDirectory = {});
    void stopClient(Client &client);
    QUrl application(const QString &fileName) const
    {
        return QUrl::fromLocalFile(QDir(m_desktop.applicationsDirectory()).filePath(fileName));
    }

    const TestDesktop &m_desktop;
    X11Session m_x{QSize(640, 480), u"openbox"_qs};
    QString m_copiedProgram;
    QString m_interpreter;
    QString m_scripts;
    std::vector<Client> m_clients;
};

TestSystemRunningApplicationsLookup::Client TestSystemRunningApplicationsLookup::startClient(
    const QString &instance, const QString &className, const QStringList &options, const QStringList &command,
    const QString &workingDirectory)
{
    Client client;
    client.process = std::make_unique<QProcess>();
    client.process->setWorkingDirectory(workingDirectory);
    client.process->start(command.isEmpty() ? QCoreApplication::applicationFilePath() : command.first(),
                          command.mid(1) + QStringList{u"--x-client"_qs, m_x.display(), instance, className} + options);
    if (client.process->waitForStarted(5000)) {
        while (!client.process->canReadLine() && client.process->waitForReadyRead(10000)) {
        }
        client.window = QString::fromLatin1(client.process->readLine()).section(u' ', 1).trimmed().toUInt();
    }
    return client;
}

void TestSystemRunningApplicationsLookup::stopClient(Client &client)
{
    client.process->closeWriteChannel();
    client.process->waitForFinished(5000);
}

void TestSystemRunningApplicationsLookup::initTestCase()
{
    for (const char *program : {"Xvfb", "openbox"}) {
        if (QStandardPaths::findExecutable(QLatin1String(program)).isEmpty())
            QSKIP(qPrintable(u"%1 is not installed: no private X server with a window manager"_qs.arg(QLatin1String(program))));
    }
    QVERIFY2(m_x.start(), qPrintable(m_x.errorString()));

    m_copiedProgram = QDir(m_desktop.root()).filePath(u"bin/copied-client"_qs);
    QVERIFY(QDir().mkpath(QFileInfo(m_copiedProgram).path()));
    QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), m_copiedProgram));
    // A program named like an interpreter, the scripts it runs, and entries for one script and for
    // the interpreter alone (as Debian's python3.x.desktop).
    m_interpreter = QDir(m_desktop.root()).filePath(u"bin/python3.11"_qs);
    QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), m_interpreter));
    m_scripts = QDir(m_desktop.root()).filePath(u"opt/notes"_qs);
    m_desktop.writeFile(m_scripts + u"/notes.py"_qs, "");
    m_desktop.writeFile(m_scripts + u"/other.py"_qs, "");
    m_desktop.writeApplication(u"notes.desktop"_qs, u"Exec=%1 %2/notes.py"_qs.arg(m_interpreter, m_scripts));
    m_desktop.writeApplication(u"python.desktop"_qs, u"Exec="_qs + m_interpreter);
    m_desktop.writeApplication(u"startup.desktop"_qs, u"Exec=startup-app\nStartupWMClass=QuayTestClass"_qs);
    m_desktop.writeApplication(u"sentinel.desktop"_qs, u"Exec=sentinel-app\nStartupWMClass=SentinelClass"_qs);
    m_desktop.writeApplication(u"quayrow-idmatch.desktop"_qs, u"Exec=idmatch-app"_qs);
    m_desktop.writeApplication(u"org.example.GtkApp.desktop"_qs, u"Exec=gtk-app"_qs);
    m_desktop.writeApplication(u"copied.desktop"_qs, u"Exec="_qs + m_copiedProgram + u" --x-client"_qs);
}

void TestSystemRunningApplicationsLookup::cleanup()
{
    for (Client &client : m_clients)
        stopClient(client);
    m_clients.clear();
    QTRY_COMPARE(m_x.clientList().size(), 0);
}

void TestSystemRunningApplicationsLookup::matchesWindowsToApplications_data()
{
    QTest::addColumn<QString>("instance");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<QString>("workingDirectory");
    QTest::addColumn<QString>("expected");

    QTest::newRow("WM_CLASS against StartupWMClass")
        << u"quaytest"_qs << u"QuayTestClass"_qs << QStringList() << QStringList() << QString() << u"startup.desktop"_qs;
    QTest::newRow("WM_CLASS against the desktop id, any case")
        << u"x"_qs << u"Quayrow-IdMatch"_qs << QStringList() << QStringList() << QString() << u"quayrow-idmatch.desktop"_qs;
    QTest::newRow("_GTK_APPLICATION_ID")
        << u"unmatched"_qs << u"Unmatched"_qs << QStringList{u"gtk-id=org.example.GtkApp"_qs} << QStringList()
        << QString() << u"org.example.GtkApp.desktop"_qs;
    QTest::newRow("process executable against Exec")
        << u"unmatched"_qs << u"Unmatched"_qs << QStringList() << QStringList{m_copiedProgram} << QString() << u"copied.desktop"_qs;
    QTest::newRow("script through an interpreter, relative to its working directory")
        << u"tk"_qs << u"Tk"_qs << QStringList() << QStringList{m_interpreter, u"notes.py"_qs} << m_scripts
        << u"notes.desktop"_qs;
    QTest::newRow("another script of that interpreter is not its application")
        << u"tk"_qs << u"Tk"_qs << QStringList() << QStringList{m_interpreter, u"other.py"_qs} << m_scripts << QString();
    QTest::newRow("the server's word on the process, not a foreign _NET_WM_PID")
        << u"unmatched"_qs << u"Unmatched"_qs << QStringList{u"pid=1"_qs} << QStringList{m_copiedProgram} << QString()
        << u"copied.desktop"_qs;
    QTest::newRow("no installed application")
        << u"unmatched"_qs << u"Unmatched"_qs << QStringList() << QStringList() << QString() << QString();
    QTest::newRow("skip-taskbar window")
        << u"quaytest"_qs << u"QuayTestClass"_qs << QStringList{u"skip-taskbar"_qs} << QStringList() << QString() << QString();
    QTest::newRow("dialog window")
        << u"quaytest"_qs << u"QuayTestClass"_qs << QStringList{u"dialog"_qs} << QStringList() << QString() << QString();
    QTest::newRow("transient window without a type")
        << u"quaytest"_qs << u"QuayTestClass"_qs << QStringList{u"transient"_qs} << QStringList() << QString() << QString();
}

void TestSystemRunningApplicationsLookup::matchesWindowsToApplications()
{
    QFETCH(QString, instance);
    QFETCH(QString, className);
    QFETCH(QStringList, options);
    QFETCH(QStringList, command);
    QFETCH(QString, workingDirectory);
    QFETCH(QString, expected);
    SystemRunningApplicationsLookup lookup(m_x.display());

    m_clients.push_back(startClient(instance, className, options, command, workingDirectory));
    QVERIFY(m_clients.back().window != 0);
    QTRY_VERIFY(m_x.clientList().contains(m_clients.back().window));
    // The sentinel's window comes later in the same event stream: once it is seen, so was the first.
    m_clients.push_back(startClient(u"sentinel"_qs, u"SentinelClass"_qs));

    QList<QUrl> applications{application(u"sentinel.desktop"_qs)};
    if (!expected.isEmpty())
        applications.prepend(application(expected));
    QTRY_COMPARE(lookup.runningApplications(), applications);
}

void TestSystemRunningApplicationsLookup::reportsChangesOfTheApplications()
{
    SystemRunningApplicationsLookup lookup(m_x.display());
    QList<QList<QUrl>> reported;
    lookup.observeChanges([&] { reported.append(lookup.runningApplications()); });
    const QUrl a = application(u"startup.desktop"_qs);
    const QUrl b = application(u"sentinel.desktop"_qs);

    Client first = startClient(u"quaytest"_qs, u"QuayTestClass"_qs);
    QTRY_COMPARE(reported, (QList<QList<QUrl>>{{a}}));

    Client second = startClient(u"quaytest"_qs, u"QuayTestClass"_qs);
    QTRY_VERIFY(m_x.clientList().contains(second.window));
    Client other = startClient(u"sentinel"_qs, u"SentinelClass"_qs);
    QTRY_COMPARE(reported.size(), 2);
    QCOMPARE(reported.constLast(), (QList<QUrl>{a, b}));

    stopClient(first);
    QTRY_VERIFY(!m_x.clientList().contains(first.window));
    stopClient(other);
    QTRY_COMPARE(reported.size(), 3);
    QCOMPARE(reported.constLast(), QList<QUrl>{a});

    stopClient(second);
    QTRY_COMPARE(reported.size(), 4);
    QCOMPARE(reported.constLast(), QList<QUrl>());
}

void TestSystemRunningApplicationsLookup::leavesOutOwnWindows()
{
    SystemRunningApplicationsLookup lookup(m_x.display());
    const xcb_window_t own = X11Client::createWindow(m_x.connection(), u"quaytest"_qs, u"QuayTestClass"_qs, {},
                                                 quint32(::getpid()));
    QTRY_VERIFY(m_x.clientList().contains(own));
    m_clients.push_back(startClient(u"sentinel"_qs, u"SentinelClass"_qs));

    QTRY_COMPARE(lookup.runningApplications(), QList<QUrl>{application(u"sentinel.desktop"_qs)});
    xcb_destroy_window(m_x.connection(), own);
    xcb_flush(m_x.connection());
}

// Asking reads nothing: a change of the client list is taken in when the event loop runs, never
// inside a view's redraw.
void TestSystemRunningApplicationsLookup::keepsItsListUntilTheEventLoopRuns()
{
    SystemRunningApplicationsLookup lookup(m_x.display());
    const QList<QUrl> sentinel{application(u"sentinel.desktop"_qs)};
    m_clients.push_back(startClient(u"sentinel"_qs, u"SentinelClass"_qs));
    QTRY_COMPARE(lookup.runningApplications(), sentinel);

    m_clients.push_back(startClient(u"quaytest"_qs, u"QuayTestClass"_qs));
    const xcb_window_t window = m_clients.back().window;
    QDeadlineTimer deadline(10'000);
    while (!m_x.clientList().contains(window) && !deadline.hasExpired()) {
    }
    QVERIFY(!deadline.hasExpired());
    QCOMPARE(lookup.runningApplications(), sentinel);

    QTRY_COMPARE(lookup.runningApplications(), sentinel + QList<QUrl>{application(u"startup.desktop"_qs)});
}

// A question the lookup asks the server between two turns of the event loop (here: which window
// is active, when asked to bring forward an application without windows) may read the report of
// a new window off the socket before the event loop saw it there; the window is still seen.
void TestSystemRunningApplicationsLookup::seesWindowsReportedDuringAQuestion()
{
    SystemRunningApplicationsLookup lookup(m_x.display());
    m_clients.push_back(startClient(u"quaytest"_qs, u"QuayTestClass"_qs));
    QTRY_COMPARE_WITH_TIMEOUT(lookup.runningApplications(), QList<QUrl>{application(u"startup.desktop"_qs)},
                              busyTimeout);

    m_clients.push_back(startClient(u"sentinel"_qs, u"SentinelClass"_qs));
    const xcb_window_t sentinel = m_clients.back().window;
    // Until the window manager has listed and focused it, after which the server reports nothing
    // more.
    QVERIFY(waitOutsideTheEventLoop([&] { return m_x.clientList().contains(sentinel) && m_x.activeWindow() == sentinel; },
                                    busyTimeout));
    QVERIFY(!lookup.bringForward(application(u"python.desktop"_qs), 0));
    QTRY_COMPARE_WITH_TIMEOUT(lookup.runningApplications().size(), 2, busyTimeout);
}

void TestSystemRunningApplicationsLookup::seesApplicationsInstalledLater()
{
    SystemRunningApplicationsLookup lookup(m_x.display());
    int changes = 0;
    lookup.observeChanges([&changes] { ++changes; });
    m_clients.push_back(startClient(u"late"_qs, u"LateClass"_qs));
    QTRY_VERIFY(m_x.clientList().contains(m_clients.back().window));
    m_clients.push_back(startClient(u"sentinel"_qs, u"SentinelClass"_qs));
    QTRY_COMPARE(lookup.runningApplications(), QList<QUrl>{application(u"sentinel.desktop"_qs)});
    const int before = changes;

    const QString late = m_desktop.writeApplication(u"late.desktop"_qs, u"Exec=late-app\nStartupWMClass=LateClass"_qs);

    QTRY_COMPARE(lookup.runningApplications(),
                 (QList<QUrl>{QUrl::fromLocalFile(late), application(u"sentinel.desktop"_qs)}));
    QCOMPARE(changes, before + 1);
    QVERIFY(QFile::remove(late));
}

void TestSystemRunningApplicationsLookup::isEmptyWithoutX11_data()
{
    QTest::addColumn<QString>("display");

    QTest::newRow("no display") << QString();
    QTest::newRow("display that does not answer") << u":4999"_qs;
    QTest::newRow("default under the offscreen platform") << SystemRunningApplicationsLookup::defaultDisplayName();
}

void TestSystemRunningApplicationsLookup::isEmptyWithoutX11()
{
    QFETCH(QString, display);
    qputenv("DISPLAY", m_x.display().toLatin1());
    m_clients.push_back(startClient(u"quaytest"_qs, u"QuayTestClass"_qs));
    QTRY_VERIFY(m_x.clientList().contains(m_clients.back().window));

    SystemRunningApplicationsLookup lookup(display);
    bool called = false;
    lookup.observeChanges([&] { called = true; });

    QCOMPARE(lookup.runningApplications(), QList<QUrl>());
    QVERIFY(!called);
    qunsetenv("DISPLAY");
}

void TestSystemRunningApplicationsLookup::survivesTheServerGoing()
{
    X11Session server(QSize(640, 480), u"none"_qs);
    QVERIFY2(server.start(), qPrintable(server.errorString()));
    SystemRunningApplicationsLookup lookup(server.display());
    lookup.observeChanges([] {});
    QCOMPARE(lookup.runningApplications(), QList<QUrl>());

    server.stopServer();

    QTRY_COMPARE(lookup.runningApplications(), QList<QUrl>());
    QCoreApplication::processEvents();
}

// A press on an application: its most recent window comes forward, from wherever it is; pressing
// again while the application is active goes on to its next window.
void TestSystemRunningApplicationsLookup::bringsApplicationsForward()
{
    SystemRunningApplicationsLookup lookup(m_x.display());
    const QUrl app = application(u"startup.desktop"_qs);
    QVERIFY(!lookup.bringForward(app, 0));

    m_clients.push_back(startClient(u"quaytest"_qs, u"QuayTestClass"_qs));
    m_clients.push_back(startClient(u"quaytest"_qs, u"QuayTestClass"_qs));
    m_clients.push_back(startClient(u"sentinel"_qs, u"SentinelClass"_qs));
    const QList<xcb_window_t> own{m_clients[0].window, m_clients[1].window};
    const xcb_window_t other = m_clients[2].window;
    QTRY_COMPARE_WITH_TIMEOUT(lookup.runningApplications(), (QList<QUrl>{app, application(u"sentinel.desktop"_qs)}), busyTimeout);
    m_x.activate(other);
    QTRY_COMPARE_WITH_TIMEOUT(m_x.activeWindow(), other, busyTimeout);

    QVERIFY(lookup.bringForward(app, 0));
    QTRY_VERIFY_WITH_TIMEOUT(own.contains(m_x.activeWindow()), busyTimeout);
    const xcb_window_t recent = m_x.activeWindow();
    const xcb_window_t next = own.at(1 - own.indexOf(recent));
    QVERIFY(lookup.bringForward(app, 0));
    QTRY_COMPARE_WITH_TIMEOUT(m_x.activeWindow(), next, busyTimeout);
    QVERIFY(lookup.bringForward(app, 0));
    QTRY_COMPARE_WITH_TIMEOUT(m_x.activeWindow(), recent, busyTimeout);

    // Away and back: the most recent again, restored from minimised.
    m_x.activate(other);
    QTRY_COMPARE_WITH_TIMEOUT(m_x.activeWindow(), other, busyTimeout);
    m_x.askWindowManager(recent, "WM_CHANGE_STATE", {3 /* IconicState */, 0, 0, 0, 0});
    QTRY_VERIFY_WITH_TIMEOUT(!m_x.isViewable(recent), busyTimeout);
    m_x.activate(other);
    QTRY_COMPARE_WITH_TIMEOUT(m_x.activeWindow(), other, busyTimeout);
    QVERIFY(lookup.bringForward(app, 0));
    QTRY_COMPARE_WITH_TIMEOUT(m_x.activeWindow(), recent, busyTimeout);
    QVERIFY(m_x.isViewable(recent));

    // The next window lives on another desktop: that desktop is shown.
    m_x.askWindowManager(m_x.root(), "_NET_NUMBER_OF_DESKTOPS", {2, 0, 0, 0, 0});
    QTRY_COMPARE_WITH_TIMEOUT(m_x.cardinal(m_x.root(), "_NET_NUMBER_OF_DESKTOPS"), 2u, busyTimeout);
    m_x.askWindowManager(next, "_NET_WM_DESKTOP", {1, 2, 0, 0, 0});
    QTRY_COMPARE_WITH_TIMEOUT(m_x.cardinal(next, "_NET_WM_DESKTOP"), 1u, busyTimeout);
    QCOMPARE(m_x.cardinal(m_x.root(), "_NET_CURRENT_DESKTOP"), 0u);
    QTRY_COMPARE_WITH_TIMEOUT(m_x.activeWindow(), recent, busyTimeout);
    QVERIFY(lookup.bringForward(app, 0));
    QTRY_COMPARE_WITH_TIMEOUT(m_x.activeWindow(), next, busyTimeout);
    QCOMPARE(m_x.cardinal(m_x.root(), "_NET_CURRENT_DESKTOP"), 1u);
    QVERIFY(m_x.isViewable(next));
    m_x.askWindowManager(m_x.root(), "_NET_CURRENT_DESKTOP", {0, 0, 0, 0, 0});
    QTRY_COMPARE_WITH_TIMEOUT(m_x.cardinal(m_x.root(), "_NET_CURRENT_DESKTOP"), 0u, busyTimeout);
}

void TestSystemRunningApplicationsLookup::followsRequestsForAttention_data()
{
    QTest::addColumn<bool>("byUrgencyHint");

    QTest::newRow("_NET_WM_STATE_DEMANDS_ATTENTION") << false;
    QTest::newRow("urgency hint of WM_HINTS") << true;
}

// A window that asks for attention marks its application until the application is activated.
void TestSystemRunningApplicationsLookup::followsRequestsForAttention()
{
    QFETCH(bool, byUrgencyHint);
    xcb_connection_t *const c = m_x.connection();
    SystemRunningApplicationsLookup lookup(m_x.display());
    int changes = 0;
    lookup.observeChanges([&changes] { ++changes; });
    const QUrl app = application(u"startup.desktop"_qs);
    m_clients.push_back(startClient(u"quaytest"_qs, u"QuayTestClass"_qs));
    m_clients.push_back(startClient(u"sentinel"_qs, u"SentinelClass"_qs));
    const xcb_window_t window = m_clients[0].window;
    const xcb_window_t other = m_clients[1].window;
    QTRY_COMPARE_WITH_TIMEOUT(lookup.runningApplications().size(), 2, busyTimeout);
    // The lookup saw the application active last (it asks the server when asked to bring forward
    // an application, here one without windows)...
    m_x.activate(window);
    QTRY_COMPARE_WITH_TIMEOUT(m_x.activeWindow(), window, busyTimeout);
    QVERIFY(!lookup.bringForward(application(u"python.desktop"_qs), 0));
    QVERIFY(!lookup.attentionSince(app));
    const int before = changes;

    // ...and learns in one batch that another window became active and then the window asked.
    m_x.activate(other);
    QVERIFY(waitOutsideTheEventLoop([&] { return m_x.activeWindow() == other; }, busyTimeout));
    const auto asked = std::chrono::steady_clock::now();
    if (byUrgencyHint) {
        const std::array<quint32, 9> hints{1u << 8};
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32, 9, hints.data());
        xcb_flush(c);
        QVERIFY(!m_x.property(window, "WM_HINTS").isEmpty());
    } else {
        m_x.askWindowManager(window, "_NET_WM_STATE",
                             {1 /* add */, m_x.atom("_NET_WM_STATE_DEMANDS_ATTENTION"), 0, 2, 0});
        QVERIFY(waitOutsideTheEventLoop([&] { return m_x.hasState(window, "_NET_WM_STATE_DEMANDS_ATTENTION"); },
                                        busyTimeout));
    }
    QTRY_VERIFY_WITH_TIMEOUT(lookup.attentionSince(app).has_value(), busyTimeout);
    QVERIFY(*lookup.attentionSince(app) >= asked);
    QCOMPARE(changes, before + 1);
    QVERIFY(!lookup.attentionSince(application(u"sentinel.desktop"_qs)));

    QVERIFY(lookup.bringForward(app, 0));
    QTRY_COMPARE_WITH_TIMEOUT(m_x.activeWindow(), window, busyTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(!lookup.attentionSince(app), busyTimeout);
    QCOMPARE(changes, before + 2);
    // Answered: another look at the other window does not bring the mark back.
    m_x.activate(other);
    QTRY_COMPARE_WITH_TIMEOUT(m_x.activeWindow(), other, busyTimeout);
    QVERIFY(!lookup.attentionSince(app));
}

// The whole way from a tile: a press brings the running application's window forward, a middle
// click starts another copy of it.
void TestSystemRunningApplicationsLookup::tileBringsForwardOrStartsAnother()
{
    const QString path = m_desktop.writeApplication(
        u"marked.desktop"_qs, u"Exec=%1 another-copy\nStartupWMClass=MarkedClass"_qs.arg(markerHelperPath()));
    const ItemLink link{.location = QUrl::fromLocalFile(path)};
    m_clients.push_back(startClient(u"marked"_qs, u"MarkedClass"_qs));
    m_clients.push_back(startClient(u"sentinel"_qs, u"SentinelClass"_qs));
    const xcb_window_t window = m_clients[0].window;
    const xcb_window_t other = m_clients[1].window;

    InMemoryServices services;
    AppStoreServices taken = services.take();
    taken.launcher = std::make_unique<SystemItemLauncher>();
    taken.runningAppsLookup = std::make_unique<SystemRunningApplicationsLookup>(m_x.display());
    PanelTab tab;
    tab.items = {link};
    AppStore store(std::move(taken), QList<Panel>{Panel(PanelInit{.name = u"P"_qs, .tab = tab})});
    QTRY_VERIFY_WITH_TIMEOUT(store.runningAppsLookup().runningApplications().contains(link.location), busyTimeout);
    m_x.activate(other);
    QTRY_COMPARE_WITH_TIMEOUT(m_x.activeWindow(), other, busyTimeout);
    LinkTile tile(link, store.panels().first(), store);
    tile.resize(tile.sizeHint());

    QTest::mouseClick(&tile, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(m_x.activeWindow(), window, busyTimeout);
    QVERIFY(m_desktop.marker(u"another-copy"_qs).isEmpty());
    QTest::mouseClick(&tile, Qt::MiddleButton);
    QTRY_VERIFY_WITH_TIMEOUT(!m_desktop.marker(u"another-copy"_qs).isEmpty(), busyTimeout);
}

int main(int argc, char *argv[])
{
    if (const int client = X11Client::runClient(argc, argv); client >= 0)
        return client;
    const TestDesktop desktop;
    QApplication app(argc, argv);
    TestSystemRunningApplicationsLookup test(desktop);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_systemrunningapplicationslookup.moc"
