#include "windows/panelscreens.h"
#include "windows/workarea.h"

#include <QGuiApplication>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>

using PanelScreens::MonitorIdentity;

class TestPanelScreens : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void identityText_data();
    void identityText();
    void screenIDIsStableAndCanonical();
    void workArea_data();
    void workArea();
    void coordinatesFlipAroundThePrimaryBottomEdge();
};

void TestPanelScreens::identityText_data()
{
    QTest::addColumn<MonitorIdentity>("monitor");
    QTest::addColumn<QList<MonitorIdentity>>("others");
    QTest::addColumn<QString>("expected");

    const MonitorIdentity dell{u"DP-1"_qs, u"DEL"_qs, u"DELL U2720Q"_qs, u"ABC123"_qs};
    const MonitorIdentity twin{u"HDMI-2"_qs, u"DEL"_qs, u"DELL U2720Q"_qs, u"ABC123"_qs};
    const MonitorIdentity sibling{u"HDMI-2"_qs, u"DEL"_qs, u"DELL U2720Q"_qs, u"XYZ789"_qs};
    const MonitorIdentity noSerial{u"eDP-1"_qs, u"BOE"_qs, u"0x0747"_qs, QString()};
    const MonitorIdentity sameModelNoSerial{u"HDMI-1"_qs, u"BOE"_qs, u"0x0747"_qs, QString()};

    QTest::newRow("serial: the monitor itself, whatever its connector") << dell << QList<MonitorIdentity>{}
                                                                       << u"DEL|DELL U2720Q|ABC123"_qs;
    QTest::newRow("same model, other serial: no connector") << dell << QList{sibling} << u"DEL|DELL U2720Q|ABC123"_qs;
    QTest::newRow("identical serials: the connector joins") << dell << QList{twin} << u"DEL|DELL U2720Q|ABC123|DP-1"_qs;
    QTest::newRow("no serial: the connector") << noSerial << QList<MonitorIdentity>{} << u"eDP-1"_qs;
    QTest::newRow("no serials, same model: each its connector") << sameModelNoSerial << QList{noSerial} << u"HDMI-1"_qs;
}

void TestPanelScreens::identityText()
{
    QFETCH(MonitorIdentity, monitor);
    QFETCH(QList<MonitorIdentity>, others);
    QFETCH(QString, expected);
    QCOMPARE(PanelScreens::identityText(monitor, others + QList{monitor}), expected);
}

void TestPanelScreens::screenIDIsStableAndCanonical()
{
    // Configuration files hold these: a change of namespace or form would strand every panel
    // on the primary screen.
    QCOMPARE(PanelScreens::screenID(u"DEL|DELL U2720Q|ABC123"_qs), u"10D02A0E-844D-5250-ABBA-6444A46E7CE7"_qs);
    QCOMPARE(PanelScreens::screenID(u"HDMI-1"_qs), u"4E6DA7B3-EB16-5583-A1AF-395810EC78A6"_qs);

    const QRegularExpression canonical(u"^[0-9A-F]{8}-[0-9A-F]{4}-5[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}$"_qs);
    QSet<QString> ids;
    for (int i = 0; i < 200; ++i) {
        const QString id = PanelScreens::screenID(QString::number(QRandomGenerator::global()->generate()));
        QVERIFY2(canonical.match(id).hasMatch(), qPrintable(id));
        ids.insert(id);
    }
    QVERIFY(ids.size() > 195);

    const std::optional<QString> primary = PanelScreens::panelScreenID(QGuiApplication::primaryScreen());
    QVERIFY(primary);
    QCOMPARE(PanelScreens::panelScreenID(QGuiApplication::primaryScreen()), primary);
    QCOMPARE(PanelScreens::panelScreenID(nullptr), std::nullopt);
}

