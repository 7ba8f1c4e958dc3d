#include "model/iconchrome.h"

#include <QTest>

namespace {

using Metric = double (IconChrome::*)() const;

constexpr PanelIconSize sizes[] = {PanelIconSize::Small, PanelIconSize::Medium, PanelIconSize::Large};
constexpr PanelIconSpacing spacings[] = {PanelIconSpacing::ExtraCompact, PanelIconSpacing::Compact,
                                         PanelIconSpacing::Normal, PanelIconSpacing::Spacious};

QByteArray rowName(const char *metric, PanelIconSize size, PanelIconSpacing spacing)
{
    return QByteArray(metric) + ' ' + rawValue(size).toLatin1() + ' ' + rawValue(spacing).toLatin1();
}

} // namespace

class TestIconChrome : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void metrics_data();
    void metrics();
    void defaultSpacing();
};

void TestIconChrome::metrics_data()
{
    QTest::addColumn<IconChrome>("chrome");
    QTest::addColumn<Metric>("metric");
    QTest::addColumn<double>("expected");

    // Metrics that follow the icon size alone, for small, medium and large; thirds are exact.
    const struct
    {
        const char *name;
        Metric metric;
        double values[3];
    } scaled[] = {
        {"pointSize", &IconChrome::pointSize, {32, 48, 64}},
        {"bodyPadding", &IconChrome::bodyPadding, {8, 12, 16}},
        {"bodyCornerRadius", &IconChrome::bodyCornerRadius, {32.0 / 3, 16, 64.0 / 3}},
        {"iconCornerRadius", &IconChrome::iconCornerRadius, {20.0 / 3, 10, 40.0 / 3}},
        {"groupSymbolPadding", &IconChrome::groupSymbolPadding, {20.0 / 3, 10, 40.0 / 3}},
        {"groupDropStroke", &IconChrome::groupDropStroke, {8.0 / 3, 4, 16.0 / 3}},
        {"iconLabelSpacing", &IconChrome::iconLabelSpacing, {4.0 / 3, 2, 8.0 / 3}},
        {"labelMaxWidth", &IconChrome::labelMaxWidth, {128.0 / 3, 64, 256.0 / 3}},
        {"insertLine", &IconChrome::insertLine, {2, 3, 4}},
        {"insertHitOutset", &IconChrome::insertHitOutset, {16.0 / 3, 8, 32.0 / 3}},
        {"groupStrokeRadius", &IconChrome::groupStrokeRadius, {16.0 / 3, 8, 32.0 / 3}},
    };
    // Metrics given by table: rows are spacings, columns sizes.
    const struct
    {
        const char *name;
        Metric metric;
        double values[4][3];
    } tabled[] = {
        {"itemSpacing", &IconChrome::itemSpacing, {{0, 0, 0}, {2, 2, 0}, {4, 4, 0}, {8, 8, 4}}},
        {"insertBreadth", &IconChrome::insertBreadth, {{4, 6, 4}, {5, 8, 6}, {20.0 / 3, 10, 8}, {20.0 / 3, 10, 8}}},
    };
    for (int z = 0; z < 3; ++z) {
        for (int s = 0; s < 4; ++s) {
            const IconChrome chrome{sizes[z], spacings[s]};
            for (const auto &m : scaled)
                QTest::newRow(rowName(m.name, sizes[z], spacings[s])) << chrome << m.metric << m.values[z];
            for (const auto &m : tabled)
                QTest::newRow(rowName(m.name, sizes[z], spacings[s])) << chrome << m.metric << m.values[s][z];
        }
    }
}

void TestIconChrome::metrics()
{
    QFETCH(IconChrome, chrome);
    QFETCH(Metric, metric);
    QFETCH(double, expected);
    const double actual = (chrome.*metric)();
    // Exact, not fuzzy: a third must be the nearest double to the fraction.
    QVERIFY2(actual == expected, qPrintable(QStringLiteral("%1 != %2").arg(actual, 0, 'g', 17).arg(expected, 0, 'g', 17)));
}

void TestIconChrome::defaultSpacing()
{
    for (PanelIconSize size : sizes)
        QCOMPARE(IconChrome::forSize(size), (IconChrome{size, PanelIconSpacing::Normal}));
}

QTEST_APPLESS_MAIN(TestIconChrome)
#include "tst_iconchrome.moc"
