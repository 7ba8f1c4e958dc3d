#include "additembutton.h"

#include "viewstyle.h"

#include <QEasingCurve>
#include <QPainter>
#include <QVariantAnimation>

#include <algorithm>
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

CompactAddItemButton::CompactAddItemButton(const IconChrome &chrome, QWidget *parent)
    : QAbstractButton(parent)
    , m_chrome(chrome)
{
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(AddItemButton::title());
}

QSizeF CompactAddItemButton::preferredSize() const
{
    return QSizeF(m_chrome.pointSize(), m_chrome.pointSize());
}

QSize CompactAddItemButton::sizeHint() const
{
    const int side = int(std::ceil(m_chrome.pointSize()));
    return QSize(side, side);
}

void CompactAddItemButton::paintEvent(QPaintEvent *)
{
    // A symbol at the large scale: about 40% of the tile, with strokes a twelfth of that long.
    const double length = 0.4 * m_chrome.pointSize();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(isDown() ? 0.6 : 1.0);
    QPen pen(ViewStyle::secondary(palette()), std::max(1.5, length / 12));
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    const QPointF middle = QRectF(rect()).center();
    painter.drawLine(middle - QPointF(0, length / 2), middle + QPointF(0, length / 2));
    painter.drawLine(middle - QPointF(length / 2, 0), middle + QPointF(length / 2, 0));
}
