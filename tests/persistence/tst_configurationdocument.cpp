#include "documentfixtures.h"
#include "sampleconfiguration.h"

#include "persistence/configurationdocument.h"

#include "model/defaultname.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <limits>

using namespace DocumentFixtures;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(PanelPlacement)

class TestConfigurationDocument : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void skeleton_data();
    void skeleton();
    void panelDefaults();
    void panelSettings_data();
    void panelSettings();
    void placement_data();
    void placement();
    void tabs_data();
    void tabs();
    void items_data();
    void items();
    void pathsRoundTrip_data();
    void pathsRoundTrip();
    void unusualPathsRead_data();
    void unusualPathsRead();
    void writtenForm();
    void writtenFormMatchesExample();
    void nonFiniteInsetIsWrittenAsZero();
    void largeRandomRoundTrip_data();
    void largeRandomRoundTrip();
};

// --- Document skeleton ----------------------------------------------------------------------

void TestConfigurationDocument::skeleton_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<int>("panelCount"); // -1: unreadable

    const QByteArray one = panel("");
    QTest::newRow("empty panel list") << document("") << 0;
    QTest::newRow("one bare panel") << document(one) << 1;
    QTest::newRow("newer version reads alike") << document(one, "99") << 1;
    QTest::newRow("older version reads alike") << document(one, "1") << 1;
    QTest::newRow("version written as 16.0") << document(one, "16.0") << 1;
    QTest::newRow("lower-case panel id") << document("{\"id\": \"0000000a-000b-000c-000d-00000000000e\"}") << 1;
    QTest::newRow("keys in any order") << QByteArray("{\"panels\": [], \"schemaVersion\": 16}") << 0;
    QTest::newRow("UTF-8 byte-order mark") << "\xEF\xBB\xBF" + document(one) << 1;

    QTest::newRow("empty text") << QByteArray() << -1;
    QTest::newRow("byte-order mark alone") << QByteArray("\xEF\xBB\xBF") << -1;
    QTest::newRow("byte-order mark twice") << "\xEF\xBB\xBF\xEF\xBB\xBF" + document(one) << -1;
    QTest::newRow("UTF-16 byte-order mark") << "\xFF\xFE" + document(one) << -1;
    QTest::newRow("not json") << QByteArray("schemaVersion: 16") << -1;
    QTest::newRow("truncated") << document(one).chopped(3) << -1;
    QTest::newRow("trailing garbage") << document(one) + "x" << -1;
    QTest::newRow("root is an array") << "[" + document(one) + "]" << -1;
    QTest::newRow("version missing") << QByteArray("{\"panels\": []}") << -1;
    QTest::newRow("version is a string") << document(one, "\"16\"") << -1;
    QTest::newRow("version is fractional") << document(one, "16.5") << -1;
    QTest::newRow("version is null") << document(one, "null") << -1;
    QTest::newRow("panels missing") << QByteArray("{\"schemaVersion\": 16}") << -1;
    QTest::newRow("panels is an object") << QByteArray("{\"schemaVersion\": 16, \"panels\": {}}") << -1;
    QTest::newRow("panel is a number") << document(one + ", 3") << -1;
    QTest::newRow("panel without id") << document(one + ", {\"name\": \"x\"}") << -1;
    QTest::newRow("panel id is a number") << document("{\"id\": 5}") << -1;
    QTest::newRow("panel id in braces") << document("{\"id\": \"{" + id(1) + "}\"}") << -1;
    QTest::newRow("panel id with trailing text") << document("{\"id\": \"" + id(1) + "x\"}") << -1;
    QTest::newRow("panel id too short") << document("{\"id\": \"" + id(1).chopped(1) + "\"}") << -1;
    QTest::newRow("panel id without hyphens") << document("{\"id\": \"" + id(1).replace('-', "") + "\"}") << -1;
    QTest::newRow("panel id with a non-hex digit") << document("{\"id\": \"" + id(1).replace("0001", "000g") + "\"}") << -1;
}

void TestConfigurationDocument::skeleton()
{
    QFETCH(QByteArray, json);
    QFETCH(int, panelCount);
    QString error;
    const std::optional<ConfigurationDocument> document = ConfigurationDocument::fromJson(json, &error);
    if (panelCount < 0) {
        QVERIFY(!document);
        QVERIFY(!error.isEmpty());
        return;
    }
    QVERIFY2(document, qPrintable(error));
    QCOMPARE(document->makePanels().size(), panelCount);
}

// --- Panel keys -------------------------------------------------------------------------------

