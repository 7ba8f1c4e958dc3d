// Which chips of a strip show and where: the rules on their own, against a table of the
// boundary cases and against a brute-force search over random strips.

#include "ui/tabstripplan.h"

#include <QRandomGenerator>
#include <QTest>

Q_DECLARE_METATYPE(TabStripPlan)
Q_DECLARE_METATYPE(std::optional<double>)
Q_DECLARE_METATYPE(std::optional<int>)

namespace {

// Chips of the given widths, 20 high, and the 24-point chevron last.
QList<QSizeF> strip(const QList<double> &widths)
{
    QList<QSizeF> sizes;
    for (double width : widths)
        sizes.append(QSizeF(width, 20));
    sizes.append(QSizeF(24, 24));
    return sizes;
}

} // namespace

class TestTabStripPlan : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void plan_data();
    void plan();
    void planMatchesBruteForce();
    void placements_data();
    void placements();
};

void TestTabStripPlan::plan_data()
{
    QTest::addColumn<QList<double>>("widths");
    QTest::addColumn<double>("spacing");
    QTest::addColumn<std::optional<double>>("maxLength");
    QTest::addColumn<std::optional<int>>("activeIndex");
    QTest::addColumn<TabStripPlan>("expected");

    const QList<double> five{50, 50, 50, 50, 50};
    // 5 x 50 + 4 x 4 = 266.
    QTest::newRow("no maximum: all, no chevron") << five << 4.0 << std::optional<double>() << std::optional<int>(4)
                                                 << TabStripPlan{0, 5, false};
    QTest::newRow("exactly fits") << five << 4.0 << std::optional<double>(266) << std::optional<int>(0)
                                  << TabStripPlan{0, 5, false};
    // One point short: room for chips is 265 - 4 - 24 = 237: four chips (212) fit.
    QTest::newRow("one point too many") << five << 4.0 << std::optional<double>(265) << std::optional<int>(0)
                                        << TabStripPlan{0, 4, true};
    QTest::newRow("not even one fits") << five << 4.0 << std::optional<double>(30) << std::optional<int>(0)
                                       << TabStripPlan{0, 1, true};
    QTest::newRow("zero room still shows one") << five << 4.0 << std::optional<double>(0) << std::optional<int>(3)
                                               << TabStripPlan{3, 1, true};
    // Room 150 - 4 - 24 = 122: two chips fit.
    QTest::newRow("active within the run") << five << 4.0 << std::optional<double>(150) << std::optional<int>(1)
                                           << TabStripPlan{0, 2, true};
    QTest::newRow("active beyond the run is last visible")
        << five << 4.0 << std::optional<double>(150) << std::optional<int>(3) << TabStripPlan{2, 2, true};
    QTest::newRow("active last: start is T - count")
        << five << 4.0 << std::optional<double>(150) << std::optional<int>(4) << TabStripPlan{3, 2, true};
    QTest::newRow("active index past the chips: start capped at T - count")
        << five << 4.0 << std::optional<double>(150) << std::optional<int>(9) << TabStripPlan{3, 2, true};
    QTest::newRow("no active chip") << five << 4.0 << std::optional<double>(150) << std::optional<int>()
                                    << TabStripPlan{0, 2, true};
    // Slanted chips overlap by 8, yet the chevron keeps a gap of 4: room 120 - 4 - 24 = 92:
    // 50 + 50 - 8 = 92 fits exactly.
    QTest::newRow("overlapping chips, gap before chevron at least 4")
        << five << -8.0 << std::optional<double>(120) << std::optional<int>(0) << TabStripPlan{0, 2, true};
    QTest::newRow("only the chevron") << QList<double>{} << 4.0 << std::optional<double>(10) << std::optional<int>()
                                      << TabStripPlan{0, 0, false};
}

void TestTabStripPlan::plan()
{
    QFETCH(QList<double>, widths);
    QFETCH(double, spacing);
    QFETCH(std::optional<double>, maxLength);
    QFETCH(std::optional<int>, activeIndex);
    QFETCH(TabStripPlan, expected);

    const TabStripGeometry geometry{.spacing = spacing, .maxLength = maxLength, .activeIndex = activeIndex};
    const TabStripPlan planned = geometry.plan(strip(widths));
    QCOMPARE(planned.start, expected.start);
    QCOMPARE(planned.count, expected.count);
    QCOMPARE(planned.showsChevron, expected.showsChevron);
}

