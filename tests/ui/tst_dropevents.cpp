// Drops delivered to the views as drag events, checked through the store: dragged items on the
// insertion zones and group tiles of a panel and of a group's popover, files from outside before
// a tile, into a group or at the end, and the drops that are refused.

#include "uitestsupport.h"

#include "ui/draggedpanelitem.h"
#include "ui/groupitemview.h"
#include "ui/grouppopoverview.h"
#include "ui/itemrowlayout.h"
#include "ui/panelview.h"

#include <QMimeData>
#include <QTest>

namespace {

using Kind = DraggedPanelItem::Kind;

struct Delivery
{
    bool entered = false;
    bool movedAccepted = false;
    bool dropped = false;
};

// Shows the view at its preferred size.
bool shown(QWidget &view)
{
    view.resize(view.sizeHint());
    view.show();
    return QTest::qWaitForWindowExposed(&view);
}

// Enters, moves to and drops at `at` (in the view's coordinates), as a drag from a window would.
Delivery deliver(QWidget &view, QPointF at, const QMimeData &data, Qt::DropActions actions)
{
    Delivery result;
    QDragEnterEvent enter(at.toPoint(), actions, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &enter);
    result.entered = enter.isAccepted();
    if (!result.entered)
        return result;
    QDragMoveEvent move(at.toPoint(), actions, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &move);
    result.movedAccepted = move.isAccepted();
    QDropEvent drop(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &drop);
    result.dropped = drop.isAccepted();
    return result;
}

// The middle of the zone in front of `before` (the end zone when none), in the view's coordinates.
QPointF zoneCentre(const QWidget &view, const ItemRowLayout &row, const std::optional<QUuid> &before)
{
    for (const auto &[zone, frame] : row.zoneFrames()) {
        if (zone.targetID == before)
            return row.parentWidget()->mapTo(&view, frame.center());
    }
    qFatal("no such zone");
}

QStringList order(const QList<Item> &items)
{
    QStringList names;
    for (const Item &item : items)
        names << (item.isGroup() ? item.group()->name : item.link()->location.fileName());
    return names;
}

QStringList order(const QList<ItemLink> &links)
{
    QStringList names;
    for (const ItemLink &link : links)
        names << link.location.fileName();
    return names;
}

std::unique_ptr<QMimeData> payload(const QUuid &id, Kind kind)
{
    return std::unique_ptr<QMimeData>(DraggedPanelItem{.id = id, .kind = kind}.toMimeData());
}

std::unique_ptr<QMimeData> files(const QStringList &paths)
{
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls << (path.startsWith(u"http") ? QUrl(path) : QUrl::fromLocalFile(path));
    data->setUrls(urls);
    return data;
}

// One panel: a, Group (x, y), b; a second panel holding c.
struct Panels
{
    Panels()
        : fixture({panelWith({tabWith(u"T"_qs, {a, group, b})}), panelWith({tabWith(u"U"_qs, {c})})})
    {
    }

    ItemLink a = linkTo(u"/apps/a.desktop"_qs);
    ItemLink b = linkTo(u"/apps/b.desktop"_qs);
    ItemLink c = linkTo(u"/apps/c.desktop"_qs);
    ItemLink x = linkTo(u"/apps/x.desktop"_qs);
    ItemLink y = linkTo(u"/apps/y.desktop"_qs);
    ItemGroup group{.name = u"G"_qs, .links = {x, y}};
    UiFixture fixture;

    QList<Item> items() const { return fixture.panel(0).activeTab().items; }
    QList<ItemLink> members() const { return fixture.panel(0).group(group.id)->links; }
};

} // namespace

class TestDropEvents : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void itemsOnThePanel_data();
    void itemsOnThePanel();
    void filesOnThePanel_data();
    void filesOnThePanel();
    void filesOnAnEmptyTabShowTheBorder();
    void membersInThePopover_data();
    void membersInThePopover();
    void filesInThePopover();
};

