#include "appstore.h"

#include "model/defaultname.h"
#include "store/iconreferences.h"

#include <algorithm>
#include <cmath>

namespace {

// An inset the geometry and the configuration file can both take: negative means "at the
// edge", and a non-finite one would make every later save fail (JSON has no infinities).
double usableInset(double inset)
{
    return std::isfinite(inset) && inset > 0 ? inset : 0;
}

// Copies the panel's placement, lets `change` adjust the copy and stores it as a whole.
template<typename Change>
void changePlacement(AppStore &store, const QUuid &panelID, Change change)
{
    const Panel *found = store.panel(panelID);
    if (!found)
        return;
    PanelPlacement placement = found->placement();
    change(placement);
    store.setPlacement(placement, panelID);
}

} // namespace

void AppStore::addPanel(const std::optional<QString> &name, const std::optional<QString> &screenID)
{
    // The default panel with what distinguishes one made on request: a caller-given name
    // (taken as it is), the screen it was asked for, and a place above all other windows.
    Panel added = makeDefaultPanel();
    added.name = name.value_or(DefaultName::panel(int(m_panels.size()) + 1));
    PanelPlacement placement = added.placement();
    placement.screenID = screenID;
    added.setPlacement(placement);
    added.setWindowLevel(PanelWindowLevel::AboveAll);
    m_panels.append(added);
    saveAndNotify();
}

AppStore::RemovePanelResult AppStore::removePanel(const QUuid &panelID, bool confirmed)
{
    const qsizetype index = indexOfPanel(panelID);
    if (index < 0)
        return RemovePanelResult::NotFound;
    const Panel &target = m_panels.at(index);
    const bool holdsItems = std::any_of(target.tabs().cbegin(), target.tabs().cend(),
                                        [](const PanelTab &tab) { return !tab.items.isEmpty(); });
    if (holdsItems && !confirmed)
        return RemovePanelResult::NeedsConfirmation;
    const QStringList iconFiles = target.customIconFileNames();
    m_panels.removeAt(index);
    // A file another panel still shows (a loaded configuration may share one) is kept.
    removeIconFiles(unreferencedIconFiles(iconFiles, m_panels));
    saveAndNotify();
    return RemovePanelResult::Removed;
}

void AppStore::renamePanel(const QUuid &panelID, const QString &name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return;
    editPanel(panelID, [&trimmed](Panel &panel) {
        if (panel.name == trimmed)
            return false;
        panel.name = trimmed;
        return true;
    });
}

// The request fields below change after their target so that an observer of the request
// reads the new target.

void AppStore::openSettings(const QUuid &panelID)
{
    if (!panel(panelID))
        return;
    assign(m_settingsPanelID, std::optional<QUuid>(panelID), &AppStore::settingsPanelIDChanged);
    assign(m_settingsRequestID, QUuid::createUuid(), &AppStore::settingsRequestIDChanged);
}

void AppStore::bringToFront(const QUuid &panelID)
{
    if (!panel(panelID))
        return;
    assign(m_broughtToFrontPanelID, std::optional<QUuid>(panelID), &AppStore::broughtToFrontPanelIDChanged);
    assign(m_bringToFrontRequestID, QUuid::createUuid(), &AppStore::bringToFrontRequestIDChanged);
}

void AppStore::showAllPanels()
{
    if (m_panels.isEmpty())
        return;
    assign(m_isRevealingAllPanels, true, &AppStore::isRevealingAllPanelsChanged);
    assign(m_showAllPanelsRequestID, QUuid::createUuid(), &AppStore::showAllPanelsRequestIDChanged);
}

void AppStore::endRevealAllPanels()
{
    assign(m_isRevealingAllPanels, false, &AppStore::isRevealingAllPanelsChanged);
}

void AppStore::setPlacement(const PanelPlacement &placement, const QUuid &panelID)
{
    editPanel(panelID, [&placement](Panel &panel) {
        PanelPlacement stored = placement;
        if (!std::isfinite(stored.edgeInset))
            stored.edgeInset = 0;
        panel.setPlacement(stored);
    });
}

void AppStore::setPlacementMode(PanelPlacementMode mode, const QUuid &panelID)
{
    changePlacement(*this, panelID, [mode](PanelPlacement &placement) { placement.mode = mode; });
}

void AppStore::setPlacementEdge(PanelEdge edge, const QUuid &panelID)
{
    changePlacement(*this, panelID, [edge](PanelPlacement &placement) { placement.edge = edge; });
}

void AppStore::setPlacementAlignment(PanelAlignment alignment, const QUuid &panelID)
{
    changePlacement(*this, panelID, [alignment](PanelPlacement &placement) { placement.alignment = alignment; });
}

void AppStore::setPlacementEdgeInset(double inset, const QUuid &panelID)
{
    changePlacement(*this, panelID, [inset](PanelPlacement &placement) { placement.edgeInset = usableInset(inset); });
}

void AppStore::setFreePosition(const PanelFreePosition &position, const std::optional<QString> &screenID,
                               const QUuid &panelID)
{
    const Panel *found = panel(panelID);
    if (!found)
        return;
    // A drag that ends where it began writes nothing.
    const PanelPlacement &current = found->placement();
    if (current.freePosition == position && current.screenID == screenID)
        return;
    changePlacement(*this, panelID, [&](PanelPlacement &placement) {
        placement.freePosition = position;
        placement.screenID = screenID;
    });
}

void AppStore::setWindowLevel(PanelWindowLevel level, const QUuid &panelID)
{
    editPanel(panelID, [level](Panel &panel) { panel.setWindowLevel(level); });
}

void AppStore::setShowsItemLabels(bool shows, const QUuid &panelID)
{
    editPanel(panelID, [shows](Panel &panel) { panel.showsItemLabels = shows; });
}

void AppStore::setShowsHoverHighlight(bool shows, const QUuid &panelID)
{
    editPanel(panelID, [shows](Panel &panel) { panel.showsHoverHighlight = shows; });
}

void AppStore::setShowsTooltips(bool shows, const QUuid &panelID)
{
    editPanel(panelID, [shows](Panel &panel) { panel.showsTooltips = shows; });
}

void AppStore::setShowsOnAllSpaces(bool shows, const QUuid &panelID)
{
    editPanel(panelID, [shows](Panel &panel) { panel.showsOnAllSpaces = shows; });
}

void AppStore::setIconSize(PanelIconSize size, const QUuid &panelID)
{
    editPanel(panelID, [size](Panel &panel) { panel.iconSize = size; });
}

void AppStore::setIconSpacing(PanelIconSpacing spacing, const QUuid &panelID)
{
    editPanel(panelID, [spacing](Panel &panel) { panel.iconSpacing = spacing; });
}

void AppStore::setTabStyle(PanelTabStyle style, const QUuid &panelID)
{
    editPanel(panelID, [style](Panel &panel) { panel.tabStyle = style; });
}
