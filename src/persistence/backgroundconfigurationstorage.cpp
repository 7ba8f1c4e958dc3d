#include "backgroundconfigurationstorage.h"

#include "persistencelog.h"

#include <condition_variable>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

using Clock = std::chrono::steady_clock;

// The state the storage shares with its writer thread.
class ConfigurationWriter
{
public:
    explicit ConfigurationWriter(std::unique_ptr<ConfigurationStorage> storage) : m_storage(std::move(storage)) {}

    // The writer thread's loop: writes the newest pending list until told to stop with nothing
    // left to write.
    void run()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_pending || m_stopping; });
            if (!m_pending)
                return;
            QList<Panel> panels = std::move(*m_pending);
            m_pending.reset();
            m_writing = true;
            lock.unlock();
            const Result result = write(panels);
            panels = {};
            logResult(result);
            lock.lock();
            m_writing = false;
            m_idle.notify_all();
        }
    }

    void hand(const QList<Panel> &panels)
    {
        const std::lock_guard lock(m_mutex);
        m_pending = panels;
        m_wake.notify_one();
    }

    bool flush(Clock::time_point deadline)
    {
        std::unique_lock lock(m_mutex);
        return m_idle.wait_until(lock, deadline, [this] { return !m_pending && !m_writing; });
    }

    void stop()
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_wake.notify_one();
    }

    // Runs `use` with the wrapped storage while no write is in progress.
    template<typename Use>
    auto withStorage(Use use)
    {
        const std::lock_guard lock(m_storageMutex);
        return use(*m_storage);
    }

private:
    Result write(const QList<Panel> &panels)
    {
        try {
            return withStorage([&](ConfigurationStorage &storage) { return storage.save(panels); });
        } catch (const std::exception &error) {
            // Nothing may escape the thread: that would end the program.
            return Result::failure(QString::fromLocal8Bit(error.what()));
        }
    }

    // Logs each failure once, and the save that heals it.
    void logResult(const Result &result)
    {
        if (!result) {
            if (result.errorMessage() != m_loggedFailure)
                qCWarning(lcPersistence, "Could not save the configuration: %s", qUtf8Printable(result.errorMessage()));
            m_loggedFailure = result.errorMessage();
        } else if (!m_loggedFailure.isEmpty()) {
            qCInfo(lcPersistence, "The configuration is saved again");
            m_loggedFailure.clear();
        }
    }

    std::unique_ptr<ConfigurationStorage> m_storage;
    std::mutex m_storageMutex;

    std::mutex m_mutex;
    std::condition_variable m_wake;  // for the writer: work to do, or time to stop
    std::condition_variable m_idle;  // for flushers: nothing left to write
    std::optional<QList<Panel>> m_pending;
    bool m_writing = false;
    bool m_stopping = false;

    QString m_loggedFailure;  // the writer thread's own
};

namespace {

// The writers alive, for flushAll(); weak, so that each ends with its storage.
struct Registry
{
    std::mutex mutex;
    std::vector<std::weak_ptr<ConfigurationWriter>> writers;
};

Registry &registry()
{
    static Registry instance;
    return instance;
}

void flushAtExit()
{
    BackgroundConfigurationStorage::flushAll();
}

} // namespace

BackgroundConfigurationStorage::BackgroundConfigurationStorage(std::unique_ptr<ConfigurationStorage> storage)
    : m_writer(std::make_shared<ConfigurationWriter>(std::move(storage)))
{
    Registry &writers = registry();
    {
        const std::lock_guard lock(writers.mutex);
        std::erase_if(writers.writers, [](const std::weak_ptr<ConfigurationWriter> &writer) { return writer.expired(); });
        writers.writers.push_back(m_writer);
    }
    // Registered after the registry exists, so that it runs before the registry is destroyed.
    static const bool registered = std::atexit(flushAtExit) == 0;
    Q_UNUSED(registered);
    std::thread([writer = m_writer] { writer->run(); }).detach();
}

BackgroundConfigurationStorage::~BackgroundConfigurationStorage()
{
    flush();
    // A write still hanging goes on alone; the thread ends after it, holding what it needs.
    m_writer->stop();
}

std::optional<QList<Panel>> BackgroundConfigurationStorage::load()
{
    flush();
    return m_writer->withStorage([](ConfigurationStorage &storage) { return storage.load(); });
}

bool BackgroundConfigurationStorage::hasStoredConfiguration() const
{
    return m_writer->withStorage([](ConfigurationStorage &storage) { return storage.hasStoredConfiguration(); });
}

Result BackgroundConfigurationStorage::save(const QList<Panel> &panels)
{
    m_writer->hand(panels);
    return Result::success();
}

bool BackgroundConfigurationStorage::flush(std::chrono::milliseconds timeout)
{
    return m_writer->flush(Clock::now() + timeout);
}

bool BackgroundConfigurationStorage::flushAll(std::chrono::milliseconds timeout)
{
    std::vector<std::shared_ptr<ConfigurationWriter>> alive;
    {
        Registry &writers = registry();
        const std::lock_guard lock(writers.mutex);
        for (const std::weak_ptr<ConfigurationWriter> &writer : writers.writers) {
            if (std::shared_ptr<ConfigurationWriter> locked = writer.lock())
                alive.push_back(std::move(locked));
        }
    }
    const Clock::time_point deadline = Clock::now() + timeout;
    bool flushed = true;
    for (const std::shared_ptr<ConfigurationWriter> &writer : alive)
        flushed = writer->flush(deadline) && flushed;
    return flushed;
}
