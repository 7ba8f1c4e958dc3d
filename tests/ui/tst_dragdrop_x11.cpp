// Drags and the group popover on a real X server with a window manager: the pointer is driven
// by xdotool, in its own process (a drag runs its own event loop in this one), and what changed
// is read from the configuration the store saved.

#include "windowfixture.h"

#include "ui/draggedpanelitem.h"
#include "ui/groupitemview.h"
#include "ui/grouppopoverview.h"
#include "ui/itemrowlayout.h"
#include "ui/panelview.h"
#include "ui/tabchip.h"
#include "ui/tabnamefield.h"
#include "ui/uiviewfactory.h"
#include "windows/groupwindow.h"

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QProcess>
#include <QWidget>

#include <memory>

namespace {

X11Session &session()
{
    return X11Session::current();
}

// A panel of a, G (x, y), b, H (z) on the bottom edge, and a second one holding c on the top.
struct Scene
{
    Scene()
    {
        Panel bottom = panelNamed(u"Bottom"_qs, 0, snappedTo(PanelEdge::Bottom));
        for (const Item &item : {Item(a), Item(g), Item(b), Item(h)})
            bottom.append(item);
        Panel top = panelNamed(u"Top"_qs, 0, snappedTo(PanelEdge::Top));
        top.append(c);
        fixture = std::make_unique<WindowFixture>(QList{bottom, top}, std::make_unique<UiViewFactory>());
    }

    PanelView *view(qsizetype index) const
    {
        return qobject_cast<PanelView *>(fixture->window(index)->findChild<PanelView *>());
    }
    // A tile's frame, or the zone in front of an item (the end zone for none), on the screen.
    QPoint tileCentre(const QUuid &id, qsizetype panel = 0) const
    {
        PanelView *v = view(panel);
        return v->mapToGlobal(v->itemFrames().value(id).center()).toPoint();
    }
    // A group tile's icon on the screen.
    QRect iconOnScreen(const QUuid &groupID) const
    {
        for (GroupItemView *tile : view(0)->findChildren<GroupItemView *>()) {
            if (tile->groupID() == groupID)
                return {tile->mapToGlobal(tile->iconFrame().topLeft().toPoint()), tile->iconFrame().size().toSize()};
        }
        return {};
    }
    QPoint zoneCentre(const std::optional<QUuid> &before, qsizetype panel = 0) const
    {
        PanelView *v = view(panel);
        for (const auto &[zone, frame] : v->itemLayout()->zoneFrames()) {
            if (zone.targetID == before)
                return v->itemLayout()->parentWidget()->mapToGlobal(frame.center()).toPoint();
        }
        return {};
    }
    QStringList savedItems(qsizetype panel = 0) const
    {
        QStringList names;
        const std::optional<QList<Panel>> &saved = fixture->services.storage->lastSaved;
        if (!saved)
            return names;
        for (const Item &item : saved->at(panel).activeTab().items)
            names << (item.isGroup() ? item.group()->name : item.link()->location.fileName());
        return names;
    }
    QStringList savedMembers(const QUuid &groupID) const
    {
        QStringList names;
        const std::optional<QList<Panel>> &saved = fixture->services.storage->lastSaved;
        if (saved && saved->at(0).group(groupID)) {
            for (const ItemLink &link : saved->at(0).group(groupID)->links)
                names << link.location.fileName();
        }
        return names;
    }
    GroupPopoverView *popover() const
    {
        GroupWindow *window = fixture->manager.groupWindow();
        return window ? window->findChild<GroupPopoverView *>() : nullptr;
    }
    // Whether the server has the popover beside group G's icon, 8 points apart on the side
    // away from `edge`, with Qt's record of both windows agreeing.
    bool popoverPlaced(PanelEdge edge) const
    {
        GroupWindow *window = fixture->manager.groupWindow();
        if (!window || window->geometry() != session().frame(xcb_window_t(window->winId()))
            || fixture->window(0)->geometry() != session().frame(fixture->xid(0)))
            return false;
        const QRect frame = window->geometry();
        const QRect icon = iconOnScreen(g.id);
        switch (edge) {
        case PanelEdge::Bottom:
            return frame.bottom() + 1 + 8 == icon.top() && frame.left() == icon.left();
        case PanelEdge::Top:
            return frame.top() == icon.bottom() + 1 + 8 && frame.left() == icon.left();
        case PanelEdge::Left:
            return frame.left() == icon.right() + 1 + 8 && frame.top() == icon.top();
        case PanelEdge::Right:
            return frame.right() + 1 + 8 == icon.left() && frame.top() == icon.top();
        }
        return false;
    }
    // The popover's and the first panel's frames on the server and in Qt's records, and the icon.
    QByteArray whereIsPopover() const
    {
        GroupWindow *window = fixture->manager.groupWindow();
        if (!window)
            return "no popover";
        // QTest::toString hands out memory the caller frees.
        const std::unique_ptr<char[]> text(QTest::toString(
            QList{session().frame(xcb_window_t(window->winId())), window->geometry(), iconOnScreen(g.id),
                  session().frame(fixture->xid(0)), fixture->window(0)->geometry()}));
        return QByteArray("popover on the server, in Qt; icon; panel on the server, in Qt: ") + text.get();
    }

