#include "tooltipwindow.h"

#include "viewstyle.h"
#include "windows/panelscreens.h"
#include "windows/x11desktop.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QRegion>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace {

constexpr double horizontalPadding = 12;
constexpr double verticalPadding = 7;
constexpr double cornerRadius = 8;
constexpr double anchorGap = 6;
// Room around a translucent bubble for its soft shadow.
constexpr double translucentShadow = 6;

TooltipWindow *instance = nullptr;

// The first screen whose frame meets the anchor, else the primary one.
QScreen *screenFor(const QRect &anchor)
{
    for (QScreen *screen : QGuiApplication::screens()) {
        if (screen->geometry().intersects(anchor))
            return screen;
    }
    return QGuiApplication::primaryScreen();
}

} // namespace

Rect tooltipFrame(const Rect &anchor, const Size &size, const Rect &visibleFrame)
{
    double y = anchor.maxY() + anchorGap;
    if (y + size.height > visibleFrame.maxY())
        y = anchor.minY() - anchorGap - size.height;
    double x = anchor.midX() - size.width / 2;
    x = std::max(x, visibleFrame.minX());
    x = std::min(x, visibleFrame.maxX() - size.width);
    return Rect{x, y, size.width, size.height};
}

TooltipWindow &TooltipWindow::shared()
{
    if (!instance) {
        instance = new TooltipWindow;
        // Before the application's own teardown, while widgets may still be deleted.
        qAddPostRoutine([] {
            delete instance;
            instance = nullptr;
        });
    }
    return *instance;
}

TooltipWindow *TooltipWindow::existing()
{
    return instance;
}

TooltipWindow::TooltipWindow()
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus
                           | Qt::WindowTransparentForInput)
{
    // An alpha channel always: without a compositor the corners are cut by a mask instead.
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

double TooltipWindow::shadowMargin() const
{
    return m_isTranslucent ? translucentShadow : 0;
}

QSizeF TooltipWindow::bubbleSize() const
{
    const QFontMetricsF metrics(font());
    return QSizeF(std::ceil(metrics.horizontalAdvance(m_text) + 2 * horizontalPadding),
                  std::ceil(metrics.height() + 2 * verticalPadding));
}

QSize TooltipWindow::sizeHint() const
{
    const double margin = shadowMargin();
    return bubbleSize().grownBy(QMarginsF(margin, margin, margin, margin)).toSize();
}

QRect TooltipWindow::bubbleGeometry() const
{
    const int margin = int(shadowMargin());
    return geometry().adjusted(margin, margin, -margin, -margin);
}

void TooltipWindow::show(const QString &text, const QRect &anchor, const QObject *owner)
{
    m_text = text;
    m_owner = owner;
    // Asked at each showing: a compositor may have started or stopped since the last one.
    m_isTranslucent = X11Desktop::instance().isCompositing();

    const QSizeF bubble = bubbleSize();
    const Rect visible = PanelScreens::visibleFrame(screenFor(anchor));
    const QRectF placed = PanelScreens::toQt(
        tooltipFrame(PanelScreens::toYUp(anchor), Size{bubble.width(), bubble.height()}, visible));

    const int margin = int(shadowMargin());
    const QRect frame = placed.toRect().adjusted(-margin, -margin, margin, margin);
    setGeometry(frame);
    if (m_isTranslucent)
        clearMask();
    else
        setMask(QRegion(ViewStyle::roundedRect(QRectF(0, 0, bubble.width(), bubble.height()), cornerRadius)
                            .toFillPolygon()
                            .toPolygon()));
    update();
    QWidget::show();
    raise();
}

void TooltipWindow::hideFor(const QObject *owner)
{
    if (!owner || m_owner == owner) {
        m_owner = nullptr;
        hide();
    }
}

void TooltipWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double margin = shadowMargin();
    const QRectF bubble = QRectF(rect()).adjusted(margin, margin, -margin, -margin);

    if (m_isTranslucent) {
        // A soft shadow: rings of falling opacity around the bubble, a little lower than it.
        const QColor shade(0, 0, 0);
        for (int ring = int(margin); ring >= 1; --ring) {
            const QRectF spread = bubble.adjusted(-ring, -ring + 1, ring, ring + 1);
            painter.fillPath(ViewStyle::roundedRect(spread, cornerRadius + ring),
                             ViewStyle::withOpacity(shade, 0.05 * (1.0 - double(ring) / (margin + 1))));
        }
    }
    const QPainterPath shape = ViewStyle::roundedRect(bubble, cornerRadius);
    painter.fillPath(shape, ViewStyle::material(palette(), m_isTranslucent));
    // A hairline keeps the bubble apart from a background of its own colour.
    painter.setPen(QPen(ViewStyle::withOpacity(ViewStyle::primary(palette()), 0.12), 1));
    painter.drawPath(ViewStyle::roundedRect(bubble.adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius - 0.5));

    painter.setPen(ViewStyle::primary(palette()));
    painter.setFont(font());
    painter.drawText(bubble, Qt::AlignCenter | Qt::TextSingleLine, m_text);
}
