#include "store/appstore.h"

#include <QRandomGenerator>
#include <QTest>

#include <cmath>
#include <limits>

class TestFrameGeometry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void snappedEdgesAndAlignments_data();
    void snappedEdgesAndAlignments();
    void frame_data();
    void frame();
    void freePosition_data();
    void freePosition();
    void freePositionAndFrameAreInverse_data();
    void freePositionAndFrameAreInverse();
};

namespace {

const double notANumber = std::numeric_limits<double>::quiet_NaN();

PanelPlacement snapped(PanelEdge edge, PanelAlignment alignment, double inset = 0)
{
    return PanelPlacement{.mode = PanelPlacementMode::Snapped, .edge = edge, .alignment = alignment, .edgeInset = inset};
}

PanelPlacement freeAt(std::optional<PanelFreePosition> position)
{
    return PanelPlacement{.mode = PanelPlacementMode::Free, .freePosition = position};
}

} // namespace

void TestFrameGeometry::snappedEdgesAndAlignments_data()
{
    QTest::addColumn<PanelPlacement>("placement");
    QTest::addColumn<Rect>("expected");

    // V spans x -200...800, y 40...640 (left of and above the primary screen's origin);
    // the content is 100 x 50.
    struct Along { PanelAlignment alignment; double origin; double length; };
    const Along vertical[] = {{PanelAlignment::Start, 590, 50}, {PanelAlignment::Center, 315, 50},
                              {PanelAlignment::End, 40, 50}, {PanelAlignment::Stretch, 40, 600}};
    const Along horizontal[] = {{PanelAlignment::Start, -200, 100}, {PanelAlignment::Center, 250, 100},
                                {PanelAlignment::End, 700, 100}, {PanelAlignment::Stretch, -200, 1000}};
    // Cross-axis origin at inset 10 and at inset -10 (which counts as 0); for top this depends on
    // the panel's height, so stretched rows (same height 50) share it.
    struct Across { PanelEdge edge; double atPositiveInset; double atNegativeInset; };
    const Across edges[] = {{PanelEdge::Left, -190, -200}, {PanelEdge::Right, 690, 700},
                            {PanelEdge::Top, 580, 590}, {PanelEdge::Bottom, 50, 40}};

    for (const Across &edge : edges) {
        const bool isVertical = edge.edge == PanelEdge::Left || edge.edge == PanelEdge::Right;
        for (const Along &along : isVertical ? vertical : horizontal) {
            for (const double inset : {10.0, -10.0}) {
                const double across = inset > 0 ? edge.atPositiveInset : edge.atNegativeInset;
                const Rect expected = isVertical ? Rect{across, along.origin, 100, along.length}
                                                 : Rect{along.origin, across, along.length, 50};
                QTest::addRow("%s, %s, inset %g", qPrintable(rawValue(edge.edge)),
                             qPrintable(rawValue(along.alignment)), inset)
                    << snapped(edge.edge, along.alignment, inset) << expected;
            }
        }
    }
}

void TestFrameGeometry::snappedEdgesAndAlignments()
{
    QFETCH(PanelPlacement, placement);
    QFETCH(Rect, expected);
    QCOMPARE(AppStore::frame(placement, Size{100, 50}, Rect{-200, 40, 1000, 600}), expected);
}

void TestFrameGeometry::frame_data()
{
    QTest::addColumn<PanelPlacement>("placement");
    QTest::addColumn<Size>("content");
    QTest::addColumn<Rect>("visible");
    QTest::addColumn<Rect>("expected");

    const Rect screen{0, 0, 1440, 875};
    QTest::newRow("left, start, inset 8")
        << snapped(PanelEdge::Left, PanelAlignment::Start, 8) << Size{60, 300} << screen << Rect{8, 575, 60, 300};
    QTest::newRow("bottom, stretched")
        << snapped(PanelEdge::Bottom, PanelAlignment::Stretch) << Size{300, 60} << screen << Rect{0, 0, 1440, 60};
    QTest::newRow("right, inset beyond the free space stops at minX")
        << snapped(PanelEdge::Right, PanelAlignment::Center, 2000) << Size{60, 300} << screen
        << Rect{0, 287.5, 60, 300};
    QTest::newRow("nan inset counts as 0")
        << snapped(PanelEdge::Left, PanelAlignment::End, notANumber) << Size{60, 300} << screen << Rect{0, 0, 60, 300};
    QTest::newRow("content larger in both dimensions is shrunk to V")
        << freeAt(std::nullopt) << Size{3000, 2000} << screen << screen;
    QTest::newRow("negative or nan content size gives a zero-size frame")
        << freeAt(std::nullopt) << Size{-10, notANumber} << screen << Rect{720, 437.5, 0, 0};
    QTest::newRow("zero-size V, snapped: at its origin")
        << snapped(PanelEdge::Right, PanelAlignment::Start, 5) << Size{60, 300} << Rect{100, 200, 0, 0}
        << Rect{100, 200, 0, 0};
    QTest::newRow("stretch on a V of negative height has no negative size")
        << snapped(PanelEdge::Left, PanelAlignment::Stretch) << Size{60, 300} << Rect{0, 0, 1440, -50}
        << Rect{0, 0, 60, 0};
    QTest::newRow("free without position is centred")
        << freeAt(std::nullopt) << Size{200, 100} << Rect{-1000, -500, 800, 600} << Rect{-700, -250, 200, 100};
    QTest::newRow("free (0, 1): top-left corner, touching both edges")
        << freeAt(PanelFreePosition(0, 1)) << Size{200, 100} << screen << Rect{0, 775, 200, 100};
    QTest::newRow("free fractions place the centre, V with offset origin")
        << freeAt(PanelFreePosition(0.25, 0.5)) << Size{200, 100} << Rect{-1000, -500, 800, 600}
        << Rect{-900, -250, 200, 100};
    QTest::newRow("free, content wider than V: at minX")
        << freeAt(PanelFreePosition(0.9, 0.5)) << Size{5000, 100} << screen << Rect{0, 387.5, 1440, 100};
}

