#pragma once

// A store on in-memory services plus small builders of panels, shared by the command tests.

#include "inmemoryservices.h"
#include "panelbuilders.h"

#include "store/appstore.h"

#include <QMetaMethod>
#include <QSignalSpy>

#include <vector>

struct StoreFixture
{
    // `panels` absent: the store loads an empty stored list, so it starts with no panels.
    explicit StoreFixture(const std::optional<QList<Panel>> &panels)
    {
        services.storage->stored = QList<Panel>();
        services.storage->hasStored = true;
        store = std::make_unique<AppStore>(services.take(), panels);
    }

    int saves() const { return services.storage->saveCount; }
    const Panel &panel(qsizetype index) const { return store->panels().at(index); }

    InMemoryServices services;
    std::unique_ptr<AppStore> store;
};

// Counts the notifications of every observable field of the store.
class NotificationCounter
{
public:
    explicit NotificationCounter(const AppStore *store)
    {
        const QMetaObject &meta = AppStore::staticMetaObject;
        for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
            if (meta.method(i).methodType() == QMetaMethod::Signal)
                m_spies.push_back(std::make_unique<QSignalSpy>(store, meta.method(i)));
        }
    }

    qsizetype total() const
    {
        qsizetype sum = 0;
        for (const auto &spy : m_spies)
            sum += spy->count();
        return sum;
    }

private:
    std::vector<std::unique_ptr<QSignalSpy>> m_spies;
};
