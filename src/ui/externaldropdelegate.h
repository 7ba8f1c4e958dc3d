#pragma once

#include "externaldroptarget.h"

#include "model/panel.h"

#include <QHash>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QUrl>
#include <QUuid>

#include <functional>
#include <optional>

class AppStore;
class QMimeData;

// The drop of files from outside onto a view: it takes only drags that bring at least one local
// file, tells the view where the files would go while the drag moves (`setTarget`, none when it
// leaves or drops) and, on the drop, hands the files to the store once the drop has been handled,
// on a later turn of the event loop: by then the view may have been replaced, so the command
// holds ids and the store, never the view.
//
// Frames and points are in one coordinate space of the view's choosing (its row's).
class FileDropDelegate
{
public:
    using SetTarget = std::function<void(const std::optional<ExternalDropTarget> &)>;

    FileDropDelegate(AppStore &store, SetTarget setTarget);
    virtual ~FileDropDelegate();

    bool validate(const QMimeData *data) const;
    // Drop entered or updated: shows the target and answers the action to propose, a copy (a
    // link where the source offers no copy). Never a move: the source would then remove its file.
    Qt::DropAction dropUpdated(QPointF at, const QHash<QUuid, QRectF> &frames, Qt::DropActions possible);
    void dropExited();
    // True when the drop is taken.
    bool perform(QPointF at, const QHash<QUuid, QRectF> &frames, const QMimeData *data, Qt::DropActions possible);

    virtual ExternalDropTarget target(QPointF at, const QHash<QUuid, QRectF> &frames) const = 0;

protected:
    using Command = std::function<void(AppStore &store, const QList<QUrl> &files)>;
    virtual Command command(const ExternalDropTarget &target) const = 0;

private:
    AppStore &m_store;
    SetTarget m_setTarget;
};

// Files dropped on a panel: in front of a tile, into a group, or at the end of the active tab.
class ExternalDropDelegate final : public FileDropDelegate
{
public:
    ExternalDropDelegate(const Panel &panel, AppStore &store, SetTarget setTarget);

    ExternalDropTarget target(QPointF at, const QHash<QUuid, QRectF> &frames) const override;

protected:
    Command command(const ExternalDropTarget &target) const override;

private:
    Panel m_panel;
};

// Files dropped on a group's popover: in front of a member, or after the last.
class GroupExternalDropDelegate final : public FileDropDelegate
{
public:
    GroupExternalDropDelegate(const ItemGroup &group, const QUuid &panelID, AppStore &store, SetTarget setTarget);

    ExternalDropTarget target(QPointF at, const QHash<QUuid, QRectF> &frames) const override;

protected:
    Command command(const ExternalDropTarget &target) const override;

private:
    ItemGroup m_group;
    QUuid m_panelID;
};