void TestTabStripPlan::planMatchesBruteForce()
{
    QRandomGenerator random(14);
    for (int round = 0; round < 2000; ++round) {
        QList<double> widths;
        const int chips = 1 + int(random.bounded(12));
        for (int i = 0; i < chips; ++i)
            widths.append(10 + random.bounded(110.0));
        const double spacing = random.bounded(2) ? -8.0 : 4.0;
        const double maxLength = random.bounded(800.0);
        const int active = int(random.bounded(chips));
        const QList<QSizeF> sizes = strip(widths);
        const TabStripGeometry geometry{.spacing = spacing, .maxLength = maxLength, .activeIndex = active};
        const TabStripPlan planned = geometry.plan(sizes);

        const auto run = [&](int from, int count) {
            double width = 0;
            for (int i = from; i < from + count; ++i)
                width += widths.at(i);
            return count > 0 ? width + spacing * (count - 1) : 0.0;
        };
        const QByteArray context = "round " + QByteArray::number(round);
        if (run(0, chips) <= maxLength) {
            QVERIFY2((planned == TabStripPlan{0, chips, false}), context);
            continue;
        }
        // The longest prefix that fits beside the chevron, at least one chip.
        const double room = maxLength - std::max(spacing, 4.0) - 24;
        int longest = 0;
        for (int k = 1; k <= chips && run(0, k) <= room; ++k)
            longest = k;
        QVERIFY2(planned.showsChevron, context);
        QCOMPARE(planned.count, std::max(longest, 1));
        // The active chip shows, and the run stays within the chips.
        QVERIFY2(planned.start <= active && active < planned.start + planned.count, context);
        QVERIFY2(planned.start >= 0 && planned.start + planned.count <= chips, context);
        if (active < planned.count)
            QCOMPARE(planned.start, 0);
        else
            QCOMPARE(planned.start + planned.count - 1, active);
    }
}

void TestTabStripPlan::placements_data()
{
    QTest::addColumn<double>("spacing");
    QTest::addColumn<double>("maxLength");
    QTest::addColumn<QList<double>>("expectedLefts"); // NaN: parked
    QTest::addColumn<double>("chevronLeft");          // NaN: parked

    const double parked = qQNaN();
    QTest::newRow("buttons, all fit") << 4.0 << 500.0 << QList<double>{10, 64, 118} << parked;
    QTest::newRow("slanted overlap by 8") << -8.0 << 500.0 << QList<double>{10, 52, 94} << parked;
    // Room 140 - 4 - 24 = 112: two chips (104); the active last chip shifts the run.
    QTest::newRow("overflow, active last") << 4.0 << 140.0 << QList<double>{parked, 10, 64} << 118.0;
}

void TestTabStripPlan::placements()
{
    QFETCH(double, spacing);
    QFETCH(double, maxLength);
    QFETCH(QList<double>, expectedLefts);
    QFETCH(double, chevronLeft);

    const TabStripGeometry geometry{.spacing = spacing, .maxLength = maxLength, .activeIndex = 2};
    const QRectF bounds(10, 5, 300, 30);
    const QList<QRectF> frames = geometry.placements(strip({50, 50, 50}), bounds);
    QCOMPARE(frames.size(), 4);
    for (int i = 0; i < 3; ++i) {
        if (qIsNaN(expectedLefts.at(i))) {
            QCOMPARE(frames.at(i).topLeft(), QPointF(10 - 10000, 5));
            continue;
        }
        QCOMPARE(frames.at(i).left(), expectedLefts.at(i));
        QCOMPARE(frames.at(i).center().y(), bounds.center().y());
    }
    if (qIsNaN(chevronLeft)) {
        QCOMPARE(frames.last().left(), 10.0 - 10000);
    } else {
        QCOMPARE(frames.last().left(), chevronLeft);
        // Three points above the middle line.
        QCOMPARE(frames.last().center().y(), bounds.center().y() - 3);
    }
    QCOMPARE(geometry.fittingSize(strip({50, 50, 50})).height(), 24.0);
}

QTEST_APPLESS_MAIN(TestTabStripPlan)
#include "tst_tabstripplan.moc"
