#pragma once

#include "fractionalsize.h"

#include "model/iconchrome.h"

#include <QAbstractButton>
#include <QPointF>

class QPainter;
class QPalette;
class QVariantAnimation;

// The look of the "Add Item…" button: a 34.56-point square (0.72 of 48) holding a circle in the
// primary colour at 8% (16% while pressed) and a plus of two round-capped strokes in the
// secondary colour, 0.067 of the square wide, from 0.29 to 0.71 of the square. The label is not
// drawn. Going between rest and pressed eases out over 0.12 s.
struct AddItemButtonStyle
{
    static constexpr double side = 0.72 * 48;
    static constexpr double strokeStart = 10.0224;
    static constexpr double strokeEnd = 24.5376;
    static constexpr double lineWidth = 0.067 * side;
    static constexpr double restingOpacity = 0.08;
    static constexpr double pressedOpacity = 0.16;
    static constexpr int animationMilliseconds = 120;

    // Draws the button with its top-left corner at `origin`; `pressed` runs from 0 (at rest) to
    // 1 (pressed).
    static void paint(QPainter &painter, const QPointF &origin, double pressed, const QPalette &palette);
};

// The button that asks for files and folders to add to the panel's active tab.
class AddItemButton : public QAbstractButton, public FractionalSize
{
    Q_OBJECT

public:
    static QString title();

    explicit AddItemButton(QWidget *parent = nullptr);

    // 0 at rest, 1 pressed, in between while animating.
    double pressedAmount() const { return m_pressed; }

    QSizeF preferredSize() const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void animateTo(double target);

    double m_pressed = 0;
    QVariantAnimation *m_animation;
};

// The "Add Item…" button after the last member of a group's popover: the plus alone, in the
// secondary colour, in a `pointSize` square like the tiles beside it; dimmed while pressed.
class CompactAddItemButton : public QAbstractButton, public FractionalSize
{
    Q_OBJECT

public:
    explicit CompactAddItemButton(const IconChrome &chrome, QWidget *parent = nullptr);

    QSizeF preferredSize() const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    IconChrome m_chrome;
};
