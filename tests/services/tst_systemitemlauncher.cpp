#include "privatebus.h"
#include "testdesktop.h"
#include "x11client.h"
#include "x11session.h"

#include "services/systemitemlauncher.h"

#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include <algorithm>

// Stands in for the session's file manager and records what it was asked to show.
class FileManagerStandIn : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    QList<QStringList> shownItems;

public Q_SLOTS:
    void ShowItems(const QStringList &uris, const QString &startupId)
    {
        Q_UNUSED(startupId);
        shownItems.append(uris);
    }
};

class TestSystemItemLauncher : public QObject
{
    Q_OBJECT

public:
    TestSystemItemLauncher(const TestDesktop &desktop, const PrivateSessionBus &bus) : m_desktop(desktop), m_bus(bus) {}

private Q_SLOTS:
    void initTestCase();
    void init();
    void launchesDesktopEntriesWithoutShell_data();
    void launchesDesktopEntriesWithoutShell();
    void startsExecutablesInHome();
    void opensFilesWithDefaultApplication_data();
    void opensFilesWithDefaultApplication();
    void showsFoldersSelectedInFileManager();
    void opensParentWhenNoFileManagerAnswers();
    void announcesNothingWithoutAnXConnection();
    void logsFailures_data();
    void logsFailures();
    void opensNewWindows_data();
    void opensNewWindows();
    void listsAndRunsDesktopActions();

private:
    QString expand(QString text, const QString &path = {}) const;
    QStringList pwnedFiles() const;

    const TestDesktop &m_desktop;
    const PrivateSessionBus &m_bus;
    SystemItemLauncher m_launcher;
};

QString TestSystemItemLauncher::expand(QString text, const QString &path) const
{
    return text.replace(QLatin1String("{helper}"), markerHelperPath())
        .replace(QLatin1String("{root}"), m_desktop.root())
        .replace(QLatin1String("{path}"), path);
}

QStringList TestSystemItemLauncher::pwnedFiles() const
{
    return QDir(m_desktop.root()).entryList({QStringLiteral("pwned*")}, QDir::Files);
}

void TestSystemItemLauncher::initTestCase()
{
    m_desktop.writeDesktopEntry(QStringLiteral("opener.desktop"),
                                expand(QStringLiteral("Type=Application\nName=Opener\nExec={helper} opener %f\n"
                                                      "MimeType=text/plain;application/x-shellscript;")));
    m_desktop.writeDesktopEntry(QStringLiteral("folders.desktop"),
                                expand(QStringLiteral("Type=Application\nName=Folders\nExec={helper} folder %u\n"
                                                      "MimeType=inode/directory;")));
    m_desktop.writeDefaultApplications(QStringLiteral("text/plain=opener.desktop\n"
                                                      "application/x-shellscript=opener.desktop\n"
                                                      "inode/directory=folders.desktop"));
}

void TestSystemItemLauncher::init()
{
    QDir markers(m_desktop.markerDirectory());
    for (const QString &name : markers.entryList(QDir::Files))
        markers.remove(name);
}

void TestSystemItemLauncher::launchesDesktopEntriesWithoutShell_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("exec");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QStringList>("expectedArguments");

    QTest::newRow("plain Exec") << u"plain.desktop"_qs << u"{helper} plain"_qs << u"plain"_qs << QStringList{u"plain"_qs};
    QTest::newRow("separators and pipes are arguments")
        << u"separators.desktop"_qs << u"{helper} separators ; touch {root}/pwned1 && touch {root}/pwned2 | tee {root}/pwned3"_qs
        << u"separators"_qs
        << QStringList{u"separators"_qs, u";"_qs, u"touch"_qs, u"{root}/pwned1"_qs, u"&&"_qs, u"touch"_qs,
                       u"{root}/pwned2"_qs, u"|"_qs, u"tee"_qs, u"{root}/pwned3"_qs};
    QTest::newRow("quoted command substitution and backticks")
        << u"substitution.desktop"_qs << u"{helper} substitution \"\\\\$(touch {root}/pwned4)\" \"\\\\`touch {root}/pwned5\\\\`\""_qs
        << u"substitution"_qs
        << QStringList{u"substitution"_qs, u"$(touch {root}/pwned4)"_qs, u"`touch {root}/pwned5`"_qs};
    QTest::newRow("%k of a file name with spaces, quotes and $()")
        << u"it's \"my\" app; $(touch pwned6).desktop"_qs << u"{helper} keyfile %k"_qs << u"keyfile"_qs
        << QStringList{u"keyfile"_qs, u"{path}"_qs};
}

