#pragma once

#include "store/services.h"

#include <chrono>
#include <memory>

class ConfigurationWriter;

// A configuration storage that saves on a thread of its own, so that no command waits for the
// disk (a durable write takes milliseconds on a local disk, far more on a network home folder).
//
// save() only hands over the list, which is implicitly shared and so costs a reference; one
// writer thread encodes and writes the newest list it was given. Lists handed over while it
// writes replace each other, and only the last is written next. Every write goes through the
// wrapped storage, so each file on disk is always a whole state that was saved (a SIGKILL loses
// at most the lists not yet written). Failures are logged; the next successful write heals them.
//
// load() and hasStoredConfiguration() wait for a write in progress and then ask the wrapped
// storage, which is only ever used by one thread at a time.
//
// Quitting: flushAll() is the one call for every way out of the program (the quit command,
// aboutToQuit, SIGTERM and SIGINT handling, the end of the session). It is also registered as an
// exit handler, for the exits Qt makes on its own (losing the X server calls exit()), and the
// destructor flushes too. Each waits at most `quitTimeout` for the last write.
class BackgroundConfigurationStorage final : public ConfigurationStorage
{
public:
    static constexpr std::chrono::milliseconds quitTimeout{5000};

    explicit BackgroundConfigurationStorage(std::unique_ptr<ConfigurationStorage> storage);
    // Flushes (at most quitTimeout) and ends the writer thread.
    ~BackgroundConfigurationStorage() override;

    BackgroundConfigurationStorage(const BackgroundConfigurationStorage &) = delete;
    BackgroundConfigurationStorage &operator=(const BackgroundConfigurationStorage &) = delete;

    std::optional<QList<Panel>> load() override;
    bool hasStoredConfiguration() const override;
    // Hands `panels` to the writer and returns at once; succeeds unless the writer has stopped.
    Result save(const QList<Panel> &panels) override;

    // Waits until the newest list handed to save() is written (or its write failed), at most
    // `timeout`. False when a write was still pending at the deadline.
    bool flush(std::chrono::milliseconds timeout = quitTimeout);

    // flush() of every background storage alive, all within `timeout`.
    static bool flushAll(std::chrono::milliseconds timeout = quitTimeout);

private:
    // Shared with the writer thread, which may outlive this object when a write hangs at quit.
    std::shared_ptr<ConfigurationWriter> m_writer;
};
