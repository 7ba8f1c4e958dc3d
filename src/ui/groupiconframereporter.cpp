#include "groupiconframereporter.h"

#include "store/appstore.h"
#include "windows/panelscreens.h"

#include <QEvent>
#include <QMetaObject>
#include <QWidget>

GroupIconFrameReporter::GroupIconFrameReporter(QWidget *tile, std::function<QRectF()> iconFrame, const QUuid &groupID,
                                               AppStore &store)
    : QObject(tile)
    , m_tile(tile)
    , m_iconFrame(std::move(iconFrame))
    , m_groupID(groupID)
    , m_store(&store)
{
    tile->installEventFilter(this);
}

bool GroupIconFrameReporter::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Show:
        // By now the tile hangs in its window: every widget between them moves it.
        if (watched == m_tile)
            watchAncestors();
        schedule();
        break;
    case QEvent::ParentChange:
        if (watched == m_tile)
            watchAncestors();
        break;
    case QEvent::Move:
    case QEvent::Resize:
        schedule();
        break;
    default:
        break;
    }
    return false;
}

void GroupIconFrameReporter::watchAncestors()
{
    for (const QPointer<QWidget> &widget : std::as_const(m_watched)) {
        if (widget)
            widget->removeEventFilter(this);
    }
    m_watched.clear();
    for (QWidget *ancestor = m_tile->parentWidget(); ancestor; ancestor = ancestor->parentWidget()) {
        ancestor->installEventFilter(this);
        m_watched.append(ancestor);
    }
}

void GroupIconFrameReporter::schedule()
{
    if (m_isScheduled)
        return;
    m_isScheduled = true;
    // After the layout pass that moved it, never during it.
    QMetaObject::invokeMethod(this, &GroupIconFrameReporter::report, Qt::QueuedConnection);
}

void GroupIconFrameReporter::report()
{
    m_isScheduled = false;
    if (!m_store || !m_tile->isVisible() || !m_tile->window()->windowHandle())
        return;
    const QRectF icon = m_iconFrame();
    const QRectF onScreen(m_tile->mapToGlobal(icon.topLeft()), icon.size());
    m_store->updateGroupIconFrame(PanelScreens::toYUp(onScreen), m_groupID);
}
