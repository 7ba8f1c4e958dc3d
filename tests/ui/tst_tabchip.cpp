// The tab chip on its own: the slanted outline, the colours, the drawn shape as the only place
// that takes clicks (also turned), single and double clicks, the rename field and tooltips.

#include "ui/itemtooltip.h"
#include "ui/tabchip.h"
#include "ui/tabnamefield.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <memory>

Q_DECLARE_METATYPE(PanelCompanionSide)
Q_DECLARE_METATYPE(std::optional<TabColor>)

namespace {

// The corner points of an outline, with the control point of each (quadratic) curve before its
// end: QPainterPath keeps curves as cubics, whose first control lies 2/3 of the way to it.
QList<QPointF> outlinePoints(const QPainterPath &path)
{
    QList<QPointF> points;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.type == QPainterPath::CurveToElement) {
            const QPointF start = path.elementAt(i - 1);
            points.append(start + (QPointF(e) - start) * 1.5);
            points.append(path.elementAt(i + 2));
            i += 2;
        } else {
            points.append(e);
        }
    }
    return points;
}

bool near(const QPointF &a, const QPointF &b)
{
    return std::abs(a.x() - b.x()) < 1e-9 && std::abs(a.y() - b.y()) < 1e-9;
}

std::unique_ptr<TabChip> shownChip(const TabChipOptions &options, QWidget *parent = nullptr)
{
    auto chip = std::make_unique<TabChip>(options, parent);
    chip->resize(chip->sizeHint());
    chip->show();
    return chip;
}

QPoint middleLeft(const TabChip &chip)
{
    // Inside the leading padding, half-way across: in the shape, clear of the label.
    const QPointF upright(4, chip.uprightSize().height() / 2);
    return chip.turn().uprightToWidget(QSizeF(chip.size())).map(upright).toPoint();
}

QPoint topTrailingCorner(const TabChip &chip)
{
    // Beyond the tip of a slanted chip, outside its outline.
    const QPointF upright(chip.uprightSize().width() - 2, 1);
    return chip.turn().uprightToWidget(QSizeF(chip.size())).map(upright).toPoint();
}

} // namespace

class TestTabChip : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void slantedOutline_data();
    void slantedOutline();
    void sizeAndTurn_data();
    void sizeAndTurn();
    void colours_data();
    void colours();
    void paintsItsShapeOnly();
    void onlyTheShapeTakesClicks_data();
    void onlyTheShapeTakesClicks();
    void doubleClickSelectsThenRenames();
    void renameField_data();
    void renameField();
    void turnedFieldStandsUprightOverTheChip();
    void tooltipsOnlyWhenTurned_data();
    void tooltipsOnlyWhenTurned();
};

void TestTabChip::slantedOutline_data()
{
    QTest::addColumn<QRectF>("rect");
    QTest::addColumn<bool>("flipped");
    QTest::addColumn<double>("slant");
    QTest::addColumn<QList<QPointF>>("points");

    // radius 8, tip rounding 5; d = the slanted side's length.
    const double d = std::hypot(12.0, 24.0);
    QTest::newRow("plain") << QRectF(10, 20, 80, 24) << false << 12.0
                           << QList<QPointF>{{10, 44}, {10, 28}, {10, 20}, {18, 20}, {73, 20}, {78, 20},
                                             {78 + 5 * 12 / d, 20 + 5 * 24 / d}, {90, 44}, {10, 44}};
    QTest::newRow("flipped about the middle line")
        << QRectF(10, 20, 80, 24) << true << 12.0
        << QList<QPointF>{{10, 20}, {10, 36}, {10, 44}, {18, 44}, {73, 44}, {78, 44},
                          {78 + 5 * 12 / d, 44 - 5 * 24 / d}, {90, 20}, {10, 20}};
    const double n = std::hypot(6.0, 10.0);
    QTest::newRow("narrow: radius capped at half the height")
        << QRectF(0, 0, 40, 10) << false << 6.0
        << QList<QPointF>{{0, 10}, {0, 5}, {0, 0}, {5, 0}, {29, 0}, {34, 0}, {34 + 5 * 6 / n, 5 * 10 / n}, {40, 10}, {0, 10}};
}