void TestPanelScreens::workArea_data()
{
    QTest::addColumn<QRect>("monitor");
    QTest::addColumn<QSize>("root");
    QTest::addColumn<QList<Strut>>("struts");
    QTest::addColumn<QRect>("expected");

    // Two monitors side by side: left 1920 x 1080, right 1280 x 900 aligned at the top.
    const QSize root(3200, 1080);
    const QRect left(0, 0, 1920, 1080);
    const QRect right(1920, 0, 1280, 900);
    const Strut bottomDockOnLeft{.bottom = 40, .bottomStartX = 0, .bottomEndX = 1919};
    // A dock at the bottom of the right monitor: 180 px from the root's bottom edge.
    const Strut bottomDockOnRight{.bottom = 220, .bottomStartX = 1920, .bottomEndX = 3199};
    const Strut leftDock{.left = 48, .leftStartY = 100, .leftEndY = 700};
    const Strut rightDock{.right = 30, .rightStartY = 0, .rightEndY = 899};
    const Strut topBarAcrossBoth{.top = 24, .topStartX = 0, .topEndX = 3199};

    QTest::newRow("no struts") << left << root << QList<Strut>{} << left;
    QTest::newRow("bottom dock shrinks its monitor") << left << root << QList{bottomDockOnLeft} << QRect(0, 0, 1920, 1040);
    QTest::newRow("bottom dock leaves the neighbour") << right << root << QList{bottomDockOnLeft} << right;
    QTest::newRow("dock on the shorter monitor") << right << root << QList{bottomDockOnRight} << QRect(1920, 0, 1280, 860);
    QTest::newRow("its span misses the taller one") << left << root << QList{bottomDockOnRight} << left;
    QTest::newRow("left dock over part of the edge") << left << root << QList{leftDock} << QRect(48, 0, 1872, 1080);
    QTest::newRow("left dock is not the right monitor's") << right << root << QList{leftDock} << right;
    QTest::newRow("right dock") << right << root << QList{rightDock} << QRect(1920, 0, 1250, 900);
    QTest::newRow("top bar across both, with a dock")
        << left << root << QList{topBarAcrossBoth, bottomDockOnLeft} << QRect(0, 24, 1920, 1016);
    QTest::newRow("whole-edge strut on stacked monitors, upper")
        << QRect(0, 0, 1600, 900) << QSize(1600, 1800) << QList{Strut::wholeEdges(0, 0, 30, 0)} << QRect(0, 30, 1600, 870);
    QTest::newRow("whole-edge strut on stacked monitors, lower")
        << QRect(0, 900, 1600, 900) << QSize(1600, 1800) << QList{Strut::wholeEdges(0, 0, 30, 0)}
        << QRect(0, 900, 1600, 900);
    QTest::newRow("strut larger than the monitor") << right << root << QList{Strut::wholeEdges(0, 2000, 0, 0)}
                                                   << QRect(1920, 0, 0, 0);
}

void TestPanelScreens::workArea()
{
    QFETCH(QRect, monitor);
    QFETCH(QSize, root);
    QFETCH(QList<Strut>, struts);
    QFETCH(QRect, expected);
    QCOMPARE(WorkArea::available(monitor, root, struts), expected);
}

void TestPanelScreens::coordinatesFlipAroundThePrimaryBottomEdge()
{
    const QRect primary = QGuiApplication::primaryScreen()->geometry();
    const double bottom = primary.y() + primary.height();
    QCOMPARE(PanelScreens::toYUp(QRectF(10, 0, 100, 50)), (Rect{10, bottom - 50, 100, 50}));
    QCOMPARE(PanelScreens::toQt(Rect{0, 0, 300, 100}), QRectF(0, bottom - 100, 300, 100));

    QRandomGenerator random(7);
    for (int i = 0; i < 100; ++i) {
        const auto any = [&random](double low, double high) { return low + random.generateDouble() * (high - low); };
        const QRectF qt(any(-4000, 4000), any(-4000, 4000), any(1, 3000), any(1, 3000));
        const QRectF back = PanelScreens::toQt(PanelScreens::toYUp(qt));
        QVERIFY(qAbs(back.x() - qt.x()) < 1e-9 && qAbs(back.y() - qt.y()) < 1e-9);
        QCOMPARE(back.size(), qt.size());
    }
}

QTEST_MAIN(TestPanelScreens)
#include "tst_panelscreens.moc"
