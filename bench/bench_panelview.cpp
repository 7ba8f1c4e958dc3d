// Cost of the panel view on the offscreen platform, with the desktop's own icon and name
// services over generated applications, folders and files (icons of the Adwaita theme):
//   build + lay out + first paint of a view of N items (a tenth of them groups, labels shown);
//   a store change -> the window's new view built and resized to its fitting size (100 items),
//   as the windows layer does on every change of the panels.
// Medians and 95th percentiles of repeated runs in milliseconds of wall time, and the median
// processor time of the process (painting hands large fills to helper threads, whose wake-up
// costs wall time on a busy machine); icons come from the services' caches after the first run,
// as they do in the running program.

#include "inmemoryservices.h"

#include "services/systemfilesystemaccess.h"
#include "store/appstore.h"
#include "ui/panelview.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QLayout>
#include <QPointer>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <time.h>

namespace {

const char *const iconNames[] = {
    "x-office-document", "x-office-spreadsheet", "x-office-presentation", "x-office-drawing", "audio-headphones",
    "image-x-generic",   "video-display",        "input-gaming",          "printer",          "x-office-address-book",
    "text-html",         "package-x-generic",    "drive-harddisk",        "camera-web",       "phone",
};

// Applications, folders and files to link to, in a temporary directory.
QList<QUrl> makeLocations(const QDir &root, int count)
{
    root.mkpath(QStringLiteral("applications"));
    QList<QUrl> locations;
    for (int i = 0; i < count; ++i) {
        QString path;
        switch (i % 3) {
        case 0: {
            path = root.filePath(QStringLiteral("applications/app%1.desktop").arg(i));
            QFile entry(path);
            if (entry.open(QIODevice::WriteOnly))
                entry.write(QStringLiteral("[Desktop Entry]\nType=Application\nName=Application %1\nIcon=%2\nExec=true\n")
                                .arg(i)
                                .arg(QLatin1String(iconNames[i % std::size(iconNames)]))
                                .toUtf8());
            break;
        }
        case 1:
            path = root.filePath(QStringLiteral("Folder %1").arg(i));
            root.mkpath(path);
            break;
        default:
            path = root.filePath(QStringLiteral("Report %1.txt").arg(i));
            QFile file(path);
            if (file.open(QIODevice::WriteOnly))
                file.write("text\n");
            break;
        }
        locations.append(QUrl::fromLocalFile(path));
    }
    return locations;
}

Panel makePanel(const QList<QUrl> &locations, int itemCount)
{
    PanelTab tab;
    tab.name = QStringLiteral("Tab");
    for (int i = 0; i < itemCount; ++i) {
        const QUrl location = locations.at(i % locations.size());
        if (i % 10 == 9) {
            ItemGroup group{.name = QStringLiteral("Group %1").arg(i)};
            group.links.append(ItemLink{.location = location});
            tab.items.append(group);
        } else {
            tab.items.append(ItemLink{.location = location});
        }
    }
    return Panel(PanelInit{.name = QStringLiteral("Bench"), .tab = tab,
                           .placement = PanelPlacement{.mode = PanelPlacementMode::Snapped, .edge = PanelEdge::Bottom}});
}

struct Figures
{
    double median;
    double p95;
    double cpuMedian; // processor time of the whole process, helper threads included
};

double cpuMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

Figures figuresOf(QList<double> wall, QList<double> cpu)
{
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall.at(wall.size() / 2), wall.at(qMin(wall.size() - 1, qsizetype(wall.size() * 0.95))), cpu.at(cpu.size() / 2)};
}

Figures measure(int runs, const std::function<void()> &run)
{
    QList<double> wall, cpu;
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        const double cpuStart = cpuMilliseconds();
        timer.start();
        run();
        wall.append(double(timer.nsecsElapsed()) / 1e6);
        cpu.append(cpuMilliseconds() - cpuStart);
        // Between two changes the event loop runs: released views go, posted events are handled.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
    return figuresOf(wall, cpu);
}

struct Phases
{
    Figures build;
    Figures layout;
    Figures paint;
};

