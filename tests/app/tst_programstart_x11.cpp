// The built program started as a user starts it, on Xvfb with openbox, in a fresh home with
// fresh XDG folders and a session bus of its own: the first-launch panel holds the user's default
// applications and is on the screen, its configuration is on disk, and SIGTERM ends it cleanly.

#include "privatebus.h"
#include "programrun.h"
#include "testdesktop.h"
#include "x11session.h"

#include "persistence/configurationdocument.h"
#include "persistence/systemconfigurationstorage.h"

#include <QApplication>
#include <QDir>
#include <QTest>

#include <csignal>

using namespace Qt::StringLiterals;

namespace {

X11Session &session()
{
    return X11Session::current();
}

// The program's windows that the window manager manages.
QList<xcb_window_t> programWindows()
{
    QList<xcb_window_t> found;
    for (xcb_window_t window : session().clientList()) {
        if (session().property(window, "WM_CLASS") == QByteArray("quayrow2\0Quayrow2\0", 18))
            found.append(window);
    }
    return found;
}

} // namespace

class TestProgramStartX11 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstLaunchShowsItsPanel();

private:
    // Before the bus: the desktop sets HOME and the XDG folders for the program to inherit.
    TestDesktop m_desktop;
    PrivateSessionBus m_bus;
};

void TestProgramStartX11::firstLaunchShowsItsPanel()
{
    // The user's mail and photo applications; no other role has one here.
    const QString mail = m_desktop.writeApplication(u"org.example.Mail.desktop"_s,
                                                    u"Name=Mail\nExec=true\nMimeType=x-scheme-handler/mailto;"_s);
    const QString photos = m_desktop.writeApplication(u"org.example.Photos.desktop"_s,
                                                      u"Name=Photos\nExec=true\nMimeType=image/jpeg;"_s);
    m_desktop.writeDefaultApplications(u"x-scheme-handler/mailto=org.example.Mail.desktop\n"
                                       "image/jpeg=org.example.Photos.desktop"_s);

    const QProcessEnvironment environment = ProgramRun::x11Environment(session().display(), m_desktop.root());
    const std::unique_ptr<QProcess> program = ProgramRun::start({}, environment);
    QVERIFY(program->waitForStarted());

    QTRY_COMPARE_WITH_TIMEOUT(programWindows().size(), 1, 15000);
    const xcb_window_t window = programWindows().constFirst();
    QTRY_VERIFY(session().isViewable(window));
    QCOMPARE(session().property(window, "_NET_WM_NAME"), QByteArray("Panel 1"));
    // A free panel with no position yet: centred on the screen.
    const QRect frame = session().frame(window);
    const QRect screen(QPoint(0, 0), QSize(1600, 900));
    QVERIFY2(screen.contains(frame) && !frame.isEmpty(), qPrintable(u"%1 %2 %3 x %4"_s.arg(frame.x()).arg(frame.y())
                                                                      .arg(frame.width()).arg(frame.height())));
    QVERIFY(std::abs(frame.center().x() - screen.center().x()) <= 1);
    QVERIFY(std::abs(frame.center().y() - screen.center().y()) <= 1);

    const QString file = QDir(m_desktop.root()).filePath(u"config/Quayrow 2/configuration.json"_s);
    const std::optional<ConfigurationDocument> document = SystemConfigurationStorage::readDocument(file);
    QVERIFY(document);
    const QList<Panel> stored = document->makePanels();
    QCOMPARE(stored.size(), 1);
    QList<QUrl> locations;
    for (const Item &item : stored.constFirst().activeTab().items)
        locations.append(item.link() ? item.link()->location : QUrl());
    QCOMPARE(locations, (QList<QUrl>{QUrl::fromLocalFile(mail), QUrl::fromLocalFile(photos)}));

    ::kill(pid_t(program->processId()), SIGTERM);
    const ProgramRun::Outcome outcome = ProgramRun::finish(*program);
    QCOMPARE(outcome.status, 0);
    QTRY_VERIFY(programWindows().isEmpty());
}

QUAYROW_X11_TEST_MAIN(TestProgramStartX11)
#include "tst_programstart_x11.moc"
