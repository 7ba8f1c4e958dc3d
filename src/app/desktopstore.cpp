#include "desktopstore.h"

#include "persistence/systemconfigurationstorage.h"
#include "services/starterapplications.h"
#include "services/systemfilesystemaccess.h"
#include "services/systemitemlauncher.h"
#include "services/systemrunningapplicationslookup.h"
#include "store/appstore.h"

std::unique_ptr<AppStore> makeDesktopStore()
{
    AppStoreServices services;
    services.fileSystem = std::make_unique<SystemFileSystemAccess>();
    services.launcher = std::make_unique<SystemItemLauncher>();
    services.storage = std::make_unique<SystemConfigurationStorage>();
    services.runningAppsLookup = std::make_unique<SystemRunningApplicationsLookup>();
    // Custom icons: the store's default, the Icons folder beside the configuration file.
    return std::make_unique<AppStore>(std::move(services), std::nullopt, &StarterApplications::locations);
}