Phases measurePhases(int runs, const std::function<std::unique_ptr<PanelView>()> &make, QImage &canvas)
{
    QList<double> wall[3], cpu[3];
    QElapsedTimer timer;
    double cpuStart = 0;
    const auto start = [&] {
        cpuStart = cpuMilliseconds();
        timer.start();
    };
    const auto stop = [&](int phase) {
        wall[phase].append(double(timer.nsecsElapsed()) / 1e6);
        cpu[phase].append(cpuMilliseconds() - cpuStart);
    };
    for (int i = 0; i < runs; ++i) {
        start();
        std::unique_ptr<PanelView> view = make();
        stop(0);
        start();
        view->resize(view->sizeHint());
        view->layout()->activate();
        stop(1);
        start();
        view->render(&canvas);
        stop(2);
        view.reset();
        QCoreApplication::processEvents();
    }
    return {figuresOf(wall[0], cpu[0]), figuresOf(wall[1], cpu[1]), figuresOf(wall[2], cpu[2])};
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QIcon::setThemeSearchPaths({QStringLiteral("/usr/share/icons")});
    QIcon::setThemeName(QStringLiteral("Adwaita"));
    QTemporaryDir dir;
    const QList<QUrl> locations = makeLocations(QDir(dir.path()), 60);

    QTextStream out(stdout);
    out << "Panel view on the offscreen platform (ms)\n";
    out << QStringLiteral("%1 %2 %3 %4 %5\n").arg(QStringLiteral("items"), 6).arg(QStringLiteral("what"), -30)
               .arg(QStringLiteral("median"), 8).arg(QStringLiteral("p95"), 8).arg(QStringLiteral("cpu"), 8);
    const auto row = [&out](int items, const QString &what, const Figures &figures) {
        out << QStringLiteral("%1 %2 %3 %4 %5\n").arg(items, 6).arg(what, -30)
                   .arg(figures.median, 8, 'f', 3).arg(figures.p95, 8, 'f', 3).arg(figures.cpuMedian, 8, 'f', 3);
        out.flush();
    };

    for (int itemCount : {20, 100, 500}) {
        InMemoryServices services;
        AppStoreServices taken = services.take();
        taken.fileSystem = std::make_unique<SystemFileSystemAccess>();
        AppStore store(std::move(taken), QList<Panel>{makePanel(locations, itemCount)});
        const Panel panel = store.panels().first();
        QImage canvas(4000, 200, QImage::Format_ARGB32_Premultiplied);

        const int runs = itemCount >= 500 ? 30 : 100;
        row(itemCount, QStringLiteral("build + layout + first paint"), measure(runs, [&] {
                PanelView view(panel, store);
                view.resize(view.sizeHint());
                view.render(&canvas);
            }));
        const Phases phases = measurePhases(runs, [&] { return std::make_unique<PanelView>(panel, store); }, canvas);
        row(itemCount, QStringLiteral("  build"), phases.build);
        row(itemCount, QStringLiteral("  layout"), phases.layout);
        row(itemCount, QStringLiteral("  first paint"), phases.paint);
    }

    // The windows layer's part of a change, imitated: the panels change, the window releases its
    // view, builds a new one and resizes to its fitting size.
    {
        const int itemCount = 100;
        InMemoryServices services;
        AppStoreServices taken = services.take();
        taken.fileSystem = std::make_unique<SystemFileSystemAccess>();
        AppStore store(std::move(taken), QList<Panel>{makePanel(locations, itemCount)});
        const QUuid panelID = store.panels().first().id();
        QWidget window;
        QPointer<PanelView> view;
        QObject::connect(&store, &AppStore::panelsChanged, &window, [&] {
            if (view) {
                view->hide();
                view->deleteLater();
            }
            view = new PanelView(*store.panel(panelID), store, &window);
            const QSize fitting = view->sizeHint();
            window.resize(fitting);
            view->setGeometry(QRect(QPoint(0, 0), fitting));
            view->show();
        });
        window.show();
        bool labels = false;
        row(itemCount, QStringLiteral("store change -> view resized"), measure(200, [&] {
                labels = !labels;
                store.setShowsItemLabels(labels, panelID);
            }));
    }
    return 0;
}
