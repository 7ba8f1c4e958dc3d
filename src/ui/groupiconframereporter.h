#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QUuid>

#include <functional>

class AppStore;
class QWidget;

// Tells the store where a group's icon is on the screen, so that its popover opens beside it:
// after the tile is shown and after every change of place or size of the tile or of anything
// that holds it (its row scrolling, its panel's window moving), once per turn of the event loop.
// The frame is the icon's square in the store's screen coordinates; the store ignores a frame
// equal to the one it has.
class GroupIconFrameReporter : public QObject
{
    Q_OBJECT

public:
    // `iconFrame` gives the icon's square in the tile's coordinates.
    GroupIconFrameReporter(QWidget *tile, std::function<QRectF()> iconFrame, const QUuid &groupID, AppStore &store);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watchAncestors();
    void schedule();
    void report();

    QWidget *m_tile;
    std::function<QRectF()> m_iconFrame;
    QUuid m_groupID;
    QPointer<AppStore> m_store;
    QList<QPointer<QWidget>> m_watched;
    bool m_isScheduled = false;
};
