#include "tabchip.h"

#include "itemtooltip.h"
#include "stackplan.h"
#include "tabnamefield.h"
#include "viewstyle.h"

#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QMenu>
#include <QPainter>
#include <QPainterPathStroker>
#include <QRegion>

#include <algorithm>
#include <cmath>

namespace {

constexpr double buttonRadius = 6;
constexpr double slantedRadius = 8;
constexpr double slant = 12;
constexpr double sidewaysSlant = 6;
constexpr double tipRounding = 5;

constexpr double leadingPadding = 8;
constexpr double buttonTrailingPadding = 8;
constexpr double slantedTrailingPadding = 12;
constexpr double verticalPadding = 4;
constexpr double maximumLabelWidth = 120;
// The field is a little taller than the name, so that the chip keeps its height while renaming.
constexpr double fieldInset = 2;

constexpr double activeFillOpacity = 0.8;
constexpr double inactiveFillOpacity = 0.55;
constexpr double borderOpacity = 0.55;

} // namespace

TabChip::TabChip(const TabChipOptions &options, QWidget *parent)
    : QAbstractButton(parent)
    , m_options(options)
{
    setFocusPolicy(Qt::NoFocus);
    setText(options.name);
    setAccessibleName(options.name);
    if (!options.labelAccessibilityID.isEmpty())
        setObjectName(options.labelAccessibilityID);
    if (turn().isSideways())
        m_tooltip = new ItemTooltip(options.name, options.showsTooltip && !options.isRenaming, this);
    measure();
    connect(this, &QAbstractButton::clicked, this, &TabChip::selectRequested);
    if (options.isRenaming)
        showField();
}

TabChip::~TabChip()
{
    // A turned chip's field lives in the window, not in the chip.
    if (m_field && m_field->parent() != this)
        m_field->deleteLater();
}

void TabChip::measure()
{
    const QFontMetricsF metrics(font());
    m_labelWidth = std::min(metrics.horizontalAdvance(m_options.name), maximumLabelWidth);
    m_lineHeight = metrics.height();
}

void TabChip::setRenaming(bool renaming)
{
    if (m_options.isRenaming == renaming)
        return;
    m_options.isRenaming = renaming;
    if (m_tooltip)
        m_tooltip->setEnabled(m_options.showsTooltip && !renaming);
    if (renaming) {
        showField();
    } else if (m_field) {
        // The field may be the one whose Return or Escape ended the renaming.
        m_field->hide();
        m_field->deleteLater();
        m_field = nullptr;
    }
    updateGeometry();
    update();
}

void TabChip::showField()
{
    auto *field = new TabNameField(m_options.name, this);
    m_field = field;
    if (!m_options.fieldAccessibilityID.isEmpty())
        field->setObjectName(m_options.fieldAccessibilityID);
    field->setAccessibleName(m_options.name);
    field->setFont(font());
    connect(field, &TabNameField::committed, this, &TabChip::renameCommitted);
    connect(field, &TabNameField::cancelled, this, &TabChip::renameCancelled);
    connect(field, &QLineEdit::textChanged, this, [this] {
        if (!turn().isSideways())
            updateGeometry();
        placeField();
    });
    placeField();
    field->show();
    // The window may take the focus only once renaming has begun, which the owner of the
    // renaming state arranges after this returns: the field asks for it one turn later.
    QMetaObject::invokeMethod(
        field,
        [field] {
            field->setFocus(Qt::OtherFocusReason);
            field->selectAll();
        },
        Qt::QueuedConnection);
}

void TabChip::placeField()
{
    if (!m_field)
        return;
    const double height = uprightSize().height() - 2 * fieldInset;
    if (!turn().isSideways()) {
        m_field->setGeometry(pixelRect(QRectF(leadingPadding, fieldInset, m_field->preferredWidth(), height)));
        return;
    }
    // Upright over the chip's centre, inside the window.
    QWidget *host = window();
    if (host == this)
        return;
    if (m_field->parentWidget() != host) {
        m_field->setParent(host);
        m_field->show();
    }
    QRectF frame(0, 0, m_field->preferredWidth(), height);
    frame.moveCenter(QPointF(mapTo(host, QPoint(0, 0))) + QRectF(rect()).center());
    const QRectF room(host->rect());
    frame.moveLeft(std::clamp(frame.left(), room.left(), std::max(room.left(), room.right() - frame.width())));
    frame.moveTop(std::clamp(frame.top(), room.top(), std::max(room.top(), room.bottom() - frame.height())));
    m_field->setGeometry(pixelRect(frame));
    m_field->raise();
}

SlantedTabShape TabChip::slantedShape() const
{
    return SlantedTabShape{.radius = slantedRadius,
                           .slant = turn().isSideways() ? sidewaysSlant : slant,
                           .tipRounding = tipRounding,
                           .flipped = m_options.companionSide == PanelCompanionSide::Below};
}