void TestConfigurationDocument::panelDefaults()
{
    const auto document = ConfigurationDocument::fromJson(DocumentFixtures::document(panel("", 1) + ", " + panel("", 2) + ", " + panel("", 3)));
    QVERIFY(document);
    const Panel third = document->makePanels().at(2);
    QCOMPARE(third.id(), QUuid::fromString(QLatin1String(id(0x103))));
    QCOMPARE(third.name, QStringLiteral("Panel 3"));
    QCOMPARE(third.tabs().size(), 1);
    QCOMPARE(third.tabs().first().name, DefaultName::firstTab());
    QVERIFY(third.tabs().first().items.isEmpty());
    QVERIFY(!third.tabs().first().showsRunningApps);
    QCOMPARE(third.activeTabID(), third.tabs().first().id);
    QCOMPARE(third.iconSize, PanelIconSize::Medium);
    QCOMPARE(third.iconSpacing, PanelIconSpacing::Normal);
    QCOMPARE(third.tabStyle, PanelTabStyle::Slanted);
    QCOMPARE(third.windowLevel(), PanelWindowLevel::Normal);
    QVERIFY(third.showsItemLabels && third.showsHoverHighlight && third.showsTooltips && third.showsOnAllSpaces);
    QVERIFY(!third.didRevealTabBar());
    QCOMPARE(third.placement(), PanelPlacement());
}

void TestConfigurationDocument::panelSettings_data()
{
    QTest::addColumn<QByteArray>("members");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("showsItemLabels");
    QTest::addColumn<PanelIconSize>("iconSize");
    QTest::addColumn<PanelIconSpacing>("iconSpacing");
    QTest::addColumn<PanelTabStyle>("tabStyle");
    QTest::addColumn<PanelWindowLevel>("windowLevel");

    const QString fallback = QStringLiteral("Panel 1");
    const auto medium = PanelIconSize::Medium;
    const auto normal = PanelIconSpacing::Normal;
    const auto slanted = PanelTabStyle::Slanted;
    const auto level = PanelWindowLevel::Normal;
    QTest::newRow("all set") << QByteArray("\"name\": \"Work\", \"showsItemLabels\": false, \"iconSize\": \"large\", "
                                           "\"iconSpacing\": \"extraCompact\", \"tabStyle\": \"buttons\", \"windowLevel\": \"aboveAll\"")
                             << QStringLiteral("Work") << false << PanelIconSize::Large << PanelIconSpacing::ExtraCompact
                             << PanelTabStyle::Buttons << PanelWindowLevel::AboveAll;
    QTest::newRow("empty name stays empty") << QByteArray("\"name\": \"\"") << QString() << true << medium << normal << slanted << level;
    QTest::newRow("null name takes the default") << QByteArray("\"name\": null") << fallback << true << medium << normal << slanted << level;
    QTest::newRow("numeric name takes the default") << QByteArray("\"name\": 7") << fallback << true << medium << normal << slanted << level;
    QTest::newRow("flag as string is absent") << QByteArray("\"showsItemLabels\": \"false\"") << fallback << true << medium << normal << slanted << level;
    QTest::newRow("flag as number is absent") << QByteArray("\"showsItemLabels\": 0") << fallback << true << medium << normal << slanted << level;
    QTest::newRow("capitalised tab style") << QByteArray("\"tabStyle\": \"Buttons\"") << fallback << true << medium << normal << slanted << level;
    QTest::newRow("unknown enumeration texts") << QByteArray("\"iconSize\": \"huge\", \"iconSpacing\": \"Normal\", \"windowLevel\": 3")
                                               << fallback << true << medium << normal << slanted << level;
    QTest::newRow("later duplicate key wins") << QByteArray("\"name\": \"A\", \"name\": \"B\"") << QStringLiteral("B") << true << medium << normal << slanted << level;
}

void TestConfigurationDocument::panelSettings()
{
    QFETCH(QByteArray, members);
    const auto document = ConfigurationDocument::fromJson(DocumentFixtures::document(panel(members)));
    QVERIFY(document);
    const Panel made = document->makePanels().first();
    QTEST(made.name, "name");
    QTEST(made.showsItemLabels, "showsItemLabels");
    QTEST(made.iconSize, "iconSize");
    QTEST(made.iconSpacing, "iconSpacing");
    QTEST(made.tabStyle, "tabStyle");
    QTEST(made.windowLevel(), "windowLevel");
}

