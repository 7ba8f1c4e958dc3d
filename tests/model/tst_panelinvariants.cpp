#include "model/panel.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

// Runs long random sequences of every editing operation from fixed seeds and checks after each
// step that the panel's invariants hold, that nothing is lost or duplicated except by a removal,
// and that an operation reporting false left the panel exactly as it was.
namespace {

// An item's id and, for a group, its members' ids.
QList<QUuid> itemIDs(const Item &item)
{
    QList<QUuid> ids{item.id()};
    if (const ItemGroup *group = item.group()) {
        for (const ItemLink &member : group->links)
            ids.append(member.id);
    }
    return ids;
}

QList<QUuid> tabIDs(const PanelTab &tab)
{
    QList<QUuid> ids{tab.id};
    for (const Item &item : tab.items)
        ids.append(itemIDs(item));
    return ids;
}

QList<QUuid> allIDs(const Panel &panel)
{
    QList<QUuid> ids;
    for (const PanelTab &tab : panel.tabs())
        ids.append(tabIDs(tab));
    return ids;
}

QSet<QUuid> toSet(const QList<QUuid> &ids)
{
    return QSet<QUuid>(ids.cbegin(), ids.cend());
}

// The ids that removing `id` takes with it: a tab with its content, a group with its members.
QSet<QUuid> subtree(const Panel &panel, const QUuid &id)
{
    for (const PanelTab &tab : panel.tabs()) {
        if (tab.id == id)
            return toSet(tabIDs(tab));
        for (const Item &item : tab.items) {
            if (item.id() == id)
                return toSet(itemIDs(item));
        }
    }
    return {id}; // a group member
}

class Fuzzer
{
public:
    explicit Fuzzer(quint32 seed) : m_random(seed) {}

    Panel panel{PanelInit{.name = QStringLiteral("P"), .tab = PanelTab{.name = QStringLiteral("T")}}};

    // One random operation; returns a failure message, empty when all is well.
    QString step()
    {
        const Panel before = panel;
        // Targets are picked before the operation, each mostly related to the others (an item of
        // the tab, a member of the group) so that the success paths run often, and otherwise any
        // id of the panel or an unknown one, so that wrong kinds and missing targets are tried.
        const QUuid tab = pick(tabs());
        const QUuid item = pick(itemsOf(tab));
        const QUuid group = pick(groups());
        const QUuid member = pick(membersOf(group));
        const std::optional<QUuid> beforeItem = maybe(pick(itemsOf(tab)));
        const std::optional<QUuid> beforeMember = maybe(pick(membersOf(group)));
        bool result = true;
        std::optional<QUuid> removed;
        QString name;
        switch (m_random.bounded(200) == 0 ? -1 : m_random.bounded(18)) {
        case -1: name = u"resetToEmptyState"_s; panel.resetToEmptyState(u"Main"_s); break;
        case 0: name = u"addTab"_s; panel.addTab(newTab()); break;
        case 1: name = u"selectTab"_s; panel.selectTab(tab); break;
        case 2: name = u"renameTab"_s; panel.renameTab(tab, u"x"_s); break;
        case 3: name = u"setColor"_s; panel.setColor(TabColor::SystemMint, tab); break;
        case 4: name = u"setShowsRunningApps"_s; panel.setShowsRunningApps(true, tab); break;
        case 5: name = u"removeTab"_s; removed = tab; result = panel.removeTab(tab); break;
        case 6: name = u"append"_s; panel.append(newItem()); break;
        case 7: name = u"appendToTab"_s; panel.append(newItem(), tab); break;
        case 8: name = u"insert"_s; panel.insert(newItems(), beforeItem, tab); break;
        case 9: name = u"removeItem"_s; removed = item; result = panel.removeItem(item, tab); break;
        case 10: name = u"moveItem"_s; result = panel.moveItem(item, beforeItem, tab); break;
        case 11: name = u"moveLinkIntoGroup"_s; result = panel.moveLinkIntoGroup(item, group, tab); break;
        case 12: name = u"renameGroup"_s; result = panel.renameGroup(group, u"g"_s); break;
        case 13: name = u"appendLink"_s; result = panel.appendLink(newLink(), group); break;
        case 14: name = u"insertLinks"_s; result = panel.insertLinks(newLinks(), beforeMember, group); break;
        case 15: name = u"moveLink"_s; result = panel.moveLink(member, beforeMember, group); break;
        case 16: name = u"removeLink"_s; removed = member; result = panel.removeLink(member, group); break;
        default: name = u"setCustomIcon"_s; result = panel.setCustomIcon(u"i"_s, member); break;
        }
        if (!result && panel != before)
            return name + u": reported false but changed the panel"_s;
        if (name == u"resetToEmptyState")
            m_expected = {panel.tabs().first().id};
        else if (removed && result)
            m_expected -= subtree(before, *removed);
        else if (result)
            m_expected += m_added;
        m_added.clear();
        if (const QString broken = brokenInvariant(before, name); !broken.isEmpty())
            return name + u": "_s + broken;
        return {};
    }

private:
    QString brokenInvariant(const Panel &before, const QString &name) const
    {
        if (panel.tabs().isEmpty())
            return u"no tabs"_s;
        // That groups hold links only is kept by the types themselves (ItemGroup::links).
        const QList<QUuid> ids = allIDs(panel);
        const QSet<QUuid> unique = toSet(ids);
        if (unique.size() != ids.size())
            return u"duplicate id"_s;
        if (unique != m_expected)
            return u"an id was lost or appeared"_s;
        if (!panel.tab(panel.activeTabID()) || panel.activeTab().id != panel.activeTabID())
            return u"active tab id names no tab"_s;
        const bool revealChanges = name == u"addTab" || name == u"resetToEmptyState";
        if (!revealChanges && panel.didRevealTabBar() != before.didRevealTabBar())
            return u"tab bar flag changed"_s;
        return {};
    }

