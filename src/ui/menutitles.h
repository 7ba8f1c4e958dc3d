#pragma once

#include "model/appearance.h"
#include "model/placement.h"

#include <QString>

// The short titles of the panel settings' cases, as pickers and menus show them.
namespace MenuTitles {

QString menuTitle(PanelPlacementMode mode);
QString menuTitle(PanelEdge edge);
QString menuTitle(PanelAlignment alignment);
QString menuTitle(PanelWindowLevel level);
QString menuTitle(PanelIconSize size);
QString menuTitle(PanelIconSpacing spacing);
QString menuTitle(PanelTabStyle style);

} // namespace MenuTitles
