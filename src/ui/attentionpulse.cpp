#include "attentionpulse.h"

#include <QVariantAnimation>

#include <cmath>
#include <numbers>

AttentionPulse::AttentionPulse(QObject *parent)
    : QObject(parent)
    , m_animation(new QVariantAnimation(this))
{
    m_animation->setStartValue(0.0);
    m_animation->setEndValue(1.0);
    m_animation->setDuration(int(duration.count()));
    connect(m_animation, &QVariantAnimation::valueChanged, this, &AttentionPulse::changed);
    connect(m_animation, &QVariantAnimation::finished, this, &AttentionPulse::changed);
}

void AttentionPulse::start(std::chrono::milliseconds elapsed)
{
    m_animation->stop();
    if (elapsed >= duration || elapsed.count() < 0)
        return;
    m_animation->start();
    m_animation->setCurrentTime(int(elapsed.count()));
}

void AttentionPulse::stop()
{
    if (m_animation->state() == QAbstractAnimation::Stopped)
        return;
    m_animation->stop();
    Q_EMIT changed();
}

bool AttentionPulse::isRunning() const
{
    return m_animation->state() == QAbstractAnimation::Running;
}

double AttentionPulse::value() const
{
    if (!isRunning())
        return 0;
    // sin² rises and falls softly, pulseCount times over the animation.
    const double phase = std::sin(std::numbers::pi * pulseCount * m_animation->currentValue().toDouble());
    return phase * phase;
}
