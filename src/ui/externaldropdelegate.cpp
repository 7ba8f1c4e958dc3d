#include "externaldropdelegate.h"

#include "store/appstore.h"

#include <QMetaObject>

namespace {

Qt::DropAction fileDropAction(Qt::DropActions possible)
{
    if (possible & Qt::CopyAction)
        return Qt::CopyAction;
    if (possible & Qt::LinkAction)
        return Qt::LinkAction;
    return Qt::IgnoreAction;
}

} // namespace

FileDropDelegate::FileDropDelegate(AppStore &store, SetTarget setTarget)
    : m_store(store)
    , m_setTarget(std::move(setTarget))
{
}

FileDropDelegate::~FileDropDelegate() = default;

bool FileDropDelegate::validate(const QMimeData *data) const
{
    return !loadFileURLs(data).isEmpty();
}

Qt::DropAction FileDropDelegate::dropUpdated(QPointF at, const QHash<QUuid, QRectF> &frames, Qt::DropActions possible)
{
    const Qt::DropAction action = fileDropAction(possible);
    if (action == Qt::IgnoreAction)
        m_setTarget(std::nullopt);
    else
        m_setTarget(target(at, frames));
    return action;
}

void FileDropDelegate::dropExited()
{
    m_setTarget(std::nullopt);
}

bool FileDropDelegate::perform(QPointF at, const QHash<QUuid, QRectF> &frames, const QMimeData *data,
                               Qt::DropActions possible)
{
    // The target first: clearing the view's target may lay its row out again, which renews `frames`.
    const ExternalDropTarget dropTarget = target(at, frames);
    m_setTarget(std::nullopt);
    const QList<QUrl> files = loadFileURLs(data);
    if (files.isEmpty() || fileDropAction(possible) == Qt::IgnoreAction)
        return false;
    AppStore *store = &m_store;
    QMetaObject::invokeMethod(
        store, [store, run = command(dropTarget), files] { run(*store, files); }, Qt::QueuedConnection);
    return true;
}

ExternalDropDelegate::ExternalDropDelegate(const Panel &panel, AppStore &store, SetTarget setTarget)
    : FileDropDelegate(store, std::move(setTarget))
    , m_panel(panel)
{
}

ExternalDropTarget ExternalDropDelegate::target(QPointF at, const QHash<QUuid, QRectF> &frames) const
{
    return externalDropTarget(at, m_panel.activeTab().items, frames,
                              m_panel.contentOrientation() == PanelOrientation::Vertical);
}

FileDropDelegate::Command ExternalDropDelegate::command(const ExternalDropTarget &target) const
{
    const QUuid panelID = m_panel.id();
    if (target.kind == ExternalDropTarget::Kind::Group) {
        return [groupID = target.id, panelID](AppStore &store, const QList<QUrl> &files) {
            store.addItemsToGroup(files, groupID, panelID);
        };
    }
    std::optional<QUuid> before;
    if (target.kind == ExternalDropTarget::Kind::Before)
        before = target.id;
    return [before, tabID = m_panel.activeTab().id, panelID](AppStore &store, const QList<QUrl> &files) {
        store.addItems(files, before, tabID, panelID);
    };
}

GroupExternalDropDelegate::GroupExternalDropDelegate(const ItemGroup &group, const QUuid &panelID, AppStore &store,
                                                     SetTarget setTarget)
    : FileDropDelegate(store, std::move(setTarget))
    , m_group(group)
    , m_panelID(panelID)
{
}

ExternalDropTarget GroupExternalDropDelegate::target(QPointF at, const QHash<QUuid, QRectF> &frames) const
{
    return externalDropTarget(at, m_group.links, frames);
}

FileDropDelegate::Command GroupExternalDropDelegate::command(const ExternalDropTarget &target) const
{
    std::optional<QUuid> before;
    if (target.kind == ExternalDropTarget::Kind::Before)
        before = target.id;
    return [before, groupID = m_group.id, panelID = m_panelID](AppStore &store, const QList<QUrl> &files) {
        store.addItemsToGroup(files, before, groupID, panelID);
    };
}
