// The structure of a panel view: which widgets it holds and where, read from the widget tree
// and the children's geometry.

#include "uitestsupport.h"

#include "ui/additembutton.h"
#include "ui/drophint.h"
#include "ui/groupitemview.h"
#include "ui/groupmembertile.h"
#include "ui/grouppopoverview.h"
#include "ui/itemrowlayout.h"
#include "ui/itemtiles.h"
#include "ui/itemtooltip.h"
#include "ui/panelview.h"
#include "ui/rowscroller.h"
#include "ui/tabbarview.h"
#include "ui/tabchip.h"

#include <QAccessible>
#include <QMimeData>
#include <QPainterPath>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

namespace {

QList<Item> threeLinks()
{
    return {linkTo(u"/apps/a.desktop"_qs), linkTo(u"/apps/b.desktop"_qs), linkTo(u"/home/c.txt"_qs)};
}

// The tiles of the row in their order along it.
QList<ItemIconView *> tilesOf(const PanelView &view)
{
    return view.findChildren<ItemIconView *>();
}

} // namespace

class TestPanelView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tabBarSlotFacesAwayFromTheEdge_data();
    void tabBarSlotFacesAwayFromTheEdge();
    void windowShapeFollowsTheChips_data() { tabBarSlotFacesAwayFromTheEdge_data(); }
    void windowShapeFollowsTheChips();
    void emptyTab_data();
    void emptyTab();
    void tileSettings();
    void itemFramesAndExtent();
    void longRowsScrollAlongTheirAxis_data();
    void longRowsScrollAlongTheirAxis();
    void runningApplicationsFollowTheStore();
    void pressesReachTheStore();
    void tilesAreNamedButtons();
};

void TestPanelView::tabBarSlotFacesAwayFromTheEdge_data()
{
    QTest::addColumn<PanelPlacement>("placement");
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("side");
    QTest::addColumn<int>("gap");

    const int buttons = int(PanelTabStyle::Buttons);
    const int slanted = int(PanelTabStyle::Slanted);
    QTest::newRow("free, buttons: above") << PanelPlacement{} << buttons << u"above"_qs << 2;
    QTest::newRow("bottom, slanted: above") << snappedTo(PanelEdge::Bottom) << slanted << u"above"_qs << 0;
    QTest::newRow("top: below") << snappedTo(PanelEdge::Top) << buttons << u"below"_qs << 2;
    QTest::newRow("left: right of the column") << snappedTo(PanelEdge::Left) << buttons << u"right"_qs << 2;
    QTest::newRow("right: left of the column") << snappedTo(PanelEdge::Right) << slanted << u"left"_qs << 0;
}

void TestPanelView::tabBarSlotFacesAwayFromTheEdge()
{
    QFETCH(PanelPlacement, placement);
    QFETCH(int, style);
    QFETCH(QString, side);
    QFETCH(int, gap);

    Panel panel = panelWith({tabWith(u"One"_qs, threeLinks()), tabWith(u"Two"_qs, {})}, placement, true);
    panel.tabStyle = PanelTabStyle(style);
    UiFixture f({panel});
    PanelView view(f.panel(), *f.store);
    view.resize(view.sizeHint());
    view.show();

    const TabBarView *slot = view.tabBar();
    QVERIFY(slot);
    const QRect bar = slot->geometry();
    const QRectF body = view.bodyRect();
    const bool sideways = side == u"left"_qs || side == u"right"_qs;
    QCOMPARE(slot->degrees(), side == u"left"_qs ? -90.0 : side == u"right"_qs ? 90.0 : 0.0);
    QVERIFY(sideways ? bar.height() > bar.width() : bar.width() > bar.height());
    if (side == u"above"_qs)
        QCOMPARE(body.top() - (bar.y() + bar.height()), double(gap));
    else if (side == u"below"_qs)
        QCOMPARE(bar.y() - body.bottom(), double(gap));
    else if (side == u"left"_qs)
        QCOMPARE(body.left() - (bar.x() + bar.width()), double(gap));
    else
        QCOMPARE(bar.x() - body.right(), double(gap));
    // Aligned with the body's leading (or top) edge, and never longer than it.
    QCOMPARE(sideways ? bar.y() : bar.x(), 0);
    QVERIFY(sideways ? bar.height() <= body.height() : bar.width() <= body.width());

    // Tiles run along the panel's axis.
    const QList<ItemIconView *> tiles = tilesOf(view);
    QCOMPARE(tiles.size(), 3);
    QVERIFY(sideways ? tiles.at(1)->y() > tiles.at(0)->y() : tiles.at(1)->x() > tiles.at(0)->x());

    // Without a revealed tab bar there is no slot, even with two tabs.
    UiFixture g({Panel(PanelInit{.tab = panel.tabs().first(), .moreTabs = {panel.tabs().last()},
                                 .placement = placement})});
    QVERIFY(!PanelView(g.panel(), *g.store).tabBar());
}

