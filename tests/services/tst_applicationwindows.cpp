#include "services/applicationwindows.h"

#include <QTest>

using namespace Qt::StringLiterals;

// Which window a press on an application brings forward, after a script of what the window
// manager reported and what the user asked for. Windows 1 and 2 belong to the application under
// test, window 3 to another one; window 0 is "none active".
class TestApplicationWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void choosesTheWindowToActivate_data();
    void choosesTheWindowToActivate();
};

void TestApplicationWindows::choosesTheWindowToActivate_data()
{
    // Steps: "aN" the window manager reports N active, "rN" the user asked for N, "-N" window N
    // closed.
    QTest::addColumn<QString>("script");
    QTest::addColumn<quint32>("expected");

    QTest::newRow("none of its windows seen active: the newest") << u"a3"_s << 2u;
    QTest::newRow("the one active last") << u"a2 a1 a3"_s << 1u;
    QTest::newRow("requested, then reported") << u"a1 r2 a2 a3"_s << 2u;
    QTest::newRow("requested, reported only once the user was elsewhere") << u"a1 r2 a3"_s << 2u;
    QTest::newRow("a report read before the window manager handled the request") << u"a1 r2 a1 a3"_s << 2u;
    QTest::newRow("back to it through none active") << u"a1 a2 a0 a1 a3"_s << 1u;
    QTest::newRow("the most recent closed") << u"a2 a1 a3 -1"_s << 2u;
    QTest::newRow("while one is active: the next one") << u"a3 a1"_s << 2u;
    QTest::newRow("while the last is active: the first again") << u"a3 a2"_s << 1u;
    QTest::newRow("no window left") << u"a1 a3 -1 -2"_s << 0u;
}

void TestApplicationWindows::choosesTheWindowToActivate()
{
    QFETCH(QString, script);
    QFETCH(quint32, expected);

    const QString application = u"/apps/editor.desktop"_s;
    QList<ApplicationWindows::Window> windows{{1, application}, {2, application}, {3, u"/apps/other.desktop"_s}};
    ApplicationWindows bookkeeping;
    bookkeeping.setWindows(windows, ApplicationWindows::Clock::now());
    for (const QString &step : script.split(u' ')) {
        const quint32 window = step.mid(1).toUInt();
        if (step.startsWith(u'a'))
            bookkeeping.setActiveWindow(window);
        else if (step.startsWith(u'r'))
            bookkeeping.noteActivationRequest(window);
        else {
            windows.removeIf([window](const ApplicationWindows::Window &listed) { return listed.id == window; });
            bookkeeping.setWindows(windows, ApplicationWindows::Clock::now());
        }
    }
    QCOMPARE(bookkeeping.windowToActivate(application), expected);
}

QTEST_APPLESS_MAIN(TestApplicationWindows)
#include "tst_applicationwindows.moc"
