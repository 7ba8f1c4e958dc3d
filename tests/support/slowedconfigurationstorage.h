#pragma once

// A configuration storage that makes every save of a wrapped storage take longer, as a slow or
// network disk would, and counts the saves that reach it. For tests and benchmarks only.

#include "store/services.h"

#include <atomic>
#include <chrono>
#include <memory>

class SlowedConfigurationStorage final : public ConfigurationStorage
{
public:
    SlowedConfigurationStorage(std::unique_ptr<ConfigurationStorage> storage, std::chrono::milliseconds delay)
        : m_storage(std::move(storage)), m_delay(delay)
    {
    }

    // Saves that reached the wrapped storage; may be read from any thread.
    int saveCount() const { return m_saveCount; }

    std::optional<QList<Panel>> load() override { return m_storage->load(); }
    bool hasStoredConfiguration() const override { return m_storage->hasStoredConfiguration(); }
    Result save(const QList<Panel> &panels) override;

private:
    std::unique_ptr<ConfigurationStorage> m_storage;
    std::chrono::milliseconds m_delay;
    std::atomic_int m_saveCount = 0;
};