    ItemLink a{.location = QUrl::fromLocalFile(u"/usr/bin/a"_qs)};
    ItemLink b{.location = QUrl::fromLocalFile(u"/usr/bin/b"_qs)};
    ItemLink c{.location = QUrl::fromLocalFile(u"/usr/bin/c"_qs)};
    ItemLink x{.location = QUrl::fromLocalFile(u"/usr/bin/x"_qs)};
    ItemLink y{.location = QUrl::fromLocalFile(u"/usr/bin/y"_qs)};
    ItemLink z{.location = QUrl::fromLocalFile(u"/usr/bin/z"_qs)};
    ItemGroup g{.name = u"G"_qs, .links = {x, y}};
    ItemGroup h{.name = u"H"_qs, .links = {z}};
    std::unique_ptr<WindowFixture> fixture;
};

// A small window that drags a list of files as a file manager does, when pressed and moved.
class FileSource : public QWidget
{
public:
    explicit FileSource(const QList<QUrl> &urls) : m_urls(urls)
    {
        setWindowTitle(u"files"_qs);
        resize(120, 120);
    }

    Qt::DropAction result = Qt::IgnoreAction;

protected:
    void mousePressEvent(QMouseEvent *event) override { m_press = event->position().toPoint(); }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        if (!m_press || (event->position().toPoint() - *m_press).manhattanLength() < QApplication::startDragDistance())
            return;
        m_press.reset();
        auto *drag = new QDrag(this);
        auto *data = new QMimeData;
        data->setUrls(m_urls);
        drag->setMimeData(data);
        result = drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction);
    }

private:
    QList<QUrl> m_urls;
    std::optional<QPoint> m_press;
};

} // namespace

class TestDragDropX11 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tilesDraggedWithThePointer_data();
    void tilesDraggedWithThePointer();
    void membersDraggedInThePopover();
    void filesFromAnotherWindow();
    void popoverOpensTogglesSwitchesAndCloses();
    void popoverOnEachSide_data();
    void popoverOnEachSide();
};

void TestDragDropX11::tilesDraggedWithThePointer_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QStringList>("members");

    const QStringList members{u"x"_qs, u"y"_qs};
    QTest::newRow("within the panel") << u"before a"_qs << QStringList{u"b"_qs, u"a"_qs, u"G"_qs, u"H"_qs}
                                      << members;
    QTest::newRow("into a group") << u"group G"_qs << QStringList{u"a"_qs, u"G"_qs, u"H"_qs}
                                  << QStringList{u"x"_qs, u"y"_qs, u"b"_qs};
    QTest::newRow("to another panel: refused") << u"other panel"_qs << QStringList{u"a"_qs, u"G"_qs, u"b"_qs, u"H"_qs}
                                               << members;
}

void TestDragDropX11::tilesDraggedWithThePointer()
{
    QFETCH(QString, target);
    QFETCH(QStringList, items);
    QFETCH(QStringList, members);

    Scene scene;
    QVERIFY(scene.fixture->allManaged());
    QTRY_VERIFY(scene.view(0) && scene.view(0)->isVisible() && scene.view(1) && scene.view(1)->isVisible());
    const int savesBefore = scene.fixture->services.storage->saveCount;

    QPoint to;
    if (target == u"before a"_qs)
        to = scene.zoneCentre(scene.a.id);
    else if (target == u"group G"_qs)
        to = scene.tileCentre(scene.g.id);
    else
        to = scene.zoneCentre(std::nullopt, 1) - QPoint(4, 0);
    const auto pointer = session().dragWithPointer(scene.tileCentre(scene.b.id), to);
    QVERIFY(X11Session::finishes(*pointer));
    if (target == u"other panel"_qs) {
        // Refused: nothing saved, nothing moved.
        QTRY_VERIFY(!QApplication::mouseButtons());
        QCOMPARE(scene.fixture->services.storage->saveCount, savesBefore);
        QCOMPARE(scene.fixture->panel(0).activeTab().items.size(), 4);
        QCOMPARE(scene.fixture->panel(1).activeTab().items.size(), 1);
        return;
    }
    QTRY_COMPARE(scene.savedItems(), items);
    QCOMPARE(scene.savedMembers(scene.g.id), members);
    QCOMPARE(scene.savedItems(1), QStringList{u"c"_qs});
}