void TestConfigurationDocument::placement_data()
{
    QTest::addColumn<QByteArray>("members");
    QTest::addColumn<PanelPlacement>("expected");

    const auto placement = [](PanelPlacementMode mode, PanelEdge edge, PanelAlignment alignment,
                              std::optional<PanelFreePosition> position = std::nullopt,
                              std::optional<QString> screen = std::nullopt, double inset = 0) {
        return PanelPlacement{mode, edge, alignment, position, screen, inset};
    };
    const auto free = PanelPlacementMode::Free;
    const auto snapped = PanelPlacementMode::Snapped;
    const auto bottom = PanelEdge::Bottom;
    const auto center = PanelAlignment::Center;

    QTest::newRow("snapped left, stretched, inset")
        << QByteArray("\"mode\": \"snapped\", \"edge\": \"left\", \"alignment\": \"stretch\", \"edgeInset\": 12.5")
        << placement(snapped, PanelEdge::Left, PanelAlignment::Stretch, {}, {}, 12.5);
    QTest::newRow("capitalised mode reads as free") << QByteArray("\"mode\": \"Snapped\"") << placement(free, bottom, center);
    QTest::newRow("unknown edge and alignment") << QByteArray("\"edge\": \"north\", \"alignment\": 1") << placement(free, bottom, center);
    QTest::newRow("free position clamped") << QByteArray("\"freeFractionX\": 1.7, \"freeFractionY\": -0.2")
                                           << placement(free, bottom, center, PanelFreePosition(1, 0));
    QTest::newRow("free position inside") << QByteArray("\"freeFractionX\": 0.25, \"freeFractionY\": 0.75")
                                          << placement(free, bottom, center, PanelFreePosition(0.25, 0.75));
    QTest::newRow("only one fraction") << QByteArray("\"freeFractionX\": 0.25") << placement(free, bottom, center);
    QTest::newRow("fraction as string") << QByteArray("\"freeFractionX\": 0.25, \"freeFractionY\": \"0.5\"") << placement(free, bottom, center);
    QTest::newRow("fraction beyond a double is refused")
        << QByteArray("\"freeFractionX\": 1e999, \"freeFractionY\": 0.5") << placement(free, bottom, center);
    QTest::newRow("fraction too small for a double is refused")
        << QByteArray("\"freeFractionX\": 0.5, \"freeFractionY\": -1e-400") << placement(free, bottom, center);
    QTest::newRow("fraction with more than 19 significant digits")
        << QByteArray("\"freeFractionX\": 0.30000000000000000001, \"freeFractionY\": 0.1000000000000000000000000000000000000001")
        << placement(free, bottom, center, PanelFreePosition(0.3, 0.1));
    QTest::newRow("empty screen id is absent") << QByteArray("\"screenID\": \"\"") << placement(free, bottom, center);
    QTest::newRow("screen id kept") << QByteArray("\"screenID\": \"DP-1\"") << placement(free, bottom, center, {}, QStringLiteral("DP-1"));
    QTest::newRow("inset as string is 0") << QByteArray("\"edgeInset\": \"4\"") << placement(free, bottom, center);
    QTest::newRow("overflowing inset is 0") << QByteArray("\"edgeInset\": -1e999") << placement(free, bottom, center);
    QTest::newRow("inset beyond 64-bit integers") << QByteArray("\"edgeInset\": 18446744073709551616")
                                                  << placement(free, bottom, center, {}, {}, 18446744073709551616.0);
}

void TestConfigurationDocument::placement()
{
    QFETCH(QByteArray, members);
    const auto document = ConfigurationDocument::fromJson(DocumentFixtures::document(panel(members)));
    QVERIFY(document);
    QTEST(document->makePanels().first().placement(), "expected");
}

// --- Tabs -------------------------------------------------------------------------------------

