// Cost of laying out a tab bar of 50 tabs on the offscreen platform, as it happens on every
// resize of its panel: one pass of the strip layout (measure every chip, plan which fit, place
// every chip and the chevron) at a maximum length that alternates between lengths at which all,
// half and a few chips fit, upright and turned; and the pure plan on its own. Medians and 95th
// percentiles of repeated passes in microseconds. Target: under 1 ms per layout pass.

#include "store/appstore.h"
#include "ui/tabbarview.h"
#include "ui/tabstriplayout.h"

#include "inmemoryservices.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>

namespace {

constexpr int tabCount = 50;
constexpr int passes = 2000;

struct Figures
{
    double median = 0;
    double p95 = 0;
};

Figures figuresOf(QList<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return Figures{.median = samples.at(samples.size() / 2), .p95 = samples.at(samples.size() * 95 / 100)};
}

Panel panelOfTabs(PanelTabStyle style, const PanelPlacement &placement)
{
    QList<PanelTab> tabs;
    for (int i = 0; i < tabCount; ++i) {
        PanelTab tab;
        tab.name = QStringLiteral("Tab with a name %1").arg(i);
        if (i % 3 == 0)
            tab.color = TabColor(i % 13);
        tabs.append(tab);
    }
    return Panel(PanelInit{.name = QStringLiteral("Bench"), .tabStyle = style, .tab = tabs.first(),
                           .moreTabs = tabs.mid(1), .activeTabID = tabs.at(37).id, .didRevealTabBar = true,
                           .placement = placement});
}

Figures layoutPasses(const Panel &panel, AppStore &store)
{
    TabBarView bar(panel, store, panel.tabStyle == PanelTabStyle::Slanted, std::nullopt);
    // Shown, so that moving a chip is the real work of a widget on screen.
    bar.show();
    const double natural = bar.naturalLength();
    const QList<double> lengths{natural + 10, natural / 2, 300};
    QList<double> samples;
    samples.reserve(passes);
    QElapsedTimer timer;
    for (int i = 0; i < passes; ++i) {
        const double length = lengths.at(i % lengths.size());
        timer.start();
        bar.setMaxLength(length);
        const QSize hint = bar.stripLayout()->sizeHint();
        bar.stripLayout()->setGeometry(QRect(QPoint(0, 0), hint));
        // What a move costs besides: the pending moves and resizes are delivered.
        QCoreApplication::sendPostedEvents();
        samples.append(double(timer.nsecsElapsed()) / 1000);
    }
    return figuresOf(samples);
}

Figures planPasses(const Panel &panel, AppStore &store)
{
    TabBarView bar(panel, store, true, std::nullopt);
    const QList<QSizeF> sizes = bar.stripLayout()->uprightSizes();
    TabStripGeometry geometry = bar.stripLayout()->rules();
    QList<double> samples;
    QElapsedTimer timer;
    int shown = 0;
    for (int i = 0; i < passes; ++i) {
        geometry.maxLength = 200 + (i % 40) * 50;
        timer.start();
        shown += geometry.plan(sizes).count;
        samples.append(double(timer.nsecsElapsed()) / 1000);
    }
    Q_UNUSED(shown);
    return figuresOf(samples);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InMemoryServices services;
    AppStore store(services.take(), QList<Panel>{});
    QTextStream out(stdout);

    const struct
    {
        const char *name;
        PanelTabStyle style;
        PanelPlacement placement;
    } cases[] = {
        {"upright, slanted", PanelTabStyle::Slanted, PanelPlacement{}},
        {"upright, buttons", PanelTabStyle::Buttons, PanelPlacement{}},
        {"turned (right edge)", PanelTabStyle::Slanted,
         PanelPlacement{.mode = PanelPlacementMode::Snapped, .edge = PanelEdge::Right}},
    };
    out << "Tab bar of " << tabCount << " tabs, one layout pass (target < 1000 us):\n";
    for (const auto &each : cases) {
        const Figures figures = layoutPasses(panelOfTabs(each.style, each.placement), store);
        out << "  " << each.name << ": median " << figures.median << " us, p95 " << figures.p95 << " us\n";
    }
    const Figures plan = planPasses(panelOfTabs(PanelTabStyle::Slanted, PanelPlacement{}), store);
    out << "  plan alone: median " << plan.median << " us, p95 " << plan.p95 << " us\n";
    return 0;
}
