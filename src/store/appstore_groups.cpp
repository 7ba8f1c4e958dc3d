// Groups and the transient state of their popover.

#include "appstore.h"

#include "model/defaultname.h"

#include <cmath>

void AppStore::addGroup(const QUuid &panelID)
{
    editPanel(panelID, [](Panel &panel) {
        ItemGroup group;
        group.name = DefaultName::group(panel.groupCount() + 1);
        panel.append(group, panel.activeTab().id);
    });
}

void AppStore::expandGroup(const QUuid &groupID)
{
    assign(m_expandedGroupID, std::optional<QUuid>(groupID), &AppStore::expandedGroupIDChanged);
    assign(m_editingGroupID, std::optional<QUuid>(), &AppStore::editingGroupIDChanged);
}

void AppStore::collapseGroup()
{
    assign(m_expandedGroupID, std::optional<QUuid>(), &AppStore::expandedGroupIDChanged);
    assign(m_editingGroupID, std::optional<QUuid>(), &AppStore::editingGroupIDChanged);
}

void AppStore::beginRenamingGroup(const QUuid &groupID)
{
    assign(m_expandedGroupID, std::optional<QUuid>(groupID), &AppStore::expandedGroupIDChanged);
    assign(m_editingGroupID, std::optional<QUuid>(groupID), &AppStore::editingGroupIDChanged);
}

void AppStore::renameGroup(const QUuid &groupID, const QString &name, const QUuid &panelID)
{
    // Editing ends whatever the outcome, so that a blank name also closes the field.
    assign(m_editingGroupID, std::optional<QUuid>(), &AppStore::editingGroupIDChanged);
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return;
    editPanel(panelID, [&](Panel &panel) { return panel.renameGroup(groupID, trimmed); });
}

void AppStore::updateGroupIconFrame(const Rect &frame, const QUuid &groupID)
{
    // A frame that is not a number can only come from a broken layout; storing it would make
    // every later report look like a change and hand the popover an unusable position.
    if (!std::isfinite(frame.x) || !std::isfinite(frame.y) || !std::isfinite(frame.width)
        || !std::isfinite(frame.height))
        return;
    const auto stored = m_groupIconScreenFrames.constFind(groupID);
    if (stored != m_groupIconScreenFrames.cend() && *stored == frame)
        return;
    m_groupIconScreenFrames.insert(groupID, frame);
    Q_EMIT groupIconScreenFramesChanged();
}
