#pragma once

#include "store/services.h"

// Opens links on the desktop: applications through their desktop entries (never through a
// shell), ELF executables detached in the home directory, folders selected in the file manager
// and files with their default application. Nothing is reported back; a failure is logged under
// the "quayrow.services" category. On X11 launches of applications are announced to the desktop
// with the given input event time (see makeLaunchContext).
class SystemItemLauncher final : public ItemLauncher
{
public:
    void launch(const QUrl &location, std::optional<quint32> timestamp = std::nullopt) override;
};
