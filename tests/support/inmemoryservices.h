#pragma once

// In-memory implementations of the store's five service interfaces, for tests only.
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
    void launch(const QUrl &location, std::optional<quint32> = std::nullopt) override { launched.append(location); }
};

class InMemoryRunningApplicationsLookup final : public RunningApplicationsLookup
{
public:
    QList<QUrl> running;

    QList<QUrl> runningApplications() override { return running; }
    void observeChanges(std::function<void()> handler) override;
    // Calls the registered handler as the system would, from the calling thread.
    void notifyChange();
    int observerCount() const;

private:
    mutable QMutex m_mutex;
    QList<std::function<void()>> m_handlers;
};

// The five services with raw pointers kept for inspection after the store took ownership.
struct InMemoryServices
{
    InMemoryServices();
    AppStoreServices take();

    InMemoryConfigurationStorage *storage;
    InMemoryCustomIconStorage *icons;
    InMemoryFileSystemAccess *fileSystem;
    InMemoryItemLauncher *launcher;
    InMemoryRunningApplicationsLookup *runningApps;

private:
    std::unique_ptr<InMemoryConfigurationStorage> m_storage;
    std::unique_ptr<InMemoryCustomIconStorage> m_icons;
    std::unique_ptr<InMemoryFileSystemAccess> m_fileSystem;
    std::unique_ptr<InMemoryItemLauncher> m_launcher;
    std::unique_ptr<InMemoryRunningApplicationsLookup> m_runningApps;
};
