// What tiles, the add button and the panel body put on screen: a few meaningful pixels each.
// Runs at the screen's own pixel ratio and again with QT_SCALE_FACTOR=2.

#include "paintcounter.h"
#include "uitestsupport.h"

#include "ui/additembutton.h"
#include "ui/attentionpulse.h"
#include "ui/groupmembertile.h"
#include "ui/itemiconview.h"
#include "ui/itemtiles.h"
#include "ui/panelview.h"
#include "ui/tiledecorations.h"
#include "ui/viewstyle.h"

#include <QPainter>
#include <QTest>

namespace {

// The widget drawn onto a transparent image at its own pixel ratio, without a window background.
QImage render(QWidget &widget)
{
    const qreal ratio = widget.devicePixelRatioF();
    QImage image((QSizeF(widget.size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

QColor pixelAt(const QImage &image, const QPointF &point)
{
    const QPointF device = point * image.devicePixelRatio();
    return image.pixelColor(int(device.x()), int(device.y()));
}

// `top` drawn over `bottom`, as the painter composes them.
QColor over(const QColor &bottom, const QColor &top)
{
    QImage one(1, 1, QImage::Format_ARGB32_Premultiplied);
    one.fill(bottom);
    QPainter painter(&one);
    painter.fillRect(0, 0, 1, 1, top);
    painter.end();
    return one.pixelColor(0, 0);
}

bool near(const QColor &a, const QColor &b, int tolerance = 3)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
        && std::abs(a.blue() - b.blue()) <= tolerance && std::abs(a.alpha() - b.alpha()) <= tolerance;
}

QIcon solidIcon(const QColor &color, int side)
{
    QPixmap pixmap(side, side);
    pixmap.fill(color);
    return QIcon(pixmap);
}

} // namespace

class TestTileRendering : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void runningMarker();
    void hoverPlate();
    void iconsAreDrawnFromPicturesOfTheScreensDensity();
    void bodyTint_data();
    void bodyTint();
    void addButtonStrokes();
    void launcherEntryShowsOnItsApplicationsTiles();
    void attentionPulsesThenStays();
};

void TestTileRendering::runningMarker()
{
    const IconChrome chrome;
    ItemIconView running(solidIcon(Qt::red, 48), true, u"Mail"_qs, chrome, false, true, true);
    ItemIconView idle(solidIcon(Qt::red, 48), false, u"Mail"_qs, chrome, false, true, true);
    for (ItemIconView *tile : {&running, &idle})
        tile->resize(tile->sizeHint());

    const QColor primary = ViewStyle::primary(running.palette());
    QVERIFY(near(pixelAt(render(running), running.markerFrame().center()), primary, 40));
    QCOMPARE(pixelAt(render(idle), idle.markerFrame().center()).alpha(), 0);
    // The marker's room is kept either way, so tiles line up.
    QCOMPARE(running.sizeHint(), idle.sizeHint());
    // The icon itself is clipped to its rounded square: the very corner stays clear.
    QCOMPARE(pixelAt(render(idle), running.iconFrame().topLeft() + QPointF(0.5, 0.5)).alpha(), 0);
    QVERIFY(near(pixelAt(render(idle), running.iconFrame().center()), QColor(Qt::red)));
}

void TestTileRendering::hoverPlate()
{
    const IconChrome chrome;
    // An icon with a transparent margin, so that the plate shows around it.
    QPixmap framed(48, 48);
    framed.fill(Qt::transparent);
    QPainter(&framed).fillRect(16, 16, 16, 16, Qt::blue);
    ItemIconView highlighting(QIcon(framed), false, u"A"_qs, chrome, false, true, true);
    ItemIconView plain(QIcon(framed), false, u"A"_qs, chrome, false, false, true);
    for (ItemIconView *tile : {&highlighting, &plain}) {
        tile->resize(tile->sizeHint());
        tile->show();
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(tile, &enter);
        QVERIFY(tile->isHovering());
    }
    const QPointF margin = highlighting.iconFrame().topLeft() + QPointF(8, 24);
    const QColor plate = ViewStyle::withOpacity(ViewStyle::accent(highlighting.palette()), 0.18);
    QVERIFY(near(pixelAt(render(highlighting), margin), over(Qt::transparent, plate)));
    QCOMPARE(pixelAt(render(plain), margin).alpha(), 0);

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&highlighting, &leave);
    QCOMPARE(pixelAt(render(highlighting), margin).alpha(), 0);
}

void TestTileRendering::iconsAreDrawnFromPicturesOfTheScreensDensity()
{
    // Red at 48 pixels, green at 96: a screen of twice the density must show the green one.
    QIcon icon;
    icon.addPixmap(solidIcon(Qt::red, 48).pixmap(48, 48));
    QPixmap large(96, 96);
    large.fill(Qt::green);
    icon.addPixmap(large);

    ItemIconView tile(icon, false, u"A"_qs, IconChrome{}, false, true, true);
    tile.resize(tile.sizeHint());
    tile.show();
    const qreal ratio = tile.devicePixelRatioF();
    const QColor shown = pixelAt(render(tile), tile.iconFrame().center());
    QVERIFY2(near(shown, ratio >= 2 ? QColor(Qt::green) : QColor(Qt::red)),
             qPrintable(u"%1 at ratio %2"_qs.arg(shown.name()).arg(ratio)));

    // Edges stay sharp: a pixel-wide line drawn at the full density survives as a pure colour.
    QPixmap lined(int(48 * ratio), int(48 * ratio));
    lined.fill(Qt::white);
    QPainter(&lined).fillRect(QRect(lined.width() / 2, 0, 1, lined.height()), Qt::black);
    ItemIconView sharp(QIcon(lined), false, u"A"_qs, IconChrome{}, false, true, true);
    sharp.resize(sharp.sizeHint());
    sharp.show();
    const QImage image = render(sharp);
    const QPointF centre = sharp.iconFrame().center() * ratio;
    QCOMPARE(image.pixelColor(int(centre.x()), int(centre.y())), QColor(Qt::black));
    QCOMPARE(image.pixelColor(int(centre.x()) - 1, int(centre.y())), QColor(Qt::white));
}

void TestTileRendering::bodyTint_data()
{
    QTest::addColumn<std::optional<TabColor>>("color");
    QTest::addColumn<bool>("translucent");
    QTest::newRow("no colour, opaque") << std::optional<TabColor>() << false;
    QTest::newRow("no colour, translucent") << std::optional<TabColor>() << true;
    for (const auto &[color, name] : EnumTraits<TabColor>::table)
        QTest::newRow(name) << std::optional<TabColor>(color) << (color == TabColor::SystemGray);
}

void TestTileRendering::bodyTint()
{
    QFETCH(std::optional<TabColor>, color);
    QFETCH(bool, translucent);
    PanelTab tab = tabWith(u"T"_qs, {linkTo(u"/apps/a.desktop"_qs)});
    tab.color = color;
    UiFixture f({panelWith({tab})});
    PanelView view(f.panel(), *f.store);
    view.setTranslucent(translucent);
    view.resize(view.sizeHint());
    view.show();

    // Inside the padding, clear of the edge's hairline and of the tiles.
    const QRectF body = view.bodyRect();
    const QPointF probe(body.left() + 6, body.center().y());
    QColor expected = ViewStyle::material(view.palette(), translucent);
    expected = over(Qt::transparent, expected);
    if (color)
        expected = over(expected, ViewStyle::withOpacity(TabColors::color(*color), 0.12));
    const QColor actual = pixelAt(render(view), probe);
    QVERIFY2(near(actual, expected), qPrintable(actual.name(QColor::HexArgb) + u" != "_qs + expected.name(QColor::HexArgb)));
}

void TestTileRendering::addButtonStrokes()
{
    AddItemButton button;
    button.resize(button.sizeHint());
    button.show();
    const QImage image = render(button);
    const QPalette &palette = button.palette();
    const QPointF origin((button.width() - AddItemButtonStyle::side) / 2, (button.height() - AddItemButtonStyle::side) / 2);
    const QColor circle = over(Qt::transparent, ViewStyle::withOpacity(ViewStyle::primary(palette), 0.08));
    const QColor stroke = over(circle, ViewStyle::secondary(palette));
    const double middle = AddItemButtonStyle::side / 2;

    QVERIFY(near(pixelAt(image, origin + QPointF(middle, 12)), stroke, 6));   // the vertical stroke
    QVERIFY(near(pixelAt(image, origin + QPointF(12, middle)), stroke, 6));   // the horizontal one
    QVERIFY(near(pixelAt(image, origin + QPointF(middle, 7.5)), circle, 6));  // above its round cap
    QVERIFY(near(pixelAt(image, origin + QPointF(9, 12)), circle, 6));        // between the strokes
    QCOMPARE(pixelAt(image, origin + QPointF(1.5, 1.5)).alpha(), 0);          // outside the circle

    // Pressed, the circle is twice as strong; the change eases in over 0.12 s.
    QImage pressed(image.size(), QImage::Format_ARGB32_Premultiplied);
    pressed.setDevicePixelRatio(image.devicePixelRatio());
    pressed.fill(Qt::transparent);
    QPainter painter(&pressed);
    AddItemButtonStyle::paint(painter, origin, 1.0, palette);
    painter.end();
    const QColor pressedCircle = over(Qt::transparent, ViewStyle::withOpacity(ViewStyle::primary(palette), 0.16));
    QVERIFY(near(pixelAt(pressed, origin + QPointF(9, 12)), pressedCircle, 6));

    QTest::mousePress(&button, Qt::LeftButton);
    QCOMPARE(button.pressedAmount(), 0.0);
    QTRY_COMPARE(button.pressedAmount(), 1.0);
    QTest::mouseRelease(&button, Qt::LeftButton);
    QTRY_COMPARE(button.pressedAmount(), 0.0);
}

// What an application publishes shows on its tiles only, which alone repaint.
void TestTileRendering::launcherEntryShowsOnItsApplicationsTiles()
{
    const QUrl mailer = fileAt(u"/apps/mailer.desktop"_qs);
    UiFixture f({panelWith({tabWith(u"T"_qs, {linkTo(u"/apps/mailer.desktop"_qs), linkTo(u"/apps/other.desktop"_qs)})})});
    f.fileSystem->colors.insert(mailer, Qt::blue);
    PanelView view(f.panel(), *f.store);
    view.resize(view.sizeHint());
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QList<LinkTile *> tiles = view.findChildren<LinkTile *>();
    QCOMPARE(tiles.size(), 2);
    const bool mailerFirst = tiles.at(0)->link().location == mailer;
    LinkTile &tile = *tiles.at(mailerFirst ? 0 : 1);
    LinkTile &other = *tiles.at(mailerFirst ? 1 : 0);
    PaintCounter tilePaints, otherPaints;
    tile.installEventFilter(&tilePaints);
    other.installEventFilter(&otherPaints);

    // In a group's popover too, where a member has no running marker to mark attention with.
    GroupMemberTile member(linkTo(u"/apps/mailer.desktop"_qs), QUuid::createUuid(), f.panel().id(), *f.store, {});

    f.services.launcherEntries->publish(u"mailer.desktop"_qs, LauncherEntry{.count = 3, .progress = 0.4});
    QCOMPARE(tile.badgeCount(), std::optional<qint64>(3));
    QCOMPARE(tile.progress(), std::optional<double>(0.4));
    QCOMPARE(member.badgeCount(), std::optional<qint64>(3));
    QCOMPARE(member.progress(), std::optional<double>(0.4));
    QTRY_VERIFY(tilePaints.count > 0);
    QCOMPARE(otherPaints.count, 0);
    QCOMPARE(other.badgeCount(), std::nullopt);

    const QImage image = render(tile);
    const QRectF icon = tile.iconFrame();
    const QRectF badge = TileDecorations::badgeFrame(icon, 3, tile.font());
    const QPointF inBadge(badge.center().x() - badge.height() * 0.35, badge.center().y());
    QVERIFY(near(pixelAt(image, inBadge), TabColors::color(TabColor::SystemRed), 8));
    const QRectF bar = TileDecorations::progressFrame(icon);
    const QPointF filled(bar.left() + bar.width() * 0.25, bar.center().y());
    const QPointF empty(bar.left() + bar.width() * 0.75, bar.center().y());
    QVERIFY(near(pixelAt(image, filled), ViewStyle::accent(tile.palette()), 8));
    const QColor track = pixelAt(image, empty);
    QVERIFY2(track.value() < QColor(Qt::blue).value() - 30, qPrintable(track.name()));
    // Beyond 99 the badge reads "99+", a pill wider than high on the same corner.
    const QRectF wide = TileDecorations::badgeFrame(icon, 120, tile.font());
    QVERIFY(wide.width() > wide.height() * 1.2);
    QCOMPARE(wide.topRight(), badge.topRight());

    f.services.launcherEntries->publish(u"mailer.desktop"_qs, LauncherEntry{.isUrgent = true});
    QVERIFY(tile.demandsAttention());
    QVERIFY(!member.demandsAttention());

    f.services.launcherEntries->publish(u"mailer.desktop"_qs, LauncherEntry());
    QCOMPARE(member.badgeCount(), std::nullopt);
    QCOMPARE(tile.badgeCount(), std::nullopt);
    QCOMPARE(tile.progress(), std::nullopt);
    QVERIFY(!near(pixelAt(render(tile), inBadge), TabColors::color(TabColor::SystemRed), 40));
    QVERIFY(!near(pixelAt(render(tile), filled), ViewStyle::accent(tile.palette()), 40));
}

// A request for attention: three soft pulses of the mark in place of the running marker, then a
// steady mark with nothing running; a tile built long after the request began shows it at rest.
void TestTileRendering::attentionPulsesThenStays()
{
    const QColor attention = TabColors::color(TabColor::SystemOrange);
    ItemIconView tile(solidIcon(Qt::red, 48), true, u"Mail"_qs, IconChrome{}, false, true, true);
    tile.resize(tile.sizeHint());
    tile.show();
    // Beside the round marker, inside the wider mark.
    const QPointF beside = tile.markerFrame().center() + QPointF(tile.markerFrame().width() * 1.1, 0);
    QCOMPARE(pixelAt(render(tile), beside).alpha(), 0);

    tile.setAttention(std::chrono::milliseconds(0));
    QVERIFY(tile.demandsAttention());
    QVERIFY(tile.isPulsing());
    QTRY_VERIFY_WITH_TIMEOUT(!tile.isPulsing(), int(AttentionPulse::duration.count()) + 3000);
    QVERIFY(near(pixelAt(render(tile), beside), attention, 8));
    QVERIFY(near(pixelAt(render(tile), tile.markerFrame().center()), attention, 8));

    tile.setAttention(std::nullopt);
    QCOMPARE(pixelAt(render(tile), beside).alpha(), 0);
    QVERIFY(near(pixelAt(render(tile), tile.markerFrame().center()), ViewStyle::primary(tile.palette()), 40));

    // Built from the store: the request began a minute ago.
    const QUrl mailer = fileAt(u"/apps/mailer.desktop"_qs);
    UiFixture f({panelWith({tabWith(u"T"_qs, {linkTo(u"/apps/mailer.desktop"_qs)}, true)}),
                 panelWith({tabWith(u"Quiet"_qs, {linkTo(u"/apps/mailer.desktop"_qs)}, false)})});
    f.services.runningApps->attention.insert(mailer, std::chrono::steady_clock::now() - std::chrono::minutes(1));
    LinkTile built(ItemLink{.location = mailer}, f.panel(0), *f.store);
    QVERIFY(built.demandsAttention());
    QVERIFY(!built.isPulsing());
    // A tab that does not follow running applications shows no marks.
    LinkTile quiet(ItemLink{.location = mailer}, f.panel(1), *f.store);
    QVERIFY(!quiet.demandsAttention());
}

QTEST_MAIN(TestTileRendering)
#include "tst_tilerendering.moc"