void TestConfigurationDocument::tabs_data()
{
    QTest::addColumn<QByteArray>("members");
    QTest::addColumn<QStringList>("tabs"); // "name running [color]"
    QTest::addColumn<QString>("activeTab");
    QTest::addColumn<bool>("didRevealTabBar");

    const auto tab = [](int serial, const QByteArray &members) {
        QByteArray text = "{\"id\": \"" + id(serial) + '"';
        return members.isEmpty() ? text + '}' : text + ", " + members + '}';
    };
    const QByteArray a = tab(1, "\"name\": \"A\"");
    const QByteArray b = tab(2, "\"name\": \"B\", \"color\": \"systemPink\", \"showsRunningApps\": true");

    QTest::newRow("two tabs reveal the tab bar") << "\"tabs\": [" + a + ", " + b + "]"
                                                 << QStringList{u"A off"_s, u"B on systemPink"_s} << u"A"_s << true;
    QTest::newRow("stored reveal flag wins") << "\"didRevealTabBar\": false, \"tabs\": [" + a + ", " + b + "]"
                                             << QStringList{u"A off"_s, u"B on systemPink"_s} << u"A"_s << false;
    QTest::newRow("one tab with stored reveal") << "\"didRevealTabBar\": true, \"tabs\": [" + a + "]"
                                                << QStringList{u"A off"_s} << u"A"_s << true;
    QTest::newRow("active tab by id") << "\"activeTabID\": \"" + id(2) + "\", \"tabs\": [" + a + ", " + b + "]"
                                      << QStringList{u"A off"_s, u"B on systemPink"_s} << u"B"_s << true;
    QTest::newRow("active tab lower-case id") << "\"activeTabID\": \"" + id(0xb).toLower() + "\", \"tabs\": [" + a + ", " + tab(0xb, "\"name\": \"C\"") + "]"
                                              << QStringList{u"A off"_s, u"C off"_s} << u"C"_s << true;
    QTest::newRow("number and nameless tab dropped") << "\"tabs\": [3, " + tab(9, "") + ", " + a + "]"
                                                     << QStringList{u"A off"_s} << u"A"_s << false;
    QTest::newRow("tab with numeric name dropped") << "\"tabs\": [" + tab(9, "\"name\": 9") + ", " + b + "]"
                                                   << QStringList{u"B on systemPink"_s} << u"B"_s << false;
    QTest::newRow("tab with bad id dropped") << "\"tabs\": [{\"id\": \"x\", \"name\": \"X\"}, " + a + "]"
                                             << QStringList{u"A off"_s} << u"A"_s << false;
    QTest::newRow("active tab was dropped") << "\"activeTabID\": \"" + id(9) + "\", \"tabs\": [" + tab(9, "") + ", " + b + "]"
                                            << QStringList{u"B on systemPink"_s} << u"B"_s << false;
    QTest::newRow("tabs not an array") << QByteArray("\"tabs\": {}") << QStringList{u"Main off"_s} << u"Main"_s << false;
    QTest::newRow("all tabs dropped") << "\"tabs\": [" + tab(9, "") + "]" << QStringList{u"Main off"_s} << u"Main"_s << false;
    QTest::newRow("unknown colour and mistyped flag") << "\"tabs\": [" + tab(1, "\"name\": \"A\", \"color\": \"pink\", \"showsRunningApps\": 1") + "]"
                                                      << QStringList{u"A off"_s} << u"A"_s << false;
    QTest::newRow("older panel flag fills tabs without one")
        << "\"showsRunningApps\": true, \"tabs\": [" + a + ", " + tab(3, "\"name\": \"C\", \"showsRunningApps\": false") + "]"
        << QStringList{u"A on"_s, u"C off"_s} << u"A"_s << true;
    QTest::newRow("tab name refused by the parser") << "\"tabs\": [" + tab(9, "\"name\": \"\\ud800\"") + ", " + a + "]"
                                                    << QStringList{u"A off"_s} << u"A"_s << false;
    QTest::newRow("key refused by the parser is ignored") << "\"tabs\": [" + tab(1, "\"name\": \"A\", \"\\udc00\": 1") + "]"
                                                          << QStringList{u"A off"_s} << u"A"_s << false;
    QTest::newRow("older panel flag on the fresh tab is ignored") << QByteArray("\"showsRunningApps\": true")
                                                                 << QStringList{u"Main off"_s} << u"Main"_s << false;
}

void TestConfigurationDocument::tabs()
{
    QFETCH(QByteArray, members);
    const auto document = ConfigurationDocument::fromJson(DocumentFixtures::document(panel(members)));
    QVERIFY(document);
    const Panel made = document->makePanels().first();
    QStringList tabs;
    for (const PanelTab &tab : made.tabs()) {
        QString line = tab.name + (tab.showsRunningApps ? QStringLiteral(" on") : QStringLiteral(" off"));
        if (tab.color)
            line += u' ' + rawValue(*tab.color);
        tabs.append(line);
    }
    QTEST(tabs, "tabs");
    QTEST(made.activeTab().name, "activeTab");
    QTEST(made.didRevealTabBar(), "didRevealTabBar");
}

// --- Items ------------------------------------------------------------------------------------

