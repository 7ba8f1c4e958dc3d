// The built program losing its X server: Qt ends the process on its own then, and the last change
// must already be on disk, in the configuration file and its backup, both whole.

#include "privatebus.h"
#include "programrun.h"
#include "testdesktop.h"
#include "x11session.h"

#include "persistence/configurationdocument.h"
#include "persistence/systemconfigurationstorage.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The program's windows that the window manager manages.
qsizetype programWindowCount(const X11Session &server)
{
    const QList<xcb_window_t> windows = server.clientList();
    return std::count_if(windows.cbegin(), windows.cend(), [&server](xcb_window_t window) {
        return server.property(window, "WM_CLASS") == QByteArray("quayrow2\0Quayrow2\0", 18);
    });
}

// The panels stored in `file`; none when it is missing or unreadable.
std::optional<QList<Panel>> storedPanels(const QString &file)
{
    const std::optional<ConfigurationDocument> document = SystemConfigurationStorage::readDocument(file);
    if (!document)
        return std::nullopt;
    return document->makePanels();
}

} // namespace

class TestXServerLoss : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lastChangeIsOnDiskWhenTheServerGoes();

private:
    // Before the bus: the desktop sets HOME and the XDG folders for the program to inherit.
    TestDesktop m_desktop;
    PrivateSessionBus m_bus;
};

void TestXServerLoss::lastChangeIsOnDiskWhenTheServerGoes()
{
    if (QStandardPaths::findExecutable(u"Xvfb"_s).isEmpty())
        QSKIP("Xvfb is not installed");
    QVERIFY(m_bus.isRunning());
    X11Session server;
    QVERIFY2(server.start(), qPrintable(server.errorString()));

    const QProcessEnvironment environment = ProgramRun::x11Environment(server.display(), m_desktop.root());
    const std::unique_ptr<QProcess> program = ProgramRun::start({}, environment);
    QVERIFY(program->waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(programWindowCount(server), 1, 15000);

    // The change: a second panel, asked for as a user does from a terminal.
    const std::unique_ptr<QProcess> command = ProgramRun::start({u"--new-panel"_s}, environment);
    QCOMPARE(ProgramRun::finish(*command).status, 0);
    QTRY_COMPARE_WITH_TIMEOUT(programWindowCount(server), 2, 10000);

    server.stopServer();
    const ProgramRun::Outcome outcome = ProgramRun::finish(*program);
    // Ended by Qt, not by a crash on the way out.
    QVERIFY2(outcome.status > 0, outcome.err.constData());

    const QString file = QDir(m_desktop.root()).filePath(u"config/Quayrow 2/configuration.json"_s);
    const std::optional<QList<Panel>> stored = storedPanels(file);
    QVERIFY(stored);
    QCOMPARE(stored->size(), 2);
    const std::optional<QList<Panel>> backup = storedPanels(file + u".bak"_s);
    QVERIFY(backup);
    QCOMPARE(*backup, *stored);
}

QTEST_GUILESS_MAIN(TestXServerLoss)
#include "tst_xserverloss.moc"
