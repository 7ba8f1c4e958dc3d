#include "overflowchevron.h"

#include "viewstyle.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// Two chevrons pointing forward, each 3.5 wide and 8 tall, 4 apart: the glyph of an 11-point
// semibold symbol.
constexpr double chevronWidth = 3.5;
constexpr double chevronHeight = 8;
constexpr double chevronGap = 4;
constexpr double strokeWidth = 1.6;

} // namespace

OverflowChevron::OverflowChevron(SidewaysLayout turn, QWidget *parent)
    : QAbstractButton(parent)
    , m_turn(turn)
{
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(QStringLiteral("More Tabs"));
    setCursor(Qt::ArrowCursor);
}

void OverflowChevron::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(m_turn.uprightToWidget(QSizeF(size())));
    const QSizeF upright = m_turn.upright(QSizeF(size()));
    const double left = (upright.width() - (2 * chevronWidth + chevronGap)) / 2;
    const double top = (upright.height() - chevronHeight) / 2;
    QPainterPath glyph;
    for (int i = 0; i < 2; ++i) {
        const double x = left + i * (chevronWidth + chevronGap);
        glyph.moveTo(x, top);
        glyph.lineTo(x + chevronWidth, top + chevronHeight / 2);
        glyph.lineTo(x, top + chevronHeight);
    }
    QColor colour = ViewStyle::secondary(palette());
    if (isDown())
        colour = ViewStyle::primary(palette());
    painter.setPen(QPen(colour, strokeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(glyph);
}
