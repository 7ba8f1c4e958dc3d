#include "standintabchip.h"

#include "viewstyle.h"

#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double leadingPadding = 8;
constexpr double trailingPadding = 8;
constexpr double verticalPadding = 4;
constexpr double maximumLabelWidth = 120;
constexpr double minimumFieldWidth = 44;
constexpr double cornerRadius = 6;

bool isSideways(PanelCompanionSide side)
{
    return side == PanelCompanionSide::LeftOf || side == PanelCompanionSide::RightOf;
}

} // namespace

StandInTabChip::StandInTabChip(const QString &name, PanelCompanionSide companionSide,
                               const QString &fieldAccessibilityID, const QString &labelAccessibilityID,
                               Callbacks callbacks, QWidget *parent)
    : QWidget(parent)
    , m_name(name)
    , m_side(companionSide)
    , m_callbacks(std::move(callbacks))
    , m_field(new QLineEdit(this))
{
    setObjectName(labelAccessibilityID);
    setAccessibleName(name);
    m_field->setObjectName(fieldAccessibilityID);
    m_field->setFrame(false);
    m_field->hide();
    m_field->installEventFilter(this);
    connect(m_field, &QLineEdit::returnPressed, this, [this] {
        // The store ends the renaming; the callback may replace this chip's view.
        const auto commit = m_callbacks.onCommitRename;
        commit(m_field->text());
    });
}

bool StandInTabChip::isRenaming() const
{
    return !m_field->isHidden();
}

void StandInTabChip::setRenaming(bool renaming)
{
    if (renaming == isRenaming())
        return;
    if (renaming) {
        m_field->setText(m_name);
        m_field->selectAll();
        placeField();
        m_field->show();
        m_field->raise();
        m_field->setFocus(Qt::OtherFocusReason);
    } else {
        m_field->hide();
    }
    update();
}

QSizeF StandInTabChip::uprightSize() const
{
    const QFontMetricsF metrics(font());
    const double label = std::min(metrics.horizontalAdvance(m_name), maximumLabelWidth);
    return QSizeF(std::ceil(std::max(label, 1.0) + leadingPadding + trailingPadding),
                  std::ceil(metrics.height() + 2 * verticalPadding));
}

double StandInTabChip::degrees() const
{
    return m_side == PanelCompanionSide::LeftOf ? -90 : m_side == PanelCompanionSide::RightOf ? 90 : 0;
}

QSize StandInTabChip::sizeHint() const
{
    const QSizeF upright = uprightSize();
    const QSizeF footprint = isSideways(m_side) ? upright.transposed() : upright;
    return footprint.toSize();
}

void StandInTabChip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QSizeF upright = isSideways(m_side) ? QSizeF(size()).transposed() : QSizeF(size());
    painter.translate(QRectF(rect()).center());
    painter.rotate(degrees());
    const QRectF chip(-upright.width() / 2, -upright.height() / 2, upright.width(), upright.height());
    painter.fillPath(ViewStyle::roundedRect(chip, cornerRadius), palette().color(QPalette::Highlight));
    if (isRenaming())
        return;
    painter.setPen(palette().color(QPalette::HighlightedText));
    const QRectF label = chip.adjusted(leadingPadding, verticalPadding, -trailingPadding, -verticalPadding);
    painter.drawText(label, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     QFontMetricsF(font()).elidedText(m_name, Qt::ElideRight, label.width()));
}

void StandInTabChip::resizeEvent(QResizeEvent *event)
{
    placeField();
    QWidget::resizeEvent(event);
}

void StandInTabChip::placeField()
{
    // Upright over the chip's start (the label cannot be edited turned).
    const QSizeF upright = uprightSize();
    const double width = std::clamp(upright.width() - leadingPadding, minimumFieldWidth, maximumLabelWidth);
    m_field->setGeometry(int(leadingPadding / 2), int(verticalPadding / 2), int(width),
                         int(upright.height() - verticalPadding));
}

void StandInTabChip::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
    if (!isRenaming())
        m_callbacks.onBeginRename();
}

void StandInTabChip::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu;
    menu.addAction(QStringLiteral("Rename"), this, [begin = m_callbacks.onBeginRename] { begin(); });
    event->accept();
    menu.exec(event->globalPos());
}

bool StandInTabChip::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_field && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        event->accept();
        const auto cancel = m_callbacks.onCancelRename;
        cancel();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