void TestDragDropX11::membersDraggedInThePopover()
{
    Scene scene;
    QVERIFY(scene.fixture->allManaged());
    scene.fixture->store->expandGroup(scene.g.id);
    QTRY_VERIFY(scene.popover() && scene.popover()->isVisible());
    QVERIFY(session().waitUntilManaged(xcb_window_t(scene.fixture->manager.groupWindow()->winId())));
    // Pressed where Qt has it, so only once it is there.
    QTRY_VERIFY2(scene.popoverPlaced(PanelEdge::Bottom), scene.whereIsPopover().constData());
    GroupPopoverView *popover = scene.popover();
    QPoint end;
    for (const auto &[zone, frame] : popover->itemLayout()->zoneFrames()) {
        if (!zone.targetID)
            end = popover->itemLayout()->parentWidget()->mapToGlobal(frame.center()).toPoint();
    }
    const QPoint from = popover->mapToGlobal(popover->itemFrames().value(scene.x.id).center()).toPoint();
    QVERIFY(X11Session::finishes(*session().dragWithPointer(from, end)));
    QTRY_COMPARE(scene.savedMembers(scene.g.id), (QStringList{u"y"_qs, u"x"_qs}));
}

void TestDragDropX11::filesFromAnotherWindow()
{
    Scene scene;
    QVERIFY(scene.fixture->allManaged());
    QTRY_VERIFY(scene.view(0) && scene.view(0)->isVisible());
    FileSource source({QUrl::fromLocalFile(u"/tmp/dropped one.txt"_qs), QUrl(u"https://example.org/x"_qs),
                       QUrl::fromLocalFile(u"/tmp/dropped twö.txt"_qs)});
    source.move(200, 200);
    source.show();
    QVERIFY(session().waitUntilManaged(xcb_window_t(source.winId())));
    QTRY_VERIFY(source.isActiveWindow() || source.isVisible());

    // Over the left half of b: the files go in front of it.
    const QPoint to = scene.tileCentre(scene.b.id) - QPoint(6, 0);
    QVERIFY(X11Session::finishes(*session().dragWithPointer(source.mapToGlobal(QPoint(60, 60)), to)));
    QTRY_COMPARE(scene.savedItems(),
                 (QStringList{u"a"_qs, u"G"_qs, u"dropped one.txt"_qs, u"dropped twö.txt"_qs, u"b"_qs, u"H"_qs}));
    QVERIFY(source.result == Qt::CopyAction);
}

void TestDragDropX11::popoverOpensTogglesSwitchesAndCloses()
{
    Scene scene;
    QVERIFY(scene.fixture->allManaged());
    QTRY_VERIFY(scene.view(0) && scene.view(0)->isVisible());

    // A press on the tile opens its group beside it (above: the panel is on the bottom edge).
    QVERIFY(session().click(scene.tileCentre(scene.g.id)));
    QTRY_COMPARE(scene.fixture->store->expandedGroupID(), std::optional<QUuid>(scene.g.id));
    QTRY_VERIFY(scene.popover() && scene.popover()->isVisible());
    const xcb_window_t popoverWindow = xcb_window_t(scene.fixture->manager.groupWindow()->winId());
    QVERIFY(session().waitUntilManaged(popoverWindow));
    // Above the tile's icon, 8 points apart, their left edges aligned.
    const QRect icon = scene.iconOnScreen(scene.g.id);
    QTRY_COMPARE(session().frame(popoverWindow).bottom() + 1 + 8, icon.top());
    QCOMPARE(session().frame(popoverWindow).left(), icon.left());
    QCOMPARE(scene.popover()->chip()->name(), u"G"_qs);
    QCOMPARE(scene.popover()->itemFrames().size(), 2);

    // The other group's tile switches; its own tile again closes.
    QVERIFY(session().click(scene.tileCentre(scene.h.id)));
    QTRY_COMPARE(scene.fixture->store->expandedGroupID(), std::optional<QUuid>(scene.h.id));
    QTRY_VERIFY(scene.popover() && scene.popover()->itemFrames().size() == 1);
    QVERIFY(session().click(scene.tileCentre(scene.h.id)));
    QTRY_VERIFY(!scene.fixture->store->expandedGroupID());
    QTRY_VERIFY(!scene.fixture->manager.groupWindow());

    // Escape closes it.
    QVERIFY(session().click(scene.tileCentre(scene.g.id)));
    QTRY_VERIFY(scene.popover() && scene.popover()->isVisible());
    QTRY_VERIFY(scene.popover()->hasFocus());
    QTest::keyClick(scene.popover(), Qt::Key_Escape);
    QTRY_VERIFY(!scene.fixture->store->expandedGroupID());

    // So does a click outside it, on the panel's bare body.
    QVERIFY(session().click(scene.tileCentre(scene.g.id)));
    QTRY_VERIFY(scene.popover() && scene.popover()->isVisible());
    QVERIFY(session().waitUntilManaged(xcb_window_t(scene.fixture->manager.groupWindow()->winId())));
    const QRect panel = session().frame(scene.fixture->xid(0));
    QVERIFY(session().click(QPoint(panel.right() - 4, panel.center().y())));
    QTRY_VERIFY(!scene.fixture->store->expandedGroupID());
}

