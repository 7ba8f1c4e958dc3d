#include "genericglyph.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

constexpr int glyphSize = 64;

QPixmap drawDocument()
{
    QPixmap pixmap(glyphSize, glyphSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal left = 14, top = 6, right = 50, bottom = 58, fold = 12;
    QPainterPath page;
    page.moveTo(left, top);
    page.lineTo(right - fold, top);
    page.lineTo(right, top + fold);
    page.lineTo(right, bottom);
    page.lineTo(left, bottom);
    page.closeSubpath();
    painter.setPen(QPen(QColor(0x70, 0x70, 0x70), 2));
    painter.setBrush(QColor(0xf4, 0xf4, 0xf4));
    painter.drawPath(page);
    QPainterPath corner;
    corner.moveTo(right - fold, top);
    corner.lineTo(right - fold, top + fold);
    corner.lineTo(right, top + fold);
    painter.setBrush(QColor(0xd8, 0xd8, 0xd8));
    painter.drawPath(corner);
    return pixmap;
}

QPixmap drawFolder()
{
    QPixmap pixmap(glyphSize, glyphSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x4a, 0x6f, 0x9c), 2));
    painter.setBrush(QColor(0x8a, 0xb4, 0xe0));
    painter.drawRoundedRect(QRectF(6, 12, 24, 10), 3, 3);
    painter.drawRoundedRect(QRectF(6, 18, 52, 36), 4, 4);
    return pixmap;
}

} // namespace

QIcon genericGlyph(bool folder)
{
    static const QIcon document(drawDocument());
    static const QIcon directory(drawFolder());
    return folder ? directory : document;
}
