#include "appearance.h"

#include <QPainter>

#include <limits>

namespace PanelWindowLevels {

PanelWindowLevel resolved(PanelWindowLevel configured, bool isTemporarilyRaised)
{
    return isTemporarilyRaised ? PanelWindowLevel::AboveAll : configured;
}

} // namespace PanelWindowLevels

namespace TabColors {

namespace {

struct ColorInfo
{
    TabColor color;
    const char *title;
    QRgb rgb;
};

constexpr std::array<ColorInfo, 13> colorTable{{
    {TabColor::SystemRed, "Red", 0xFF3B30},
    {TabColor::SystemOrange, "Orange", 0xFF9500},
    {TabColor::SystemYellow, "Yellow", 0xFFCC00},
    {TabColor::SystemGreen, "Green", 0x34C759},
    {TabColor::SystemMint, "Mint", 0x00C7BE},
    {TabColor::SystemTeal, "Teal", 0x30B0C7},
    {TabColor::SystemCyan, "Cyan", 0x32ADE6},
    {TabColor::SystemBlue, "Blue", 0x007AFF},
    {TabColor::SystemIndigo, "Indigo", 0x5856D6},
    {TabColor::SystemPurple, "Purple", 0xAF52DE},
    {TabColor::SystemPink, "Pink", 0xFF2D55},
    {TabColor::SystemBrown, "Brown", 0xA2845E},
    {TabColor::SystemGray, "Gray", 0x8E8E93},
}};

const ColorInfo &info(TabColor color)
{
    for (const ColorInfo &entry : colorTable) {
        if (entry.color == color)
            return entry;
    }
    return colorTable.back();
}

} // namespace

QString menuTitle(TabColor color)
{
    return QLatin1String(info(color).title);
}

QColor color(TabColor color)
{
    return QColor::fromRgb(info(color).rgb);
}

QColor readableTextColorOn(const QColor &background)
{
    const QColor srgb = background.toRgb();
    if (!srgb.isValid())
        return Qt::black;
    // Luminance 0.2126 r + 0.7152 g + 0.0722 b compared with 0.6 in exact integer arithmetic on
    // the 16-bit components: in floating point some colours of luminance exactly 0.6 (such as
    // rgb(71, 180, 127)) come out a rounding step above it and would wrongly get black text.
    const QRgba64 rgb = srgb.rgba64();
    const qint64 weighted = 2126 * qint64(rgb.red()) + 7152 * qint64(rgb.green()) + 722 * qint64(rgb.blue());
    const qint64 threshold = 6000 * qint64(std::numeric_limits<quint16>::max());
    return weighted > threshold ? QColor(Qt::black) : QColor(Qt::white);
}

QColor readableTextColor(TabColor tabColor)
{
    return readableTextColorOn(color(tabColor));
}

QImage swatch(TabColor tabColor, qreal devicePixelRatio)
{
    const int side = qRound(12 * devicePixelRatio);
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color(tabColor));
    painter.drawEllipse(QRectF(0, 0, 12, 12));
    return image;
}

} // namespace TabColors
