#pragma once

#include <QVariantAnimation>
#include <QWidget>

// The short highlight of a newly created panel: an accent-coloured rounded border over the
// window's content that fades in, holds and fades out, then removes itself. Opacity keyframes
// 0, 1, 1, 0 at 0, 12 %, 50 % and 100 % of 0.55 s, the three segments eased out, linear and
// eased in. Transparent for input.
class FlashOverlay : public QWidget
{
    Q_OBJECT

public:
    static constexpr int duration = 550;
    static constexpr double borderWidth = 4;
    static constexpr double cornerRadius = 16;

    // Covers `window` (and follows its size) and starts at once.
    explicit FlashOverlay(QWidget *window);

    // The opacity at a fraction of the animation's duration (0...1).
    static double opacityAt(double progress);

    double opacity() const { return m_opacity; }
    QVariantAnimation &animation() { return m_animation; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QVariantAnimation m_animation;
    double m_opacity = 0;
};