void TestConfigurationDocument::items_data()
{
    QTest::addColumn<QByteArray>("items");
    QTest::addColumn<QStringList>("expected");

    const auto link = [](int serial, const QByteArray &members) {
        return "{\"kind\": \"link\", \"id\": \"" + id(serial) + "\", " + members + '}';
    };
    const auto group = [](int serial, const QByteArray &members) {
        return "{\"kind\": \"group\", \"id\": \"" + id(serial) + "\", " + members + '}';
    };
    const QByteArray good = link(1, "\"path\": \"/a\"");

    QTest::newRow("link with bookmark and icon") << "[" + link(2, "\"path\": \"/b\", \"bookmark\": \"YWJj\", \"customIcon\": \"i.png\"") + "]"
                                                 << QStringList{u"link /b bookmark=616263 icon=i.png"_s};
    QTest::newRow("null optionals") << "[" + link(2, "\"path\": \"/b\", \"bookmark\": null, \"customIcon\": null, \"name\": null, \"links\": null") + "]"
                                    << QStringList{u"link /b"_s};
    QTest::newRow("empty bookmark is kept") << "[" + link(2, "\"path\": \"/b\", \"bookmark\": \"\"") + "]" << QStringList{u"link /b bookmark="_s};
    QTest::newRow("bookmark without padding") << "[" + link(2, "\"path\": \"/b\", \"bookmark\": \"YWI\"") + "]" << QStringList{u"link /b bookmark=6162"_s};
    QTest::newRow("lower-case item id") << "[{\"kind\": \"link\", \"id\": \"" + id(0xc).toLower() + "\", \"path\": \"/c\"}]" << QStringList{u"link /c"_s};

    QTest::newRow("empty path dropped") << "[" + link(2, "\"path\": \"\"") + ", " + good + "]" << QStringList{u"link /a"_s};
    QTest::newRow("missing path dropped") << "[" + link(2, "\"customIcon\": \"x\"") + ", " + good + "]" << QStringList{u"link /a"_s};
    QTest::newRow("numeric path fails") << "[" + link(2, "\"path\": 5") + ", " + good + "]" << QStringList{u"link /a"_s};
    QTest::newRow("numeric icon fails") << "[" + link(2, "\"path\": \"/b\", \"customIcon\": 1") + ", " + good + "]" << QStringList{u"link /a"_s};
    QTest::newRow("numeric name on a link fails") << "[" + link(2, "\"path\": \"/b\", \"name\": 1") + ", " + good + "]" << QStringList{u"link /a"_s};
    QTest::newRow("bookmark with a bad character") << "[" + link(2, "\"path\": \"/b\", \"bookmark\": \"YW*j\"") + ", " + good + "]" << QStringList{u"link /a"_s};
    QTest::newRow("bookmark with a dangling character") << "[" + link(2, "\"path\": \"/b\", \"bookmark\": \"YWJjZ\"") + ", " + good + "]" << QStringList{u"link /a"_s};
    QTest::newRow("bookmark with misplaced padding") << "[" + link(2, "\"path\": \"/b\", \"bookmark\": \"YQ=\"") + ", " + good + "]" << QStringList{u"link /a"_s};
    QTest::newRow("bookmark with inner padding") << "[" + link(2, "\"path\": \"/b\", \"bookmark\": \"YQ==YQ==\"") + ", " + good + "]" << QStringList{u"link /a"_s};
    QTest::newRow("bookmark with white space") << "[" + link(2, "\"path\": \"/b\", \"bookmark\": \"YW Jj\"") + ", " + good + "]" << QStringList{u"link /a"_s};
    QTest::newRow("bookmark as number") << "[" + link(2, "\"path\": \"/b\", \"bookmark\": 1") + ", " + good + "]" << QStringList{u"link /a"_s};
    QTest::newRow("unknown kind") << "[{\"kind\": \"folder\", \"id\": \"" + id(2) + "\", \"path\": \"/b\"}, " + good + "]" << QStringList{u"link /a"_s};
    QTest::newRow("capitalised kind") << "[{\"kind\": \"Link\", \"id\": \"" + id(2) + "\", \"path\": \"/b\"}, " + good + "]" << QStringList{u"link /a"_s};
    QTest::newRow("missing id") << "[{\"kind\": \"link\", \"path\": \"/b\"}, " + good + "]" << QStringList{u"link /a"_s};
    QTest::newRow("id in braces") << "[{\"kind\": \"link\", \"id\": \"{" + id(2) + "}\", \"path\": \"/b\"}, " + good + "]" << QStringList{u"link /a"_s};
    QTest::newRow("non-object elements") << "[1, \"x\", null, [], " + good + "]" << QStringList{u"link /a"_s};
    QTest::newRow("items not an array") << QByteArray("{\"a\": 1}") << QStringList{};

    QTest::newRow("group with members") << "[" + group(3, "\"name\": \"G\", \"links\": [" + good + ", " + link(4, "\"path\": \"/d\"") + "], \"customIcon\": \"g.png\"") + "]"
                                        << QStringList{u"group G [/a, /d] icon=g.png"_s};
    QTest::newRow("group with empty name") << "[" + group(3, "\"name\": \"\"") + "]" << QStringList{u"group  []"_s};
    QTest::newRow("group without name dropped") << "[" + group(3, "\"links\": [" + good + "]") + ", " + good + "]" << QStringList{u"link /a"_s};
    QTest::newRow("group with one bad member dropped") << "[" + group(3, "\"name\": \"G\", \"links\": [" + good + ", 7]") + "]" << QStringList{};
    QTest::newRow("group with a mistyped member dropped")
        << "[" + group(3, "\"name\": \"G\", \"links\": [" + good + ", " + link(4, "\"path\": false") + "]") + "]" << QStringList{};
    QTest::newRow("group member without path skipped") << "[" + group(3, "\"name\": \"G\", \"links\": [" + link(4, "\"path\": \"\"") + ", " + good + "]") + "]"
                                                        << QStringList{u"group G [/a]"_s};
    QTest::newRow("nested group skipped") << "[" + group(3, "\"name\": \"G\", \"links\": [" + group(5, "\"name\": \"N\", \"links\": [" + link(6, "\"path\": \"/n\"") + "]") + ", " + good + "]") + "]"
                                          << QStringList{u"group G [/a]"_s};
    QTest::newRow("nested group with a bad member fails the group")
        << "[" + group(3, "\"name\": \"G\", \"links\": [" + group(5, "\"name\": \"N\", \"links\": [0]") + ", " + good + "]") + "]" << QStringList{};
    QTest::newRow("links as object fails the group") << "[" + group(3, "\"name\": \"G\", \"links\": {}") + "]" << QStringList{};
    QTest::newRow("path refused by the parser fails the link") << "[" + link(2, "\"path\": \"/b\\ud800\"") + ", " + good + "]"
                                                               << QStringList{u"link /a"_s};
    QTest::newRow("member path refused by the parser fails the group")
        << "[" + group(3, "\"name\": \"G\", \"links\": [" + link(4, "\"path\": \"\\udfff\"") + "]") + ", " + good + "]" << QStringList{u"link /a"_s};
    QTest::newRow("path on a group is ignored") << "[" + group(3, "\"name\": \"G\", \"path\": \"/p\"") + "]" << QStringList{u"group G []"_s};
}

