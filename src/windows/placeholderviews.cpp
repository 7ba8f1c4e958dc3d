#include "placeholderviews.h"

#include "hostedview.h"

#include "model/panel.h"
#include "store/appstore.h"

#include <QPainter>

#include <cmath>

namespace {

// A rounded body holding a row or column of icon tiles.
class PlaceholderTilesView : public HostedView
{
public:
    PlaceholderTilesView(const IconChrome &chrome, qsizetype tileCount, Qt::Orientation orientation,
                         std::optional<TabColor> tint)
        : m_chrome(chrome)
        , m_tileCount(tileCount)
        , m_orientation(orientation)
        , m_tint(tint)
    {
    }

    void setTileCount(qsizetype count)
    {
        if (count == m_tileCount)
            return;
        m_tileCount = count;
        updateGeometry();
        update();
    }

    QSize sizeHint() const override
    {
        const double tile = m_chrome.pointSize();
        const double padding = m_chrome.bodyPadding();
        const double length = std::max(
            120.0, 2 * padding + double(m_tileCount) * tile + double(std::max<qsizetype>(m_tileCount - 1, 0)) * m_chrome.itemSpacing());
        const int along = int(std::ceil(length));
        const int across = int(std::ceil(2 * padding + tile));
        return m_orientation == Qt::Horizontal ? QSize(along, across) : QSize(across, along);
    }

    QPainterPath bodyShape() const override
    {
        QPainterPath shape;
        const double radius = m_chrome.bodyCornerRadius();
        shape.addRoundedRect(QRectF(rect()), radius, radius);
        return shape;
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QColor body = palette().window().color();
        if (isTranslucent())
            body.setAlphaF(0.8f);
        painter.fillPath(bodyShape(), body);
        if (m_tint) {
            QColor tint = TabColors::color(*m_tint);
            tint.setAlphaF(0.12f);
            painter.fillPath(bodyShape(), tint);
        }
        QColor tileColor = palette().windowText().color();
        tileColor.setAlphaF(0.25f);
        const double tile = m_chrome.pointSize();
        const double step = tile + m_chrome.itemSpacing();
        const double radius = m_chrome.iconCornerRadius();
        for (qsizetype i = 0; i < m_tileCount; ++i) {
            const double along = m_chrome.bodyPadding() + double(i) * step;
            const QPointF origin = m_orientation == Qt::Horizontal ? QPointF(along, m_chrome.bodyPadding())
                                                                   : QPointF(m_chrome.bodyPadding(), along);
            QPainterPath path;
            path.addRoundedRect(QRectF(origin, QSizeF(tile, tile)), radius, radius);
            painter.fillPath(path, tileColor);
        }
    }

private:
    IconChrome m_chrome;
    qsizetype m_tileCount;
    Qt::Orientation m_orientation;
    std::optional<TabColor> m_tint;
};

class PlaceholderSettingsView : public HostedView
{
public:
    explicit PlaceholderSettingsView(const QString &panelName)
        : m_panelName(panelName)
    {
    }

    QSize sizeHint() const override { return QSize(320, 240); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().window());
        painter.setPen(palette().windowText().color());
        painter.drawText(rect(), Qt::AlignCenter, m_panelName);
    }

private:
    QString m_panelName;
};

} // namespace

HostedView *PlaceholderViewFactory::makePanelView(const Panel &panel, AppStore &store)
{
    const PanelTab &tab = panel.activeTab();
    const auto tileCount = [&store, panel] {
        const PanelTab &active = panel.activeTab();
        return active.items.size() + (active.showsRunningApps ? store.runningApps(panel).size() : 0);
    };
    const Qt::Orientation orientation =
        panel.contentOrientation() == PanelOrientation::Horizontal ? Qt::Horizontal : Qt::Vertical;
    auto *view = new PlaceholderTilesView(panel.chrome(), tileCount(), orientation, tab.color);
    // As a panel view does: the running applications' tiles follow the store, and the view asks
    // its window for a new size.
    QObject::connect(&store, &AppStore::runningAppsRevisionChanged, view,
                     [view, tileCount] { view->setTileCount(tileCount()); });
    return view;
}

HostedView *PlaceholderViewFactory::makeGroupPopoverView(const QUuid &groupID, const QUuid &panelID, AppStore &store)
{
    const Panel *panel = store.panel(panelID);
    const ItemGroup *group = panel ? panel->group(groupID) : nullptr;
    const IconChrome chrome = panel ? panel->chrome() : IconChrome{};
    return new PlaceholderTilesView(chrome, group ? group->links.size() : 0, Qt::Horizontal, std::nullopt);
}

HostedView *PlaceholderViewFactory::makeSettingsView(const QUuid &panelID, AppStore &store)
{
    const Panel *panel = store.panel(panelID);
    return new PlaceholderSettingsView(panel ? panel->name : QString());
}