void TestTabChip::slantedOutline()
{
    QFETCH(QRectF, rect);
    QFETCH(bool, flipped);
    QFETCH(double, slant);
    QFETCH(QList<QPointF>, points);

    const SlantedTabShape shape{.radius = 8, .slant = slant, .tipRounding = 5, .flipped = flipped};
    const QList<QPointF> actual = outlinePoints(shape.path(rect));
    QCOMPARE(actual.size(), points.size());
    for (qsizetype i = 0; i < points.size(); ++i)
        QVERIFY2(near(actual.at(i), points.at(i)), qPrintable(QStringLiteral("point %1: (%2, %3)")
                                                                   .arg(i)
                                                                   .arg(actual.at(i).x())
                                                                   .arg(actual.at(i).y())));
}

void TestTabChip::sizeAndTurn_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("slanted");
    QTest::addColumn<PanelCompanionSide>("side");
    QTest::addColumn<double>("trailing");

    QTest::newRow("button above") << u"Work"_qs << false << PanelCompanionSide::Above << 8.0;
    QTest::newRow("slanted below") << u"Work"_qs << true << PanelCompanionSide::Below << 12.0;
    QTest::newRow("slanted, left of the body: turned") << u"Work"_qs << true << PanelCompanionSide::LeftOf << 12.0;
    QTest::newRow("button, right of the body: turned") << u"Work"_qs << false << PanelCompanionSide::RightOf << 8.0;
    QTest::newRow("a long name stops at 120") << QString(60, u'W') << false << PanelCompanionSide::Above << 8.0;
}

void TestTabChip::sizeAndTurn()
{
    QFETCH(QString, name);
    QFETCH(bool, slanted);
    QFETCH(PanelCompanionSide, side);
    QFETCH(double, trailing);

    const TabChip chip({.name = name, .slanted = slanted, .companionSide = side});
    const QFontMetricsF metrics(chip.font());
    const QSizeF upright(8 + std::min(metrics.horizontalAdvance(name), 120.0) + trailing, metrics.height() + 8);
    QCOMPARE(chip.uprightSize(), upright);
    const bool turned = side == PanelCompanionSide::LeftOf || side == PanelCompanionSide::RightOf;
    QCOMPARE(chip.preferredSize(), turned ? upright.transposed() : upright);
    QCOMPARE(chip.turn().degrees(), side == PanelCompanionSide::LeftOf ? -90.0 : side == PanelCompanionSide::RightOf ? 90.0 : 0.0);
    QCOMPARE(chip.slantedShape().slant, turned ? 6.0 : 12.0);
    QCOMPARE(chip.slantedShape().flipped, side == PanelCompanionSide::Below);
}

void TestTabChip::colours_data()
{
    QTest::addColumn<std::optional<TabColor>>("color");
    QTest::addColumn<bool>("active");
    QTest::addColumn<bool>("slanted");
    QTest::addColumn<QColor>("fill");
    QTest::addColumn<QColor>("label");
    QTest::addColumn<bool>("border");

    const QPalette palette = QApplication::palette();
    const QColor text = palette.color(QPalette::WindowText);
    QColor faint = text;
    faint.setAlphaF(float(text.alphaF() * 0.10));
    const auto at = [](QColor c, double opacity) {
        c.setAlphaF(float(opacity));
        return c;
    };
    const QColor yellow(0xFF, 0xCC, 0x00);
    const QColor blue(0x00, 0x7A, 0xFF);

    QTest::newRow("plain, inactive") << std::optional<TabColor>() << false << false << faint << text << false;
    QTest::newRow("plain, active: selection colours")
        << std::optional<TabColor>() << true << false << palette.color(QPalette::Highlight)
        << palette.color(QPalette::HighlightedText) << false;
    QTest::newRow("blue, inactive") << std::optional(TabColor::SystemBlue) << false << false << at(blue, 0.55) << text << false;
    QTest::newRow("blue, active: white text") << std::optional(TabColor::SystemBlue) << true << false << at(blue, 0.8)
                                              << QColor(Qt::white) << false;
    QTest::newRow("yellow, active slanted: black text, border")
        << std::optional(TabColor::SystemYellow) << true << true << at(yellow, 0.8) << QColor(Qt::black) << true;
    QTest::newRow("plain, inactive slanted: no border") << std::optional<TabColor>() << false << true << faint << text << false;
}