// A window cut to the body's shape (no compositor) shows the chips, not the bar's rectangle around
// them: the room at the bar's ends and the gaps between buttons stay outside. So also before the
// bar has been shown, when its chips are not placed yet.
void TestPanelView::windowShapeFollowsTheChips()
{
    QFETCH(PanelPlacement, placement);
    QFETCH(int, style);

    Panel panel = panelWith({tabWith(u"One"_qs, threeLinks()), tabWith(u"Two"_qs, {})}, placement, true);
    panel.tabStyle = PanelTabStyle(style);
    UiFixture f({panel});
    PanelView view(f.panel(), *f.store);
    view.resize(view.sizeHint());
    view.layout()->activate();

    for (const bool shown : {false, true}) {
        if (shown) {
            view.show();
            QVERIFY(QTest::qWaitForWindowExposed(&view));
        }
        const TabBarView *bar = view.tabBar();
        const QPainterPath shape = view.bodyShape();
        const QList<TabChip *> &chips = bar->chips();
        QCOMPARE(chips.size(), 2);
        for (const TabChip *chip : chips)
            QVERIFY2(shape.contains(QRectF(chip->geometry()).translated(bar->pos()).center()), chip->name().toUtf8());
        QVERIFY(!shape.contains(QPointF(bar->pos()) + QPointF(1.5, 1.5)));
        if (PanelTabStyle(style) == PanelTabStyle::Buttons) {
            // Midway between the two buttons, whichever way the bar runs.
            const QRectF a = QRectF(chips.at(0)->geometry()).translated(bar->pos());
            const QRectF b = QRectF(chips.at(1)->geometry()).translated(bar->pos());
            const bool sideways = bar->height() > bar->width();
            const QPointF gap = sideways
                ? QPointF(a.center().x(), (std::min(a.bottom(), b.bottom()) + std::max(a.top(), b.top())) / 2)
                : QPointF((std::min(a.right(), b.right()) + std::max(a.left(), b.left())) / 2, a.center().y());
            QVERIFY(!shape.contains(gap));
        }
    }
}

void TestPanelView::emptyTab_data()
{
    QTest::addColumn<PanelPlacement>("placement");
    QTest::addColumn<bool>("running");
    QTest::addColumn<bool>("addButton");
    QTest::addColumn<bool>("hint");

    QTest::newRow("free: button and hint") << PanelPlacement{} << false << true << true;
    QTest::newRow("bottom: button and hint") << snappedTo(PanelEdge::Bottom) << false << true << true;
    QTest::newRow("left: button only") << snappedTo(PanelEdge::Left) << false << true << false;
    QTest::newRow("right: button only") << snappedTo(PanelEdge::Right) << false << true << false;
    QTest::newRow("running applications instead") << PanelPlacement{} << true << false << false;
}

void TestPanelView::emptyTab()
{
    QFETCH(PanelPlacement, placement);
    QFETCH(bool, running);
    QFETCH(bool, addButton);
    QFETCH(bool, hint);

    UiFixture f({panelWith({tabWith(u"Empty"_qs, {}, true)}, placement)});
    if (running)
        f.services.runningApps->running = {fileAt(u"/apps/editor.desktop"_qs), fileAt(u"/apps/mail.desktop"_qs)};
    PanelView view(f.panel(), *f.store);
    view.resize(view.sizeHint());
    view.show();

    QCOMPARE(view.findChildren<AddItemButton *>().size(), addButton ? 1 : 0);
    QCOMPARE(view.findChildren<DropHint *>().size(), hint ? 1 : 0);
    QCOMPARE(view.findChildren<RunningApplicationTile *>().size(), running ? 2 : 0);
    // Never shorter than 120 points along its axis, however little it holds.
    const bool vertical = placement.mode == PanelPlacementMode::Snapped
        && (placement.edge == PanelEdge::Left || placement.edge == PanelEdge::Right);
    const double length = vertical ? view.bodyRect().height() : view.bodyRect().width();
    QVERIFY(length >= 120);
    if (!hint && !running)
        QCOMPARE(length, 120.0);
    if (hint) {
        const auto *button = view.findChild<AddItemButton *>();
        const auto *label = view.findChild<DropHint *>();
        QVERIFY(label->x() >= button->x() + button->width());
        QCOMPARE(label->text(), u"or drop apps here"_qs);
    }
}