void TestFrameGeometry::frame()
{
    QFETCH(PanelPlacement, placement);
    QFETCH(Size, content);
    QFETCH(Rect, visible);
    QFETCH(Rect, expected);
    QCOMPARE(AppStore::frame(placement, content, visible), expected);
}

void TestFrameGeometry::freePosition_data()
{
    QTest::addColumn<Rect>("frame");
    QTest::addColumn<Rect>("visible");
    QTest::addColumn<double>("expectedX");
    QTest::addColumn<double>("expectedY");

    const Rect screen{0, 0, 1440, 875};
    QTest::newRow("centred on V") << Rect{620, 387.5, 200, 100} << screen << 0.5 << 0.5;
    QTest::newRow("centre left of V") << Rect{-300, 387.5, 200, 100} << screen << 0.0 << 0.5;
    QTest::newRow("centre above V") << Rect{620, 900, 200, 100} << screen << 0.5 << 1.0;
    QTest::newRow("zero-width V") << Rect{620, 387.5, 200, 100} << Rect{0, 0, 0, 875} << 0.5 << 0.5;
    QTest::newRow("negative-height V") << Rect{620, 0, 200, 100} << Rect{0, 0, 1440, -10} << 0.5 << 0.5;
    QTest::newRow("V with negative origin") << Rect{-950, -300, 100, 50} << Rect{-1000, -500, 800, 600} << 0.125 << 0.375;
    QTest::newRow("nan frame") << Rect{notANumber, notANumber, 10, 10} << screen << 0.5 << 0.5;
}

void TestFrameGeometry::freePosition()
{
    QFETCH(Rect, frame);
    QFETCH(Rect, visible);
    QFETCH(double, expectedX);
    QFETCH(double, expectedY);
    const PanelFreePosition position = AppStore::freePosition(frame, visible);
    QCOMPARE(position.x(), expectedX);
    QCOMPARE(position.y(), expectedY);
}

void TestFrameGeometry::freePositionAndFrameAreInverse_data()
{
    QTest::addColumn<Rect>("visible");
    QTest::newRow("primary screen") << Rect{0, 23, 1440, 852};
    QTest::newRow("offset origin") << Rect{1920, 300, 2560, 1415};
    QTest::newRow("negative coordinates") << Rect{-1280, -1024, 1280, 1000};
    QTest::newRow("fractional") << Rect{-0.5, 10.25, 333.3, 77.7};
}

void TestFrameGeometry::freePositionAndFrameAreInverse()
{
    QFETCH(Rect, visible);
    QRandomGenerator random(20240611);
    for (int i = 0; i < 2000; ++i) {
        const double w = random.bounded(visible.width);
        const double h = random.bounded(visible.height);
        const Rect original{visible.x + random.bounded(visible.width - w), visible.y + random.bounded(visible.height - h),
                            w, h};
        const PanelFreePosition position = AppStore::freePosition(original, visible);
        const Rect again = AppStore::frame(freeAt(position), Size{w, h}, visible);
        const double tolerance = 1e-9 * (std::abs(visible.x) + std::abs(visible.y) + visible.width + visible.height);
        QVERIFY2(std::abs(again.x - original.x) <= tolerance && std::abs(again.y - original.y) <= tolerance,
                 qPrintable(QStringLiteral("(%1, %2) came back as (%3, %4)")
                                .arg(original.x, 0, 'g', 17).arg(original.y, 0, 'g', 17)
                                .arg(again.x, 0, 'g', 17).arg(again.y, 0, 'g', 17)));
        QCOMPARE(again.width, w);
        QCOMPARE(again.height, h);
    }
}

QTEST_APPLESS_MAIN(TestFrameGeometry)
#include "tst_framegeometry.moc"
