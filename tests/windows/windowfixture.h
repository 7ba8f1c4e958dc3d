#pragma once

// A store on in-memory services with a window manager wired to it as the application wires
// them (connectStoreToWindows), for the real-window tests.

#include "inmemoryservices.h"
#include "timereventcounter.h"
#include "x11session.h"

#include "store/appstore.h"
#include "windows/hostwindow.h"
#include "windows/panelscreens.h"
#include "windows/panelwindow.h"
#include "windows/panelwindowmanager.h"
#include "windows/placeholderviews.h"
#include "windows/storeobservers.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QTest>

inline Panel panelNamed(const QString &name, int itemCount, const PanelPlacement &placement,
                        PanelWindowLevel level = PanelWindowLevel::Normal)
{
    PanelTab tab;
    tab.name = u"Main"_qs;
    for (int i = 0; i < itemCount; ++i)
        tab.items.append(ItemLink{.location = QUrl::fromLocalFile(u"/usr/bin/tool%1"_qs.arg(i))});
    return Panel(PanelInit{.name = name, .tab = tab, .placement = placement, .windowLevel = level});
}

inline PanelPlacement snappedTo(PanelEdge edge, PanelAlignment alignment = PanelAlignment::Center, double inset = 0)
{
    return PanelPlacement{.mode = PanelPlacementMode::Snapped, .edge = edge, .alignment = alignment, .edgeInset = inset};
}

inline PanelPlacement freeAt(std::optional<PanelFreePosition> position, std::optional<QString> screenID = std::nullopt)
{
    return PanelPlacement{.mode = PanelPlacementMode::Free, .freePosition = position, .screenID = screenID};
}

// `count` panels of `items` small, tightly spaced icons, on the four edges and free in turn.
inline QList<Panel> crowdedPanels(int count, int items)
{
    const PanelPlacement placements[] = {snappedTo(PanelEdge::Bottom), snappedTo(PanelEdge::Top, PanelAlignment::Start),
                                         snappedTo(PanelEdge::Left), snappedTo(PanelEdge::Right, PanelAlignment::End),
                                         freeAt(PanelFreePosition(0.4, 0.6))};
    QList<Panel> made;
    for (int i = 0; i < count; ++i) {
        Panel panel = panelNamed(u"Panel %1"_qs.arg(i + 1), items, placements[i % 5]);
        panel.iconSize = PanelIconSize::Small;
        panel.iconSpacing = PanelIconSpacing::ExtraCompact;
        made.append(panel);
    }
    return made;
}

struct WindowFixture
{
    // Placeholder views unless the test gives the real ones.
    explicit WindowFixture(const QList<Panel> &panels,
                           std::unique_ptr<ViewFactory> views = std::make_unique<PlaceholderViewFactory>())
        : store(std::make_unique<AppStore>(services.take(), panels))
        , manager(std::move(views))
    {
        connectStoreToWindows(*store, manager);
    }

    const Panel &panel(qsizetype index) const { return store->panels().at(index); }
    QUuid id(qsizetype index) const { return panel(index).id(); }
    PanelWindow *window(qsizetype index) const { return manager.window(id(index)); }
    xcb_window_t xid(qsizetype index) const { return xcb_window_t(window(index)->winId()); }
    // Until the window manager manages every panel window.
    bool allManaged() const
    {
        return QTest::qWaitFor([this] {
            const QList<xcb_window_t> managed = X11Session::current().clientList();
            for (qsizetype i = 0; i < store->panels().size(); ++i) {
                if (!window(i) || !managed.contains(xid(i)))
                    return false;
            }
            return true;
        });
    }

    // Turns the event loop as fast as it goes until the server has the window at `wanted` and Qt
    // agrees; false after `milliseconds`.
    bool reachesServer(qsizetype index, const QRect &wanted, int milliseconds = 2000) const
    {
        xcb_connection_t *qt = qApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
        const QDeadlineTimer deadline(milliseconds);
        while (X11Session::current().frame(xid(index)) != wanted || window(index)->geometry() != wanted) {
            if (deadline.hasExpired())
                return false;
            QCoreApplication::processEvents();
            // What the event loop does whenever it is about to wait.
            xcb_flush(qt);
        }
        return true;
    }

    InMemoryServices services;
    std::unique_ptr<AppStore> store;
    PanelWindowManager manager;
};

inline char *toString(const Rect &rect)
{
    return QTest::toString(u"Rect(%1, %2, %3 x %4)"_qs.arg(rect.x).arg(rect.y).arg(rect.width).arg(rect.height));
}
