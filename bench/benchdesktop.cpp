#include "benchdesktop.h"

#include "persistence/configurationdocument.h"

#include <QDir>
#include <QFile>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace BenchDesktop {

namespace {

QList<QUrl> machineItems()
{
    QList<QUrl> found;
    const QDir applications(u"/usr/share/applications"_s);
    for (const QString &name : applications.entryList({u"*.desktop"_s}, QDir::Files, QDir::Name))
        found.append(QUrl::fromLocalFile(applications.filePath(name)));
    const QDir programs(u"/usr/bin"_s);
    for (const QString &name : programs.entryList(QDir::Files | QDir::Executable, QDir::Name))
        found.append(QUrl::fromLocalFile(programs.filePath(name)));
    return found;
}

} // namespace

QList<Panel> crowdedPanels(int count, int items)
{
    const QList<QUrl> available = machineItems();
    if (available.isEmpty())
        qFatal("no applications or programs on this machine to fill panels with");
    const PanelPlacement placements[] = {
        {.mode = PanelPlacementMode::Snapped, .edge = PanelEdge::Bottom},
        {.mode = PanelPlacementMode::Snapped, .edge = PanelEdge::Top, .alignment = PanelAlignment::Start},
        {.mode = PanelPlacementMode::Snapped, .edge = PanelEdge::Left},
        {.mode = PanelPlacementMode::Snapped, .edge = PanelEdge::Right, .alignment = PanelAlignment::End},
        {.mode = PanelPlacementMode::Free, .freePosition = PanelFreePosition(0.4, 0.6)},
    };
    QList<Panel> made;
    qsizetype next = 0;
    for (int i = 0; i < count; ++i) {
        PanelTab tab{.name = u"Main"_s};
        for (int j = 0; j < items; ++j)
            tab.items.append(ItemLink{.location = available.at(next++ % available.size())});
        made.append(Panel(PanelInit{.name = u"Panel %1"_s.arg(i + 1),
                                    .showsItemLabels = false,
                                    .iconSize = PanelIconSize::Small,
                                    .iconSpacing = PanelIconSpacing::ExtraCompact,
                                    .tab = tab,
                                    .placement = placements[i % 5]}));
    }
    return made;
}

void writeConfiguration(const QString &configHome, const QList<Panel> &panels)
{
    const QString folder = QDir(configHome).filePath(u"Quayrow 2"_s);
    QFile file(QDir(folder).filePath(u"configuration.json"_s));
    const QByteArray json = ConfigurationDocument(panels).toJson();
    if (!QDir().mkpath(folder) || !file.open(QIODevice::WriteOnly) || file.write(json) != json.size())
        qFatal("cannot write %s", qPrintable(file.fileName()));
}

QProcessEnvironment environmentIn(const QString &display, const QString &home)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"DISPLAY"_s, display);
    environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    environment.insert(u"HOME"_s, home);
    environment.insert(u"XDG_CONFIG_HOME"_s, home + u"/.config"_s);
    environment.insert(u"XDG_DATA_HOME"_s, home + u"/.local/share"_s);
    environment.insert(u"XDG_CACHE_HOME"_s, home + u"/.cache"_s);
    environment.insert(u"XDG_STATE_HOME"_s, home + u"/.local/state"_s);
    environment.remove(u"QT_SCALE_FACTOR"_s);
    return environment;
}

} // namespace BenchDesktop
