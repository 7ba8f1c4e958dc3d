#include "sampleconfiguration.h"

#include <QRandomGenerator>
#include <QUrl>

namespace SampleConfiguration {

namespace {

template<typename E>
E pick(QRandomGenerator &random)
{
    const QList<E> cases = allCases<E>();
    return cases.at(random.bounded(int(cases.size())));
}

QUuid randomUuid(QRandomGenerator &random)
{
    QUuid id;
    id.data1 = random.generate();
    id.data2 = quint16(random.generate());
    id.data3 = quint16((random.generate() & 0x0fff) | 0x4000);
    const quint64 tail = random.generate64();
    for (int i = 0; i < 8; ++i)
        id.data4[i] = uchar(tail >> (8 * i));
    return id;
}

QString randomPath(QRandomGenerator &random, int serial)
{
    // Mostly ordinary names, as on a real desktop, with every kind of unusual one among them.
    static const QStringList parts = {
        QStringLiteral("usr"), QStringLiteral("share"), QStringLiteral("applications"), QStringLiteral("home"),
        QStringLiteral("alex"), QStringLiteral("Documents"), QStringLiteral("Projects"), QStringLiteral("Pictures"),
        QStringLiteral("Music"), QStringLiteral("opt"), QStringLiteral("bin"), QStringLiteral("2024-reports"),
        QStringLiteral("Applications"), QStringLiteral("My Files"), QStringLiteral("100% done"),
        QStringLiteral("#hash"), QStringLiteral("Zürich Ünïcödé"), QStringLiteral("日本語"),
        QStringLiteral("line\nbreak"), QStringLiteral("a?b=c&d"), QStringLiteral("..."),
        QStringLiteral("emoji 🚀"), QStringLiteral("quote\"back\\slash"), QStringLiteral("tab\there"),
    };
    QString path;
    const int depth = 1 + random.bounded(4);
    for (int i = 0; i < depth; ++i)
        path += u'/' + parts.at(random.bounded(int(parts.size())));
    path += QStringLiteral("/item %1").arg(serial);
    switch (random.bounded(4)) {
    case 0: path += QStringLiteral(".desktop"); break;
    case 1: path += u'/'; break;
    default: break;
    }
    return path;
}

ItemLink randomLink(QRandomGenerator &random, int serial)
{
    ItemLink link{randomUuid(random), QUrl::fromLocalFile(randomPath(random, serial)), std::nullopt, std::nullopt};
    if (random.bounded(3) == 0) {
        QByteArray bookmark(random.bounded(40), Qt::Uninitialized);
        for (char &byte : bookmark)
            byte = char(random.bounded(256));
        link.bookmark = bookmark;
    }
    if (random.bounded(4) == 0)
        link.customIcon = QStringLiteral("%1.png").arg(link.id.toString(QUuid::WithoutBraces).toUpper());
    return link;
}

PanelTab randomTab(QRandomGenerator &random, int number, int itemCount, int &serial)
{
    PanelTab tab{randomUuid(random), QStringLiteral("Tab %1").arg(number), std::nullopt, {}, random.bounded(2) == 1};
    if (random.bounded(2) == 0)
        tab.color = pick<TabColor>(random);
    // Group members count as items too: `itemCount` is the number of links and groups.
    for (int remaining = itemCount; remaining > 0;) {
        if (random.bounded(5) != 0 || remaining == 1) {
            tab.items.append(randomLink(random, serial++));
            --remaining;
            continue;
        }
        ItemGroup group{randomUuid(random), QStringLiteral("Group %1").arg(serial++), {}, std::nullopt};
        const int members = qMin(random.bounded(6), remaining - 1);
        for (int m = 0; m < members; ++m)
            group.links.append(randomLink(random, serial++));
        if (random.bounded(3) == 0)
            group.customIcon = QStringLiteral("group-%1.png").arg(serial);
        tab.items.append(group);
        remaining -= 1 + members;
    }
    return tab;
}

} // namespace

QList<Panel> make(int itemCount, quint32 seed)
{
    QRandomGenerator random(seed);
    const int panelCount = 1 + int(seed % 3) + itemCount / 2000;
    QList<Panel> panels;
    int serial = 0;
    int remaining = itemCount;
    for (int p = 0; p < panelCount; ++p) {
        const int panelItems = p == panelCount - 1 ? remaining : remaining / (panelCount - p);
        remaining -= panelItems;
        const int tabCount = 1 + random.bounded(4);
        QList<PanelTab> tabs;
        int panelRemaining = panelItems;
        for (int t = 0; t < tabCount; ++t) {
            const int tabItems = t == tabCount - 1 ? panelRemaining : panelRemaining / (tabCount - t);
            panelRemaining -= tabItems;
            tabs.append(randomTab(random, t + 1, tabItems, serial));
        }

        PanelPlacement placement;
        placement.mode = pick<PanelPlacementMode>(random);
        placement.edge = pick<PanelEdge>(random);
        placement.alignment = pick<PanelAlignment>(random);
        if (random.bounded(2) == 0)
            placement.freePosition = PanelFreePosition(random.generateDouble(), random.generateDouble());
        if (random.bounded(2) == 0)
            placement.screenID = randomUuid(random).toString(QUuid::WithoutBraces).toUpper();
        placement.edgeInset = random.bounded(3) == 0 ? 0 : random.bounded(200.0);

        PanelInit init;
        init.id = randomUuid(random);
        init.name = p == 1 ? QString() : QStringLiteral("Panel “%1”").arg(p + 1);
        init.showsItemLabels = random.bounded(2) == 0;
        init.showsHoverHighlight = random.bounded(2) == 0;
        init.showsTooltips = random.bounded(2) == 0;
        init.showsOnAllSpaces = random.bounded(2) == 0;
        init.iconSize = pick<PanelIconSize>(random);
        init.iconSpacing = pick<PanelIconSpacing>(random);
        init.tabStyle = pick<PanelTabStyle>(random);
        init.windowLevel = pick<PanelWindowLevel>(random);
        init.didRevealTabBar = tabs.size() > 1 || random.bounded(2) == 0;
        init.activeTabID = tabs.at(random.bounded(int(tabs.size()))).id;
        init.placement = placement;
        init.tab = tabs.takeFirst();
        init.moreTabs = tabs;
        panels.append(Panel(std::move(init)));
    }
    return panels;
}

} // namespace SampleConfiguration