void TestSystemItemLauncher::launchesDesktopEntriesWithoutShell()
{
    QFETCH(QString, fileName);
    QFETCH(QString, exec);
    QFETCH(QString, tag);
    QFETCH(QStringList, expectedArguments);
    const QString path = m_desktop.writeDesktopEntry(fileName, u"Type=Application\nName=Test\nExec="_qs + expand(exec));
    for (QString &argument : expectedArguments)
        argument = expand(argument, path);

    m_launcher.launch(QUrl::fromLocalFile(path));

    QTRY_VERIFY(!m_desktop.marker(tag).isEmpty());
    QCOMPARE(m_desktop.marker(tag).mid(1), expectedArguments);
    QCOMPARE(pwnedFiles(), QStringList());
}

void TestSystemItemLauncher::startsExecutablesInHome()
{
    const QString tool = QDir(m_desktop.root()).filePath(u"bin/tool"_qs);
    QDir().mkpath(QFileInfo(tool).path());
    QVERIFY(QFile::copy(markerHelperPath(), tool));

    m_launcher.launch(QUrl::fromLocalFile(tool));

    QTRY_VERIFY(!m_desktop.marker(u"noargs"_qs).isEmpty());
    QCOMPARE(m_desktop.marker(u"noargs"_qs), QStringList{QDir(m_desktop.home()).canonicalPath()});
}

void TestSystemItemLauncher::opensFilesWithDefaultApplication_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("executable");

    QTest::newRow("text file with spaces, quotes and $() in its name")
        << u"it's \"a\" note; $(touch pwned7).txt"_qs << QByteArray("hello\n") << false;
    QTest::newRow("executable script is opened, never run")
        << u"run me.sh"_qs << QByteArray("#!/bin/sh\ntouch \"$(dirname \"$0\")/pwned8\"\n") << true;
}

void TestSystemItemLauncher::opensFilesWithDefaultApplication()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, content);
    QFETCH(bool, executable);
    const QString path = m_desktop.writeFile(fileName, content);
    if (executable)
        QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);

    m_launcher.launch(QUrl::fromLocalFile(path));

    QTRY_VERIFY(!m_desktop.marker(u"opener"_qs).isEmpty());
    QCOMPARE(m_desktop.marker(u"opener"_qs).mid(1), (QStringList{u"opener"_qs, path}));
    QCOMPARE(pwnedFiles(), QStringList());
}

void TestSystemItemLauncher::showsFoldersSelectedInFileManager()
{
    if (!m_bus.isRunning())
        QSKIP("dbus-daemon is not installed: no private session bus for a stand-in file manager");
    QDBusConnection connection = QDBusConnection::connectToBus(m_bus.address(), u"file-manager-stand-in"_qs);
    FileManagerStandIn standIn;
    QVERIFY(connection.registerObject(u"/org/freedesktop/FileManager1"_qs, &standIn, QDBusConnection::ExportAllSlots));
    QVERIFY(connection.registerService(u"org.freedesktop.FileManager1"_qs));
    const QString folder = QDir(m_desktop.root()).filePath(u"shown folder"_qs);
    QVERIFY(QDir().mkpath(folder));

    m_launcher.launch(QUrl::fromLocalFile(folder + u"/"_qs));

    QTRY_COMPARE(standIn.shownItems.size(), 1);
    QCOMPARE(standIn.shownItems.constFirst(), QStringList{QUrl::fromLocalFile(folder).toString(QUrl::FullyEncoded)});
    QCOMPARE(m_desktop.marker(u"folder"_qs), QStringList());
    connection.unregisterService(u"org.freedesktop.FileManager1"_qs);
    connection.unregisterObject(u"/org/freedesktop/FileManager1"_qs);
    QDBusConnection::disconnectFromBus(u"file-manager-stand-in"_qs);
}

