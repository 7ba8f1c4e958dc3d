// What a user of a Wayland session meets: the panel windows through XWayland on a headless
// compositor (QUAYROW_TEST_COMPOSITOR names it; `make test-wayland` runs each). Every row is
// observed and printed, the table of what works there; the rows a panel cannot do without are
// also checked.

#include "programrun.h"
#include "windowfixture.h"

#include <QTemporaryDir>

namespace {

X11Session &session()
{
    return X11Session::current();
}

bool supports(const char *hint)
{
    return session().atoms(session().root(), "_NET_SUPPORTED").contains(session().atom(hint));
}

void observe(const char *row, bool works, const QString &detail = {})
{
    qInfo("%-40s %-4s %s", row, works ? "yes" : "no", qPrintable(detail));
}

// The program's windows on the display: every child of the root, with WM_CLASS `quayrow2`, in the
// frames some window managers add around them.
bool hasWindowOfClass(xcb_window_t parent, const QByteArray &instance, int depth = 0)
{
    xcb_connection_t *c = session().connection();
    std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> tree(
        xcb_query_tree_reply(c, xcb_query_tree(c, parent), nullptr), &std::free);
    if (!tree)
        return false;
    const xcb_window_t *children = xcb_query_tree_children(tree.get());
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
        if (session().property(children[i], "WM_CLASS").startsWith(instance + '\0') && session().isViewable(children[i]))
            return true;
        if (depth < 2 && hasWindowOfClass(children[i], instance, depth + 1))
            return true;
    }
    return false;
}

} // namespace

class TestXWayland : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void panelWindows();
    void windowManagerHints();
    void programChoosesXWaylandItself();
};

void TestXWayland::panelWindows()
{
    const PanelPlacement placement = freeAt(PanelFreePosition(0.25, 0.25));
    WindowFixture fixture({panelNamed(u"Free"_qs, 3, placement)});
    PanelWindow *window = fixture.window(0);
    QVERIFY(window);
    const xcb_window_t id = fixture.xid(0);
    // Compositors drawing in software on a busy machine take their time.
    QVERIFY2(QTest::qWaitFor([&] { return session().waitUntilManaged(id); }, 20000), "the panel window was not managed");
    QTRY_VERIFY(session().isViewable(id));
    observe("panel windows appear", true);

    // Panels size themselves; a tiling compositor would otherwise fill a tile with them.
    const QRect wanted = window->geometry();
    QTRY_COMPARE_WITH_TIMEOUT(session().frame(id).size(), wanted.size(), 10000);
    observe("panel keeps its own size", true);

    const bool placed = QTest::qWaitFor([&] { return session().frame(id).topLeft() == wanted.topLeft(); }, 2000);
    observe("frame where the geometry says", placed,
            u"asked %1,%2, shown %3,%4"_qs.arg(wanted.x()).arg(wanted.y()).arg(session().frame(id).x()).arg(session().frame(id).y()));
}

void TestXWayland::windowManagerHints()
{
    observe("levels above / below", supports("_NET_WM_STATE_ABOVE") && supports("_NET_WM_STATE_BELOW"));
    observe("all desktops", supports("_NET_WM_STATE_STICKY"));
    observe("kept out of taskbars and pagers", supports("_NET_WM_STATE_SKIP_TASKBAR"));
    observe("running applications (_NET_CLIENT_LIST)", supports("_NET_CLIENT_LIST"));
    observe("active window reported", supports("_NET_ACTIVE_WINDOW"));
    observe("work area (_NET_WORKAREA)", supports("_NET_WORKAREA"));
    observe("pager activation of other windows", supports("_NET_ACTIVE_WINDOW"));
}

// The built program, started the way a Wayland session starts it: WAYLAND_DISPLAY and DISPLAY set,
// no platform named. It must come up on XWayland by itself and show its first panel.
void TestXWayland::programChoosesXWaylandItself()
{
    QTemporaryDir home;
    QProcessEnvironment environment = ProgramRun::environment(home.path(), ProgramRun::Platform::NoDisplay);
    environment.insert(u"WAYLAND_DISPLAY"_qs, session().waylandDisplay());
    environment.insert(u"DISPLAY"_qs, session().display());
    environment.insert(u"XDG_RUNTIME_DIR"_qs, home.path());
    const auto program = ProgramRun::start({}, environment);
    const bool shown = QTest::qWaitFor([] { return hasWindowOfClass(session().root(), "quayrow2"); }, 20000);
    program->terminate();
    QVERIFY(program->waitForFinished(10000));
    observe("the program starts on XWayland by itself", shown);
    QVERIFY2(shown, program->readAllStandardError().constData());
    QCOMPARE(program->exitCode(), 0);
}

QUAYROW_X11_TEST_MAIN(TestXWayland)
#include "tst_xwayland.moc"
