#include "uiviewfactory.h"

#include "panelsettingsview.h"
#include "panelview.h"

HostedView *UiViewFactory::makePanelView(const Panel &panel, AppStore &store)
{
    return new PanelView(panel, store);
}

HostedView *UiViewFactory::makeGroupPopoverView(const QUuid &, const QUuid &, AppStore &)
{
    return new HostedView;
}

HostedView *UiViewFactory::makeSettingsView(const QUuid &panelID, AppStore &store)
{
    return new PanelSettingsView(panelID, store);
}
