#include "gridicon.h"

#include <QColor>
#include <QIconEngine>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>

namespace GridIcon {

namespace {

// The proportions at a large size: margin 1/16, gap 1/8 of the edge, corners a quarter of a tile.
constexpr double marginShare = 1.0 / 16;
constexpr double gapShare = 1.0 / 8;
constexpr double cornerShare = 0.25;

// A blue that reads on light and dark panels alike, lighter at the top of each tile.
const QColor topColor(0x2E, 0x8F, 0xFF);
const QColor bottomColor(0x00, 0x62, 0xE0);

// Draws the grid in full colour; disabled and selected states share the normal look, dimmed
// when disabled.
class GridIconEngine final : public QIconEngine
{
public:
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        const int pixels = int(std::lround(std::min(rect.width(), rect.height()) * ratio));
        if (pixels <= 0)
            return;
        painter->save();
        painter->translate(rect.x() + (rect.width() - pixels / ratio) / 2, rect.y() + (rect.height() - pixels / ratio) / 2);
        painter->scale(1 / ratio, 1 / ratio);
        if (mode == QIcon::Disabled)
            painter->setOpacity(painter->opacity() * 0.4);
        GridIcon::paint(*painter, pixels);
        painter->restore();
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }

    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        const QSize pixelSize = size * scale;
        QPixmap pixmap(pixelSize);
        pixmap.fill(Qt::transparent);
        if (pixelSize.isEmpty())
            return pixmap;
        {
            QPainter painter(&pixmap);
            paint(&painter, QRect(QPoint(), pixelSize), mode, state);
        }
        pixmap.setDevicePixelRatio(scale);
        return pixmap;
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return offeredSizes(); }
    QString key() const override { return QStringLiteral("GridIconEngine"); }
    QIconEngine *clone() const override { return new GridIconEngine; }
};

} // namespace

QList<QRect> Layout::tiles() const
{
    const int far = margin + tile + gap;
    return {QRect(margin, margin, tile, tile), QRect(far, margin, tile, tile),
            QRect(margin, far, tile, tile), QRect(far, far, tile, tile)};
}

Layout layout(int pixels)
{
    Layout result;
    result.margin = std::max(pixels >= 12 ? 1 : 0, int(std::lround(pixels * marginShare)));
    // The gap takes the parity of the edge, so that both margins stay equal.
    const double idealGap = pixels * gapShare;
    const int parity = pixels % 2;
    int gap = 2 * int(std::floor((idealGap - parity) / 2)) + parity;
    if (idealGap - gap > gap + 2 - idealGap)
        gap += 2;
    result.gap = std::max(gap, parity == 1 ? 1 : 2);
    result.tile = std::max(0, (pixels - 2 * result.margin - result.gap) / 2);
    result.cornerRadius = result.tile * cornerShare;
    return result;
}

void paint(QPainter &painter, int pixels)
{
    const Layout grid = layout(pixels);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (const QRect &tile : grid.tiles()) {
        QLinearGradient fill(tile.topLeft(), tile.bottomLeft() + QPoint(0, 1));
        fill.setColorAt(0, topColor);
        fill.setColorAt(1, bottomColor);
        QPainterPath path;
        path.addRoundedRect(QRectF(tile), grid.cornerRadius, grid.cornerRadius);
        painter.fillPath(path, fill);
    }
    painter.restore();
}

QList<QSize> offeredSizes()
{
    // The sizes trays and panels use (16, 22, 24, 32, 48, 64) and their doubles for HiDPI.
    QList<QSize> sizes;
    for (const int edge : {16, 22, 24, 32, 44, 48, 64, 96, 128})
        sizes.append(QSize(edge, edge));
    return sizes;
}

QIcon icon()
{
    return QIcon(new GridIconEngine);
}

QByteArray svg()
{
    constexpr int edge = 256;
    const Layout grid = layout(edge);
    QByteArray text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n"
                      "  <defs>\n";
    const QList<QRect> tiles = grid.tiles();
    for (qsizetype i = 0; i < tiles.size(); ++i) {
        const QRect &tile = tiles.at(i);
        text += QStringLiteral("    <linearGradient id=\"tile%1\" gradientUnits=\"userSpaceOnUse\" x1=\"0\" y1=\"%2\" x2=\"0\" y2=\"%3\">\n"
                               "      <stop offset=\"0\" stop-color=\"%4\"/>\n"
                               "      <stop offset=\"1\" stop-color=\"%5\"/>\n"
                               "    </linearGradient>\n")
                    .arg(i)
                    .arg(tile.top())
                    .arg(tile.top() + tile.height())
                    .arg(topColor.name(), bottomColor.name())
                    .toUtf8();
    }
    text += "  </defs>\n";
    for (qsizetype i = 0; i < tiles.size(); ++i) {
        const QRect &tile = tiles.at(i);
        text += QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%3\" rx=\"%4\" fill=\"url(#tile%5)\"/>\n")
                    .arg(tile.x())
                    .arg(tile.y())
                    .arg(tile.width())
                    .arg(grid.cornerRadius)
                    .arg(i)
                    .toUtf8();
    }
    text += "</svg>\n";
    return text;
}

} // namespace GridIcon
