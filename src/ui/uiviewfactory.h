#pragma once

#include "windows/viewfactory.h"

// The views the application's windows host: panel views for panel windows. The group popover's
// and the settings window's views are not built yet; their windows get an empty view.
class UiViewFactory final : public ViewFactory
{
public:
    HostedView *makePanelView(const Panel &panel, AppStore &store) override;
    HostedView *makeGroupPopoverView(const QUuid &groupID, const QUuid &panelID, AppStore &store) override;
    HostedView *makeSettingsView(const QUuid &panelID, AppStore &store) override;
};