void TestTabChip::colours()
{
    QFETCH(std::optional<TabColor>, color);
    QFETCH(bool, active);
    QFETCH(bool, slanted);
    QFETCH(QColor, fill);
    QFETCH(QColor, label);
    QFETCH(bool, border);

    const TabChip chip({.name = u"Tab"_qs, .color = color, .isActive = active, .slanted = slanted});
    QCOMPARE(chip.fillColor().rgba(), fill.rgba());
    QCOMPARE(chip.labelColor().rgba(), label.rgba());
    QCOMPARE(chip.borderColor().has_value(), border);
    if (border)
        QCOMPARE(chip.borderColor()->rgba(), qRgba(255, 255, 255, 140));
}

void TestTabChip::paintsItsShapeOnly()
{
    QWidget host;
    host.setAutoFillBackground(true);
    QPalette palette = host.palette();
    palette.setColor(QPalette::Window, Qt::white);
    host.setPalette(palette);
    TabChip chip({.name = u"Music"_qs, .color = TabColor::SystemRed, .isActive = true, .slanted = true}, &host);
    chip.resize(chip.sizeHint());
    host.resize(chip.size());
    const QImage image = host.grab().toImage();
    // Red at 80% over white inside; the white host beyond the tip.
    const QColor inside = image.pixelColor(middleLeft(chip));
    QVERIFY2(inside.red() > 250 && inside.green() < 120 && inside.blue() < 110, qPrintable(inside.name()));
    QCOMPARE(image.pixelColor(topTrailingCorner(chip)), QColor(Qt::white));
}

void TestTabChip::onlyTheShapeTakesClicks_data()
{
    QTest::addColumn<PanelCompanionSide>("side");
    QTest::newRow("upright") << PanelCompanionSide::Above;
    QTest::newRow("mirrored below") << PanelCompanionSide::Below;
    QTest::newRow("turned -90") << PanelCompanionSide::LeftOf;
    QTest::newRow("turned +90") << PanelCompanionSide::RightOf;
}

void TestTabChip::onlyTheShapeTakesClicks()
{
    QFETCH(PanelCompanionSide, side);

    const auto chip = shownChip({.name = u"Docs"_qs, .slanted = true, .companionSide = side});
    QSignalSpy selected(chip.get(), &TabChip::selectRequested);
    QPoint corner = topTrailingCorner(*chip);
    if (side == PanelCompanionSide::Below)
        corner.setY(chip->height() - 2);
    QTest::mouseClick(chip.get(), Qt::LeftButton, {}, corner);
    QCOMPARE(selected.count(), 0);
    QTest::mouseClick(chip.get(), Qt::LeftButton, {}, middleLeft(*chip));
    QCOMPARE(selected.count(), 1);
}

