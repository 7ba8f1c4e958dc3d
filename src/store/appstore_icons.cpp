// Location icons and names, and custom icons of links and groups.

#include "appstore.h"

#include "store/iconreferences.h"

QIcon AppStore::icon(const QUrl &location) const
{
    return fileSystem().icon(location);
}

QString AppStore::name(const QUrl &location) const
{
    return fileSystem().name(location);
}

QString AppStore::customIconFileName(const QUuid &itemID)
{
    return itemID.toString(QUuid::WithoutBraces).toUpper() + QStringLiteral(".png");
}

bool AppStore::hasCustomIcon(const QUuid &itemID, const QUuid &panelID) const
{
    const Panel *target = panel(panelID);
    return target && target->customIconFileName(itemID).has_value();
}

std::optional<QImage> AppStore::customIconImage(const QUuid &itemID, const QUuid &panelID) const
{
    const Panel *target = panel(panelID);
    const auto fileName = target ? target->customIconFileName(itemID) : std::nullopt;
    if (!fileName)
        return std::nullopt;
    return icons().image(*fileName);
}

AppStore::SetCustomIconResult AppStore::chooseCustomIcon(const QUuid &itemID, const QUuid &panelID)
{
    const std::optional<QUrl> source = fileSystem().chooseImage();
    if (!source)
        return SetCustomIconResult::Cancelled;
    return setCustomIcon(*source, itemID, panelID);
}

AppStore::SetCustomIconResult AppStore::setCustomIcon(const QUrl &source, const QUuid &itemID, const QUuid &panelID)
{
    const Panel *target = panel(panelID);
    if (!target || !target->containsItem(itemID))
        return SetCustomIconResult::NotFound;
    // The name depends only on the item, so a new picture replaces the item's earlier file.
    const std::optional<QString> previous = target->customIconFileName(itemID);
    const std::optional<QString> stored = icons().importImage(source, customIconFileName(itemID));
    if (!stored)
        return SetCustomIconResult::NotAnImage;
    if (!editPanel(panelID, [&](Panel &panel) { return panel.setCustomIcon(*stored, itemID); })) {
        // Nothing references the file just written.
        removeIconFiles(unreferencedIconFiles({*stored}, m_panels));
        return SetCustomIconResult::NotFound;
    }
    // An earlier file under another name (as a loaded configuration may hold) goes once unused.
    if (previous)
        removeIconFiles(unreferencedIconFiles({*previous}, m_panels));
    return SetCustomIconResult::Set;
}

void AppStore::clearCustomIcon(const QUuid &itemID, const QUuid &panelID)
{
    const Panel *target = panel(panelID);
    const auto fileName = target ? target->customIconFileName(itemID) : std::nullopt;
    if (!fileName)
        return;
    editPanel(panelID, [&](Panel &panel) { return panel.setCustomIcon(std::nullopt, itemID); });
    removeIconFiles(unreferencedIconFiles({*fileName}, m_panels));
}