    QList<QUuid> tabs() const
    {
        QList<QUuid> ids;
        for (const PanelTab &t : panel.tabs())
            ids.append(t.id);
        return ids;
    }
    QList<QUuid> itemsOf(const QUuid &tabID) const
    {
        QList<QUuid> ids;
        if (const PanelTab *t = panel.tab(tabID)) {
            for (const Item &i : t->items)
                ids.append(i.id());
        }
        return ids;
    }
    QList<QUuid> groups() const
    {
        QList<QUuid> ids;
        for (const PanelTab &t : panel.tabs()) {
            for (const Item &i : t.items) {
                if (i.isGroup())
                    ids.append(i.id());
            }
        }
        return ids;
    }
    QList<QUuid> membersOf(const QUuid &groupID) const
    {
        QList<QUuid> ids;
        if (const ItemGroup *g = panel.group(groupID)) {
            for (const ItemLink &l : g->links)
                ids.append(l.id);
        }
        return ids;
    }
    // Mostly one of `candidates`; otherwise any id of the panel, or one it does not hold.
    QUuid pick(const QList<QUuid> &candidates)
    {
        if (!candidates.isEmpty() && m_random.bounded(5) != 0)
            return candidates.at(m_random.bounded(int(candidates.size())));
        const QList<QUuid> any = allIDs(panel);
        if (m_random.bounded(5) == 0)
            return m_unknown;
        return any.at(m_random.bounded(int(any.size())));
    }
    std::optional<QUuid> maybe(const QUuid &id) { return m_random.bounded(4) == 0 ? std::nullopt : std::optional(id); }

    ItemLink newLink()
    {
        ItemLink link{.location = QUrl(u"file:///l"_s)};
        m_added.insert(link.id);
        return link;
    }
    // Up to `most` new values (possibly none).
    template<typename T, typename Make>
    QList<T> several(int most, Make make)
    {
        QList<T> values;
        for (int n = m_random.bounded(most + 1); n > 0; --n)
            values.append(make());
        return values;
    }
    QList<ItemLink> newLinks() { return several<ItemLink>(2, [this] { return newLink(); }); }
    QList<Item> newItems() { return several<Item>(3, [this] { return newItem(); }); }
    Item newItem()
    {
        if (m_random.bounded(3) != 0)
            return newLink();
        ItemGroup group{.name = u"G"_s, .links = newLinks()};
        m_added.insert(group.id);
        return group;
    }
    PanelTab newTab()
    {
        PanelTab tab{.name = u"T"_s, .items = newItems()};
        m_added.insert(tab.id);
        return tab;
    }

    QRandomGenerator m_random;
    QSet<QUuid> m_expected{panel.tabs().first().id}; // what the panel must hold
    QSet<QUuid> m_added;                               // made by the current step
    const QUuid m_unknown = QUuid::createUuid();
};

} // namespace

class TestPanelInvariants : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void randomOperations_data();
    void randomOperations();
};

void TestPanelInvariants::randomOperations_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed : {1u, 7u, 42u, 1234u, 99991u, 31337u})
        QTest::addRow("seed %u", seed) << seed;
}

void TestPanelInvariants::randomOperations()
{
    QFETCH(quint32, seed);
    Fuzzer fuzzer(seed);
    for (int step = 0; step < 2000; ++step) {
        const QString failure = fuzzer.step();
        QVERIFY2(failure.isEmpty(), qPrintable(QStringLiteral("step %1: %2").arg(step).arg(failure)));
    }
}

QTEST_APPLESS_MAIN(TestPanelInvariants)
#include "tst_panelinvariants.moc"
