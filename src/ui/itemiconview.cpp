#include "itemiconview.h"

#include "itemtooltip.h"
#include "viewstyle.h"

#include <QApplication>
#include <QDrag>
#include <QFontMetricsF>
#include <QImage>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include <algorithm>
#include <cmath>

namespace {

constexpr double markerSide = 4;
// A pressed tile's icon is dimmed like any borderless button's label.
constexpr double pressedOpacity = 0.6;

} // namespace

ItemIconView::ItemIconView(const QIcon &icon, bool isRunning, const QString &name, const IconChrome &chrome,
                           bool showsLabel, bool highlightsOnHover, bool showsTooltip, QWidget *parent)
    : QAbstractButton(parent)
    , m_icon(icon)
    , m_isRunning(isRunning)
    , m_name(name)
    , m_chrome(chrome)
    , m_showsLabel(showsLabel)
    , m_highlightsOnHover(highlightsOnHover)
    , m_tooltip(new ItemTooltip(name, showsTooltip, this))
{
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(name);
}

ItemIconView::~ItemIconView() = default;

void ItemIconView::setGroupLook()
{
    m_keepsMarkerRoom = false;
    m_hasRestingPlate = true;
    updateGeometry();
    update();
}

QFont ItemIconView::labelFont() const
{
    return ViewStyle::captionFont(font());
}

double ItemIconView::labelWidth() const
{
    if (!showsLabel())
        return 0;
    return std::min(QFontMetricsF(labelFont()).horizontalAdvance(m_name), m_chrome.labelMaxWidth());
}

QSizeF ItemIconView::preferredSize() const
{
    const double side = m_chrome.pointSize();
    const double spacing = m_chrome.iconLabelSpacing();
    double height = side;
    if (m_keepsMarkerRoom)
        height += spacing + markerSide;
    if (showsLabel())
        height += spacing + QFontMetricsF(labelFont()).height();
    return QSizeF(std::max(side, labelWidth()), height);
}

QSize ItemIconView::sizeHint() const
{
    const QSizeF size = preferredSize();
    return QSize(int(std::ceil(size.width())), int(std::ceil(size.height())));
}

QRectF ItemIconView::iconFrame() const
{
    const double side = m_chrome.pointSize();
    return ViewStyle::alignedToPixels(QRectF((width() - side) / 2, 0, side, side), devicePixelRatioF());
}

QRectF ItemIconView::markerFrame() const
{
    const QRectF icon = iconFrame();
    return QRectF(icon.center().x() - markerSide / 2, icon.bottom() + m_chrome.iconLabelSpacing(), markerSide,
                  markerSide);
}

const QPixmap &ItemIconView::iconPixmap(double devicePixelRatio) const
{
    if (!m_iconPixmap.isNull() && m_iconPixmap.devicePixelRatio() == devicePixelRatio)
        return m_iconPixmap;

    const double side = m_chrome.pointSize();
    const int pixels = int(std::lround(side * devicePixelRatio));
    QImage fitted(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    fitted.fill(Qt::transparent);
    const int requested = int(std::lround(side));
    const QPixmap source = m_icon.pixmap(QSize(requested, requested), devicePixelRatio);
    if (!source.isNull()) {
        // Fitted into the square by its own pixel size; only a smaller picture is scaled up.
        QImage image = source.toImage();
        // Drawn pixel for pixel onto the square, which takes the ratio only at the end.
        image.setDevicePixelRatio(1.0);
        const QSize size = image.size().scaled(pixels, pixels, Qt::KeepAspectRatio);
        if (image.size() != size)
            image = image.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        QPainter(&fitted).drawImage(QPoint((pixels - image.width()) / 2, (pixels - image.height()) / 2), image);
    }

    // Cut to the rounded square by filling it with the picture: the edge is antialiased, where a
    // clip path would leave it jagged.
    QImage canvas(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QBrush(fitted));
    painter.drawPath(ViewStyle::roundedRect(QRectF(0, 0, pixels, pixels), m_chrome.iconCornerRadius() * devicePixelRatio));
    painter.end();

    m_iconPixmap = QPixmap::fromImage(std::move(canvas));
    m_iconPixmap.setDevicePixelRatio(devicePixelRatio);
    return m_iconPixmap;
}

void ItemIconView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette &colors = palette();
    const QRectF icon = iconFrame();

    const QPainterPath plate = ViewStyle::roundedRect(icon, m_chrome.iconCornerRadius());
    if (m_highlightsOnHover && m_isHovering)
        painter.fillPath(plate, ViewStyle::withOpacity(ViewStyle::accent(colors), 0.18));
    else if (m_hasRestingPlate)
        painter.fillPath(plate, ViewStyle::quaternaryFill(colors));

    painter.setOpacity(isDown() ? pressedOpacity : 1.0);
    painter.drawPixmap(icon.topLeft(), iconPixmap(devicePixelRatioF()));
    painter.setOpacity(1.0);

    if (m_keepsMarkerRoom && m_isRunning) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(ViewStyle::primary(colors));
        painter.drawEllipse(markerFrame());
    }

    if (showsLabel()) {
        const QFont font = labelFont();
        const QFontMetricsF metrics(font);
        const double top = (m_keepsMarkerRoom ? markerFrame().bottom() : icon.bottom()) + m_chrome.iconLabelSpacing();
        const QString shown = metrics.elidedText(m_name, Qt::ElideRight, m_chrome.labelMaxWidth());
        painter.setFont(font);
        painter.setPen(ViewStyle::primary(colors));
        painter.drawText(QRectF(0, top, width(), metrics.height()), Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
                         shown);
    }
}

void ItemIconView::enterEvent(QEnterEvent *event)
{
    m_isHovering = true;
    update();
    QAbstractButton::enterEvent(event);
}

void ItemIconView::leaveEvent(QEvent *event)
{
    m_isHovering = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void ItemIconView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressPosition = event->position().toPoint();
    QAbstractButton::mousePressEvent(event);
}

void ItemIconView::mouseMoveEvent(QMouseEvent *event)
{
    const bool dragging = m_pressPosition && (event->buttons() & Qt::LeftButton)
        && (event->position().toPoint() - *m_pressPosition).manhattanLength() >= QApplication::startDragDistance();
    if (dragging) {
        if (QMimeData *data = dragData()) {
            const QPoint hotSpot = *m_pressPosition;
            m_pressPosition.reset();
            setDown(false);
            QPointer<QDrag> drag = new QDrag(this);
            drag->setMimeData(data);
            drag->setPixmap(grab());
            drag->setHotSpot(hotSpot);
            // The drop may rebuild the panel and release this tile: nothing of it is touched
            // once the drag's own event loop returns.
            drag->exec(Qt::CopyAction);
            if (drag)
                drag->deleteLater();
            return;
        }
    }
    QAbstractButton::mouseMoveEvent(event);
}

void ItemIconView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressPosition.reset();
    QAbstractButton::mouseReleaseEvent(event);
}

QMimeData *ItemIconView::dragData() const
{
    return nullptr;
}

void ItemIconView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        updateGeometry();
    // Drawn symbols take the palette's colours.
    if (event->type() == QEvent::PaletteChange)
        m_iconPixmap = QPixmap();
    QAbstractButton::changeEvent(event);
}

bool ItemIconView::event(QEvent *event)
{
    // Moved to a screen of another pixel ratio: the next paint requests the icon anew.
    if (event->type() == QEvent::ScreenChangeInternal)
        update();
    return QAbstractButton::event(event);
}