void TestTabChip::doubleClickSelectsThenRenames()
{
    const auto chip = shownChip({.name = u"Docs"_qs});
    QList<QString> calls;
    connect(chip.get(), &TabChip::selectRequested, this, [&] { calls.append(u"select"_qs); });
    connect(chip.get(), &TabChip::renameRequested, this, [&] { calls.append(u"rename"_qs); });
    const QPoint at = middleLeft(*chip);
    // What a window system delivers for a double click.
    QTest::mousePress(chip.get(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(chip.get(), Qt::LeftButton, {}, at);
    QTest::mousePress(chip.get(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(chip.get(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(chip.get(), Qt::LeftButton, {}, at);
    QCOMPARE(calls, (QList<QString>{u"select"_qs, u"rename"_qs}));
    QVERIFY(!chip->isDown());
}

void TestTabChip::renameField_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("commits");
    QTest::newRow("short name: 44 wide, Return commits") << u"A"_qs << true;
    QTest::newRow("long name: 120 wide, Escape cancels") << QString(80, u'W') << false;
}

void TestTabChip::renameField()
{
    QFETCH(QString, name);
    QFETCH(bool, commits);

    const auto chip = shownChip({.name = name, .fieldAccessibilityID = u"tabNameField"_qs, .labelAccessibilityID = u"panelTab"_qs});
    QVERIFY(QTest::qWaitForWindowActive(chip.get()));
    QCOMPARE(chip->objectName(), u"panelTab"_qs);
    const double before = chip->uprightSize().width();
    QVERIFY(!chip->nameField());

    chip->setRenaming(true);
    // Guarded: the field is deleted once renaming ends.
    const QPointer<TabNameField> field = chip->nameField();
    QVERIFY(field);
    QCOMPARE(field->objectName(), u"tabNameField"_qs);
    QCOMPARE(field->text(), name);
    QCOMPARE(field->preferredWidth(), name.size() == 1 ? 44.0 : 120.0);
    // The focus comes one turn of the event loop later, with the whole name selected.
    QVERIFY(!field->hasFocus());
    QTRY_VERIFY(field->hasFocus());
    QCOMPARE(field->selectedText(), name);
    // Inside the chip, which grows or shrinks around it and keeps its height.
    chip->resize(chip->sizeHint());
    QVERIFY(chip->rect().contains(field->geometry()));
    QCOMPARE(chip->uprightSize().width() - before, field->preferredWidth() - std::min(QFontMetricsF(chip->font()).horizontalAdvance(name), 120.0));

    QSignalSpy committed(chip.get(), &TabChip::renameCommitted);
    QSignalSpy cancelled(chip.get(), &TabChip::renameCancelled);
    QTest::keyClicks(field, u"xy"_qs);
    QTest::keyClick(field, commits ? Qt::Key_Return : Qt::Key_Escape);
    QCOMPARE(committed.count(), commits ? 1 : 0);
    QCOMPARE(cancelled.count(), commits ? 0 : 1);
    if (commits)
        QCOMPARE(committed.first().first().toString(), u"xy"_qs);

    chip->setRenaming(false);
    QVERIFY(!chip->nameField());
    QTRY_VERIFY(!field);
}

void TestTabChip::turnedFieldStandsUprightOverTheChip()
{
    QWidget window;
    window.resize(300, 300);
    TabChip chip({.name = u"Downloads"_qs, .isRenaming = true, .companionSide = PanelCompanionSide::RightOf}, &window);
    chip.setGeometry(QRect(QPoint(140, 100), chip.sizeHint()));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    TabNameField *field = chip.nameField();
    QVERIFY(field);
    QCOMPARE(field->parentWidget(), &window);
    QVERIFY(field->width() > field->height());
    QVERIFY(std::abs(field->geometry().center().x() - chip.geometry().center().x()) <= 1);
    QVERIFY(std::abs(field->geometry().center().y() - chip.geometry().center().y()) <= 1);
    // Kept inside the window near its edge.
    chip.move(window.width() - chip.width(), 10);
    QCOMPARE(field->geometry().right(), window.rect().right());
}

void TestTabChip::tooltipsOnlyWhenTurned_data()
{
    QTest::addColumn<PanelCompanionSide>("side");
    QTest::addColumn<bool>("showsTooltip");
    QTest::addColumn<bool>("hasTooltip");
    QTest::newRow("above: none") << PanelCompanionSide::Above << true << false;
    QTest::newRow("below: none") << PanelCompanionSide::Below << true << false;
    QTest::newRow("left of the body") << PanelCompanionSide::LeftOf << true << true;
    QTest::newRow("right of the body") << PanelCompanionSide::RightOf << true << true;
    QTest::newRow("turned, switched off") << PanelCompanionSide::RightOf << false << true;
}

void TestTabChip::tooltipsOnlyWhenTurned()
{
    QFETCH(PanelCompanionSide, side);
    QFETCH(bool, showsTooltip);
    QFETCH(bool, hasTooltip);

    TabChip chip({.name = u"Projects"_qs, .companionSide = side, .showsTooltip = showsTooltip});
    QCOMPARE(chip.tooltip() != nullptr, hasTooltip);
    if (!hasTooltip)
        return;
    QCOMPARE(chip.tooltip()->text(), u"Projects"_qs);
    QCOMPARE(chip.tooltip()->isEnabled(), showsTooltip);
    chip.setRenaming(true);
    QVERIFY(!chip.tooltip()->isEnabled());
    chip.setRenaming(false);
    QCOMPARE(chip.tooltip()->isEnabled(), showsTooltip);
}

QTEST_MAIN(TestTabChip)
#include "tst_tabchip.moc"
