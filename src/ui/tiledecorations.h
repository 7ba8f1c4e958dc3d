#pragma once

#include <QRectF>
#include <QString>

class QFont;
class QPainter;
class QPalette;

// What a tile draws over and under its icon about its running application: the count badge at
// the icon's top-right corner, the thin progress bar near its bottom edge, and the attention
// mark in place of the running marker. Every size follows the icon's point size, so the
// decorations keep their proportions at every icon size and pixel density.
namespace TileDecorations {

// The badge's text: the count, or "99+" beyond 99.
QString badgeText(qint64 count);
// The badge's outline: a pill as high as a third of the icon (a circle for one digit), its
// top-right corner on the icon's.
QRectF badgeFrame(const QRectF &icon, qint64 count, const QFont &base);
void paintBadge(QPainter &painter, const QRectF &icon, qint64 count, const QFont &base);

// The bar's track, across the lower part of the icon.
QRectF progressFrame(const QRectF &icon);
// `progress` from 0 to 1.
void paintProgress(QPainter &painter, const QRectF &icon, double progress, const QPalette &palette);

// The attention mark: a pill three markers wide in place of the running marker, in the
// attention colour. `pulse` from 0 (at rest) to 1 (the height of a pulse) swells it and lays a
// soft glow around it.
QRectF attentionFrame(const QRectF &marker);
void paintAttention(QPainter &painter, const QRectF &marker, double pulse);

} // namespace TileDecorations
