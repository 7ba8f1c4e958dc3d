#include "tabnamefield.h"

#include "viewstyle.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

namespace {

// Room for the plate's rounding at both ends and for the cursor after the last character.
constexpr double horizontalMargin = 4;
constexpr double cursorRoom = 2;

} // namespace

TabNameField::TabNameField(const QString &text, QWidget *parent)
    : QLineEdit(text, parent)
{
    setFrame(false);
    setTextMargins(int(horizontalMargin), 0, int(horizontalMargin), 0);
    setAttribute(Qt::WA_MacShowFocusRect, false);
}

double TabNameField::preferredWidth() const
{
    const double text = QFontMetricsF(font()).horizontalAdvance(this->text());
    return std::clamp(text + 2 * horizontalMargin + cursorRoom, minimumWidth, maximumWidth);
}

void TabNameField::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        Q_EMIT committed(text());
        return;
    case Qt::Key_Escape:
        event->accept();
        Q_EMIT cancelled();
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}

void TabNameField::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF plate = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        const QPainterPath shape = ViewStyle::roundedRect(plate, 4);
        painter.fillPath(shape, palette().color(QPalette::Base));
        const QColor ring = hasFocus() ? ViewStyle::accent(palette()) : ViewStyle::quaternaryFill(palette());
        painter.setPen(QPen(ring, 1));
        painter.drawPath(shape);
    }
    QLineEdit::paintEvent(event);
}
