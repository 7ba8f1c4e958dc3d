#include "itemtooltip.h"

#include "deferredcall.h"
#include "tooltipwindow.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>

ItemTooltip::ItemTooltip(const QString &text, bool isEnabled, QWidget *tile)
    : QObject(tile)
    , m_tile(tile)
    , m_text(text)
    , m_isEnabled(isEnabled)
{
    tile->installEventFilter(this);
}

ItemTooltip::~ItemTooltip()
{
    // The tile is going away (its view was replaced): its bubble goes with it.
    if (TooltipWindow *window = TooltipWindow::existing())
        window->hideFor(this);
}

bool ItemTooltip::isPending() const
{
    return m_showWork && m_showWork->isPending();
}

bool ItemTooltip::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_tile) {
        switch (event->type()) {
        case QEvent::Enter:
            pointerEntered();
            break;
        case QEvent::Leave:
        case QEvent::Hide:
        case QEvent::ParentAboutToChange:
            dismiss();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void ItemTooltip::pointerEntered()
{
    if (!m_isEnabled || m_text.isEmpty())
        return;
    if (!m_showWork)
        m_showWork = DeferredCalls::make();
    QPointer<ItemTooltip> self(this);
    m_showWork->start(delay, [self] {
        if (self)
            self->showNow();
    });
}

void ItemTooltip::dismiss()
{
    if (m_showWork)
        m_showWork->cancel();
    if (TooltipWindow *window = TooltipWindow::existing())
        window->hideFor(this);
}

void ItemTooltip::showNow()
{
    if (!m_tile->isVisible())
        return;
    const QRect anchor(m_tile->mapToGlobal(QPoint(0, 0)), m_tile->size());
    TooltipWindow::shared().show(m_text, anchor, this);
}
