#pragma once

#include "windows/viewfactory.h"

// The views the application's windows host: panel views for panel windows and the settings form
// for settings windows. The group popover's view is not built yet; its window gets an empty view.
class UiViewFactory final : public ViewFactory
{
public:
    HostedView *makePanelView(const Panel &panel, AppStore &store) override;
    HostedView *makeGroupPopoverView(const QUuid &groupID, const QUuid &panelID, AppStore &store) override;
    HostedView *makeSettingsView(const QUuid &panelID, AppStore &store) override;
};
