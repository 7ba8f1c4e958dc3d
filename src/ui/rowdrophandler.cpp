#include "rowdrophandler.h"

#include "groupitemview.h"
#include "itemrowlayout.h"
#include "viewstyle.h"

#include <QDropEvent>
#include <QPainter>
#include <QWidget>

namespace {

Qt::DropAction moveAction(const QDropEvent *event)
{
    return event->possibleActions().testFlag(Qt::MoveAction) ? Qt::MoveAction : event->proposedAction();
}

} // namespace

RowDropHandler::RowDropHandler(QWidget *view, ItemRowLayout &row, std::unique_ptr<ItemDropRules> rules,
                               const MakeFileDelegate &makeFileDelegate)
    : m_view(view)
    , m_row(row)
    , m_rules(std::move(rules))
    , m_files(makeFileDelegate([this](const std::optional<ExternalDropTarget> &target) { showExternalTarget(target); }))
{
}

RowDropHandler::~RowDropHandler() = default;

void RowDropHandler::dragEnter(QDragEnterEvent *event)
{
    clear();
    m_item = DraggedPanelItem::fromMimeData(event->mimeData());
    m_bringsFiles = !m_item && m_files->validate(event->mimeData());
    // Accepted here so that the moves arrive; each move says whether the drag may land there.
    event->setAccepted(m_item || m_bringsFiles);
}

void RowDropHandler::dragMove(QDragMoveEvent *event)
{
    const QPointF at = rowPoint(event->position());
    if (m_item) {
        const Spot spot = spotFor(*m_item, at);
        showSpot(spot);
        if (spot.command) {
            event->setDropAction(moveAction(event));
            event->accept();
            return;
        }
    } else if (m_bringsFiles) {
        const Qt::DropAction action = m_files->dropUpdated(at, m_row.itemFrames(), event->possibleActions());
        if (action != Qt::IgnoreAction) {
            event->setDropAction(action);
            event->accept();
            return;
        }
    }
    event->ignore();
}

void RowDropHandler::dragLeave()
{
    if (m_bringsFiles)
        m_files->dropExited();
    clear();
}

void RowDropHandler::drop(QDropEvent *event)
{
    const QPointF at = rowPoint(event->position());
    if (m_item || DraggedPanelItem::fromMimeData(event->mimeData())) {
        const DraggedPanelItem item = m_item ? *m_item : *DraggedPanelItem::fromMimeData(event->mimeData());
        const std::optional<ItemDropRules::Command> command = spotFor(item, at).command;
        clear();
        if (!command) {
            event->ignore();
            return;
        }
        event->setDropAction(moveAction(event));
        event->accept();
        (*command)();
        return;
    }
    const bool taken = m_files->perform(at, m_row.itemFrames(), event->mimeData(), event->possibleActions());
    clear();
    event->setAccepted(taken);
    if (taken)
        event->setDropAction(event->possibleActions().testFlag(Qt::CopyAction) ? Qt::CopyAction : Qt::LinkAction);
}

bool RowDropHandler::showsDropBorder() const
{
    return m_externalTarget && m_row.itemFrames().isEmpty();
}

void RowDropHandler::paintMarkers(QPainter &painter) const
{
    const QPointF offset = m_row.parentWidget()->mapTo(m_view, QPointF(0, 0));
    const QColor accent = ViewStyle::accent(m_view->palette());
    for (const auto &[zone, frame] : m_row.zoneFrames()) {
        if (zone.isActive())
            DropInsertionZone::paintMarker(painter, frame.translated(offset), m_row.chrome(), m_row.axis(), accent);
    }
}

void RowDropHandler::paintDropBorder(QPainter &painter, const QRectF &body, double cornerRadius) const
{
    if (!showsDropBorder())
        return;
    constexpr double width = 2;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(ViewStyle::accent(m_view->palette()), width));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(ViewStyle::roundedRect(body.adjusted(width / 2, width / 2, -width / 2, -width / 2),
                                            cornerRadius - width / 2));
    painter.restore();
}

QPointF RowDropHandler::rowPoint(QPointF viewPoint) const
{
    return m_row.parentWidget()->mapFrom(m_view, viewPoint);
}

RowDropHandler::Spot RowDropHandler::spotFor(const DraggedPanelItem &item, QPointF at) const
{
    const QList<std::pair<DropInsertionZone, QRectF>> zones = m_row.zoneFrames();
    for (qsizetype i = 0; i < zones.size(); ++i) {
        if (DropInsertionZone::hitArea(zones.at(i).second, m_row.chrome()).contains(at))
            return Spot{.zone = i, .group = nullptr, .command = m_rules->moveBefore(item, zones.at(i).first.targetID)};
    }
    for (const auto &[id, tile] : m_row.itemTiles()) {
        auto *group = qobject_cast<GroupItemView *>(tile);
        if (group && group->iconFrame().translated(group->pos()).contains(at))
            return Spot{.zone = std::nullopt, .group = group, .command = m_rules->moveInto(item, id)};
    }
    return Spot{};
}

void RowDropHandler::showSpot(const Spot &spot)
{
    // Only a spot that takes the drag is shown.
    const bool takes = spot.command.has_value();
    qsizetype index = 0;
    const bool changed = m_row.updateZones([&](DropInsertionZone &zone) {
        const bool pointed = spot.zone == index++;
        zone.isTargeted = takes && pointed;
    });
    GroupItemView *group = takes ? spot.group.data() : nullptr;
    if (m_targetedGroup != group) {
        if (m_targetedGroup)
            m_targetedGroup->setDropTargeted(false);
        m_targetedGroup = group;
        if (group)
            group->setDropTargeted(true);
    }
    if (changed)
        m_view->update();
}

void RowDropHandler::showExternalTarget(const std::optional<ExternalDropTarget> &target)
{
    if (target == m_externalTarget)
        return;
    m_externalTarget = target;
    // In a row without items the view's border shows where files go, not the zone at the end.
    const bool hasItems = !m_row.itemFrames().isEmpty();
    m_row.updateZones([&](DropInsertionZone &zone) {
        zone.isExternallyTargeted = hasItems && target
            && ((target->kind == ExternalDropTarget::Kind::Before && zone.targetID == target->id)
                || (target->kind == ExternalDropTarget::Kind::End && !zone.targetID));
    });
    for (const auto &[id, tile] : m_row.itemTiles()) {
        if (auto *group = qobject_cast<GroupItemView *>(tile))
            group->setExternallyTargeted(target && target->kind == ExternalDropTarget::Kind::Group && target->id == id);
    }
    m_view->update();
}

void RowDropHandler::clear()
{
    m_item.reset();
    m_bringsFiles = false;
    showSpot(Spot{});
    showExternalTarget(std::nullopt);
}
