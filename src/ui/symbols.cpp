#include "symbols.h"

#include "viewstyle.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPalette>
#include <QPixmap>

#include <algorithm>

namespace {

class GridSymbolEngine final : public QIconEngine
{
public:
    explicit GridSymbolEngine(double padding)
        : m_padding(padding)
    {
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode, QIcon::State) override
    {
        const double side = std::min(rect.width(), rect.height());
        const double inset = side * m_padding;
        const QRectF area(rect.x() + (rect.width() - side) / 2 + inset, rect.y() + (rect.height() - side) / 2 + inset,
                          side - 2 * inset, side - 2 * inset);
        const double line = area.width() * 0.08;
        const double gap = area.width() * 0.16;
        const double cell = (area.width() - gap - line) / 2;

        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(ViewStyle::secondary(QGuiApplication::palette()), line));
        painter->setBrush(Qt::NoBrush);
        for (int row = 0; row < 2; ++row) {
            for (int column = 0; column < 2; ++column) {
                const QRectF square(area.x() + line / 2 + column * (cell + gap), area.y() + line / 2 + row * (cell + gap),
                                    cell, cell);
                painter->drawPath(ViewStyle::roundedRect(square, cell * 0.24));
            }
        }
        painter->restore();
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QIconEngine *clone() const override { return new GridSymbolEngine(m_padding); }

private:
    double m_padding;
};

} // namespace

namespace Symbols {

QIcon gridIcon(double padding)
{
    // One icon per padding, so that its drawn squares are shared by every group tile.
    static QHash<double, QIcon> icons;
    static const bool emptiedAtExit = (qAddPostRoutine([] { icons.clear(); }), true);
    Q_UNUSED(emptiedAtExit);
    auto kept = icons.find(padding);
    if (kept == icons.end())
        kept = icons.insert(padding, QIcon(new GridSymbolEngine(padding)));
    return *kept;
}

} // namespace Symbols
