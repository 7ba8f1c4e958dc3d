#pragma once

#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QStaticText>
#include <QString>

// What tiles draw, made once and shared: views are rebuilt on every change of the panels, and a
// new tile must not render its icon or lay out its name again when an earlier tile already did.
namespace TilePictures {

// `icon` in a `side`-point square at `devicePixelRatio`, with corners of `cornerRadius` points
// cut with an antialiased edge. Requested from the icon at the full pixel size; a smaller
// picture is fitted by scaling it up. `paletteKey` separates pictures drawn in the palette's
// colours (program-drawn symbols).
QPixmap roundedIcon(const QIcon &icon, double side, double cornerRadius, double devicePixelRatio, qint64 paletteKey);

// A `side`-point square with corners of `cornerRadius` points filled with `color`, at
// `devicePixelRatio`: the plates behind icons, blitted instead of filled on every paint.
QPixmap roundedSquare(double side, double cornerRadius, const QColor &color, double devicePixelRatio);

// One line of `text` in `font`, cut at its end with an ellipsis to at most `maxWidth` points.
struct Caption
{
    QStaticText text;
    double width = 0;  // of the line as drawn
    double height = 0; // of a line of the font
};
Caption caption(const QString &text, const QFont &font, double maxWidth);

// The same icon for the same picture, so that a picture's rounded square is made only once.
QIcon iconForImage(const QImage &image);

} // namespace TilePictures
