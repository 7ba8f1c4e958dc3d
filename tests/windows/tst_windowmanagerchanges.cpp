// Panel windows while the window manager is replaced under them: each keeps its level, its
// workspaces, its absence from the taskbar and its frame, as the store has them, whichever window
// manager adopts it.

#include "windowfixture.h"

#include "windows/x11desktop.h"

#include <QApplication>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStandardPaths>

namespace {

X11Session &session()
{
    return X11Session::current();
}

constexpr quint32 allDesktops = 0xFFFFFFFF;

// Where the store puts panel `index` on the screen now, in root pixels.
QRect storedFrame(const WindowFixture &fixture, qsizetype index)
{
    const Panel &panel = fixture.panel(index);
    const PanelScreens::AttachedScreens screens = PanelScreens::attachedScreens();
    const qsizetype screen = screens.resolve(panel.placement().screenID);
    if (screen < 0)
        return {};
    const QSize size = fixture.window(index)->size();
    const QRectF frame = PanelScreens::toQt(AppStore::frame(panel.placement(), Size{double(size.width()), double(size.height())},
                                                            screens.snapshots.at(screen).visibleFrame));
    return QRect(qRound(frame.x()), qRound(frame.y()), size.width(), size.height());
}

// What the window manager shows of a panel's states, in words, so that a failure says which.
QString shownStates(xcb_window_t window)
{
    QStringList shown;
    for (const char *state : {"_NET_WM_STATE_ABOVE", "_NET_WM_STATE_BELOW", "_NET_WM_STATE_SKIP_TASKBAR"}) {
        if (session().hasState(window, state))
            shown.append(QString::fromLatin1(state + 14));
    }
    const std::optional<quint32> desktop = session().cardinal(window, "_NET_WM_DESKTOP");
    shown.append(!desktop ? u"no desktop"_qs : *desktop == allDesktops ? u"all desktops"_qs : u"desktop %1"_qs.arg(*desktop));
    return shown.join(u' ');
}

QString storedStates(const Panel &panel)
{
    QStringList stored;
    if (panel.windowLevel() == PanelWindowLevel::AboveAll)
        stored.append(u"ABOVE"_qs);
    else if (panel.windowLevel() == PanelWindowLevel::BelowWindows)
        stored.append(u"BELOW"_qs);
    stored.append(u"SKIP_TASKBAR"_qs);
    stored.append(panel.showsOnAllSpaces ? u"all desktops"_qs : u"desktop 0"_qs);
    return stored.join(u' ');
}

// For a look at the desktop: with QUAYROW_SCREENSHOT_DIR set, the whole screen is saved there.
void photograph(const char *moment)
{
    const QString folder = qEnvironmentVariable("QUAYROW_SCREENSHOT_DIR");
    if (folder.isEmpty())
        return;
    QString name = QString::fromLatin1(QTest::currentDataTag());
    name.remove(u'>').remove(u'-').replace(u' ', u'-');
    session().grab(QRect(QPoint(0, 0), QGuiApplication::primaryScreen()->size()))
        .save(u"%1/windowmanager-%2-%3.png"_qs.arg(folder, name, QLatin1String(moment)));
}

// Replaces the window manager and waits until the program has seen the new one.
bool replaceWindowManager(const QString &windowManager, const std::function<void()> &meanwhile = {})
{
    QSignalSpy changed(&X11Desktop::instance(), &X11Desktop::windowManagerChanged);
    if (!session().replaceWindowManager(windowManager, meanwhile)) {
        qWarning("%s", qPrintable(session().errorString()));
        return false;
    }
    return changed.count() > 0 || changed.wait();
}

bool isInstalled(const QString &windowManager)
{
    return !QStandardPaths::findExecutable(windowManager).isEmpty();
}

} // namespace

class TestWindowManagerChanges : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void panelsKeepTheirStatesAndFrames_data();
    void panelsKeepTheirStatesAndFrames();
};

