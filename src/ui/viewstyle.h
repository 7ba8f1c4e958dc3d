#pragma once

#include <QColor>
#include <QFont>
#include <QPainterPath>
#include <QRectF>

#include <optional>

class QPainter;
class QPalette;

// The colours, fonts and shapes the views draw with, all derived from the palette and the
// application font at paint time, so that a palette or font change restyles every view at once.
namespace ViewStyle {

// Text and symbols: the palette's window text.
QColor primary(const QPalette &palette);
// Less important text and symbols: window text at 55%.
QColor secondary(const QPalette &palette);
// Faint plates behind symbols: window text at 10%.
QColor quaternaryFill(const QPalette &palette);
// The accent: the palette's highlight.
QColor accent(const QPalette &palette);
// `color` with its alpha multiplied by `opacity`.
QColor withOpacity(QColor color, double opacity);

// The fill of panel bodies and bubbles: the window colour at 80% where a compositor draws
// translucency, opaque otherwise.
QColor material(const QPalette &palette, bool translucent);

// The body of a panel or a group's popover: the material in a rounded rectangle, tinted when a
// tint is given, with a faint hairline inside its edge that keeps it apart from a background of
// its own colour.
void paintBody(QPainter &painter, const QRectF &bounds, double radius, const QPalette &palette, bool translucent,
               const std::optional<QColor> &tint = std::nullopt);

// The smallest caption: `base` at 80% of its size, never below 8 pixels.
QFont captionFont(const QFont &base);

// A rounded rectangle whose corner radius never exceeds half the shorter side.
QPainterPath roundedRect(const QRectF &rect, double radius);

// `rect` moved so that its top-left corner lies on the device pixel grid of `devicePixelRatio`,
// which keeps pixmaps drawn into it sharp.
QRectF alignedToPixels(const QRectF &rect, double devicePixelRatio);

} // namespace ViewStyle
