#pragma once

#include <chrono>
#include <functional>
#include <memory>

// One cancellable piece of work run later on the main thread. Starting it again replaces what
// was pending. The delayed showing of tooltips goes through it, so that tests drive time by hand.
class DeferredCall
{
public:
    virtual ~DeferredCall() = default;
    virtual void start(std::chrono::milliseconds delay, std::function<void()> work) = 0;
    virtual void cancel() = 0;
    virtual bool isPending() const = 0;
};

using DeferredCallFactory = std::function<std::unique_ptr<DeferredCall>()>;

namespace DeferredCalls {
// A new call from the installed factory: by default one backed by a single-shot timer.
std::unique_ptr<DeferredCall> make();
// Installs another factory; an empty one restores the timer.
void setFactory(DeferredCallFactory factory);
} // namespace DeferredCalls
