#include "additembutton.h"

#include "viewstyle.h"

#include <QEasingCurve>
#include <QPainter>
#include <QVariantAnimation>

#include <cmath>

void AddItemButtonStyle::paint(QPainter &painter, const QPointF &origin, double pressed, const QPalette &palette)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(origin);
    const double opacity = restingOpacity + (pressedOpacity - restingOpacity) * pressed;
    painter.setPen(Qt::NoPen);
    painter.setBrush(ViewStyle::withOpacity(ViewStyle::primary(palette), opacity));
    painter.drawEllipse(QRectF(0, 0, side, side));

    QPen pen(ViewStyle::secondary(palette), lineWidth);
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    const double middle = side / 2;
    painter.drawLine(QPointF(middle, strokeStart), QPointF(middle, strokeEnd));
    painter.drawLine(QPointF(strokeStart, middle), QPointF(strokeEnd, middle));
    painter.restore();
}

QString AddItemButton::title()
{
    return QStringLiteral("Add Item\u2026");
}

AddItemButton::AddItemButton(QWidget *parent)
    : QAbstractButton(parent)
    , m_animation(new QVariantAnimation(this))
{
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(title());
    m_animation->setDuration(AddItemButtonStyle::animationMilliseconds);
    // The standard ease-out curve: cubic Bézier (0, 0), (0.58, 1).
    QEasingCurve easeOut(QEasingCurve::BezierSpline);
    easeOut.addCubicBezierSegment(QPointF(0, 0), QPointF(0.58, 1), QPointF(1, 1));
    m_animation->setEasingCurve(easeOut);
    connect(m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_pressed = value.toDouble();
        update();
    });
    connect(this, &QAbstractButton::pressed, this, [this] { animateTo(1); });
    connect(this, &QAbstractButton::released, this, [this] { animateTo(0); });
}

void AddItemButton::animateTo(double target)
{
    m_animation->stop();
    m_animation->setStartValue(m_pressed);
    m_animation->setEndValue(target);
    m_animation->start();
}

QSizeF AddItemButton::preferredSize() const
{
    return QSizeF(AddItemButtonStyle::side, AddItemButtonStyle::side);
}

QSize AddItemButton::sizeHint() const
{
    const int side = int(std::ceil(AddItemButtonStyle::side));
    return QSize(side, side);
}

void AddItemButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPointF origin((width() - AddItemButtonStyle::side) / 2, (height() - AddItemButtonStyle::side) / 2);
    AddItemButtonStyle::paint(painter, origin, m_pressed, palette());
}