void TestConfigurationDocument::items()
{
    QFETCH(QByteArray, items);
    const auto document = ConfigurationDocument::fromJson(DocumentFixtures::document(panelWithItems(items)));
    QVERIFY(document);
    QTEST(describe(document->makePanels().first().tabs().first().items), "expected");
}

// --- Paths ------------------------------------------------------------------------------------

void TestConfigurationDocument::pathsRoundTrip_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("plain") << QStringLiteral("/usr/share/applications/org.example.Editor.desktop");
    QTest::newRow("spaces") << QStringLiteral("/home/me/My Documents/a b.txt");
    QTest::newRow("percent sequences stay literal") << QStringLiteral("/tmp/100%25 done %20.txt");
    QTest::newRow("hash and question mark") << QStringLiteral("/tmp/#1?x=y&z");
    QTest::newRow("non-ascii") << QStringLiteral("/home/me/Zürich/日本語/🚀");
    QTest::newRow("line break and tab") << QStringLiteral("/tmp/line\nbreak\tand tab");
    QTest::newRow("trailing slash kept") << QStringLiteral("/home/me/Projects/");
    QTest::newRow("backslash and quote") << QStringLiteral("/tmp/a\\b\"c");
    QTest::newRow("control character") << QStringLiteral("/tmp/bell\x07");
    QTest::newRow("double slash inside") << QStringLiteral("/tmp//x");
}

void TestConfigurationDocument::pathsRoundTrip()
{
    QFETCH(QString, path);
    const ItemLink link{QUuid::createUuid(), QUrl::fromLocalFile(path), std::nullopt, std::nullopt};
    PanelTab tab{QUuid::createUuid(), QStringLiteral("Main"), std::nullopt, {Item(link)}, false};
    PanelInit init;
    init.name = QStringLiteral("P");
    init.tab = tab;
    const QByteArray json = ConfigurationDocument({Panel(init)}).toJson();

    // The stored path is the plain path, not a URL.
    const QJsonObject stored = QJsonDocument::fromJson(json).object()[u"panels"].toArray()[0].toObject()[u"tabs"].toArray()[0]
                                   .toObject()[u"items"].toArray()[0].toObject();
    QCOMPARE(stored[u"path"].toString(), path);

    const auto document = ConfigurationDocument::fromJson(json);
    QVERIFY(document);
    const QList<Panel> panels = document->makePanels();
    const ItemLink *read = panels.first().tabs().first().items.first().link();
    QVERIFY(read);
    QCOMPARE(read->location.toLocalFile(), path);
    QCOMPARE(read->location, link.location);
}