void TestDropEvents::itemsOnThePanel_data()
{
    QTest::addColumn<QString>("dragged"); // a, b, c (other panel), group, garbage
    QTest::addColumn<QString>("target");  // "before <name>", "end", "group"
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QStringList>("members");

    const QStringList unchanged{u"a.desktop"_qs, u"G"_qs, u"b.desktop"_qs};
    const QStringList members{u"x.desktop"_qs, u"y.desktop"_qs};
    QTest::newRow("first to the end") << u"a"_qs << u"end"_qs << true
                                      << QStringList{u"G"_qs, u"b.desktop"_qs, u"a.desktop"_qs} << members;
    QTest::newRow("last before the first") << u"b"_qs << u"before a"_qs << true
                                           << QStringList{u"b.desktop"_qs, u"a.desktop"_qs, u"G"_qs} << members;
    QTest::newRow("group before the first") << u"group"_qs << u"before a"_qs << true
                                            << QStringList{u"G"_qs, u"a.desktop"_qs, u"b.desktop"_qs} << members;
    QTest::newRow("link into the group") << u"b"_qs << u"group"_qs << true
                                         << QStringList{u"a.desktop"_qs, u"G"_qs}
                                         << QStringList{u"x.desktop"_qs, u"y.desktop"_qs, u"b.desktop"_qs};
    QTest::newRow("group onto itself: refused") << u"group"_qs << u"group"_qs << false << unchanged << members;
    QTest::newRow("item of another panel: refused") << u"c"_qs << u"before a"_qs << false << unchanged << members;
    QTest::newRow("member out of its popover: refused") << u"x"_qs << u"end"_qs << false << unchanged << members;
    QTest::newRow("garbage payload: refused") << u"garbage"_qs << u"before a"_qs << false << unchanged << members;
}

void TestDropEvents::itemsOnThePanel()
{
    QFETCH(QString, dragged);
    QFETCH(QString, target);
    QFETCH(bool, taken);
    QFETCH(QStringList, items);
    QFETCH(QStringList, members);

    Panels p;
    PanelView view(p.fixture.panel(0), *p.fixture.store);
    QVERIFY(shown(view));

    const QHash<QString, QUuid> ids{{u"a"_qs, p.a.id}, {u"b"_qs, p.b.id}, {u"c"_qs, p.c.id}, {u"x"_qs, p.x.id}};
    std::unique_ptr<QMimeData> data = dragged == u"group"_qs ? payload(p.group.id, Kind::Group)
                                                              : payload(ids.value(dragged), Kind::Link);
    if (dragged == u"garbage"_qs)
        data->setData(DraggedPanelItem::mimeType(), R"({"id":"x","kind":{"link":{},"group":{}}})");

    QPointF at;
    if (target == u"group"_qs) {
        const GroupItemView *tile = view.findChild<GroupItemView *>();
        at = tile->mapTo(&view, tile->iconFrame().center());
    } else {
        at = zoneCentre(view, *view.itemLayout(),
                        target == u"end"_qs ? std::nullopt : std::optional<QUuid>(p.a.id));
    }
    const Delivery delivery = deliver(view, at, *data, Qt::MoveAction | Qt::CopyAction);
    QCOMPARE(delivery.movedAccepted, taken);
    QCOMPARE(delivery.dropped, taken);
    QCOMPARE(order(p.items()), items);
    QCOMPARE(order(p.members()), members);
    // Nothing stays highlighted once the drag is over.
    QVERIFY(!view.findChild<GroupItemView *>() || !view.findChild<GroupItemView *>()->isDropTargeted());
}

void TestDropEvents::filesOnThePanel_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QStringList>("members");

    const QStringList members{u"x.desktop"_qs, u"y.desktop"_qs};
    QTest::newRow("before the first") << u"left half of a"_qs
                                      << QStringList{u"new 1.txt"_qs, u"nouvé.txt"_qs, u"a.desktop"_qs, u"G"_qs,
                                                     u"b.desktop"_qs}
                                      << members;
    QTest::newRow("into the group") << u"group"_qs << QStringList{u"a.desktop"_qs, u"G"_qs, u"b.desktop"_qs}
                                    << QStringList{u"x.desktop"_qs, u"y.desktop"_qs, u"new 1.txt"_qs,
                                                   u"nouvé.txt"_qs};
    QTest::newRow("at the end") << u"right half of b"_qs
                                << QStringList{u"a.desktop"_qs, u"G"_qs, u"b.desktop"_qs, u"new 1.txt"_qs,
                                               u"nouvé.txt"_qs}
                                << members;
}

