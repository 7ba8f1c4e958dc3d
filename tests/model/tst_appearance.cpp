#include "model/appearance.h"
#include "enumcheck.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

class TestAppearance : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rawValuesInOrder();
    void unknownRawValues_data();
    void unknownRawValues();
    void tabColors_data();
    void tabColors();
    void readableTextBoundary_data();
    void readableTextBoundary();
    void swatch_data();
    void swatch();
    void resolvedWindowLevel();
};

void TestAppearance::rawValuesInOrder()
{
    verifyRawValues<PanelIconSize>({u"small"_s, u"medium"_s, u"large"_s});
    verifyRawValues<PanelIconSpacing>({u"extraCompact"_s, u"compact"_s, u"normal"_s, u"spacious"_s});
    verifyRawValues<PanelTabStyle>({u"buttons"_s, u"slanted"_s});
    verifyRawValues<PanelWindowLevel>({u"belowWindows"_s, u"normal"_s, u"aboveAll"_s});
    verifyRawValues<TabColor>({u"systemRed"_s, u"systemOrange"_s, u"systemYellow"_s, u"systemGreen"_s,
                               u"systemMint"_s, u"systemTeal"_s, u"systemCyan"_s, u"systemBlue"_s,
                               u"systemIndigo"_s, u"systemPurple"_s, u"systemPink"_s, u"systemBrown"_s,
                               u"systemGray"_s});
}

void TestAppearance::unknownRawValues_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("menu title, not raw value") << u"pink"_s;
    QTest::newRow("wrong case") << u"SystemPink"_s;
    QTest::newRow("trailing space") << u"systemPink "_s;
    QTest::newRow("empty") << QString();
}

void TestAppearance::unknownRawValues()
{
    QFETCH(QString, text);
    QVERIFY(!enumFromRawValue<TabColor>(text));
    QVERIFY(!enumFromRawValue<PanelIconSize>(text));
}

void TestAppearance::tabColors_data()
{
    QTest::addColumn<TabColor>("color");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("hex");
    QTest::addColumn<bool>("blackText");
    QTest::newRow("red") << TabColor::SystemRed << u"Red"_s << u"#ff3b30"_s << false;
    QTest::newRow("orange") << TabColor::SystemOrange << u"Orange"_s << u"#ff9500"_s << true;
    QTest::newRow("yellow") << TabColor::SystemYellow << u"Yellow"_s << u"#ffcc00"_s << true;
    QTest::newRow("green") << TabColor::SystemGreen << u"Green"_s << u"#34c759"_s << true;
    QTest::newRow("mint") << TabColor::SystemMint << u"Mint"_s << u"#00c7be"_s << true;
    QTest::newRow("teal") << TabColor::SystemTeal << u"Teal"_s << u"#30b0c7"_s << false;
    QTest::newRow("cyan") << TabColor::SystemCyan << u"Cyan"_s << u"#32ade6"_s << false;
    QTest::newRow("blue") << TabColor::SystemBlue << u"Blue"_s << u"#007aff"_s << false;
    QTest::newRow("indigo") << TabColor::SystemIndigo << u"Indigo"_s << u"#5856d6"_s << false;
    QTest::newRow("purple") << TabColor::SystemPurple << u"Purple"_s << u"#af52de"_s << false;
    QTest::newRow("pink") << TabColor::SystemPink << u"Pink"_s << u"#ff2d55"_s << false;
    QTest::newRow("brown") << TabColor::SystemBrown << u"Brown"_s << u"#a2845e"_s << false;
    QTest::newRow("gray") << TabColor::SystemGray << u"Gray"_s << u"#8e8e93"_s << false;
}

void TestAppearance::tabColors()
{
    QFETCH(TabColor, color);
    QFETCH(bool, blackText);
    QTEST(TabColors::menuTitle(color), "title");
    QTEST(TabColors::color(color).name(), "hex");
    QCOMPARE(TabColors::color(color).alpha(), 255);
    QCOMPARE(TabColors::readableTextColor(color), blackText ? QColor(Qt::black) : QColor(Qt::white));
}

void TestAppearance::readableTextBoundary_data()
{
    QTest::addColumn<QColor>("background");
    QTest::addColumn<bool>("blackText");
    // 39321 / 65535 is exactly 0.6.
    QTest::newRow("grey of luminance exactly 0.6") << QColor::fromRgba64(39321, 39321, 39321) << false;
    QTest::newRow("one step above 0.6") << QColor::fromRgba64(39322, 39321, 39321) << true;
    // 2126*71 + 7152*180 + 722*127 = 6000*255, but summed in floating point it lands above 0.6.
    QTest::newRow("rgb(71,180,127), exactly 0.6") << QColor(71, 180, 127) << false;
    QTest::newRow("rgb(72,180,127), above") << QColor(72, 180, 127) << true;
    QTest::newRow("white given as HSV") << QColor::fromHsv(0, 0, 255) << true;
    QTest::newRow("black") << QColor(Qt::black) << false;
    QTest::newRow("invalid colour falls back to black text") << QColor() << true;
}

void TestAppearance::readableTextBoundary()
{
    QFETCH(QColor, background);
    QFETCH(bool, blackText);
    QCOMPARE(TabColors::readableTextColorOn(background), blackText ? QColor(Qt::black) : QColor(Qt::white));
}

void TestAppearance::swatch_data()
{
    QTest::addColumn<TabColor>("color");
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("blue at 1x") << TabColor::SystemBlue << 1.0;
    QTest::newRow("yellow at 2x") << TabColor::SystemYellow << 2.0;
}

void TestAppearance::swatch()
{
    QFETCH(TabColor, color);
    QFETCH(qreal, ratio);
    const QImage image = TabColors::swatch(color, ratio);
    QCOMPARE(image.deviceIndependentSize(), QSizeF(12, 12));
    QCOMPARE(image.size(), QSize(qRound(12 * ratio), qRound(12 * ratio)));
    const int last = image.width() - 1;
    for (const QPoint corner : {QPoint(0, 0), QPoint(last, 0), QPoint(0, last), QPoint(last, last)})
        QCOMPARE(image.pixelColor(corner).alpha(), 0);
    const QColor expected = TabColors::color(color);
    for (const QPoint inside : {QPoint(last / 2, last / 2), QPoint(last / 2, 1), QPoint(1, last / 2)})
        QCOMPARE(image.pixelColor(inside).rgba(), expected.rgba());
}

void TestAppearance::resolvedWindowLevel()
{
    for (PanelWindowLevel configured : allCases<PanelWindowLevel>()) {
        QCOMPARE(PanelWindowLevels::resolved(configured, false), configured);
        QCOMPARE(PanelWindowLevels::resolved(configured, true), PanelWindowLevel::AboveAll);
    }
}

QTEST_APPLESS_MAIN(TestAppearance)
#include "tst_appearance.moc"
