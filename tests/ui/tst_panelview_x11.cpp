// The views on a real X server with a window manager: the tooltip bubble as the server sees it,
// and alerts that take the focus and give it back to the window that had it.

#include "uitestsupport.h"
#include "xtestclient.h"

#include "ui/itemtiles.h"
#include "ui/panelview.h"
#include "ui/removalconfirmation.h"
#include "ui/tooltipwindow.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QWindow>

#include <cstdlib>

using namespace std::chrono_literals;

namespace {

struct FreeDeleter
{
    void operator()(void *memory) const { std::free(memory); }
};
template<typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

// Where the server shows a window, in root coordinates, and whether it is mapped.
struct ServerView
{
    QRect frame;
    bool viewable = false;
    bool overrideRedirect = false;
};

ServerView serverView(xcb_connection_t *c, xcb_window_t window)
{
    ServerView view;
    const Reply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
    const Reply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr));
    const Reply<xcb_translate_coordinates_reply_t> origin(xcb_translate_coordinates_reply(
        c, xcb_translate_coordinates(c, window, XTest::rootOf(c), 0, 0), nullptr));
    if (!attributes || !geometry || !origin)
        return view;
    view.frame = QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
    view.viewable = attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    view.overrideRedirect = attributes->override_redirect;
    return view;
}

} // namespace

class TestPanelViewX11 : public QObject
{
    Q_OBJECT

public:
    explicit TestPanelViewX11(XTest::Server *server)
        : m_server(server)
    {
    }

private Q_SLOTS:
    void initTestCase();
    void tooltipIsAnUnmanagedBubbleAboveTheTile();
    void alertTakesTheFocusAndGivesItBack();

private:
    XTest::Server *m_server;
};

void TestPanelViewX11::initTestCase()
{
    if (!m_server)
        QSKIP("Xvfb or openbox is not installed: no private X server with a window manager");
}

void TestPanelViewX11::tooltipIsAnUnmanagedBubbleAboveTheTile()
{
    ManualClock clock;
    xcb_connection_t *c = m_server->connection();
    UiFixture f({panelWith({tabWith(u"T"_qs, {linkTo(u"/apps/editor.desktop"_qs), linkTo(u"/apps/mail.desktop"_qs)})},
                           snappedTo(PanelEdge::Bottom))});
    PanelView view(f.panel(), *f.store);
    view.setWindowFlags(Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    view.setGeometry(QRect(QPoint(200, 300), view.sizeHint()));
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const xcb_window_t focused = XTest::activeWindow(c);

    // The real pointer moves onto the second tile.
    LinkTile *tile = view.findChildren<LinkTile *>().at(1);
    const QPoint inside = tile->mapToGlobal(tile->rect().center());
    xcb_warp_pointer(c, XCB_WINDOW_NONE, XTest::rootOf(c), 0, 0, 0, 0, int16_t(inside.x()), int16_t(inside.y()));
    xcb_flush(c);
    QTRY_VERIFY(tile->isHovering());
    clock.advance(500ms);

    TooltipWindow *bubble = TooltipWindow::existing();
    QVERIFY(bubble);
    // The window's own id: a tooltip widget's winId() names a window Qt replaced.
    const auto bubbleWindow = xcb_window_t(bubble->windowHandle()->winId());
    QTRY_VERIFY(serverView(c, bubbleWindow).viewable);
    const ServerView shown = serverView(c, bubbleWindow);
    QVERIFY(shown.overrideRedirect);
    const QRect anchor(tile->mapToGlobal(QPoint(0, 0)), tile->size());
    const QRect placed = bubble->bubbleGeometry().translated(shown.frame.topLeft() - bubble->geometry().topLeft());
    QCOMPARE(placed.bottom() + 1, anchor.top() - 6);
    QVERIFY(std::abs(placed.center().x() - anchor.center().x()) <= 1);
    QCOMPARE(XTest::activeWindow(c), focused);

    // The pointer leaves the panel: the bubble goes.
    xcb_warp_pointer(c, XCB_WINDOW_NONE, XTest::rootOf(c), 0, 0, 0, 0, 5, 5);
    xcb_flush(c);
    QTRY_VERIFY(!serverView(c, bubbleWindow).viewable);
}

void TestPanelViewX11::alertTakesTheFocusAndGivesItBack()
{
    xcb_connection_t *c = m_server->connection();
    const xcb_window_t other = XTest::createWindow(c, u"editor"_qs, u"Editor"_qs, {}, 4242);
    QTRY_VERIFY(XTest::clientList(c).contains(other));
    XTest::activate(c, other);
    QTRY_COMPARE(XTest::activeWindow(c), other);

    // Answered only once the alert holds the focus.
    xcb_window_t focusedWhileAsking = XCB_WINDOW_NONE;
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<QMessageBox *>(widget);
            if (!box || !box->isVisible() || XTest::activeWindow(c) != xcb_window_t(box->winId()))
                continue;
            focusedWhileAsking = XTest::activeWindow(c);
            answerer.stop();
            for (QAbstractButton *button : box->buttons()) {
                if (button->text() == u"Remove Panel"_qs)
                    button->click();
            }
        }
    });
    answerer.start(10);
    QVERIFY(RemovalConfirmation::confirm(u"Remove Panel"_qs, u"Work"_qs));
    QVERIFY(focusedWhileAsking != XCB_WINDOW_NONE);
    QVERIFY(focusedWhileAsking != other);
    QTRY_COMPARE(XTest::activeWindow(c), other);

    // A window that went away meanwhile is left alone.
    answerer.start(10);
    QTimer::singleShot(0, [c, other] {
        xcb_destroy_window(c, other);
        xcb_flush(c);
    });
    QVERIFY(RemovalConfirmation::confirm(u"Remove Panel"_qs, u"Work"_qs));
}

int main(int argc, char *argv[])
{
    std::unique_ptr<XTest::Server> server;
    if (!QStandardPaths::findExecutable(u"Xvfb"_qs).isEmpty() && !QStandardPaths::findExecutable(u"openbox"_qs).isEmpty()) {
        server = std::make_unique<XTest::Server>();
        if (!server->start(true))
            qFatal("the private X server with its window manager did not start");
        qputenv("DISPLAY", server->display().toLatin1());
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    int result = 0;
    {
        QApplication app(argc, argv);
        TestPanelViewX11 test(server.get());
        result = QTest::qExec(&test, argc, argv);
    }
    return result;
}

#include "tst_panelview_x11.moc"
