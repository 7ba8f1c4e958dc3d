// Cost on the UI thread of one LauncherEntry update while a panel shows 200 application tiles
// (offscreen platform): the published entry reaches the store, the application's tile takes it
// and the event loop repaints what changed. Median and 95th percentile over repeated updates,
// in milliseconds, and how many tiles repainted per update (only the application's own should).

#include "inmemoryservices.h"
#include "paintcounter.h"

#include "store/appstore.h"
#include "ui/itemiconview.h"
#include "ui/panelview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>

namespace {

constexpr int tileCount = 200;

Panel makePanel()
{
    PanelTab tab;
    tab.name = QStringLiteral("Tab");
    for (int i = 0; i < tileCount; ++i)
        tab.items.append(ItemLink{.location = QUrl::fromLocalFile(QStringLiteral("/apps/app%1.desktop").arg(i))});
    return Panel(PanelInit{.name = QStringLiteral("Bench"), .tab = tab});
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InMemoryServices services;
    InMemoryLauncherEntries &entries = *services.launcherEntries;
    AppStore store(services.take(), QList<Panel>{makePanel()});
    PanelView view(store.panels().first(), store);
    view.resize(view.sizeHint());
    view.show();
    QCoreApplication::processEvents();

    PaintCounter paints;
    for (ItemIconView *tile : view.findChildren<ItemIconView *>())
        tile->installEventFilter(&paints);

    const int runs = 1000;
    QList<double> wall;
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        const QString id = QStringLiteral("app%1.desktop").arg((i * 37) % tileCount);
        timer.start();
        entries.publish(id, LauncherEntry{.count = i % 150 + 1, .progress = (i % 100) / 100.0});
        QCoreApplication::processEvents();
        wall.append(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(wall.begin(), wall.end());
    QTextStream out(stdout);
    out << "LauncherEntry update with " << tileCount << " tiles shown (offscreen, ms)\n";
    out << QStringLiteral("median %1  p95 %2  tiles repainted per update %3\n")
               .arg(wall.at(runs / 2), 0, 'f', 3)
               .arg(wall.at(runs * 95 / 100), 0, 'f', 3)
               .arg(double(paints.count) / runs, 0, 'f', 2);
    return 0;
}
