#pragma once

// Small builders of panels for tests and the developer tools.

#include "model/panel.h"

#include <QUrl>

#include <optional>

inline ItemLink linkTo(const QString &path, const std::optional<QString> &customIcon = std::nullopt)
{
    return ItemLink{.location = QUrl::fromLocalFile(path), .customIcon = customIcon};
}

inline PanelTab tabNamed(const QString &name, const QList<Item> &items = {})
{
    PanelTab tab;
    tab.name = name;
    tab.items = items;
    return tab;
}

// A panel with the given tabs (at least one); the first is active.
inline Panel panelWith(const QString &name, const QList<PanelTab> &tabs)
{
    return Panel(PanelInit{.name = name, .tab = tabs.first(), .moreTabs = tabs.mid(1)});
}
