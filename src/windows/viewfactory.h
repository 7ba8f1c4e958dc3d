#pragma once

class AppStore;
class HostedView;
class QUuid;
class Panel;

// Builds the views that the windows host. The windows layer sits below the views: the
// application hands the window manager a factory of the real views, and tests (or a session
// without them) use the placeholder factory. Every call returns a new view without a parent,
// built from the store's current values; the caller owns it.
class ViewFactory
{
public:
    virtual ~ViewFactory() = default;

    // The whole content of a panel window, for this panel value.
    virtual HostedView *makePanelView(const Panel &panel, AppStore &store) = 0;
    // The content of the group popover window for a group of a panel.
    virtual HostedView *makeGroupPopoverView(const QUuid &groupID, const QUuid &panelID, AppStore &store) = 0;
    // The content of a panel's settings window.
    virtual HostedView *makeSettingsView(const QUuid &panelID, AppStore &store) = 0;
};
