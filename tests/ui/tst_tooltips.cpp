// Tooltips: the half-second delay driven by a hand-run clock, the bubble's place near each screen
// edge, and the bubble going away with its tile.

#include "uitestsupport.h"

#include "ui/itemiconview.h"
#include "ui/itemtooltip.h"
#include "ui/tooltipwindow.h"

#include <QEnterEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

using namespace std::chrono_literals;

namespace {

std::unique_ptr<ItemIconView> tileAt(const QPoint &position, const QString &name, bool showsTooltip = true)
{
    auto tile = std::make_unique<ItemIconView>(QIcon(), false, name, IconChrome{}, true, true, showsTooltip);
    tile->setGeometry(QRect(position, tile->sizeHint()));
    tile->show();
    return tile;
}

void enter(QWidget &tile)
{
    QEnterEvent event(QPointF(4, 4), QPointF(4, 4), tile.mapToGlobal(QPointF(4, 4)));
    QApplication::sendEvent(&tile, &event);
}

void leave(QWidget &tile)
{
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(&tile, &event);
}

bool bubbleShown()
{
    const TooltipWindow *window = TooltipWindow::existing();
    return window && window->isVisible();
}

} // namespace

class TestTooltips : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void placement_data();
    void placement();
    void showsAfterHalfASecond();
    void leavingEarlyShowsNothing();
    void disabledOrNamelessNeverShows_data();
    void disabledOrNamelessNeverShows();
    void goesWithItsTile_data();
    void goesWithItsTile();
    void oneWindowServesEveryTile();

private:
    ManualClock m_clock;
};

void TestTooltips::cleanup()
{
    if (TooltipWindow *window = TooltipWindow::existing())
        window->hideFor(nullptr);
}

void TestTooltips::placement_data()
{
    QTest::addColumn<Rect>("anchor");
    QTest::addColumn<Size>("size");
    QTest::addColumn<Rect>("visible");
    QTest::addColumn<Rect>("expected");

    const Rect screen{0, 0, 1000, 800};
    QTest::newRow("above the tile") << Rect{480, 100, 40, 40} << Size{60, 20} << screen << Rect{470, 146, 60, 20};
    QTest::newRow("near the top: below the tile")
        << Rect{480, 760, 40, 40} << Size{60, 20} << screen << Rect{470, 734, 60, 20};
    QTest::newRow("just fits above") << Rect{480, 734, 40, 40} << Size{60, 20} << screen << Rect{470, 780, 60, 20};
    QTest::newRow("near the left edge: pushed in") << Rect{0, 100, 20, 20} << Size{60, 20} << screen << Rect{0, 126, 60, 20};
    QTest::newRow("near the right edge: pushed in")
        << Rect{990, 100, 10, 10} << Size{60, 20} << screen << Rect{940, 116, 60, 20};
    QTest::newRow("wider than the screen: its right edge wins")
        << Rect{480, 100, 40, 40} << Size{1200, 20} << screen << Rect{-200, 146, 1200, 20};
    QTest::newRow("second screen with a dock at its top")
        << Rect{1500, 600, 40, 40} << Size{60, 20} << Rect{1000, 0, 1000, 620} << Rect{1490, 574, 60, 20};
}

void TestTooltips::placement()
{
    QFETCH(Rect, anchor);
    QFETCH(Size, size);
    QFETCH(Rect, visible);
    QFETCH(Rect, expected);
    QCOMPARE(tooltipFrame(anchor, size, visible), expected);
}