void TestConfigurationDocument::unusualPathsRead_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("path"); // of the location read
    QTest::newRow("leading double slash is the root") << u"//server/share"_s << u"/server/share"_s;
    QTest::newRow("leading triple slash") << u"///server/share"_s << u"/server/share"_s;
    QTest::newRow("only slashes") << u"///"_s << u"/"_s;
    QTest::newRow("web folder form") << u"//host@SSL/x"_s << u"/host@SSL/x"_s;
    QTest::newRow("drive-like relative path") << u"c:/windows"_s << u"c:/windows"_s;
    QTest::newRow("relative path") << u"a/b"_s << u"a/b"_s;
}

void TestConfigurationDocument::unusualPathsRead()
{
    QFETCH(QString, stored);
    QFETCH(QString, path);
    const QByteArray item = "[{\"kind\": \"link\", \"id\": \"" + id(1) + "\", \"path\": \"" + stored.toUtf8() + "\"}]";
    const auto document = ConfigurationDocument::fromJson(DocumentFixtures::document(panelWithItems(item)));
    QVERIFY(document);
    const QList<Panel> panels = document->makePanels();
    const QUrl location = panels.first().tabs().first().items.first().link()->location;
    QVERIFY(location.isValid());
    QVERIFY(location.isLocalFile());
    QCOMPARE(location.toLocalFile(), path);
    if (path.startsWith(u'/'))
        QCOMPARE(location, QUrl::fromLocalFile(path));
}

// --- Writing ----------------------------------------------------------------------------------

void TestConfigurationDocument::writtenForm()
{
    PanelTab tab{QUuid::createUuid(), QStringLiteral("Main"), std::nullopt, {}, false};
    tab.items.append(ItemLink{QUuid::createUuid(), QUrl::fromLocalFile(QStringLiteral("/a")), std::nullopt, std::nullopt});
    tab.items.append(ItemLink{QUuid::createUuid(), QUrl::fromLocalFile(QStringLiteral("/b")), QByteArray("abc"), QStringLiteral("b.png")});
    tab.items.append(ItemGroup{QUuid::createUuid(), QStringLiteral("Group 1"), {}, std::nullopt});
    PanelInit init;
    init.name = QStringLiteral("Panel 1");
    init.tab = tab;
    const Panel written(init);
    const QByteArray json = ConfigurationDocument({written}).toJson();

    const QJsonObject root = QJsonDocument::fromJson(json).object();
    QCOMPARE(root[u"schemaVersion"].toInt(), ConfigurationSchema::currentVersion);
    const QJsonObject panel = root[u"panels"].toArray()[0].toObject();
    QCOMPARE(QStringList(panel.keys()), (QStringList{u"activeTabID"_s, u"alignment"_s, u"didRevealTabBar"_s, u"edge"_s, u"edgeInset"_s,
                                                     u"iconSize"_s, u"iconSpacing"_s, u"id"_s, u"mode"_s, u"name"_s, u"showsHoverHighlight"_s,
                                                     u"showsItemLabels"_s, u"showsOnAllSpaces"_s, u"showsTooltips"_s, u"tabStyle"_s, u"tabs"_s,
                                                     u"windowLevel"_s}));
    QCOMPARE(panel[u"id"].toString(), written.id().toString(QUuid::WithoutBraces).toUpper());
    const QJsonObject storedTab = panel[u"tabs"].toArray()[0].toObject();
    QCOMPARE(QStringList(storedTab.keys()), (QStringList{u"id"_s, u"items"_s, u"name"_s, u"showsRunningApps"_s}));
    const QJsonArray items = storedTab[u"items"].toArray();
    QCOMPARE(QStringList(items[0].toObject().keys()), (QStringList{u"bookmark"_s, u"id"_s, u"kind"_s, u"path"_s}));
    QVERIFY(items[0].toObject()[u"bookmark"].isNull());
    QCOMPARE(items[1].toObject()[u"bookmark"].toString(), QStringLiteral("YWJj"));
    QCOMPARE(items[1].toObject()[u"customIcon"].toString(), QStringLiteral("b.png"));
    QCOMPARE(QStringList(items[2].toObject().keys()), (QStringList{u"bookmark"_s, u"id"_s, u"kind"_s, u"links"_s, u"name"_s}));
    QVERIFY(items[2].toObject()[u"bookmark"].isNull());
    QCOMPARE(items[2].toObject()[u"links"], QJsonValue(QJsonArray()));

    // Pretty-printed, one key per line, keys in order, no null other than the bookmarks.
    QCOMPARE(json.count("null"), 2);
    QVERIFY(json.contains("\n    \"panels\": [\n"));
    QVERIFY(json.indexOf("\"panels\"") < json.indexOf("\"schemaVersion\""));
}

