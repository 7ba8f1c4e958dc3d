#pragma once

#include <QByteArray>
#include <QIcon>
#include <QList>
#include <QRect>
#include <QSize>

class QPainter;

// The program's mark: a 2x2 grid of rounded tiles. The tray item, the window icon and the
// installed scalable icon are all drawn from the one layout below, so they always match.
namespace GridIcon {

// The tiles of an icon `pixels` wide and high. Margin, gap and tile edges fall on whole pixels,
// and the grid is centred, so every size a tray asks for is drawn sharp.
struct Layout
{
    int margin = 0;
    int gap = 0;
    int tile = 0;
    double cornerRadius = 0;

    QList<QRect> tiles() const;
};
Layout layout(int pixels);

// Paints the grid into the square of `pixels` device pixels at the painter's origin.
void paint(QPainter &painter, int pixels);

// The icon sizes offered to trays and window managers, in pixels (their doubles included).
QList<QSize> offeredSizes();

// A QIcon that draws the grid at whatever size is asked, sharp at each one.
QIcon icon();

// The same drawing as a scalable SVG document, for the icon theme.
QByteArray svg();

} // namespace GridIcon
