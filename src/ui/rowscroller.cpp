#include "rowscroller.h"

#include <QApplication>
#include <QLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

// Points moved by one notch of the wheel per scrolled line.
constexpr int pointsPerLine = 20;

} // namespace

RowScroller::RowScroller(Qt::Orientation axis, QWidget *content, QWidget *parent)
    : QWidget(parent)
    , m_axis(axis)
    , m_content(content)
{
    content->setParent(this);
    placeContent();
}

QSizeF RowScroller::preferredSize() const
{
    if (const auto *exact = dynamic_cast<const FractionalSize *>(m_content))
        return exact->preferredSize();
    if (const QLayout *layout = m_content->layout()) {
        if (const auto *exact = dynamic_cast<const FractionalSize *>(layout))
            return exact->preferredSize();
    }
    return QSizeF(m_content->sizeHint());
}

QSize RowScroller::sizeHint() const
{
    return m_content->sizeHint();
}

QSize RowScroller::minimumSizeHint() const
{
    return QSize(0, 0);
}

int RowScroller::maximumOffset() const
{
    const QSize natural = m_content->sizeHint();
    const int length = m_axis == Qt::Horizontal ? natural.width() - width() : natural.height() - height();
    return std::max(0, length);
}

void RowScroller::setOffset(int offset)
{
    const int clamped = std::clamp(offset, 0, maximumOffset());
    if (clamped == m_offset)
        return;
    m_offset = clamped;
    placeContent();
}

void RowScroller::placeContent()
{
    const QSize natural = m_content->sizeHint();
    m_offset = std::clamp(m_offset, 0, maximumOffset());
    if (m_axis == Qt::Horizontal)
        m_content->setGeometry(-m_offset, (height() - natural.height()) / 2, natural.width(), natural.height());
    else
        m_content->setGeometry((width() - natural.width()) / 2, -m_offset, natural.width(), natural.height());
}

void RowScroller::resizeEvent(QResizeEvent *event)
{
    placeContent();
    QWidget::resizeEvent(event);
}

void RowScroller::showEvent(QShowEvent *event)
{
    placeContent();
    QWidget::showEvent(event);
}

void RowScroller::wheelEvent(QWheelEvent *event)
{
    if (maximumOffset() == 0) {
        event->ignore();
        return;
    }
    // Whichever way the wheel turns most moves the content along its axis; down and right go on.
    const auto dominant = [](const QPoint &delta) {
        return std::abs(delta.y()) >= std::abs(delta.x()) ? delta.y() : delta.x();
    };
    int step = 0;
    if (!event->pixelDelta().isNull()) {
        step = -dominant(event->pixelDelta());
    } else {
        m_wheelRemainder += -dominant(event->angleDelta()) * QApplication::wheelScrollLines() * pointsPerLine;
        step = m_wheelRemainder / 120;
        m_wheelRemainder %= 120;
    }
    setOffset(m_offset + step);
    event->accept();
}

bool RowScroller::event(QEvent *event)
{
    // The content's natural size changed (tiles added or resized).
    if (event->type() == QEvent::LayoutRequest) {
        updateGeometry();
        placeContent();
    }
    return QWidget::event(event);
}
