#pragma once

#include <memory>

class AppStore;

// The application's store over the desktop's own services: the configuration file, custom icon
// files beside it, GIO launching, icons and names, and running applications from X11. A first
// launch fills the panel with the user's own default applications.
std::unique_ptr<AppStore> makeDesktopStore();
