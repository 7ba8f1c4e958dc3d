#include "appstore.h"

#include "cachingcustomiconstorage.h"

#include "model/defaultname.h"
#include "persistence/customiconstorage.h"
#include "store/busycursor.h"

#include <QCoreApplication>
#include <QPointer>

namespace {

// Used when no lookup is given: sessions without a way to list applications report none.
class NoRunningApplications final : public RunningApplicationsLookup
{
public:
    QList<QUrl> runningApplications() override { return {}; }
    void observeChanges(std::function<void()>) override {}
};

class NoLauncherEntries final : public LauncherEntries
{
public:
    QString applicationID(const QUrl &) const override { return {}; }
    LauncherEntry entry(const QString &) const override { return {}; }
    void observeChanges(std::function<void(const QString &)>) override {}
};

} // namespace

AppStore::AppStore(AppStoreServices services, std::optional<QList<Panel>> panels,
                   const StarterLocations &starterLocations, QObject *parent)
    : QObject(parent)
    , m_services(std::move(services))
    , m_bringToFrontRequestID(QUuid::createUuid())
    , m_showAllPanelsRequestID(QUuid::createUuid())
    , m_settingsRequestID(QUuid::createUuid())
{
    Q_ASSERT(m_services.fileSystem && m_services.launcher && m_services.storage);
    if (!m_services.icons) {
        // Decoding a large chosen picture blocks for a moment: the user sees that it is busy.
        m_services.icons = std::make_unique<SystemCustomIconStorage>(
            SystemCustomIconStorage::applicationSupportDirectory(), &runWithBusyCursor);
    }
    // Views are rebuilt on every change and must not read icon files each time.
    m_services.icons = std::make_unique<CachingCustomIconStorage>(std::move(m_services.icons));
    if (!m_services.runningAppsLookup)
        m_services.runningAppsLookup = std::make_unique<NoRunningApplications>();
    if (!m_services.launcherEntries)
        m_services.launcherEntries = std::make_unique<NoLauncherEntries>();

    if (panels) {
        m_panels = panels->isEmpty() ? QList<Panel>{makeDefaultPanel()} : *panels;
    } else if (auto loaded = m_services.storage->load()) {
        m_panels = *loaded;
    } else if (!m_services.storage->hasStoredConfiguration()) {
        m_panels = {makeFirstLaunchPanel(starterLocations ? starterLocations() : QList<QUrl>())};
        (void)m_services.storage->save(m_panels);
    } else {
        // Stored but unreadable: the file stays on disk until the first command that saves.
        m_panels = {makeDefaultPanel()};
    }

    // The lookup may call from any thread; only the main thread touches the store, and only
    // while it still exists.
    QPointer<AppStore> store(this);
    m_services.runningAppsLookup->observeChanges([store] {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [store] {
                if (store) {
                    ++store->m_runningAppsRevision;
                    Q_EMIT store->runningAppsRevisionChanged();
                }
            },
            Qt::QueuedConnection);
    });
    // Delivered on the main thread, often (a download's progress): straight to the tiles.
    m_services.launcherEntries->observeChanges([store](const QString &applicationID) {
        if (store)
            Q_EMIT store->launcherEntryChanged(applicationID);
    });
}

AppStore::~AppStore() = default;

Panel AppStore::makeDefaultPanel()
{
    PanelTab main;
    main.name = DefaultName::firstTab();
    return Panel(PanelInit{.name = DefaultName::panel(1), .tab = main});
}

Panel AppStore::makeFirstLaunchPanel(const QList<QUrl> &starterLocations)
{
    PanelTab main;
    main.name = DefaultName::firstTab();
    for (const QUrl &location : starterLocations)
        main.items.append(ItemLink{.location = location});
    return Panel(PanelInit{.name = DefaultName::panel(1), .tab = main});
}

const Panel *AppStore::panel(const QUuid &panelID) const
{
    const qsizetype index = indexOfPanel(panelID);
    return index < 0 ? nullptr : &m_panels.at(index);
}

qsizetype AppStore::indexOfPanel(const QUuid &panelID) const
{
    for (qsizetype i = 0; i < m_panels.size(); ++i) {
        if (m_panels.at(i).id() == panelID)
            return i;
    }
    return -1;
}

void AppStore::setDockVisibility(DockVisibility visibility)
{
    assign(m_dockVisibility, visibility, &AppStore::dockVisibilityChanged);
}

void AppStore::saveAndNotify()
{
    // A failed save is ignored on purpose: the state in memory stays changed and the next
    // successful save writes the whole list again.
    (void)m_services.storage->save(m_panels);
    Q_EMIT panelsChanged();
}

void AppStore::removeIconFiles(const QStringList &fileNames)
{
    for (const QString &fileName : fileNames)
        m_services.icons->remove(fileName);
}

void AppStore::endRenamingIfInPanel(const QUuid &panelID)
{
    if (m_renaming && m_renaming->panelID == panelID)
        assign(m_renaming, std::optional<TabRenaming>(), &AppStore::renamingChanged);
}

void AppStore::clearGroupUIIfInTab(const PanelTab &tab)
{
    const auto isGroupOfTab = [&tab](const std::optional<QUuid> &id) {
        return id && std::any_of(tab.items.cbegin(), tab.items.cend(),
                                 [&id](const Item &item) { return item.isGroup() && item.id() == *id; });
    };
    if (isGroupOfTab(m_expandedGroupID))
        assign(m_expandedGroupID, std::optional<QUuid>(), &AppStore::expandedGroupIDChanged);
    if (isGroupOfTab(m_editingGroupID))
        assign(m_editingGroupID, std::optional<QUuid>(), &AppStore::editingGroupIDChanged);
}
