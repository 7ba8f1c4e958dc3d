#pragma once

#include "windows/hostedview.h"

#include "model/panel.h"

#include <QHash>
#include <QRectF>
#include <QUuid>

class AppStore;
class ItemRowLayout;
class PanelViewLayout;
class RowScroller;
class TabBarView;

// The whole content of a panel window: the rounded body, translucent where a compositor runs and
// tinted by the active tab's colour, holding the active tab's tiles in a row (a column on the
// left and right edges) that scrolls along its axis when the window is shorter than the row;
// the running applications the tab does not hold after them; the add button and its hint on an
// empty tab; and the tab bar on the side that faces away from the screen edge.
//
// Built afresh from a copy of the panel whenever the store's panels change; while it lives it
// follows the running applications (and resizes for them) on its own. Left presses on the bare
// body are left to the window, which moves free panels by them.
class PanelView : public HostedView
{
    Q_OBJECT

public:
    PanelView(const Panel &panel, AppStore &store, QWidget *parent = nullptr);
    ~PanelView() override;

    const Panel &panel() const { return m_panel; }

    QPainterPath bodyShape() const override;
    // The rounded body, in the view's coordinates.
    QRectF bodyRect() const;
    // The frame of every item's tile, in the view's coordinates.
    QHash<QUuid, QRectF> itemFrames() const;
    // The length of the item content along the panel's axis, padding included.
    double companionContentExtent() const;

    RowScroller *scroller() const { return m_scroller; }
    ItemRowLayout *itemLayout() const { return m_itemLayout; }
    // Null when the panel shows no tab bar.
    TabBarView *tabBar() const { return m_tabBar; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void fillItemLayout();
    void runningApplicationsChanged();

    Panel m_panel;
    AppStore &m_store;
    ItemRowLayout *m_itemLayout;
    RowScroller *m_scroller;
    TabBarView *m_tabBar = nullptr;
    PanelViewLayout *m_layout;
};
