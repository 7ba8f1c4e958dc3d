// The platform the program starts on: XWayland in a Wayland session, the user's explicit choice
// always, and a plain line instead of Qt's abort where no display answers.

#include "programrun.h"

#include "app/displaychoice.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestDisplayChoice : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decide_data();
    void decide();
    void programRefusesPlainly_data();
    void programRefusesPlainly();
};

void TestDisplayChoice::decide_data()
{
    QTest::addColumn<QByteArray>("qpa");
    QTest::addColumn<QByteArray>("wayland");
    QTest::addColumn<QByteArray>("x");
    QTest::addColumn<bool>("xAnswers");
    QTest::addColumn<QByteArray>("platform");
    QTest::addColumn<QString>("refusal"); // a part of the line; empty: none

    QTest::newRow("X session") << ""_ba << ""_ba << ":0"_ba << true << ""_ba << QString();
    QTest::newRow("Wayland session with XWayland") << ""_ba << "wayland-0"_ba << ":0"_ba << true << "xcb"_ba << QString();
    QTest::newRow("Wayland session without XWayland")
        << ""_ba << "wayland-0"_ba << ""_ba << true << ""_ba << u"through XWayland"_s;
    QTest::newRow("XWayland that does not answer")
        << ""_ba << "wayland-0"_ba << ":7"_ba << false << ""_ba << u"cannot reach the X display \":7\" (XWayland"_s;
    QTest::newRow("X display that does not answer") << ""_ba << ""_ba << ":7"_ba << false << ""_ba
                                                    << u"cannot reach the X display \":7\"."_s;
    QTest::newRow("no session") << ""_ba << ""_ba << ""_ba << true << ""_ba << u"neither DISPLAY nor WAYLAND_DISPLAY"_s;
    QTest::newRow("explicit wayland wins") << "wayland"_ba << "wayland-0"_ba << ":0"_ba << true << ""_ba << QString();
    QTest::newRow("explicit offscreen needs no display") << "offscreen"_ba << ""_ba << ""_ba << false << ""_ba << QString();
    QTest::newRow("explicit xcb is kept as given") << "xcb"_ba << "wayland-0"_ba << ":0"_ba << true << ""_ba << QString();
    QTest::newRow("explicit xcb without DISPLAY") << "xcb"_ba << ""_ba << ""_ba << true << ""_ba << u"DISPLAY is not set"_s;
    QTest::newRow("explicit xcb that does not answer") << "xcb"_ba << ""_ba << ":7"_ba << false << ""_ba
                                                       << u"cannot reach"_s;
}

void TestDisplayChoice::decide()
{
    QFETCH(QByteArray, qpa);
    QFETCH(QByteArray, wayland);
    QFETCH(QByteArray, x);
    QFETCH(bool, xAnswers);
    QFETCH(QByteArray, platform);
    QFETCH(QString, refusal);

    QByteArrayList probed;
    const DisplayChoice::Decision decision = DisplayChoice::decide(
        [&](const char *name) {
            const QByteArray variable(name);
            return variable == "QT_QPA_PLATFORM" ? qpa : variable == "WAYLAND_DISPLAY" ? wayland : variable == "DISPLAY" ? x : QByteArray();
        },
        [&](const QByteArray &display) {
            probed.append(display);
            return xAnswers;
        });
    QCOMPARE(decision.platform, platform);
    QCOMPARE(decision.refusal.isEmpty(), refusal.isEmpty());
    QVERIFY2(decision.refusal.contains(refusal), qPrintable(decision.refusal));
    // The X display is probed only where the program would use it, and then exactly once.
    const bool usesX = !x.isEmpty() && (qpa.isEmpty() || qpa == "xcb");
    QCOMPARE(probed, usesX ? QByteArrayList{x} : QByteArrayList{});
}

void TestDisplayChoice::programRefusesPlainly_data()
{
    QTest::addColumn<QString>("wayland");
    QTest::addColumn<QString>("x");
    QTest::addColumn<QByteArray>("line");

    QTest::newRow("Wayland without XWayland") << u"wayland-quayrow-test"_s << QString() << "through XWayland"_ba;
    // A display number no server listens on.
    QTest::newRow("X display gone") << QString() << u":1987"_s << "cannot reach the X display \":1987\""_ba;
}

void TestDisplayChoice::programRefusesPlainly()
{
    QFETCH(QString, wayland);
    QFETCH(QString, x);
    QFETCH(QByteArray, line);
    QTemporaryDir home;
    QProcessEnvironment environment = ProgramRun::environment(home.path(), ProgramRun::Platform::NoDisplay);
    if (!wayland.isEmpty())
        environment.insert(u"WAYLAND_DISPLAY"_s, wayland);
    if (!x.isEmpty())
        environment.insert(u"DISPLAY"_s, x);

    const auto program = ProgramRun::start({}, environment);
    const ProgramRun::Outcome outcome = ProgramRun::finish(*program);
    QCOMPARE(outcome.status, 1);
    QVERIFY2(outcome.err.contains(line) && outcome.err.count('\n') == 1, outcome.err.constData());
    // Nothing was written: the configuration is read only after the display answered.
    QVERIFY(!QFile::exists(home.filePath(u"Quayrow 2/configuration.json"_s)));
}

QTEST_GUILESS_MAIN(TestDisplayChoice)
#include "tst_displaychoice.moc"
