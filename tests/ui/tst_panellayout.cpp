// The pure arrangement of a panel: the item stack and the body with its tab bar.

#include "ui/panellayoutplan.h"
#include "ui/stackplan.h"

#include <QRandomGenerator>
#include <QTest>

class TestPanelLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void stackCentresAcrossAndSpacesAlong_data();
    void stackCentresAcrossAndSpacesAlong();
    void roundingNeverDriftsAlongARow();
    void panelArrangement_data();
    void panelArrangement();
    void offeredLengthFillsTheBodyOnly();
};

void TestPanelLayout::stackCentresAcrossAndSpacesAlong_data()
{
    QTest::addColumn<int>("axis");
    QTest::addColumn<QList<QRectF>>("frames");
    QTest::addColumn<QSizeF>("size");

    QTest::newRow("row, zero-length zone still spaced")
        << int(Qt::Horizontal)
        << QList<QRectF>{QRectF(0, 4, 10, 48), QRectF(14, 0, 48, 56), QRectF(66, 4, 0, 48)} << QSizeF(66, 56);
    QTest::newRow("column, narrow child centred")
        << int(Qt::Vertical)
        << QList<QRectF>{QRectF(0, 0, 64, 10), QRectF(8, 14, 48, 56), QRectF(8, 74, 48, 0)} << QSizeF(64, 74);
}

void TestPanelLayout::stackCentresAcrossAndSpacesAlong()
{
    QFETCH(int, axis);
    QFETCH(QList<QRectF>, frames);
    QFETCH(QSizeF, size);
    const QList<QSizeF> sizes = axis == Qt::Horizontal ? QList<QSizeF>{{10, 48}, {48, 56}, {0, 48}}
                                                       : QList<QSizeF>{{64, 10}, {48, 56}, {48, 0}};
    const StackPlan plan = planStack(sizes, 4, Qt::Orientation(axis));
    QCOMPARE(plan.frames, frames);
    QCOMPARE(plan.size, size);
}

void TestPanelLayout::roundingNeverDriftsAlongARow()
{
    // Thirds of a point (small icons) and label widths: each rounded child keeps its width within
    // a point and the row ends where the exact plan ends.
    QRandomGenerator random(13);
    for (int run = 0; run < 200; ++run) {
        QList<QSizeF> sizes;
        const int count = 1 + random.bounded(300);
        for (int i = 0; i < count; ++i)
            sizes.append(QSizeF(i % 2 ? 20.0 / 3 : 32 + random.bounded(24.0), 40));
        const StackPlan plan = planStack(sizes, random.bounded(2) ? 4.0 : 0.0, Qt::Horizontal);
        QRect previous;
        for (qsizetype i = 0; i < plan.frames.size(); ++i) {
            const QRect rounded = pixelRect(plan.frames.at(i));
            QVERIFY(std::abs(rounded.width() - plan.frames.at(i).width()) <= 1.0);
            if (i > 0)
                QVERIFY(rounded.left() >= previous.left() + previous.width());
            previous = rounded;
        }
        QVERIFY(std::abs((previous.left() + previous.width()) - plan.size.width()) <= 0.5);
    }
}