void TestSystemItemLauncher::opensParentWhenNoFileManagerAnswers()
{
    const QString parent = QDir(m_desktop.root()).filePath(u"parent dir"_qs);
    QVERIFY(QDir().mkpath(parent + u"/child"_qs));

    m_launcher.launch(QUrl::fromLocalFile(parent + u"/child"_qs));

    QTRY_VERIFY(!m_desktop.marker(u"folder"_qs).isEmpty());
    // GIO hands a local folder over as a path or a URI, as the handler accepts.
    QCOMPARE(QUrl::fromUserInput(m_desktop.marker(u"folder"_qs).value(2)), QUrl::fromLocalFile(parent));
}

// Under a platform without X11 (here offscreen) nothing is announced, even with an X server in
// DISPLAY: the announcement goes over the connection the program draws on, and it has none.
void TestSystemItemLauncher::announcesNothingWithoutAnXConnection()
{
    if (QStandardPaths::findExecutable(u"Xvfb"_qs).isEmpty())
        QSKIP("Xvfb is not installed: no private X server that could receive an announcement");
    X11Session x(QSize(640, 480), u"none"_qs);
    QVERIFY2(x.start(), qPrintable(x.errorString()));
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(x.connection(), x.root(), XCB_CW_EVENT_MASK, &mask);
    std::free(xcb_get_input_focus_reply(x.connection(), xcb_get_input_focus(x.connection()), nullptr)); // in effect
    const QString path = m_desktop.writeDesktopEntry(
        u"unannounced.desktop"_qs, expand(u"Type=Application\nName=Quiet\nStartupNotify=true\nExec={helper} unannounced"_qs));

    qputenv("DISPLAY", x.display().toLatin1());
    m_launcher.launch(QUrl::fromLocalFile(path), 1234);
    qunsetenv("DISPLAY");

    QTRY_VERIFY(!m_desktop.marker(u"unannounced"_qs).isEmpty());
    QVERIFY(!QFile::exists(QDir(m_desktop.markerDirectory()).filePath(u"unannounced.startup-id"_qs)));
    std::free(xcb_get_input_focus_reply(x.connection(), xcb_get_input_focus(x.connection()), nullptr));
    QByteArray pending;
    QCOMPARE(X11Client::takeStartupMessages(x.connection(), pending).size(), 0);
}

void TestSystemItemLauncher::logsFailures_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("content");

    QTest::newRow("Exec program missing")
        << u"missing.desktop"_qs << QByteArray("[Desktop Entry]\nType=Application\nName=M\nExec=/nonexistent/program\n");
    QTest::newRow("TryExec not installed")
        << u"tryexec.desktop"_qs << QByteArray("[Desktop Entry]\nType=Application\nName=T\nTryExec=/nonexistent/t\nExec=true\n");
    QTest::newRow("file without a default application") << u"data.bin-unknown"_qs << QByteArray("\x00\x01\x02", 3);
}

void TestSystemItemLauncher::logsFailures()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, content);
    const QString path = m_desktop.writeFile(fileName, content);

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^Cannot (launch|open) .*"_qs));
    m_launcher.launch(QUrl::fromLocalFile(path));
}

