#include "deferredcall.h"

#include <QTimer>

namespace {

class TimerDeferredCall final : public DeferredCall
{
public:
    TimerDeferredCall()
    {
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            // Moved out first: the work may start this call again or destroy it.
            const std::function<void()> work = std::move(m_work);
            m_work = nullptr;
            if (work)
                work();
        });
    }

    void start(std::chrono::milliseconds delay, std::function<void()> work) override
    {
        m_work = std::move(work);
        m_timer.start(delay);
    }

    void cancel() override
    {
        m_timer.stop();
        m_work = nullptr;
    }

    bool isPending() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
    std::function<void()> m_work;
};

DeferredCallFactory &installedFactory()
{
    static DeferredCallFactory factory;
    return factory;
}

} // namespace

namespace DeferredCalls {

std::unique_ptr<DeferredCall> make()
{
    if (const DeferredCallFactory &factory = installedFactory())
        return factory();
    return std::make_unique<TimerDeferredCall>();
}

void setFactory(DeferredCallFactory factory)
{
    installedFactory() = std::move(factory);
}

} // namespace DeferredCalls
