#include "flashoverlay.h"

#include <QEasingCurve>
#include <QEvent>
#include <QPainter>
#include <QPainterPath>

#include <array>

namespace {

// The cubic Bézier timing curves of the keyframe segments.
QEasingCurve bezier(QPointF c1, QPointF c2)
{
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(c1, c2, QPointF(1, 1));
    return curve;
}

struct Segment
{
    double start;
    double end;
    double from;
    double to;
    QEasingCurve easing;
};

const std::array<Segment, 3> &segments()
{
    static const std::array<Segment, 3> table{{
        {0.0, 0.12, 0, 1, bezier(QPointF(0, 0), QPointF(0.58, 1))},   // ease-out
        {0.12, 0.5, 1, 1, QEasingCurve(QEasingCurve::Linear)},
        {0.5, 1.0, 1, 0, bezier(QPointF(0.42, 0), QPointF(1, 1))},    // ease-in
    }};
    return table;
}

} // namespace

FlashOverlay::FlashOverlay(QWidget *window)
    : QWidget(window)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(window->rect());
    window->installEventFilter(this);
    raise();
    show();

    m_animation.setStartValue(0.0);
    m_animation.setEndValue(1.0);
    m_animation.setDuration(duration);
    connect(&m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant &progress) {
        m_opacity = opacityAt(progress.toDouble());
        update();
    });
    connect(&m_animation, &QVariantAnimation::finished, this, &QObject::deleteLater);
    m_animation.start();
}

double FlashOverlay::opacityAt(double progress)
{
    for (const Segment &segment : segments()) {
        if (progress <= segment.end) {
            const double local = std::clamp((progress - segment.start) / (segment.end - segment.start), 0.0, 1.0);
            return segment.from + (segment.to - segment.from) * segment.easing.valueForProgress(local);
        }
    }
    return segments().back().to;
}

bool FlashOverlay::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return false;
}

void FlashOverlay::paintEvent(QPaintEvent *)
{
    if (m_opacity <= 0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(m_opacity);
    QPen pen(palette().highlight().color(), borderWidth);
    painter.setPen(pen);
    // Stroked inside the bounds.
    const double inset = borderWidth / 2;
    painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), cornerRadius - inset,
                            cornerRadius - inset);
}
