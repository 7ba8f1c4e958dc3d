#pragma once

// In-memory implementations of the store's service interfaces, for tests only.
// Each keeps what it was asked so that tests can check it afterwards.

#include "store/appstore.h"
#include "store/services.h"

#include <QHash>
#include <QMutex>

class InMemoryConfigurationStorage final : public ConfigurationStorage
{
public:
    std::optional<QList<Panel>> stored;  // what load() returns
    bool hasStored = false;              // what hasStoredConfiguration() answers
    bool failSaves = false;              // save() fails (and keeps nothing) while set
    int saveCount = 0;                   // every call of save(), failed ones included
    std::optional<QList<Panel>> lastSaved;

    std::optional<QList<Panel>> load() override { return stored; }
    bool hasStoredConfiguration() const override { return hasStored; }
    Result save(const QList<Panel> &panels) override;
};

class InMemoryCustomIconStorage final : public CustomIconStorage
{
public:
    QHash<QString, QImage> files;
    QStringList removed;  // names passed to remove(), in order

    // Decodes the source file like the real storage would; a non-image yields none.
    std::optional<QString> importImage(const QUrl &source, const QString &fileName) override;
    std::optional<QImage> image(const QString &fileName) const override;
    void remove(const QString &fileName) override;
};

class InMemoryFileSystemAccess final : public FileSystemAccess
{
public:
    QList<QUrl> locationsToChoose;       // answer of chooseLocations()
    std::optional<QUrl> imageToChoose;   // answer of chooseImage()
    int dialogCount = 0;

    QList<QUrl> chooseLocations() override;
    std::optional<QUrl> chooseImage() override;
    QIcon icon(const QUrl &location) override;
    QString name(const QUrl &location) override;
};

class InMemoryItemLauncher final : public ItemLauncher
{
public:
    QList<QUrl> launched;
    // Applications that offer a new window, and the new windows asked for.
    QList<QUrl> withNewWindow;
    QList<QUrl> newWindows;
    QList<std::pair<QUrl, QString>> launchedActions;

    void launch(const QUrl &location, std::optional<quint32> = std::nullopt) override { launched.append(location); }
    bool opensNewWindow(const QUrl &location) override { return withNewWindow.contains(location); }
    void openNewWindow(const QUrl &location, std::optional<quint32> = std::nullopt) override
    {
        newWindows.append(location);
    }
    void launchAction(const QUrl &location, const QString &actionID, std::optional<quint32> = std::nullopt) override
    {
        launchedActions.append({location, actionID});
    }
};

class InMemoryRunningApplicationsLookup final : public RunningApplicationsLookup
{
public:
    QList<QUrl> running;
    // Applications that have windows, and those brought forward.
    QList<QUrl> withWindows;
    QList<QUrl> broughtForward;
    QHash<QUrl, std::chrono::steady_clock::time_point> attention;

    QList<QUrl> runningApplications() override { return running; }
    bool bringForward(const QUrl &application, std::optional<quint32> = std::nullopt) override
    {
        if (!withWindows.contains(application))
            return false;
        broughtForward.append(application);
        return true;
    }
    std::optional<std::chrono::steady_clock::time_point> attentionSince(const QUrl &application) override
    {
        const auto found = attention.constFind(application);
        return found == attention.cend() ? std::nullopt : std::optional(*found);
    }
    void observeChanges(std::function<void()> handler) override;
    // Calls the registered handler as the system would, from the calling thread.
    void notifyChange();
    int observerCount() const;

private:
    mutable QMutex m_mutex;
    QList<std::function<void()>> m_handlers;
};

class InMemoryLauncherEntries final : public LauncherEntries
{
public:
    // The id is the location's file name.
    QString applicationID(const QUrl &location) const override { return location.fileName(); }
    LauncherEntry entry(const QString &applicationID) const override { return m_entries.value(applicationID); }
    void observeChanges(std::function<void(const QString &)> handler) override { m_handler = std::move(handler); }
    // Publishes `entry` and tells the observer, as an application on the bus would.
    void publish(const QString &applicationID, const LauncherEntry &entry);

private:
    QHash<QString, LauncherEntry> m_entries;
    std::function<void(const QString &)> m_handler;
};

// The services with raw pointers kept for inspection after the store took ownership.
struct InMemoryServices
{
    InMemoryServices();
    AppStoreServices take();

    InMemoryConfigurationStorage *storage;
    InMemoryCustomIconStorage *icons;
    InMemoryFileSystemAccess *fileSystem;
    InMemoryItemLauncher *launcher;
    InMemoryRunningApplicationsLookup *runningApps;
    InMemoryLauncherEntries *launcherEntries;

private:
    std::unique_ptr<InMemoryConfigurationStorage> m_storage;
    std::unique_ptr<InMemoryCustomIconStorage> m_icons;
    std::unique_ptr<InMemoryFileSystemAccess> m_fileSystem;
    std::unique_ptr<InMemoryItemLauncher> m_launcher;
    std::unique_ptr<InMemoryRunningApplicationsLookup> m_runningApps;
    std::unique_ptr<InMemoryLauncherEntries> m_launcherEntries;
};