QSizeF TabChip::uprightSize() const
{
    const bool fieldInside = m_field && !turn().isSideways();
    const double content = fieldInside ? m_field->preferredWidth() : m_labelWidth;
    const double trailing = m_options.slanted ? slantedTrailingPadding : buttonTrailingPadding;
    return QSizeF(leadingPadding + content + trailing, m_lineHeight + 2 * verticalPadding);
}

QSizeF TabChip::preferredSize() const
{
    return turn().footprint(uprightSize());
}

QSize TabChip::sizeHint() const
{
    const QSizeF size = preferredSize();
    return QSize(int(std::ceil(size.width())), int(std::ceil(size.height())));
}

QSize TabChip::minimumSizeHint() const
{
    return sizeHint();
}

QTransform TabChip::uprightToWidget() const
{
    return turn().uprightToWidget(QSizeF(size()));
}

QPainterPath TabChip::shape() const
{
    const QRectF frame(QPointF(0, 0), turn().upright(QSizeF(size())));
    if (m_options.slanted)
        return slantedShape().path(frame);
    return ViewStyle::roundedRect(frame, buttonRadius);
}

QPainterPath TabChip::outline() const
{
    return uprightToWidget().map(shape());
}

QColor TabChip::fillColor() const
{
    if (m_options.color)
        return ViewStyle::withOpacity(TabColors::color(*m_options.color),
                                      m_options.isActive ? activeFillOpacity : inactiveFillOpacity);
    return m_options.isActive ? ViewStyle::accent(palette()) : ViewStyle::quaternaryFill(palette());
}

QColor TabChip::labelColor() const
{
    if (!m_options.isActive)
        return ViewStyle::primary(palette());
    if (m_options.color)
        return TabColors::readableTextColor(*m_options.color);
    // The selection colour comes with its own text colour.
    return palette().color(QPalette::HighlightedText);
}

std::optional<QColor> TabChip::borderColor() const
{
    if (m_options.isActive && m_options.slanted)
        return ViewStyle::withOpacity(Qt::white, borderOpacity);
    return std::nullopt;
}

bool TabChip::hitButton(const QPoint &position) const
{
    const QPointF upright = uprightToWidget().inverted().map(QPointF(position) + QPointF(0.5, 0.5));
    return shape().contains(upright);
}

void TabChip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(uprightToWidget());
    const QPainterPath outline = shape();
    painter.fillPath(outline, fillColor());
    if (const std::optional<QColor> border = borderColor()) {
        // Stroked inside the outline, so that the widget's edges do not cut it.
        const QRectF frame = outline.boundingRect().adjusted(0.5, 0.5, -0.5, -0.5);
        painter.setPen(QPen(*border, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(slantedShape().path(frame));
    }
    if (m_options.isRenaming)
        return;
    const QRectF label(leadingPadding, verticalPadding, m_labelWidth, m_lineHeight);
    const QString text = QFontMetricsF(font()).elidedText(m_options.name, Qt::ElideRight, m_labelWidth);
    painter.setPen(labelColor());
    painter.drawText(label, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
}

void TabChip::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !hitButton(event->position().toPoint())) {
        QAbstractButton::mouseDoubleClickEvent(event);
        return;
    }
    // The first click of the pair has selected; the release that ends this one is no click.
    m_swallowsRelease = true;
    event->accept();
    Q_EMIT renameRequested();
}

void TabChip::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_swallowsRelease && event->button() == Qt::LeftButton) {
        m_swallowsRelease = false;
        setDown(false);
        event->accept();
        return;
    }
    QAbstractButton::mouseReleaseEvent(event);
}

void TabChip::contextMenuEvent(QContextMenuEvent *event)
{
    if (!m_menuContent || !hitButton(event->pos())) {
        event->ignore();
        return;
    }
    QMenu menu;
    m_menuContent(menu);
    event->accept();
    // An entry may release the chip while the menu runs: nothing of it is touched afterwards.
    menu.exec(event->globalPos());
}

void TabChip::showEvent(QShowEvent *event)
{
    QAbstractButton::showEvent(event);
    // A turned chip's field moves into the window the chip now shows in.
    placeField();
}

void TabChip::moveEvent(QMoveEvent *event)
{
    QAbstractButton::moveEvent(event);
    placeField();
}

void TabChip::resizeEvent(QResizeEvent *event)
{
    QAbstractButton::resizeEvent(event);
    updateMask();
    placeField();
}

void TabChip::updateMask()
{
    // Slanted chips overlap their neighbours: outside its outline a press must reach the chip
    // below, so the widget ends where the outline does (a pixel beyond it, so that the
    // antialiased edge is not cut off).
    if (!m_options.slanted)
        return;
    QPainterPathStroker edge;
    edge.setWidth(2);
    const QPainterPath drawn = outline();
    const QPainterPath grown = drawn.united(edge.createStroke(drawn));
    setMask(QRegion(grown.toFillPolygon().toPolygon(), Qt::WindingFill));
}

void TabChip::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        measure();
        if (m_field)
            m_field->setFont(font());
        updateGeometry();
    }
    QAbstractButton::changeEvent(event);
}