// A new window on purpose: a new process, or the application's own "new-window" action; none for
// applications that show one window only, or that D-Bus activation would merely show.
void TestSystemItemLauncher::opensNewWindows_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("tag"); // the marker the new window leaves; empty: none is run here

    const QString action = u"\nActions=new-window;\n[Desktop Action new-window]\nName=New Window\nExec={helper} nwaction"_qs;
    QTest::newRow("plain application: a new process") << u"Exec={helper} nwplain"_qs << true << u"nwplain"_qs;
    QTest::newRow("its own new-window action") << u"Exec={helper} nwmain"_qs + action << true << u"nwaction"_qs;
    QTest::newRow("SingleMainWindow") << u"Exec={helper} nwsingle\nSingleMainWindow=true"_qs + action << false << QString();
    QTest::newRow("DBusActivatable without a new-window action")
        << u"Exec={helper} nwdbus\nDBusActivatable=true"_qs << false << QString();
    QTest::newRow("DBusActivatable with a new-window action")
        << u"Exec={helper} nwdbus\nDBusActivatable=true"_qs + action << true << QString();
}

void TestSystemItemLauncher::opensNewWindows()
{
    QFETCH(QString, keys);
    QFETCH(bool, opens);
    QFETCH(QString, tag);
    const QString path = m_desktop.writeDesktopEntry(u"org.example.NewWindow.desktop"_qs,
                                                     u"Type=Application\nName=Test\n"_qs + expand(keys));
    const QUrl location = QUrl::fromLocalFile(path);

    QCOMPARE(m_launcher.opensNewWindow(location), opens);
    // "New Window" is offered once: an action that provides it is not listed again beside it.
    const QList<ApplicationAction> actions = m_launcher.actions(location);
    const bool listsAction = std::any_of(actions.cbegin(), actions.cend(),
                                         [](const ApplicationAction &a) { return a.id == u"new-window"; });
    QCOMPARE(listsAction, keys.contains(u"Actions=new-window") && !opens);
    if (tag.isEmpty())
        return;
    m_launcher.openNewWindow(location, 0);
    QTRY_VERIFY(!m_desktop.marker(tag).isEmpty());
}

void TestSystemItemLauncher::listsAndRunsDesktopActions()
{
    const QString path = m_desktop.writeDesktopEntry(
        u"mailer.desktop"_qs,
        expand(u"Type=Application\nName=Mailer\nExec={helper} mailer\n"
               "Actions=compose;unlisted-group;nameless;contacts;compose;\n"
               "[Desktop Action contacts]\nName=Contacts\nName[de]=Kontakte\nExec={helper} contacts\n"
               "[Desktop Action compose]\nName=Compose & Send\nName[de]=Verfassen\nIcon=mail-message-new\n"
               "Exec={helper} compose --new\n"
               "[Desktop Action nameless]\nExec={helper} nameless\n"
               "[Desktop Action hidden]\nName=Not listed in Actions\nExec={helper} hidden\n"_qs));
    const QUrl location = QUrl::fromLocalFile(path);
    const QByteArray language = qgetenv("LANGUAGE");
    qputenv("LANGUAGE", "de");
    const QList<ApplicationAction> german = m_launcher.actions(location);
    qputenv("LANGUAGE", language);
    QCOMPARE(german, (QList<ApplicationAction>{{u"compose"_qs, u"Verfassen"_qs, u"mail-message-new"_qs},
                                               {u"contacts"_qs, u"Kontakte"_qs, {}}}));
    qputenv("LANGUAGE", "C");
    QCOMPARE(m_launcher.actions(location).constFirst().name, u"Compose & Send"_qs);
    qputenv("LANGUAGE", language);

    // Only listed actions run; a folder has none.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^Cannot run the action hidden .*"_qs));
    m_launcher.launchAction(location, u"hidden"_qs);
    QCOMPARE(m_launcher.actions(QUrl::fromLocalFile(m_desktop.root())), QList<ApplicationAction>());
    m_launcher.launchAction(location, u"compose"_qs);
    QTRY_COMPARE(m_desktop.marker(u"compose"_qs).mid(1), (QStringList{u"compose"_qs, u"--new"_qs}));
    QVERIFY(m_desktop.marker(u"hidden"_qs).isEmpty());
}

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const TestDesktop desktop;
    const PrivateSessionBus bus;
    TestSystemItemLauncher test(desktop, bus);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_systemitemlauncher.moc"
