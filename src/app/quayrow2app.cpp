#include "quayrow2app.h"

#include "appcommands.h"
#include "appidentity.h"
#include "desktopstore.h"
#include "gridicon.h"
#include "singleinstance.h"
#include "updatemanager.h"

#include "persistence/backgroundconfigurationstorage.h"
#include "persistence/systemconfigurationstorage.h"
#include "store/appstore.h"
#include "ui/uiviewfactory.h"
#include "windows/storeobservers.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QPixmapCache>
#include <QTextStream>
#include <QThreadPool>

int Quayrow2App::exec(const std::optional<RemoteCommand> &command)
{
    const QString folder = QFileInfo(SystemConfigurationStorage::applicationSupportFilePath()).absolutePath();
    const SingleInstance::Claim claim = SingleInstance::claim(folder, command, QDBusConnection::sessionBus());
    if (!claim.lock)
        return claim.exitStatus;

    Quayrow2App app(makeDesktopStore(), QDBusConnection::sessionBus());
    if (command)
        app.perform(*command);
    return QApplication::exec();
}

Quayrow2App::Quayrow2App(std::unique_ptr<AppStore> store, QDBusConnection bus, QObject *parent)
    : QObject(parent)
    , m_store(std::move(store))
    , m_tray(*m_store, bus)
    , m_windowManager(std::make_unique<UiViewFactory>())
{
    QApplication::setQuitOnLastWindowClosed(false);
    // Qt's painting spreads large fills over the global pool's threads. They end a second after
    // their last work, while the program has just been busy, not half a minute later when it
    // rests.
    QThreadPool::globalInstance()->setExpiryTimeout(1000);
    // Qt's application-wide pixmap cache shrinks itself on a timer that runs for minutes after
    // the last pixmap went in, every 10 to 30 s, also when nothing happens. Tiles keep their
    // pictures in a cache of their own; what Qt would keep (icon files as loaded, styled control
    // parts) is cheap to make again on the rare repaint.
    QPixmapCache::setCacheLimit(0);
    QApplication::setWindowIcon(GridIcon::icon());
    // Without a platform theme (a bare window manager's session) Qt searches only hicolor, which
    // holds few applications' and no files' icons; the freedesktop "default" theme inherits the
    // one the distribution chose.
    if (const QString theme = QIcon::themeName(); theme.isEmpty() || theme == QLatin1String("hicolor"))
        QIcon::setThemeName(QStringLiteral("default"));
    m_windowManager.addWindowAction(m_tray.menu().quitAction());
    connectStoreToWindows(*m_store, m_windowManager);

    connect(&m_tray.menu(), &TrayMenu::checkForUpdatesRequested, this, &Quayrow2App::checkForUpdates);
    connect(&m_tray.menu(), &TrayMenu::quitRequested, this, &Quayrow2App::quit);
    connect(&m_service, &ApplicationService::commandReceived, this, &Quayrow2App::perform);
    connect(&m_terminationSignals, &TerminationSignals::terminationRequested, this, &Quayrow2App::quit);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &Quayrow2App::finishPendingSaves);

    if (const Result registered = m_service.registerOn(bus); !registered) {
        QTextStream(stderr) << AppIdentity::displayName() << ": later starts cannot reach this one: "
                            << registered.errorMessage() << ".\n";
    }
}

Quayrow2App::~Quayrow2App() = default;

void Quayrow2App::perform(RemoteCommand command)
{
    switch (command) {
    case RemoteCommand::NewPanel:
        AppCommands::addPanelAtCursor(*m_store);
        break;
    case RemoteCommand::ShowAllPanels:
        m_store->showAllPanels();
        break;
    case RemoteCommand::Quit:
        quit();
        break;
    }
}

void Quayrow2App::checkForUpdates()
{
    if (!m_updates)
        m_updates = std::make_unique<UpdateManager>();
    m_updates->checkForUpdates();
}

void Quayrow2App::quit()
{
    QCoreApplication::exit(0);
}

void Quayrow2App::finishPendingSaves()
{
    BackgroundConfigurationStorage::flushAll();
}
