#include "appcommands.h"

#include "store/appstore.h"
#include "windows/panelscreens.h"

namespace AppCommands {

void addPanelAtCursor(AppStore &store)
{
    store.addPanel(std::nullopt, PanelScreens::screenIDUnderPointer());
}

} // namespace AppCommands
