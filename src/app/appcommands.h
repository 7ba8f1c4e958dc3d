#pragma once

class AppStore;

// Commands of the application shell that more than one place offers (the tray menu and the
// remote commands).
namespace AppCommands {

// "New Panel": an unnamed panel on the screen under the pointer, or on no particular screen
// when the pointer is over none.
void addPanelAtCursor(AppStore &store);

} // namespace AppCommands