void TestPanelView::tileSettings()
{
    Panel panel = panelWith({tabWith(u"T"_qs, threeLinks())});
    UiFixture labelled({panel});
    panel.showsItemLabels = false;
    panel.showsHoverHighlight = false;
    panel.showsTooltips = false;
    UiFixture plain({panel});

    PanelView withLabels(labelled.panel(), *labelled.store);
    PanelView without(plain.panel(), *plain.store);
    const ItemIconView *a = tilesOf(withLabels).first();
    const ItemIconView *b = tilesOf(without).first();
    QVERIFY(a->showsLabel() && a->highlightsOnHover() && a->tooltip()->isEnabled());
    QVERIFY(!b->showsLabel() && !b->highlightsOnHover() && !b->tooltip()->isEnabled());
    // A label adds a line below the marker; the marker's room is there either way.
    const IconChrome chrome;
    QCOMPARE(b->preferredSize().height(), chrome.pointSize() + chrome.iconLabelSpacing() + 4);
    QVERIFY(a->preferredSize().height() > b->preferredSize().height() + chrome.iconLabelSpacing());
    QVERIFY(a->preferredSize().width() <= chrome.labelMaxWidth());
}

void TestPanelView::itemFramesAndExtent()
{
    ItemGroup group{.name = u"Work"_qs, .links = {linkTo(u"/apps/x.desktop"_qs)}};
    QList<Item> items = threeLinks();
    items.insert(1, group);
    UiFixture f({panelWith({tabWith(u"T"_qs, items)})});
    PanelView view(f.panel(), *f.store);
    view.resize(view.sizeHint());
    view.show();

    const QHash<QUuid, QRectF> frames = view.itemFrames();
    QCOMPARE(frames.size(), items.size());
    const IconChrome chrome;
    double previousRight = -1;
    for (const Item &item : items) {
        const QRectF frame = frames.value(item.id());
        QVERIFY(view.bodyRect().contains(frame));
        // An insertion zone's room and the spacing either side of it lie between neighbours.
        if (previousRight >= 0)
            QVERIFY(frame.left() - previousRight >= chrome.insertBreadth() + 2 * chrome.itemSpacing() - 1);
        previousRight = frame.right();
    }
    QCOMPARE(view.findChild<GroupItemView *>()->name(), u"Work"_qs);
    QCOMPARE(view.companionContentExtent(), view.itemLayout()->preferredSize().width() + 2 * chrome.bodyPadding());
    QCOMPARE(view.sizeHint().width(), int(std::ceil(view.companionContentExtent())));
}

void TestPanelView::longRowsScrollAlongTheirAxis_data()
{
    QTest::addColumn<PanelPlacement>("placement");
    QTest::addColumn<QPoint>("wheel");

    QTest::newRow("horizontal row, vertical wheel") << PanelPlacement{} << QPoint(0, -120);
    QTest::newRow("horizontal row, horizontal wheel") << snappedTo(PanelEdge::Bottom) << QPoint(-120, 0);
    QTest::newRow("column, vertical wheel") << snappedTo(PanelEdge::Left) << QPoint(0, -120);
}

