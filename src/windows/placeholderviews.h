#pragma once

#include "viewfactory.h"

// Views that stand in for the real panel, popover and settings views where those are not
// available (the windows' own tests, a build without them). A panel placeholder draws the
// panel's body with one tile per item and measures like the panel would: its length grows with
// the number of items (running applications included when the active tab shows them) by the
// panel's icon metrics, and never falls below 120 points.
class PlaceholderViewFactory final : public ViewFactory
{
public:
    HostedView *makePanelView(const Panel &panel, AppStore &store) override;
    HostedView *makeGroupPopoverView(const QUuid &groupID, const QUuid &panelID, AppStore &store) override;
    HostedView *makeSettingsView(const QUuid &panelID, AppStore &store) override;
};
