#include "uiviewfactory.h"

#include "panelview.h"

HostedView *UiViewFactory::makePanelView(const Panel &panel, AppStore &store)
{
    return new PanelView(panel, store);
}

HostedView *UiViewFactory::makeGroupPopoverView(const QUuid &, const QUuid &, AppStore &)
{
    return new HostedView;
}

HostedView *UiViewFactory::makeSettingsView(const QUuid &, AppStore &)
{
    return new HostedView;
}
