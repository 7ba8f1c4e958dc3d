#include "viewstyle.h"

#include <QCoreApplication>
#include <QFontInfo>
#include <QHash>
#include <QPainter>
#include <QPalette>

#include <algorithm>
#include <cmath>

namespace ViewStyle {

QColor primary(const QPalette &palette)
{
    return palette.color(QPalette::WindowText);
}

QColor secondary(const QPalette &palette)
{
    return withOpacity(primary(palette), 0.55);
}

QColor quaternaryFill(const QPalette &palette)
{
    return withOpacity(primary(palette), 0.10);
}

QColor accent(const QPalette &palette)
{
    return palette.color(QPalette::Highlight);
}

QColor withOpacity(QColor color, double opacity)
{
    color.setAlphaF(float(color.alphaF() * opacity));
    return color;
}

QColor material(const QPalette &palette, bool translucent)
{
    QColor color = palette.color(QPalette::Window);
    color.setAlphaF(translucent ? 0.8f : 1.0f);
    return color;
}

void paintBody(QPainter &painter, const QRectF &bounds, double radius, const QPalette &palette, bool translucent,
               const std::optional<QColor> &tint)
{
    constexpr double hairlineOpacity = 0.12;
    const QPainterPath body = roundedRect(bounds, radius);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(body, material(palette, translucent));
    if (tint)
        painter.fillPath(body, *tint);
    // One device pixel wide: the cosmetic stroker is also far cheaper on long edges.
    QPen hairline(withOpacity(primary(palette), hairlineOpacity), 1);
    hairline.setCosmetic(true);
    painter.setPen(hairline);
    painter.drawPath(roundedRect(bounds.adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5));
    painter.restore();
}

QFont captionFont(const QFont &base)
{
    // Matching a font is slow and every tile asks: the answers are kept per font.
    static QHash<QFont, QFont> captions;
    static const bool emptiedAtExit = (qAddPostRoutine([] { captions.clear(); }), true);
    Q_UNUSED(emptiedAtExit);
    if (const auto kept = captions.constFind(base); kept != captions.cend())
        return *kept;
    QFont caption = base;
    const double pixels = QFontInfo(base).pixelSize() * 0.8;
    caption.setPixelSize(std::max(8, int(std::lround(pixels))));
    captions.insert(base, caption);
    return caption;
}

QPainterPath roundedRect(const QRectF &rect, double radius)
{
    const double r = std::clamp(radius, 0.0, std::min(rect.width(), rect.height()) / 2);
    QPainterPath path;
    path.addRoundedRect(rect, r, r);
    return path;
}

QRectF alignedToPixels(const QRectF &rect, double devicePixelRatio)
{
    const double ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    const QPointF topLeft(std::round(rect.x() * ratio) / ratio, std::round(rect.y() * ratio) / ratio);
    return QRectF(topLeft, rect.size());
}

} // namespace ViewStyle
