#include "desktopstore.h"

#include "appidentity.h"

#include "persistence/backgroundconfigurationstorage.h"
#include "persistence/customiconstorage.h"
#include "persistence/leftoverfiles.h"
#include "persistence/systemconfigurationstorage.h"
#include "services/starterapplications.h"
#include "services/systemfilesystemaccess.h"
#include "services/systemitemlauncher.h"
#include "services/systemlauncherentries.h"
#include "services/systemrunningapplicationslookup.h"
#include "store/appstore.h"
#include "store/iconreferences.h"

#include <QTextStream>

std::unique_ptr<AppStore> makeDesktopStore()
{
    auto configuration = std::make_unique<SystemConfigurationStorage>();
    // What a run killed halfway left behind: temporary files of its saves and icon imports.
    const QString iconDirectory = SystemCustomIconStorage::applicationSupportDirectory();
    configuration->removeStaleTemporaryFiles();
    LeftoverFiles::removeTemporaryFiles(iconDirectory);
    // Its load report stays readable here: the writer thread never touches it.
    const SystemConfigurationStorage &files = *configuration;

    AppStoreServices services;
    services.fileSystem = std::make_unique<SystemFileSystemAccess>();
    services.launcher = std::make_unique<SystemItemLauncher>();
    services.storage = std::make_unique<BackgroundConfigurationStorage>(std::move(configuration));
    services.runningAppsLookup = std::make_unique<SystemRunningApplicationsLookup>();
    services.launcherEntries = std::make_unique<SystemLauncherEntries>();
    // Custom icons: the store's default, the Icons folder beside the configuration file.
    auto store = std::make_unique<AppStore>(std::move(services), std::nullopt,
                                            &StarterApplications::locations);

    if (const QString problem = files.loadProblem(); !problem.isEmpty()) {
        QTextStream(stderr) << AppIdentity::displayName() << ": " << problem << '\n';
        // A configuration that could not be read may name icons the panels in use do not.
        return store;
    }
    // Icons imported just before a crash, whose save never came.
    for (const QString &fileName : unreferencedIconFiles(LeftoverFiles::iconFiles(iconDirectory), store->panels()))
        store->icons().remove(fileName);
    return store;
}
