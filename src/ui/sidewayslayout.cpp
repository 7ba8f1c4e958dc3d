#include "sidewayslayout.h"

SidewaysLayout SidewaysLayout::forSide(PanelCompanionSide side)
{
    switch (side) {
    case PanelCompanionSide::LeftOf:
        return SidewaysLayout(-90);
    case PanelCompanionSide::RightOf:
        return SidewaysLayout(90);
    case PanelCompanionSide::Above:
    case PanelCompanionSide::Below:
        break;
    }
    return SidewaysLayout(0);
}

QRectF SidewaysLayout::uprightBounds(const QRectF &bounds, const QSizeF &measured) const
{
    QRectF frame(QPointF(0, 0), measured);
    frame.moveCenter(bounds.center());
    return frame;
}

QTransform SidewaysLayout::turnAbout(const QPointF &centre) const
{
    QTransform turn;
    turn.translate(centre.x(), centre.y());
    turn.rotate(m_degrees);
    turn.translate(-centre.x(), -centre.y());
    return turn;
}

QRectF SidewaysLayout::place(const QRectF &uprightFrame, const QRectF &bounds) const
{
    if (!isSideways())
        return uprightFrame;
    return turnAbout(bounds.center()).mapRect(uprightFrame);
}

QTransform SidewaysLayout::uprightToWidget(const QSizeF &footprint) const
{
    if (!isSideways())
        return QTransform();
    const QSizeF content = upright(footprint);
    QTransform transform;
    transform.translate(footprint.width() / 2, footprint.height() / 2);
    transform.rotate(m_degrees);
    transform.translate(-content.width() / 2, -content.height() / 2);
    return transform;
}
