#pragma once

#include "fractionalsize.h"

#include <QWidget>

// Shows a row (or column) that may be longer than the room it gets, scrolled along its own axis
// without scroll bars. The mouse wheel scrolls it whichever way it turns, so a plain vertical
// wheel moves a horizontal row. The content keeps its natural size, starts at the leading edge
// and is centred across the axis.
class RowScroller : public QWidget, public FractionalSize
{
    Q_OBJECT

public:
    RowScroller(Qt::Orientation axis, QWidget *content, QWidget *parent = nullptr);

    QWidget *content() const { return m_content; }
    Qt::Orientation axis() const { return m_axis; }
    // How far the content is scrolled, in points from its start.
    int offset() const { return m_offset; }
    void setOffset(int offset);
    int maximumOffset() const;

    QSizeF preferredSize() const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    bool event(QEvent *event) override;

private:
    void placeContent();

    Qt::Orientation m_axis;
    QWidget *m_content;
    int m_offset = 0;
    int m_wheelRemainder = 0;
};
