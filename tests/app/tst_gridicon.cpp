// The program's grid icon: sharp and centred at every size, the same drawing in the SVG.

#include "app/gridicon.h"

#include <QGuiApplication>
#include <QImage>
#include <QRandomGenerator>
#include <QTest>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

class TestGridIcon : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void layoutIsWholePixelsAndCentred();
    void traySizes_data();
    void traySizes();
    void svgDrawsTheSameTiles();
};

void TestGridIcon::layoutIsWholePixelsAndCentred()
{
    QList<int> sizes{12, 13};
    for (int i = 0; i < 200; ++i)
        sizes.append(QRandomGenerator::global()->bounded(12, 513));
    for (const int pixels : std::as_const(sizes)) {
        const GridIcon::Layout grid = GridIcon::layout(pixels);
        const QList<QRect> tiles = grid.tiles();
        QVERIFY2(grid.margin >= 1 && grid.gap >= 1 && grid.tile >= 4, qPrintable(QString::number(pixels)));
        // Equal margins on both sides, and the grid fills the square exactly.
        QCOMPARE(tiles.at(3).right() + 1 + grid.margin, pixels);
        QCOMPARE(tiles.at(3).bottom() + 1 + grid.margin, pixels);
        // Close to the proportions of the large drawing.
        QVERIFY2(qAbs(grid.gap - pixels / 8.0) <= 1.0, qPrintable(QString::number(pixels)));
    }
}

void TestGridIcon::traySizes_data()
{
    QTest::addColumn<int>("pixels");
    QTest::addColumn<int>("margin");
    QTest::addColumn<int>("gap");
    for (const auto &[pixels, margin, gap] : {std::tuple{16, 1, 2}, {22, 1, 2}, {24, 2, 2}, {32, 2, 4}, {44, 3, 6},
                                              {48, 3, 6}, {64, 4, 8}, {128, 8, 16}})
        QTest::addRow("%d px", pixels) << pixels << margin << gap;
}

void TestGridIcon::traySizes()
{
    QFETCH(int, pixels);
    QFETCH(int, margin);
    QFETCH(int, gap);
    const GridIcon::Layout grid = GridIcon::layout(pixels);
    QCOMPARE(grid.margin, margin);
    QCOMPARE(grid.gap, gap);

    // Drawn sharp: the gap and the margins are clear, the tiles' straight edges fully covered.
    const QImage image = GridIcon::icon().pixmap(QSize(pixels, pixels)).toImage();
    QCOMPARE(image.size(), QSize(pixels, pixels));
    const int firstGapColumn = margin + grid.tile;
    const int middle = margin + grid.tile / 2;
    for (int x = firstGapColumn; x < firstGapColumn + gap; ++x)
        QCOMPARE(qAlpha(image.pixel(x, middle)), 0);
    QCOMPARE(qAlpha(image.pixel(margin - 1, middle)), 0);
    QCOMPARE(qAlpha(image.pixel(margin, middle)), 255);
    QCOMPARE(qAlpha(image.pixel(firstGapColumn - 1, middle)), 255);
    QCOMPARE(qAlpha(image.pixel(middle, firstGapColumn - 1)), 255);
    QVERIFY(qBlue(image.pixel(middle, middle)) > 2 * qRed(image.pixel(middle, middle)));
}

void TestGridIcon::svgDrawsTheSameTiles()
{
    QXmlStreamReader reader(GridIcon::svg());
    QList<QRect> rects;
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == u"rect") {
            const auto number = [&](const QString &name) { return reader.attributes().value(name).toInt(); };
            rects.append(QRect(number(u"x"_s), number(u"y"_s), number(u"width"_s), number(u"height"_s)));
        }
    }
    QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
    QCOMPARE(rects, GridIcon::layout(256).tiles());
}

QTEST_MAIN(TestGridIcon)
#include "tst_gridicon.moc"
