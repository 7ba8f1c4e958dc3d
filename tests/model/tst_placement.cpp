#include "model/placement.h"
#include "enumcheck.h"

#include <QTest>

#include <limits>

class TestPlacement : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rawValuesInOrder();
    void freePositionNormalises_data();
    void freePositionNormalises();
    void resolve_data();
    void resolve();
    void orientationAndCompanionSide_data();
    void orientationAndCompanionSide();
    void needsReposition_data();
    void needsReposition();
};

void TestPlacement::rawValuesInOrder()
{
    verifyRawValues<PanelPlacementMode>({QStringLiteral("free"), QStringLiteral("snapped")});
    verifyRawValues<PanelEdge>({QStringLiteral("left"), QStringLiteral("right"), QStringLiteral("top"),
                                QStringLiteral("bottom")});
    verifyRawValues<PanelAlignment>({QStringLiteral("start"), QStringLiteral("center"), QStringLiteral("end"),
                                     QStringLiteral("stretch")});
}

void TestPlacement::freePositionNormalises_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("expectedX");
    QTest::addColumn<double>("expectedY");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("above one and negative") << 1.5 << -3.0 << 1.0 << 0.0;
    QTest::newRow("nan and inside") << nan << 0.25 << 0.5 << 0.25;
    QTest::newRow("infinities") << inf << -inf << 0.5 << 0.5;
    QTest::newRow("exact bounds") << 0.0 << 1.0 << 0.0 << 1.0;
    QTest::newRow("tiny negative") << -1e-300 << 0.999 << 0.0 << 0.999;
}

void TestPlacement::freePositionNormalises()
{
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(double, expectedX);
    QFETCH(double, expectedY);
    const PanelFreePosition position(x, y);
    QCOMPARE(position.x(), expectedX);
    QCOMPARE(position.y(), expectedY);
}

namespace {
ScreenSnapshot screen(std::optional<QString> id, bool primary, double x = 0)
{
    return ScreenSnapshot{std::move(id), Rect{x, 0, 100, 100}, primary};
}
} // namespace

void TestPlacement::resolve_data()
{
    QTest::addColumn<std::optional<QString>>("requested");
    QTest::addColumn<QList<ScreenSnapshot>>("screens");
    QTest::addColumn<int>("expectedIndex"); // -1: none

    const QList<ScreenSnapshot> threeFirstPrimary{screen(QStringLiteral("A"), true, 0),
                                                  screen(QStringLiteral("B"), false, 100),
                                                  screen(QStringLiteral("C"), false, 200)};
    const QList<ScreenSnapshot> noPrimary{screen(QStringLiteral("A"), false, 0),
                                          screen(QStringLiteral("B"), false, 100)};
    const QList<ScreenSnapshot> secondPrimary{screen(std::nullopt, false, 0),
                                              screen(QStringLiteral("B"), true, 100)};
    QTest::newRow("id matches second of three, first primary") << std::optional<QString>(QStringLiteral("B"))
                                                               << threeFirstPrimary << 1;
    QTest::newRow("unknown id, no primary: first") << std::optional<QString>(QStringLiteral("Z")) << noPrimary << 0;
    QTest::newRow("unknown id: primary") << std::optional<QString>(QStringLiteral("Z")) << secondPrimary << 1;
    QTest::newRow("no id: primary") << std::optional<QString>() << secondPrimary << 1;
    QTest::newRow("id compare is case-sensitive") << std::optional<QString>(QStringLiteral("b")) << threeFirstPrimary
                                                  << 0;
    QTest::newRow("empty list with id") << std::optional<QString>(QStringLiteral("A")) << QList<ScreenSnapshot>()
                                        << -1;
    QTest::newRow("empty list without id") << std::optional<QString>() << QList<ScreenSnapshot>() << -1;
}

void TestPlacement::resolve()
{
    QFETCH(std::optional<QString>, requested);
    QFETCH(QList<ScreenSnapshot>, screens);
    QFETCH(int, expectedIndex);
    const auto resolved = PanelScreen::resolve(requested, screens);
    if (expectedIndex < 0) {
        QVERIFY(!resolved);
    } else {
        QVERIFY(resolved);
        QCOMPARE(*resolved, screens.at(expectedIndex));
    }
}

void TestPlacement::orientationAndCompanionSide_data()
{
    QTest::addColumn<PanelPlacementMode>("mode");
    QTest::addColumn<PanelEdge>("edge");
    QTest::addColumn<PanelOrientation>("orientation");
    QTest::addColumn<PanelCompanionSide>("side");
    using M = PanelPlacementMode;
    using E = PanelEdge;
    QTest::newRow("snapped left") << M::Snapped << E::Left << PanelOrientation::Vertical << PanelCompanionSide::RightOf;
    QTest::newRow("snapped right") << M::Snapped << E::Right << PanelOrientation::Vertical << PanelCompanionSide::LeftOf;
    QTest::newRow("snapped top") << M::Snapped << E::Top << PanelOrientation::Horizontal << PanelCompanionSide::Below;
    QTest::newRow("snapped bottom") << M::Snapped << E::Bottom << PanelOrientation::Horizontal
                                    << PanelCompanionSide::Above;
    QTest::newRow("free keeps left edge") << M::Free << E::Left << PanelOrientation::Horizontal
                                          << PanelCompanionSide::Above;
    QTest::newRow("free keeps top edge") << M::Free << E::Top << PanelOrientation::Horizontal
                                         << PanelCompanionSide::Above;
}

void TestPlacement::orientationAndCompanionSide()
{
    QFETCH(PanelPlacementMode, mode);
    QFETCH(PanelEdge, edge);
    PanelPlacement placement;
    placement.mode = mode;
    placement.edge = edge;
    QTEST(placement.orientation(), "orientation");
    QTEST(placement.companionSide(), "side");
    QCOMPARE(placement.usesEdgeAndAlignment(), mode == PanelPlacementMode::Snapped);
}

void TestPlacement::needsReposition_data()
{
    QTest::addColumn<PanelPlacement>("placement");
    QTest::addColumn<Rect>("frame");
    QTest::addColumn<bool>("expected");
    const PanelPlacement freeUnplaced;
    PanelPlacement freePlaced;
    freePlaced.freePosition = PanelFreePosition(0.5, 0.5);
    PanelPlacement snapped;
    snapped.mode = PanelPlacementMode::Snapped;
    QTest::newRow("free, never placed, inside") << freeUnplaced << Rect{10, 10, 50, 50} << false;
    QTest::newRow("free, never placed, on the boundary") << freeUnplaced << Rect{0, 0, 100, 100} << false;
    QTest::newRow("free, never placed, 1 point outside") << freeUnplaced << Rect{51, 10, 50, 50} << true;
    QTest::newRow("free with stored position") << freePlaced << Rect{10, 10, 50, 50} << true;
    QTest::newRow("snapped") << snapped << Rect{10, 10, 50, 50} << true;
}

void TestPlacement::needsReposition()
{
    QFETCH(PanelPlacement, placement);
    QFETCH(Rect, frame);
    QTEST(PanelScreen::needsReposition(placement, frame, Rect{0, 0, 100, 100}), "expected");
}

QTEST_APPLESS_MAIN(TestPlacement)
#include "tst_placement.moc"
