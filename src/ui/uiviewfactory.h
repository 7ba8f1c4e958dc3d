#pragma once

#include "windows/viewfactory.h"

// The views the application's windows host: panel views for panel windows, the group popover's
// view and the settings form for settings windows.
class UiViewFactory final : public ViewFactory
{
public:
    // Makes the views' accessible roles known (AccessibleRoles).
    UiViewFactory();

    HostedView *makePanelView(const Panel &panel, AppStore &store) override;
    HostedView *makeGroupPopoverView(const QUuid &groupID, const QUuid &panelID, AppStore &store) override;
    HostedView *makeSettingsView(const QUuid &panelID, AppStore &store) override;
};
