// Latency of representative store commands on the UI thread, each ending with the save of the
// whole list to a real configuration file (atomic write, backup, folder sync) in a temporary
// directory: written at once on the UI thread ("direct", as before the background writer), or
// handed to the background writer on a normal disk and on one slowed to 200 ms per write.

#include "persistence/backgroundconfigurationstorage.h"
#include "persistence/systemconfigurationstorage.h"
#include "store/appstore.h"

#include "inmemoryservices.h"
#include "slowedconfigurationstorage.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>

using namespace std::chrono_literals;

namespace {

// One panel of three tabs; the active one holds most items, a tenth of them in groups of five.
QList<Panel> makePanels(int itemCount)
{
    QList<PanelTab> tabs(3);
    int made = 0;
    for (int t = 0; made < itemCount; t = (t + 1) % 3) {
        PanelTab &tab = tabs[t];
        tab.name = QStringLiteral("Tab %1").arg(t + 1);
        for (int i = 0; i < 8 && made < itemCount; ++i) {
            if (made % 10 == 9 && itemCount - made >= 6) {
                ItemGroup group{.name = QStringLiteral("Group %1").arg(made)};
                for (int m = 0; m < 5; ++m)
                    group.links.append(ItemLink{.location = QUrl::fromLocalFile(
                                                    QStringLiteral("/usr/share/applications/member-%1-%2.desktop").arg(made).arg(m))});
                tab.items.append(group);
                made += 6;
            } else {
                tab.items.append(ItemLink{.location = QUrl::fromLocalFile(
                                              QStringLiteral("/home/user/Documents/file number %1.txt").arg(made))});
                ++made;
            }
        }
    }
    return {Panel(PanelInit{.name = QStringLiteral("Panel 1"), .tab = tabs[0], .moreTabs = {tabs[1], tabs[2]}})};
}

struct Figures
{
    double median;
    double p95;
};

Figures measure(int runs, const std::function<void()> &prepare, const std::function<void()> &command)
{
    QList<double> samples;
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        prepare();
        timer.start();
        command();
        samples.append(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(samples.begin(), samples.end());
    return {samples.at(samples.size() / 2), samples.at(qMin(samples.size() - 1, qsizetype(samples.size() * 0.95)))};
}

enum class Saving { Direct, Background, BackgroundSlowed };

QString name(Saving saving)
{
    switch (saving) {
    case Saving::Direct: return QStringLiteral("direct");
    case Saving::Background: return QStringLiteral("background");
    case Saving::BackgroundSlowed: return QStringLiteral("bg slowed");
    }
    return {};
}

void run(QTextStream &out, int itemCount, Saving saving)
{
    QTemporaryDir dir;
    // The counting wrapper adds no delay on the normal disk.
    auto counted = std::make_unique<SlowedConfigurationStorage>(
        std::make_unique<SystemConfigurationStorage>(dir.filePath(QStringLiteral("configuration.json"))),
        saving == Saving::BackgroundSlowed ? 200ms : 0ms);
    const SlowedConfigurationStorage &disk = *counted;
    InMemoryServices services;
    AppStoreServices taken = services.take();
    if (saving == Saving::Direct)
        taken.storage = std::move(counted);
    else
        taken.storage = std::make_unique<BackgroundConfigurationStorage>(std::move(counted));
    AppStore store(std::move(taken), makePanels(itemCount));

    const QUuid panelID = store.panels().first().id();
    const auto activeTab = [&] { return store.panel(panelID)->activeTab(); };
    const QList<QUrl> oneFile{QUrl::fromLocalFile(QStringLiteral("/home/user/new file.txt"))};
    const int runs = itemCount >= 5000 ? 40 : 200;
    const auto nothing = [] {};
    bool flip = false;
    QUuid added;

    const QList<std::pair<QString, Figures>> rows{
        {QStringLiteral("addItems"),
         measure(
             runs,
             [&] {
                 if (!added.isNull())
                     (void)store.removeItem(added, panelID, true);
             },
             [&] {
                 store.addItems(oneFile, std::nullopt, activeTab().id, panelID);
                 added = activeTab().items.last().id();
             })},
        {QStringLiteral("moveItem"),
         measure(runs, nothing, [&] { store.moveItem(activeTab().items.first().id(), std::nullopt, panelID); })},
        {QStringLiteral("renameTab"),
         measure(runs, nothing,
                 [&] {
                     flip = !flip;
                     store.renameTab(activeTab().id, flip ? QStringLiteral("A") : QStringLiteral("B"), panelID);
                 })},
        {QStringLiteral("removeTab"),
         measure(
             runs, [&] { store.addTab(panelID); },
             [&] { (void)store.removeTab(activeTab().id, panelID, true); })},
    };
    // Every command above saved: runs for each, and as many again for the preparations that did.
    const int commands = 2 * runs - 1 + runs + runs + 2 * runs;
    if (saving != Saving::Direct && !static_cast<BackgroundConfigurationStorage &>(store.storage()).flush(60s))
        out << "the last write did not end within a minute\n";
    for (const auto &[command, figures] : rows) {
        out << QStringLiteral("%1 %2 %3 %4 %5 %6\n")
                   .arg(itemCount, 6)
                   .arg(name(saving), -11)
                   .arg(command, -10)
                   .arg(figures.median, 8, 'f', 4)
                   .arg(figures.p95, 8, 'f', 4)
                   .arg(QStringLiteral("%1/%2").arg(disk.saveCount()).arg(commands), 11);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    out << "Store commands on the UI thread, each saving the whole list to a real configuration file (ms)\n";
    out << QStringLiteral("%1 %2 %3 %4 %5 %6\n")
               .arg(QStringLiteral("items"), 6)
               .arg(QStringLiteral("saving"), -11)
               .arg(QStringLiteral("command"), -10)
               .arg(QStringLiteral("median"), 8)
               .arg(QStringLiteral("p95"), 8)
               .arg(QStringLiteral("writes/cmds"), 11);
    for (const Saving saving : {Saving::Direct, Saving::Background, Saving::BackgroundSlowed}) {
        for (const int itemCount : {50, 500, 5000})
            run(out, itemCount, saving);
    }
    return 0;
}