void TestConfigurationDocument::writtenFormMatchesExample()
{
    // A free, coloured, screen-bound panel whose older per-panel flag moves into its tabs.
    const QByteArray input = DocumentFixtures::document(panel(
        "\"name\": \"Desk\", \"showsRunningApps\": true, \"mode\": \"free\", \"freeFractionX\": 0.5, \"freeFractionY\": 1, "
        "\"screenID\": \"S\", \"tabs\": [{\"id\": \"" + id(1) + "\", \"name\": \"T\", \"color\": \"systemRed\"}]"));
    const auto document = ConfigurationDocument::fromJson(input);
    QVERIFY(document);
    const QByteArray json = ConfigurationDocument(document->makePanels()).toJson();
    const QJsonObject panel = QJsonDocument::fromJson(json).object()[u"panels"].toArray()[0].toObject();
    QVERIFY(!panel.contains(u"showsRunningApps"));
    QCOMPARE(panel[u"freeFractionX"].toDouble(), 0.5);
    QCOMPARE(panel[u"freeFractionY"].toDouble(), 1.0);
    QCOMPARE(panel[u"screenID"].toString(), QStringLiteral("S"));
    QCOMPARE(panel[u"didRevealTabBar"].toBool(), false);
    const QJsonObject tab = panel[u"tabs"].toArray()[0].toObject();
    QCOMPARE(tab[u"showsRunningApps"].toBool(), true);
    QCOMPARE(tab[u"color"].toString(), QStringLiteral("systemRed"));
    QCOMPARE(tab[u"id"].toString(), QString::fromLatin1(id(1)));
}

void TestConfigurationDocument::nonFiniteInsetIsWrittenAsZero()
{
    for (const double inset : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        PanelInit init;
        init.name = QStringLiteral("P");
        init.tab = PanelTab{QUuid::createUuid(), QStringLiteral("Main"), std::nullopt, {}, false};
        init.placement.edgeInset = inset;
        const QByteArray json = ConfigurationDocument({Panel(init)}).toJson();
        QVERIFY(!json.contains("null"));
        const auto document = ConfigurationDocument::fromJson(json);
        QVERIFY(document);
        QCOMPARE(document->makePanels().first().placement().edgeInset, 0.0);
    }
}

void TestConfigurationDocument::largeRandomRoundTrip_data()
{
    QTest::addColumn<int>("items");
    QTest::addColumn<quint32>("seed");
    QTest::newRow("1 panel, 300 items") << 300 << 3u;
    QTest::newRow("2 panels, 3000 items") << 3000 << 1u;
    QTest::newRow("3 panels, 5000 items") << 5000 << 2u;
}

void TestConfigurationDocument::largeRandomRoundTrip()
{
    QFETCH(int, items);
    QFETCH(quint32, seed);
    const QList<Panel> panels = SampleConfiguration::make(items, seed);
    const QByteArray json = ConfigurationDocument(panels).toJson();
    const auto document = ConfigurationDocument::fromJson(json);
    QVERIFY(document);
    QCOMPARE(document->schemaVersion(), ConfigurationSchema::currentVersion);
    const QList<Panel> read = document->makePanels();
    QCOMPARE(read.size(), panels.size());
    for (qsizetype i = 0; i < panels.size(); ++i)
        QVERIFY2(read[i] == panels[i], qPrintable(QStringLiteral("panel %1 differs").arg(i)));
    // Writing what was read gives the same bytes, and they are exactly what Qt's own JSON
    // writer makes of them: valid, indented, keys sorted, strings escaped alike.
    QCOMPARE(ConfigurationDocument(read).toJson(), json);
    QJsonParseError error;
    const QJsonDocument parsed = QJsonDocument::fromJson(json, &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(parsed.toJson(QJsonDocument::Indented), json);
}

QTEST_APPLESS_MAIN(TestConfigurationDocument)
#include "tst_configurationdocument.moc"
