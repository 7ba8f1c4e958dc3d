#include "drophint.h"

#include "viewstyle.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

QString DropHint::text()
{
    return QStringLiteral("or drop apps here");
}

DropHint::DropHint(QWidget *parent)
    : QWidget(parent)
{
    setAccessibleName(text());
}

QSizeF DropHint::preferredSize() const
{
    const QFontMetricsF metrics(font());
    return QSizeF(leadingPadding + metrics.horizontalAdvance(text()), metrics.height());
}

QSize DropHint::sizeHint() const
{
    const QSizeF size = preferredSize();
    return QSize(int(std::ceil(size.width())), int(std::ceil(size.height())));
}

void DropHint::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(ViewStyle::secondary(palette()));
    painter.drawText(QRectF(rect()).adjusted(leadingPadding, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     text());
}
