#pragma once

#include "draggedpanelitem.h"
#include "externaldropdelegate.h"
#include "itemdroprules.h"

#include <QPointer>

#include <memory>
#include <optional>

class GroupItemView;
class ItemRowLayout;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QPainter;
class QWidget;

// The drag and drop of a view that holds a row of tiles: a panel or a group's popover. The view
// accepts drops and hands its drag events over; it never reads the dragged data itself.
//
// A dragged item goes to the insertion zone whose hit area holds the pointer, else onto the
// group tile under it, where the view's rules allow; elsewhere the drag shows that it cannot
// land. Files from outside go where the view's file drop delegate says. The handler keeps the
// zones, the group tiles' highlights and the view's drop border in step with the drag.
//
// A drop calls the store last of all: the store may replace the view (releasing it later), and
// nothing of it is touched afterwards.
class RowDropHandler
{
public:
    using MakeFileDelegate = std::function<std::unique_ptr<FileDropDelegate>(FileDropDelegate::SetTarget)>;

    RowDropHandler(QWidget *view, ItemRowLayout &row, std::unique_ptr<ItemDropRules> rules,
                   const MakeFileDelegate &makeFileDelegate);
    ~RowDropHandler();

    void dragEnter(QDragEnterEvent *event);
    void dragMove(QDragMoveEvent *event);
    void dragLeave();
    void drop(QDropEvent *event);

    // Where files from outside would go now; none while no such drag points at the view.
    const std::optional<ExternalDropTarget> &externalTarget() const { return m_externalTarget; }
    // Files point at a row without items: the view outlines its body instead of a zone.
    bool showsDropBorder() const;
    // The markers of the active zones, in the view's coordinates.
    void paintMarkers(QPainter &painter) const;
    // While showsDropBorder(): the body's outline stroked inside it, 2 points wide, in the accent.
    void paintDropBorder(QPainter &painter, const QRectF &body, double cornerRadius) const;

private:
    struct Spot
    {
        std::optional<qsizetype> zone;
        QPointer<GroupItemView> group;
        std::optional<ItemDropRules::Command> command;
    };

    QPointF rowPoint(QPointF viewPoint) const;
    Spot spotFor(const DraggedPanelItem &item, QPointF at) const;
    void showSpot(const Spot &spot);
    void showExternalTarget(const std::optional<ExternalDropTarget> &target);
    void clear();

    QWidget *m_view;
    ItemRowLayout &m_row;
    std::unique_ptr<ItemDropRules> m_rules;
    std::unique_ptr<FileDropDelegate> m_files;
    std::optional<DraggedPanelItem> m_item;
    bool m_bringsFiles = false;
    std::optional<ExternalDropTarget> m_externalTarget;
    QPointer<GroupItemView> m_targetedGroup;
};