void TestWindowManagerChanges::initTestCase()
{
    QVERIFY(X11Desktop::instance().isX11());
}

void TestWindowManagerChanges::panelsKeepTheirStatesAndFrames_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    // fluxbox takes no manager selection, so it neither replaces nor is replaced: the old one is
    // ended and the new one adopts windows nobody manages.
    QTest::newRow("openbox -> fluxbox") << u"openbox"_qs << u"fluxbox"_qs;
    QTest::newRow("fluxbox -> openbox") << u"fluxbox"_qs << u"openbox"_qs;
    QTest::newRow("openbox -> openbox --replace") << u"openbox"_qs << u"openbox"_qs;
    QTest::newRow("openbox -> xfwm4") << u"openbox"_qs << u"xfwm4"_qs;
}

void TestWindowManagerChanges::panelsKeepTheirStatesAndFrames()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    if (!isInstalled(before) || !isInstalled(after))
        QSKIP("the window managers of this row are not both installed");
    if (session().windowManager() != before)
        QVERIFY(replaceWindowManager(before));

    Panel floating = panelNamed(u"Above"_qs, 3, snappedTo(PanelEdge::Right, PanelAlignment::End, 12),
                                PanelWindowLevel::AboveAll);
    floating.showsOnAllSpaces = true;
    Panel below = panelNamed(u"Below"_qs, 2, snappedTo(PanelEdge::Left), PanelWindowLevel::BelowWindows);
    below.showsOnAllSpaces = false;
    Panel normal = panelNamed(u"Free"_qs, 4, freeAt(PanelFreePosition(0.6, 0.35)), PanelWindowLevel::Normal);
    normal.showsOnAllSpaces = true;
    WindowFixture fixture({floating, below, normal});
    QVERIFY(fixture.allManaged());
    // An ordinary window of another program between the levels.
    const xcb_window_t other = session().createWindow(QRect(200, 150, 900, 500), u"Other"_qs);
    const auto destroyOther = qScopeGuard([other] { session().destroyWindow(other); });
    QVERIFY(session().waitUntilManaged(other));
    session().activate(other);

    const auto checkAll = [&] {
        for (qsizetype i = 0; i < fixture.store->panels().size(); ++i) {
            QTRY_COMPARE(shownStates(fixture.xid(i)), storedStates(fixture.panel(i)));
            QTRY_COMPARE(session().frame(fixture.xid(i)), storedFrame(fixture, i));
            QTRY_VERIFY(session().isViewable(fixture.xid(i)));
        }
        for (qsizetype i = 0; i < fixture.store->panels().size(); ++i) {
            if (fixture.panel(i).windowLevel() == PanelWindowLevel::AboveAll)
                QTRY_VERIFY(session().isStackedAbove(fixture.xid(i), other));
            else if (fixture.panel(i).windowLevel() == PanelWindowLevel::BelowWindows)
                QTRY_VERIFY(session().isStackedAbove(other, fixture.xid(i)));
        }
    };
    checkAll();
    if (QTest::currentTestFailed())
        return;
    photograph("before");

    // Changes while the old window manager leaves: with none running, nobody hears the requests.
    AppStore &store = *fixture.store;
    QVERIFY(replaceWindowManager(after, [&] {
        store.setWindowLevel(PanelWindowLevel::BelowWindows, fixture.id(0));
        store.setPlacementEdgeInset(30, fixture.id(0));
        store.setWindowLevel(PanelWindowLevel::AboveAll, fixture.id(1));
        store.setShowsOnAllSpaces(false, fixture.id(2));
    }));
    QVERIFY(fixture.allManaged());
    QVERIFY(session().waitUntilManaged(other));
    session().activate(other);
    checkAll();
    photograph("after");
}

QUAYROW_X11_TEST_MAIN(TestWindowManagerChanges)
#include "tst_windowmanagerchanges.moc"
