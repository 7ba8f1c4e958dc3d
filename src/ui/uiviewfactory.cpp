#include "uiviewfactory.h"

#include "accessibleroles.h"
#include "grouppopoverview.h"
#include "panelsettingsview.h"
#include "panelview.h"

UiViewFactory::UiViewFactory()
{
    AccessibleRoles::install();
}

HostedView *UiViewFactory::makePanelView(const Panel &panel, AppStore &store)
{
    return new PanelView(panel, store);
}

HostedView *UiViewFactory::makeGroupPopoverView(const QUuid &groupID, const QUuid &panelID, AppStore &store)
{
    return new GroupPopoverView(groupID, panelID, store);
}

HostedView *UiViewFactory::makeSettingsView(const QUuid &panelID, AppStore &store)
{
    return new PanelSettingsView(panelID, store);
}
