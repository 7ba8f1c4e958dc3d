// The views on a real X server with a window manager: the tooltip bubble as the server sees it,
// and alerts that take the focus and give it back to the window that had it.

#include "uitestsupport.h"
#include "x11session.h"

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

X11Session &session()
{
    return X11Session::current();
}

// Where the server shows a window, in root coordinates, and whether it is mapped.
struct ServerView
{
    QRect frame;
    bool viewable = false;
    bool overrideRedirect = false;
};

ServerView serverView(xcb_window_t window)
{
    xcb_connection_t *c = session().connection();
    ServerView view{.frame = session().frame(window), .viewable = session().isViewable(window)};
    xcb_get_window_attributes_reply_t *attributes =
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr);
    view.overrideRedirect = attributes && attributes->override_redirect;
    std::free(attributes);
    return view;
}

void warpPointer(QPoint position)
{
    xcb_connection_t *c = session().connection();
    xcb_warp_pointer(c, XCB_WINDOW_NONE, session().root(), 0, 0, 0, 0, int16_t(position.x()), int16_t(position.y()));
    xcb_flush(c);
}

} // namespace

class TestPanelViewX11 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tooltipIsAnUnmanagedBubbleAboveTheTile();
    void alertTakesTheFocusAndGivesItBack();
};

void TestPanelViewX11::tooltipIsAnUnmanagedBubbleAboveTheTile()
{
    ManualClock clock;
    UiFixture f({panelWith({tabWith(u"T"_qs, {linkTo(u"/apps/editor.desktop"_qs), linkTo(u"/apps/mail.desktop"_qs)})},
                           snappedTo(PanelEdge::Bottom))});
    PanelView view(f.panel(), *f.store);
    view.setWindowFlags(Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    view.setGeometry(QRect(QPoint(200, 300), view.sizeHint()));
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const xcb_window_t focused = session().activeWindow();

    // The real pointer moves onto the second tile.
    LinkTile *tile = view.findChildren<LinkTile *>().at(1);
    const QPoint inside = tile->mapToGlobal(tile->rect().center());
    warpPointer(inside);
    QTRY_VERIFY(tile->isHovering());
    clock.advance(500ms);

    TooltipWindow *bubble = TooltipWindow::existing();
    QVERIFY(bubble);
    // The window's own id: a tooltip widget's winId() names a window Qt replaced.
    const auto bubbleWindow = xcb_window_t(bubble->windowHandle()->winId());
    QTRY_VERIFY(serverView(bubbleWindow).viewable);
    const ServerView shown = serverView(bubbleWindow);
    QVERIFY(shown.overrideRedirect);
    const QRect anchor(tile->mapToGlobal(QPoint(0, 0)), tile->size());
    const QRect placed = bubble->bubbleGeometry().translated(shown.frame.topLeft() - bubble->geometry().topLeft());
    QCOMPARE(placed.bottom() + 1, anchor.top() - 6);
    QVERIFY(std::abs(placed.center().x() - anchor.center().x()) <= 1);
    QCOMPARE(session().activeWindow(), focused);

    // The pointer leaves the panel: the bubble goes.
    warpPointer(QPoint(5, 5));
    QTRY_VERIFY(!serverView(bubbleWindow).viewable);
}

void TestPanelViewX11::alertTakesTheFocusAndGivesItBack()
{
    const xcb_window_t other = session().createWindow(QRect(700, 100, 300, 200), u"Editor"_qs);
    QVERIFY(session().waitUntilManaged(other));
    session().activate(other);
    QTRY_COMPARE(session().activeWindow(), other);

    // Answered only once the alert holds the focus.
    xcb_window_t focusedWhileAsking = XCB_WINDOW_NONE;
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<QMessageBox *>(widget);
            if (!box || !box->isVisible() || session().activeWindow() != xcb_window_t(box->winId()))
                continue;
            focusedWhileAsking = session().activeWindow();
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
    QTRY_COMPARE(session().activeWindow(), other);

    // A window that went away meanwhile is left alone.
    answerer.start(10);
    QTimer::singleShot(0, [other] { session().destroyWindow(other); });
    QVERIFY(RemovalConfirmation::confirm(u"Remove Panel"_qs, u"Work"_qs));
}

QUAYROW_X11_TEST_MAIN(TestPanelViewX11)

#include "tst_panelview_x11.moc"