void TestPanelLayout::panelArrangement_data()
{
    QTest::addColumn<int>("orientation");
    QTest::addColumn<int>("side");
    QTest::addColumn<bool>("hasTabBar");
    QTest::addColumn<bool>("leads");
    QTest::addColumn<double>("spacing");
    QTest::addColumn<QSizeF>("content");
    QTest::addColumn<QRectF>("body");
    QTest::addColumn<QRectF>("tabBar");
    QTest::addColumn<double>("maxLength");

    const int horizontal = int(PanelOrientation::Horizontal);
    const int vertical = int(PanelOrientation::Vertical);
    // Padding 12, corner radius 16, a bar 24 thick and 60 long by nature.
    QTest::newRow("free: bar above, buttons spacing")
        << horizontal << int(PanelCompanionSide::Above) << true << true << 2.0 << QSizeF(300, 60)
        << QRectF(0, 26, 324, 84) << QRectF(0, 0, 92, 24) << 292.0;
    QTest::newRow("top edge: bar below, slanted spacing")
        << horizontal << int(PanelCompanionSide::Below) << true << false << 0.0 << QSizeF(300, 60)
        << QRectF(0, 0, 324, 84) << QRectF(0, 84, 92, 24) << 292.0;
    QTest::newRow("left edge: bar right of the body, turned")
        << vertical << int(PanelCompanionSide::RightOf) << true << false << 2.0 << QSizeF(60, 300)
        << QRectF(0, 0, 84, 324) << QRectF(86, 0, 24, 92) << 292.0;
    QTest::newRow("right edge: bar left of the body, turned")
        << vertical << int(PanelCompanionSide::LeftOf) << true << true << 0.0 << QSizeF(60, 300)
        << QRectF(24, 0, 84, 324) << QRectF(0, 0, 24, 92) << 292.0;
    QTest::newRow("no bar: never shorter than 120")
        << horizontal << int(PanelCompanionSide::Above) << false << true << 2.0 << QSizeF(20, 48)
        << QRectF(0, 0, 120, 72) << QRectF() << 88.0;
    QTest::newRow("short body: bar cut to 120 - 2r")
        << horizontal << int(PanelCompanionSide::Above) << true << true << 0.0 << QSizeF(20, 48)
        << QRectF(0, 24, 120, 72) << QRectF(0, 0, 92, 24) << 88.0;
}

void TestPanelLayout::panelArrangement()
{
    QFETCH(int, orientation);
    QFETCH(int, side);
    QFETCH(bool, hasTabBar);
    QFETCH(bool, leads);
    QFETCH(double, spacing);
    QFETCH(QSizeF, content);
    QFETCH(QRectF, body);
    QFETCH(QRectF, tabBar);
    QFETCH(double, maxLength);

    const PanelLayoutInput input{.orientation = PanelOrientation(orientation),
                                 .companionSide = PanelCompanionSide(side),
                                 .hasTabBar = hasTabBar,
                                 .tabBarLeads = leads,
                                 .tabBarThickness = 24,
                                 .tabBarLength = 60,
                                 .tabBarSpacing = spacing,
                                 .bodyPadding = 12,
                                 .bodyCornerRadius = 16,
                                 .contentSize = content};
    const PanelLayoutPlan plan = planPanelLayout(input);
    QCOMPARE(plan.body, body);
    QCOMPARE(plan.tabBar, tabBar);
    QCOMPARE(plan.tabBarMaxLength, maxLength);
    QCOMPARE(plan.viewport, body.adjusted(12, 12, -12, -12));
    QCOMPARE(plan.size, body.united(tabBar).size());

    // The bar never outgrows its maximum, however long its names.
    PanelLayoutInput longNames = input;
    longNames.tabBarLength = 5000;
    const QRectF longBar = planPanelLayout(longNames).tabBar;
    if (hasTabBar)
        QCOMPARE(std::max(longBar.width(), longBar.height()), maxLength + 32);

    // A corner radius beyond half the body length leaves the bar no length, not a negative one.
    PanelLayoutInput roundest = input;
    roundest.bodyCornerRadius = 1000;
    QCOMPARE(planPanelLayout(roundest).tabBarMaxLength, 0.0);
}

void TestPanelLayout::offeredLengthFillsTheBodyOnly()
{
    const PanelLayoutInput input{.orientation = PanelOrientation::Vertical,
                                 .companionSide = PanelCompanionSide::LeftOf,
                                 .hasTabBar = true,
                                 .tabBarLeads = true,
                                 .tabBarThickness = 24,
                                 .tabBarLength = 60,
                                 .tabBarSpacing = 2,
                                 .bodyPadding = 12,
                                 .bodyCornerRadius = 16,
                                 .contentSize = QSizeF(48, 600)};
    // Stretched along the edge: the body fills; shorter than the column: the body scrolls.
    for (double length : {1000.0, 300.0}) {
        const PanelLayoutPlan plan = planPanelLayout(input, QSizeF(74 + 26, length));
        QCOMPARE(plan.body, QRectF(26, 0, 72, length));
        QCOMPARE(plan.tabBar, QRectF(0, 0, 24, 92));
        QCOMPARE(plan.viewport.height(), length - 24);
    }
}

QTEST_APPLESS_MAIN(TestPanelLayout)
#include "tst_panellayout.moc"
