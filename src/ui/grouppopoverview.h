#pragma once

#include "externaldroptarget.h"
#include "panellayoutplan.h"

#include "model/iconchrome.h"
#include "model/item.h"
#include "model/placement.h"
#include "windows/hostedview.h"

#include <QUuid>

#include <memory>
#include <optional>

class AppStore;
class ItemRowLayout;
class RowDropHandler;
class RowScroller;
class TabChip;

// The content of a group's popover window: the group's chip with its name (renamable), on the
// side that mirrors the owning panel's tab bar, beside a body holding the group's members, each
// launchable, draggable and removable, with an insertion zone in front of each and one after the
// last, then a small add button; an empty group shows the large add button and the hint
// instead. The body takes dropped files (before a member or at the end) and the group's own
// members dragged to another place. Escape closes the popover; Escape in the name field ends
// renaming with the old name.
//
// Built afresh with every synchronisation of the windows from the store's current values. The
// group is looked up in every panel (not only in the owning one); when it is gone the view shows
// nothing until its window is closed.
class GroupPopoverView : public HostedView
{
    Q_OBJECT

public:
    GroupPopoverView(const QUuid &groupID, const QUuid &panelID, AppStore &store, QWidget *parent = nullptr);
    ~GroupPopoverView() override;

    const std::optional<ItemGroup> &resolvedGroup() const { return m_group; }
    const IconChrome &chrome() const { return m_chrome; }
    // The owning panel's companion side; none without the panel.
    std::optional<PanelCompanionSide> companionSide() const { return m_side; }
    // Where files dragged over the popover would go; none while no such drag is over it.
    std::optional<ExternalDropTarget> externalTarget() const;
    // Files point at an empty group: the body is outlined in the accent colour.
    bool showsDropBorder() const;

    // Null when the group is gone.
    TabChip *chip() const { return m_chip; }
    ItemRowLayout *itemLayout() const { return m_itemLayout; }
    RowScroller *scroller() const { return m_scroller; }
    QRectF bodyRect() const;
    // The frame of every member's tile, in the view's coordinates.
    QHash<QUuid, QRectF> itemFrames() const;

    QSize sizeHint() const override;
    QPainterPath bodyShape() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildChip();
    void buildBody();
    void editingChanged();
    PanelLayoutInput layoutInput() const;
    PanelLayoutPlan plan(std::optional<QSizeF> offered = std::nullopt) const;
    QRect chipFrame(const PanelLayoutPlan &placed) const;
    // The widest the popover may be: the visible width of its panel's screen.
    std::optional<double> maximumWidth() const;
    void paintScrollIndicator(QPainter &painter) const;

    QUuid m_groupID;
    QUuid m_panelID;
    AppStore &m_store;
    std::optional<ItemGroup> m_group;
    std::optional<PanelCompanionSide> m_side;
    std::optional<QString> m_screenID;
    IconChrome m_chrome;
    bool m_showsItemLabels = true;
    bool m_showsHoverHighlight = true;
    bool m_showsTooltips = true;
    bool m_isSlanted = false;

    TabChip *m_chip = nullptr;
    ItemRowLayout *m_itemLayout = nullptr;
    RowScroller *m_scroller = nullptr;
    std::unique_ptr<RowDropHandler> m_drops;
};