void TestDragDropX11::popoverOnEachSide_data()
{
    QTest::addColumn<int>("edge");
    QTest::addColumn<bool>("composited");
    for (const bool composited : {false, true}) {
        const char *look = composited ? "translucent" : "opaque";
        QTest::addRow("bottom edge: above, %s", look) << int(PanelEdge::Bottom) << composited;
        QTest::addRow("top edge: below, %s", look) << int(PanelEdge::Top) << composited;
        QTest::addRow("left edge: right of it, %s", look) << int(PanelEdge::Left) << composited;
        QTest::addRow("right edge: left of it, %s", look) << int(PanelEdge::Right) << composited;
    }
}

// Beside the tile's icon, 8 points apart, on the panel's companion side. With
// QUAYROW_SCREENSHOT_DIR set, a picture of the panel and its popover is kept there.
void TestDragDropX11::popoverOnEachSide()
{
    QFETCH(int, edge);
    QFETCH(bool, composited);
    if (composited != session().isCompositing()) {
        if (composited && !session().startCompositor())
            QSKIP("no compositor");
        if (!composited)
            QVERIFY(session().stopCompositor());
    }

    Scene scene;
    scene.fixture->store->setPlacement(snappedTo(PanelEdge(edge)), scene.fixture->id(0));
    QVERIFY(scene.fixture->allManaged());
    QTRY_VERIFY(scene.view(0) && scene.view(0)->isVisible());
    scene.fixture->store->beginRenamingGroup(scene.g.id);
    QTRY_VERIFY(scene.popover() && scene.popover()->isVisible());
    const xcb_window_t popoverWindow = xcb_window_t(scene.fixture->manager.groupWindow()->winId());
    QVERIFY(session().waitUntilManaged(popoverWindow));

    // The panel window moves to its new edge meanwhile.
    QTRY_VERIFY2(scene.popoverPlaced(PanelEdge(edge)), scene.whereIsPopover().constData());
    QTRY_VERIFY(scene.popover()->chip()->isRenaming());

    if (const QString folder = qEnvironmentVariable("QUAYROW_SCREENSHOT_DIR"); !folder.isEmpty()) {
        QTRY_VERIFY(scene.popover()->chip()->nameField() && scene.popover()->chip()->nameField()->hasFocus());
        const QRect area = session()
                               .frame(popoverWindow)
                               .united(session().frame(scene.fixture->xid(0)))
                               .adjusted(-24, -24, 24, 24)
                               .intersected(QRect(QPoint(0, 0), QGuiApplication::primaryScreen()->size()));
        QString name = QString::fromLatin1(QTest::currentDataTag());
        name.remove(u':').remove(u',').replace(u' ', u'-');
        // A compositor paints the windows' new content on a frame of its own, some time later;
        // taken before, the picture shows the bodies' transparent pixels as black.
        if (composited)
            QTest::qWait(700);
        const QImage picture = session().grab(area);
        QVERIFY2(picture.save(u"%1/popover-%2.png"_qs.arg(folder, name)), "cannot save the popover's picture");
    }
    // Escape while renaming ends it with the old name and leaves the popover open.
    QTest::keyClick(scene.popover()->chip()->nameField(), Qt::Key_Escape);
    QTRY_VERIFY(!scene.fixture->store->editingGroupID());
    QCOMPARE(scene.fixture->store->expandedGroupID(), std::optional<QUuid>(scene.g.id));
    QCOMPARE(scene.fixture->panel(0).group(scene.g.id)->name, u"G"_qs);
}

QUAYROW_X11_TEST_MAIN(TestDragDropX11)
#include "tst_dragdrop_x11.moc"
