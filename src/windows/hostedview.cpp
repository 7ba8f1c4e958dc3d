#include "hostedview.h"

HostedView::HostedView(QWidget *parent)
    : QWidget(parent)
{
}

QPainterPath HostedView::bodyShape() const
{
    QPainterPath shape;
    shape.addRect(rect());
    return shape;
}

void HostedView::setTranslucent(bool translucent)
{
    if (m_isTranslucent == translucent)
        return;
    m_isTranslucent = translucent;
    update();
}