void TestPanelView::longRowsScrollAlongTheirAxis()
{
    QFETCH(PanelPlacement, placement);
    QFETCH(QPoint, wheel);

    QList<Item> items;
    for (int i = 0; i < 40; ++i)
        items.append(linkTo(u"/apps/app%1.desktop"_qs.arg(i)));
    UiFixture f({panelWith({tabWith(u"T"_qs, items)}, placement)});
    PanelView view(f.panel(), *f.store);
    const QSize fitting = view.sizeHint();
    const bool vertical = placement.edge == PanelEdge::Left && placement.mode == PanelPlacementMode::Snapped;
    view.resize(vertical ? QSize(fitting.width(), 400) : QSize(400, fitting.height()));
    view.show();

    RowScroller *scroller = view.scroller();
    QVERIFY(scroller->maximumOffset() > 0);
    const QPoint inside = scroller->rect().center();
    QWheelEvent event(inside, scroller->mapToGlobal(inside), QPoint(), wheel, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(scroller, &event);
    QVERIFY(scroller->offset() > 0);
    const QPoint start = scroller->content()->pos();
    QCOMPARE(vertical ? start.y() : start.x(), -scroller->offset());

    // Scrolled back past the start, it stops at the start.
    scroller->setOffset(-50);
    QCOMPARE(scroller->offset(), 0);
    scroller->setOffset(1 << 20);
    QCOMPARE(scroller->offset(), scroller->maximumOffset());
}

void TestPanelView::runningApplicationsFollowTheStore()
{
    const QUrl editor = fileAt(u"/apps/a.desktop"_qs);
    const QUrl mail = fileAt(u"/apps/mail.desktop"_qs);
    UiFixture f({panelWith({tabWith(u"T"_qs, threeLinks(), true)})});
    PanelView view(f.panel(), *f.store);
    view.show();
    const int before = view.sizeHint().width();
    QVERIFY(view.findChildren<RunningApplicationTile *>().isEmpty());

    f.services.runningApps->running = {editor, mail};
    f.services.runningApps->notifyChange();
    QTRY_COMPARE(f.store->runningAppsRevision(), 1);

    // The linked application shows its marker; the other gets a tile of its own at the end.
    const auto visibleTiles = [&view] {
        QList<ItemIconView *> tiles;
        for (ItemIconView *tile : view.findChildren<ItemIconView *>()) {
            if (tile->isVisible())
                tiles.append(tile);
        }
        return tiles;
    };
    QTRY_COMPARE(visibleTiles().size(), 4);
    const QList<ItemIconView *> tiles = visibleTiles();
    QVERIFY(tiles.at(0)->isRunning());
    QVERIFY(!tiles.at(1)->isRunning());
    auto *runningTile = qobject_cast<RunningApplicationTile *>(tiles.at(3));
    QVERIFY(runningTile);
    QCOMPARE(runningTile->location(), mail);
    QVERIFY(view.sizeHint().width() > before);
    // The old tiles are gone once control returns to the event loop.
    QTRY_COMPARE(view.findChildren<ItemIconView *>().size(), 4);
}

void TestPanelView::pressesReachTheStore()
{
    const ItemGroup group{.name = u"Work"_qs, .links = {linkTo(u"/apps/x.desktop"_qs)}};
    UiFixture f({panelWith({tabWith(u"T"_qs, {linkTo(u"/apps/a.desktop"_qs), group}, true)})});
    f.services.runningApps->running = {fileAt(u"/apps/mail.desktop"_qs)};
    PanelView view(f.panel(), *f.store);
    view.resize(view.sizeHint());
    view.show();

    QTest::mouseClick(view.findChild<LinkTile *>(), Qt::LeftButton);
    QTest::mouseClick(view.findChild<RunningApplicationTile *>(), Qt::LeftButton);
    QCOMPARE(f.launcher->launched, (QList<QUrl>{fileAt(u"/apps/a.desktop"_qs), fileAt(u"/apps/mail.desktop"_qs)}));
    // With the time of the click, so that the launched application may take the focus.
    for (const std::optional<quint32> &timestamp : f.launcher->timestamps)
        QVERIFY(timestamp.has_value() && *timestamp > 0);
    // A click made by accessibility tools has no input event.
    view.findChild<LinkTile *>()->click();
    QCOMPARE(f.launcher->timestamps.last(), std::nullopt);

    // A running application is dragged as a plain file, like one from the file manager.
    const std::unique_ptr<QMimeData> dragged(view.findChild<RunningApplicationTile *>()->dragData());
    QCOMPARE(dragged->formats(), QStringList{u"text/uri-list"_qs});
    QCOMPARE(dragged->urls(), QList<QUrl>{fileAt(u"/apps/mail.desktop"_qs)});

    // A group tile opens its popover, and closes it when open.
    GroupItemView *groupTile = view.findChild<GroupItemView *>();
    QTest::mouseClick(groupTile, Qt::LeftButton);
    QCOMPARE(f.store->expandedGroupID(), std::optional<QUuid>(group.id));
    QTest::mouseClick(groupTile, Qt::LeftButton);
    QCOMPARE(f.store->expandedGroupID(), std::nullopt);

    // A middle click on a member of the group opens a new window of its application, and closes
    // the popover as a press does.
    f.launcher->offersNewWindow = true;
    f.store->expandGroup(group.id);
    GroupPopoverView popover(group.id, f.panel().id(), *f.store);
    popover.resize(popover.sizeHint());
    popover.show();
    QTest::mouseClick(popover.findChild<GroupMemberTile *>(), Qt::MiddleButton);
    QCOMPARE(f.launcher->newWindows, QList<QUrl>{fileAt(u"/apps/x.desktop"_qs)});
    QVERIFY(f.launcher->timestamps.last().has_value());
    QCOMPARE(f.store->expandedGroupID(), std::nullopt);

    // Presses on the bare body are left to the window.
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), view.mapToGlobal(QPointF(2, 2)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &press);
    QVERIFY(!press.isAccepted());
}

void TestPanelView::tilesAreNamedButtons()
{
    UiFixture f({panelWith({tabWith(u"T"_qs, threeLinks())})});
    PanelView view(f.panel(), *f.store);
    view.show();
    for (ItemIconView *tile : tilesOf(view)) {
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(tile);
        QVERIFY(accessible);
        QCOMPARE(accessible->role(), QAccessible::Button);
        QCOMPARE(accessible->text(QAccessible::Name), tile->name());
    }
    QCOMPARE(tilesOf(view).first()->name(), u"a"_qs);
}

QTEST_MAIN(TestPanelView)
#include "tst_panelview.moc"
