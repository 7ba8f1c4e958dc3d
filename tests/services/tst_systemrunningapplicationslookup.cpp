#include "testdesktop.h"
#include "x11client.h"
#include "x11session.h"

#include "services/systemrunningapplicationslookup.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <memory>
#include <vector>
#include <unistd.h>


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
    void seesApplicationsInstalledLater();
    void isEmptyWithoutX11_data();
    void isEmptyWithoutX11();
    void survivesTheServerGoing();

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

int main(int argc, char *argv[])
{
    if (const int client = X11Client::runClient(argc, argv); client >= 0)
        return client;
    const TestDesktop desktop;
    QGuiApplication app(argc, argv);
    TestSystemRunningApplicationsLookup test(desktop);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_systemrunningapplicationslookup.moc"
