#include "itemiconview.h"

#include "attentionpulse.h"
#include "itemtooltip.h"
#include "tiledecorations.h"
#include "tilepictures.h"
#include "viewstyle.h"

#include <QApplication>
#include <QDrag>
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

TilePictures::Caption ItemIconView::label() const
{
    return TilePictures::caption(m_name, ViewStyle::captionFont(font()), m_chrome.labelMaxWidth());
}

QSizeF ItemIconView::preferredSize() const
{
    const double side = m_chrome.pointSize();
    const double spacing = m_chrome.iconLabelSpacing();
    double height = side;
    if (m_keepsMarkerRoom)
        height += spacing + markerSide;
    if (!showsLabel())
        return QSizeF(side, height);
    const TilePictures::Caption caption = label();
    return QSizeF(std::max(side, caption.width), height + spacing + caption.height);
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

void ItemIconView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette &colors = palette();
    const QRectF icon = iconFrame();

    const double ratio = devicePixelRatioF();
    const auto plate = [&](const QColor &color) {
        painter.drawPixmap(icon.topLeft(), TilePictures::roundedSquare(m_chrome.pointSize(), m_chrome.iconCornerRadius(),
                                                                       color, ratio));
    };
    if (m_highlightsOnHover && m_isHovering)
        plate(ViewStyle::withOpacity(ViewStyle::accent(colors), 0.18));
    else if (m_hasRestingPlate)
        plate(ViewStyle::quaternaryFill(colors));

    painter.setOpacity(isDown() ? pressedOpacity : 1.0);
    painter.drawPixmap(icon.topLeft(), TilePictures::roundedIcon(m_icon, m_chrome.pointSize(), m_chrome.iconCornerRadius(),
                                                                  ratio, colors.cacheKey()));
    painter.setOpacity(1.0);
    if (m_progress)
        TileDecorations::paintProgress(painter, icon, *m_progress, colors);
    if (m_badgeCount)
        TileDecorations::paintBadge(painter, icon, *m_badgeCount, font());

    if (m_keepsMarkerRoom && m_demandsAttention) {
        TileDecorations::paintAttention(painter, markerFrame(), m_pulse ? m_pulse->value() : 0);
    } else if (m_keepsMarkerRoom && m_isRunning) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(ViewStyle::primary(colors));
        painter.drawEllipse(markerFrame());
    }

    if (showsLabel()) {
        const TilePictures::Caption caption = label();
        const double top = (m_keepsMarkerRoom ? markerFrame().bottom() : icon.bottom()) + m_chrome.iconLabelSpacing();
        painter.setFont(ViewStyle::captionFont(font()));
        painter.setPen(ViewStyle::primary(colors));
        painter.drawStaticText(QPointF((width() - caption.width) / 2, top), caption.text);
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

void ItemIconView::setBadgeCount(std::optional<qint64> count)
{
    if (count == m_badgeCount)
        return;
    m_badgeCount = count;
    update();
}

void ItemIconView::setProgress(std::optional<double> progress)
{
    if (progress == m_progress)
        return;
    m_progress = progress;
    update();
}

void ItemIconView::setAttention(std::optional<std::chrono::milliseconds> elapsed)
{
    const bool demands = elapsed.has_value();
    if (demands == m_demandsAttention)
        return;
    m_demandsAttention = demands;
    if (demands) {
        if (!m_pulse) {
            m_pulse = new AttentionPulse(this);
            connect(m_pulse, &AttentionPulse::changed, this, [this] { update(); });
        }
        m_pulse->start(*elapsed);
    } else if (m_pulse) {
        m_pulse->stop();
    }
    update();
}

bool ItemIconView::isPulsing() const
{
    return m_pulse && m_pulse->isRunning();
}

void ItemIconView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressPosition = event->position().toPoint();
    if (event->button() == Qt::MiddleButton) {
        event->accept();
        return;
    }
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
    if (event->button() == Qt::MiddleButton) {
        event->accept();
        if (rect().contains(event->position().toPoint())) {
            m_clickTimestamp = event->timestamp();
            Q_EMIT middleClicked();
            m_clickTimestamp.reset();
        }
        return;
    }
    if (event->button() != Qt::LeftButton) {
        QAbstractButton::mouseReleaseEvent(event);
        return;
    }
    m_pressPosition.reset();
    // Known to the clicked() handlers, which run inside the base class's handling.
    m_clickTimestamp = event->timestamp();
    QAbstractButton::mouseReleaseEvent(event);
    m_clickTimestamp.reset();
}

QMimeData *ItemIconView::dragData() const
{
    return nullptr;
}

void ItemIconView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        updateGeometry();
    QAbstractButton::changeEvent(event);
}

bool ItemIconView::event(QEvent *event)
{
    // Moved to a screen of another pixel ratio: the next paint draws the icon for that ratio.
    if (event->type() == QEvent::ScreenChangeInternal)
        update();
    return QAbstractButton::event(event);
}
