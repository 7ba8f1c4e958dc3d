#pragma once

#include "model/geometry.h"

#include <QPointer>
#include <QString>
#include <QWidget>

// Where a bubble of `size` goes for a tile at `anchor`, both in y-up screen coordinates: 6 points
// above the tile, or below it when it would cross the top of the visible frame; centred on the
// tile and pushed inside the frame horizontally (its right edge wins when the bubble is wider).
Rect tooltipFrame(const Rect &anchor, const Size &size, const Rect &visibleFrame);

// The one bubble window of the application that shows an item's name next to it. Panels are
// rarely the active window, where the desktop's own tooltips do not show reliably; this window
// never takes focus or input and floats above every other window. It is created on first use,
// never closed, only hidden, and reused for every tooltip.
class TooltipWindow : public QWidget
{
    Q_OBJECT

public:
    // The shared window, created on first use.
    static TooltipWindow &shared();
    // The shared window if it was ever used.
    static TooltipWindow *existing();

    // Shows `text` next to `anchor` (a rectangle in Qt's global coordinates) on behalf of `owner`,
    // replacing whatever the window showed: translucent with a soft shadow while a compositor
    // runs, otherwise opaque and cut to its rounded shape.
    void show(const QString &text, const QRect &anchor, const QObject *owner);
    // Hides the bubble when it is `owner`'s (or whoever's, for null).
    void hideFor(const QObject *owner);

    QString text() const { return m_text; }
    const QObject *owner() const { return m_owner; }
    // The bubble without its shadow margin, in global coordinates.
    QRect bubbleGeometry() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TooltipWindow();
    QSizeF bubbleSize() const;
    double shadowMargin() const;

    QString m_text;
    QPointer<const QObject> m_owner;
    bool m_isTranslucent = false;
};