void TestDropEvents::filesOnThePanel()
{
    QFETCH(QString, target);
    QFETCH(QStringList, items);
    QFETCH(QStringList, members);

    Panels p;
    PanelView view(p.fixture.panel(0), *p.fixture.store);
    QVERIFY(shown(view));

    const QHash<QUuid, QRectF> frames = view.itemFrames();
    QPointF at;
    if (target == u"group"_qs)
        at = frames.value(p.group.id).center();
    else if (target == u"left half of a"_qs)
        at = frames.value(p.a.id).center() - QPointF(4, 0);
    else
        at = frames.value(p.b.id).center() + QPointF(4, 0);

    // The http URL is left out; the order of the list is kept.
    const auto data = files({u"/tmp/new 1.txt"_qs, u"https://example.org/web.txt"_qs, u"/tmp/nouvé.txt"_qs});
    const Delivery delivery = deliver(view, at, *data, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction);
    QVERIFY(delivery.movedAccepted);
    QVERIFY(delivery.dropped);
    QTRY_COMPARE(order(p.items()), items);
    QTRY_COMPARE(order(p.members()), members);
    QVERIFY(!view.externalDropTarget());
}

void TestDropEvents::filesOnAnEmptyTabShowTheBorder()
{
    UiFixture f({panelWith({tabWith(u"Empty"_qs, {})})});
    PanelView view(f.panel(), *f.store);
    QVERIFY(shown(view));

    const auto data = files({u"/tmp/one.txt"_qs});
    const QPointF at = view.bodyRect().center();
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &enter);
    QDragMoveEvent move(at.toPoint(), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &move);
    QVERIFY(move.isAccepted());
    QCOMPARE(move.dropAction(), Qt::CopyAction);
    QVERIFY(view.showsPanelDropBorder());
    QVERIFY(view.externalDropTarget() == ExternalDropTarget::end());

    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(&view, &leave);
    QVERIFY(!view.showsPanelDropBorder());

    QVERIFY(deliver(view, at, *data, Qt::CopyAction).dropped);
    QTRY_COMPARE(order(f.panel().activeTab().items), QStringList{u"one.txt"_qs});

    // A drag without a single local file is not taken at all.
    QVERIFY(!deliver(view, at, *files({u"https://example.org/a"_qs}), Qt::CopyAction).entered);
}

void TestDropEvents::membersInThePopover_data()
{
    QTest::addColumn<QString>("dragged");
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QStringList>("members");

    const QStringList unchanged{u"x.desktop"_qs, u"y.desktop"_qs};
    QTest::newRow("first to the end") << u"x"_qs << u"end"_qs << true << QStringList{u"y.desktop"_qs, u"x.desktop"_qs};
    QTest::newRow("last before the first") << u"y"_qs << u"before x"_qs << true
                                           << QStringList{u"y.desktop"_qs, u"x.desktop"_qs};
    QTest::newRow("a panel's link: refused") << u"a"_qs << u"before x"_qs << false << unchanged;
    QTest::newRow("the group itself: refused") << u"group"_qs << u"end"_qs << false << unchanged;
}

void TestDropEvents::membersInThePopover()
{
    QFETCH(QString, dragged);
    QFETCH(QString, target);
    QFETCH(bool, taken);
    QFETCH(QStringList, members);

    Panels p;
    GroupPopoverView view(p.group.id, p.fixture.panel(0).id(), *p.fixture.store);
    QVERIFY(shown(view));

    const QHash<QString, QUuid> ids{{u"a"_qs, p.a.id}, {u"x"_qs, p.x.id}, {u"y"_qs, p.y.id}};
    const auto data = dragged == u"group"_qs ? payload(p.group.id, Kind::Group) : payload(ids.value(dragged), Kind::Link);
    const QPointF at = zoneCentre(view, *view.itemLayout(),
                                  target == u"end"_qs ? std::nullopt : std::optional<QUuid>(p.x.id));
    const Delivery delivery = deliver(view, at, *data, Qt::MoveAction);
    QCOMPARE(delivery.dropped, taken);
    QCOMPARE(order(p.members()), members);
    QCOMPARE(order(p.items()), (QStringList{u"a.desktop"_qs, u"G"_qs, u"b.desktop"_qs}));
}

void TestDropEvents::filesInThePopover()
{
    Panels p;
    GroupPopoverView view(p.group.id, p.fixture.panel(0).id(), *p.fixture.store);
    QVERIFY(shown(view));

    const QPointF at = view.itemFrames().value(p.y.id).center() - QPointF(4, 0);
    QVERIFY(deliver(view, at, *files({u"/tmp/z.txt"_qs}), Qt::CopyAction).dropped);
    QTRY_COMPARE(order(p.members()), (QStringList{u"x.desktop"_qs, u"z.txt"_qs, u"y.desktop"_qs}));
}

QTEST_MAIN(TestDropEvents)
#include "tst_dropevents.moc"