void TestTooltips::showsAfterHalfASecond()
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const bool nearTop : {false, true}) {
        auto tile = tileAt(QPoint(200, nearTop ? screen.top() + 2 : 300), u"Text Editor"_qs);
        enter(*tile);
        QCOMPARE(m_clock.pendingCount(), 1);
        m_clock.advance(499ms);
        QVERIFY(!bubbleShown());
        m_clock.advance(1ms);
        QVERIFY(bubbleShown());

        const TooltipWindow *window = TooltipWindow::existing();
        QCOMPARE(window->text(), u"Text Editor"_qs);
        QVERIFY(window->windowFlags().testFlags(Qt::ToolTip | Qt::WindowTransparentForInput
                                                | Qt::WindowDoesNotAcceptFocus));
        const QRect bubble = window->bubbleGeometry();
        const QRect anchor = tile->geometry();
        if (nearTop)
            QCOMPARE(bubble.top(), anchor.top() + anchor.height() + 6);
        else
            QCOMPARE(bubble.top() + bubble.height(), anchor.top() - 6);
        QVERIFY(std::abs(bubble.center().x() - anchor.center().x()) <= 1);

        leave(*tile);
        QVERIFY(!bubbleShown());
        QCOMPARE(m_clock.pendingCount(), 0);
    }
}

void TestTooltips::leavingEarlyShowsNothing()
{
    auto tile = tileAt(QPoint(200, 300), u"Mail"_qs);
    enter(*tile);
    m_clock.advance(300ms);
    leave(*tile);
    m_clock.advance(10s);
    QVERIFY(!bubbleShown());
    // Entering again starts the half second afresh.
    enter(*tile);
    m_clock.advance(300ms);
    QVERIFY(!bubbleShown());
    m_clock.advance(200ms);
    QVERIFY(bubbleShown());
}

void TestTooltips::disabledOrNamelessNeverShows_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("tooltips off") << u"Mail"_qs << false;
    QTest::newRow("no name") << QString() << true;
}

void TestTooltips::disabledOrNamelessNeverShows()
{
    QFETCH(QString, name);
    QFETCH(bool, enabled);
    auto tile = tileAt(QPoint(200, 300), name, enabled);
    enter(*tile);
    QCOMPARE(m_clock.pendingCount(), 0);
    m_clock.advance(1s);
    QVERIFY(!bubbleShown());
}

void TestTooltips::goesWithItsTile_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("afterShowing");
    for (const bool shown : {false, true}) {
        const char *when = shown ? "shown" : "pending";
        QTest::addRow("hidden while %s", when) << u"hide"_qs << shown;
        QTest::addRow("released while %s", when) << u"delete"_qs << shown;
        QTest::addRow("moved to another parent while %s", when) << u"reparent"_qs << shown;
    }
}

void TestTooltips::goesWithItsTile()
{
    QFETCH(QString, how);
    QFETCH(bool, afterShowing);
    QWidget window;
    window.resize(400, 300);
    window.move(100, 200);
    auto *tile = new ItemIconView(QIcon(), false, u"Music"_qs, IconChrome{}, true, true, true, &window);
    window.show();
    enter(*tile);
    if (afterShowing) {
        m_clock.advance(500ms);
        QVERIFY(bubbleShown());
    }
    QWidget elsewhere;
    if (how == u"hide"_qs)
        tile->hide();
    else if (how == u"delete"_qs)
        delete tile;
    else
        tile->setParent(&elsewhere);
    QCOMPARE(m_clock.pendingCount(), 0);
    m_clock.advance(1s);
    QVERIFY(!bubbleShown());
}

void TestTooltips::oneWindowServesEveryTile()
{
    auto first = tileAt(QPoint(100, 300), u"First"_qs);
    auto second = tileAt(QPoint(300, 300), u"Second"_qs);
    enter(*first);
    m_clock.advance(500ms);
    const TooltipWindow *window = TooltipWindow::existing();
    leave(*first);
    enter(*second);
    m_clock.advance(500ms);
    QCOMPARE(TooltipWindow::existing(), window);
    QCOMPARE(window->text(), u"Second"_qs);
    // A tile going away hides only its own bubble.
    first.reset();
    QVERIFY(bubbleShown());
    second.reset();
    QVERIFY(!bubbleShown());
}

QTEST_MAIN(TestTooltips)
#include "tst_tooltips.moc"
