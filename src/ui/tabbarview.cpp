#include "tabbarview.h"

#include "overflowchevron.h"
#include "panelmenus.h"
#include "tabchip.h"
#include "tabstriplayout.h"

#include "store/appstore.h"

#include <QCursor>
#include <QMenu>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

bool namesChip(const std::optional<AppStore::TabRenaming> &renaming, const QUuid &panelID, const QUuid &tabID)
{
    return renaming && renaming->panelID == panelID && renaming->tabID == tabID;
}

} // namespace

TabBarView::TabBarView(const Panel &panel, AppStore &store, bool slanted, std::optional<double> maxLength,
                       QWidget *parent)
    : QWidget(parent)
    , m_panel(panel)
    , m_store(store)
{
    const SidewaysLayout turn = SidewaysLayout::forSide(panel.placement().companionSide());
    m_layout = new TabStripLayout(
        TabStripGeometry{.spacing = chipSpacing(slanted), .maxLength = maxLength, .activeIndex = activeChipIndex(panel)},
        turn, this);
    const int padding = int(std::lround(panel.chrome().bodyCornerRadius()));
    if (turn.isSideways())
        m_layout->setContentsMargins(0, padding, 0, padding);
    else
        m_layout->setContentsMargins(padding, 0, padding, 0);

    for (const PanelTab &tab : chipOrder(panel)) {
        TabChip *chip = makeChip(tab, slanted);
        m_chips.append(chip);
        m_layout->addWidget(chip);
    }
    // Later chips overlap earlier ones; the active chip lies on top of its neighbours.
    if (const std::optional<int> active = activeChipIndex(panel))
        m_chips.at(*active)->raise();
    m_chevron = new OverflowChevron(turn, this);
    m_layout->addWidget(m_chevron);
    connect(m_chevron, &QAbstractButton::clicked, this, &TabBarView::showOverflowMenu);
    connect(&store, &AppStore::renamingChanged, this, &TabBarView::renamingChanged);
}

TabBarView::~TabBarView() = default;

QList<PanelTab> TabBarView::chipOrder(const Panel &panel)
{
    QList<PanelTab> tabs = panel.tabs();
    const PanelPlacement placement = panel.placement();
    if (placement.mode == PanelPlacementMode::Snapped && placement.edge == PanelEdge::Right)
        std::reverse(tabs.begin(), tabs.end());
    return tabs;
}

std::optional<int> TabBarView::activeChipIndex(const Panel &panel)
{
    const QList<PanelTab> tabs = chipOrder(panel);
    for (int i = 0; i < tabs.size(); ++i) {
        if (tabs.at(i).id == panel.activeTabID())
            return i;
    }
    return std::nullopt;
}

double TabBarView::degrees() const
{
    return m_layout->turn().degrees();
}

double TabBarView::thickness() const
{
    return m_layout->rules().fittingSize(m_layout->uprightSizes()).height();
}

double TabBarView::naturalLength() const
{
    return m_layout->runWidth(0, int(m_chips.size()));
}

void TabBarView::setMaxLength(std::optional<double> maxLength)
{
    m_layout->setMaxLength(maxLength);
}

TabChip *TabBarView::makeChip(const PanelTab &tab, bool slanted)
{
    const QUuid panelID = m_panel.id();
    const QUuid tabID = tab.id;
    auto *chip = new TabChip(
        TabChipOptions{
            .name = tab.name,
            .color = tab.color,
            .isActive = tab.id == m_panel.activeTabID(),
            .isRenaming = namesChip(m_store.renaming(), panelID, tabID),
            .slanted = slanted,
            .companionSide = m_panel.placement().companionSide(),
            // Tab chips show their name whatever the panel's tooltip setting.
            .showsTooltip = true,
            .fieldAccessibilityID = QStringLiteral("tabNameField"),
            .labelAccessibilityID = QStringLiteral("panelTab"),
        },
        this);
    AppStore *store = &m_store;
    connect(chip, &TabChip::selectRequested, this, [store, panelID, tabID] { store->selectTab(tabID, panelID); });
    connect(chip, &TabChip::renameRequested, this,
            [store, panelID, tabID] { store->beginRenamingTab(tabID, panelID); });
    // Committing after the renaming was ended elsewhere changes nothing: the store checks.
    connect(chip, &TabChip::renameCommitted, this, [store](const QString &name) { store->commitRenamingTab(name); });
    connect(chip, &TabChip::renameCancelled, this, [store] { store->cancelRenamingTab(); });
    chip->setMenuContent([store, panelID, tabID](QMenu &menu) {
        const Panel *panel = store->panel(panelID);
        const PanelTab *current = panel ? panel->tab(tabID) : nullptr;
        if (current)
            PanelMenus::addTabEntries(menu, *current, panelID, *store);
    });
    return chip;
}

void TabBarView::renamingChanged()
{
    const std::optional<AppStore::TabRenaming> &renaming = m_store.renaming();
    const QList<PanelTab> tabs = chipOrder(m_panel);
    for (int i = 0; i < m_chips.size(); ++i)
        m_chips.at(i)->setRenaming(namesChip(renaming, m_panel.id(), tabs.at(i).id));
}

QPainterPath TabBarView::outline() const
{
    // A bar not shown yet has its size but its chips wait for their places until it shows; they
    // are placed now, where that resize would put them.
    if (testAttribute(Qt::WA_PendingResizeEvent))
        m_layout->setGeometry(rect());
    QPainterPath drawn;
    drawn.setFillRule(Qt::WindingFill);
    for (const TabChip *chip : m_chips) {
        if (!chip->isHidden() && rect().intersects(chip->geometry()))
            drawn.addPath(chip->outline().translated(chip->pos()));
    }
    if (!m_chevron->isHidden() && rect().intersects(m_chevron->geometry()))
        drawn.addRect(QRectF(m_chevron->geometry()));
    return drawn;
}

void TabBarView::fillOverflowMenu(QMenu &menu) const
{
    AppStore *store = &m_store;
    const QUuid panelID = m_panel.id();
    for (const PanelTab &tab : m_panel.tabs()) {
        QAction *entry = menu.addAction(tab.name);
        entry->setCheckable(true);
        entry->setChecked(tab.id == m_panel.activeTabID());
        const QUuid tabID = tab.id;
        connect(entry, &QAction::triggered, entry, [store, panelID, tabID] { store->selectTab(tabID, panelID); });
    }
}

void TabBarView::showOverflowMenu()
{
    QMenu menu;
    fillOverflowMenu(menu);
    // Selecting a tab replaces this view: nothing of it is touched after exec() returns.
    menu.exec(QCursor::pos());
}
