#include "tiledecorations.h"

#include "viewstyle.h"

#include "model/appearance.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPalette>

#include <algorithm>

namespace {

// Proportions of the icon's side.
constexpr double badgeHeight = 1.0 / 3;
constexpr double badgeTextHeight = 0.72; // of the badge's height
constexpr double progressWidth = 0.72;
constexpr double progressHeight = 0.07;
constexpr double progressLift = 0.09; // from the icon's bottom edge
constexpr double minimumProgressHeight = 2;

// In points, as the running marker.
constexpr double attentionWidth = 12;
constexpr double attentionSwell = 0.5;
constexpr double glowSpread = 3;

QFont badgeFont(const QFont &base, double height)
{
    QFont font = base;
    font.setBold(true);
    font.setPixelSize(std::max(6, int(height * badgeTextHeight)));
    return font;
}

QColor attentionColor()
{
    return TabColors::color(TabColor::SystemOrange);
}

} // namespace

namespace TileDecorations {

QString badgeText(qint64 count)
{
    return count > 99 ? QStringLiteral("99+") : QString::number(count);
}

QRectF badgeFrame(const QRectF &icon, qint64 count, const QFont &base)
{
    const double height = icon.height() * badgeHeight;
    const double textWidth = QFontMetricsF(badgeFont(base, height)).horizontalAdvance(badgeText(count));
    const double width = std::min(icon.width(), std::max(height, textWidth + height * 0.5));
    return QRectF(icon.right() - width, icon.top(), width, height);
}

void paintBadge(QPainter &painter, const QRectF &icon, qint64 count, const QFont &base)
{
    const QRectF frame = badgeFrame(icon, count, base);
    const double radius = frame.height() / 2;
    painter.save();
    // A faint rim keeps the badge apart from an icon of its own colour.
    painter.setPen(QPen(QColor(0, 0, 0, 60), 1));
    painter.setBrush(TabColors::color(TabColor::SystemRed));
    painter.drawRoundedRect(frame, radius, radius);
    painter.setPen(Qt::white);
    painter.setFont(badgeFont(base, frame.height()));
    painter.drawText(frame, Qt::AlignCenter, badgeText(count));
    painter.restore();
}

QRectF progressFrame(const QRectF &icon)
{
    const double side = icon.width();
    const double height = std::max(minimumProgressHeight, side * progressHeight);
    const double width = side * progressWidth;
    return QRectF(icon.center().x() - width / 2, icon.bottom() - side * progressLift - height, width, height);
}

void paintProgress(QPainter &painter, const QRectF &icon, double progress, const QPalette &palette)
{
    const QRectF track = progressFrame(icon);
    const double radius = track.height() / 2;
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 115));
    painter.drawRoundedRect(track, radius, radius);
    const double filled = track.width() * std::clamp(progress, 0.0, 1.0);
    if (filled > 0) {
        // A sliver narrower than the bar is high stays a round dot rather than a thin line.
        QRectF bar = track;
        bar.setWidth(std::max(filled, track.height()));
        painter.setBrush(ViewStyle::accent(palette));
        painter.drawRoundedRect(bar, radius, radius);
    }
    painter.restore();
}

QRectF attentionFrame(const QRectF &marker)
{
    QRectF frame(0, 0, attentionWidth, marker.height());
    frame.moveCenter(marker.center());
    return frame;
}

void paintAttention(QPainter &painter, const QRectF &marker, double pulse)
{
    const double swell = 1 + attentionSwell * pulse;
    const QRectF rest = attentionFrame(marker);
    QRectF mark(0, 0, rest.width() * swell, rest.height() * swell);
    mark.moveCenter(rest.center());
    painter.save();
    painter.setPen(Qt::NoPen);
    if (pulse > 0) {
        const QRectF glow = mark.adjusted(-glowSpread * pulse, -glowSpread * pulse, glowSpread * pulse,
                                          glowSpread * pulse);
        painter.setBrush(ViewStyle::withOpacity(attentionColor(), 0.35 * pulse));
        painter.drawRoundedRect(glow, glow.height() / 2, glow.height() / 2);
    }
    painter.setBrush(attentionColor());
    painter.drawRoundedRect(mark, mark.height() / 2, mark.height() / 2);
    painter.restore();
}

} // namespace TileDecorations
