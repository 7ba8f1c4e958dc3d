#pragma once

#include <QObject>

#include <chrono>

class QVariantAnimation;

// The three soft pulses with which a tile's attention mark appears, then rest: once they are
// over no animation runs, and the mark stays drawn at rest by its tile.
class AttentionPulse : public QObject
{
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds duration{1800};
    static constexpr int pulseCount = 3;

    explicit AttentionPulse(QObject *parent = nullptr);

    // Runs the pulses from `elapsed` into them (a tile built while a request for attention is
    // already going on takes up its pulses where they are); nothing when they are over.
    void start(std::chrono::milliseconds elapsed = std::chrono::milliseconds(0));
    void stop();
    bool isRunning() const;
    // How far the mark swells now: 0 at rest, 1 at the top of a pulse.
    double value() const;

Q_SIGNALS:
    void changed();

private:
    QVariantAnimation *m_animation;
};
