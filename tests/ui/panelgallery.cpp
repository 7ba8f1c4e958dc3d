// A developer's gallery, not part of the product: shows panel views of sample panels in frameless
// windows placed as panel windows are placed, over a drawn backdrop, so that they can be looked
// at and photographed (scripts/screenshot.sh). Prints "ready" once everything is shown.
//
//   panelgallery [--translucent] [--hover]
//     --translucent  windows with an alpha channel (run a compositor)
//     --hover        the pointer rests on a tile of the first panel: plate and tooltip show
//   GALLERY_SCENE=tabs      tab bars instead: every edge, both styles, overflow, a rename field
//   GALLERY_SCENE=settings  the sample panels with the settings window of the side panel

#include "inmemoryservices.h"
#include "panelbuilders.h"
#include "wallpaper.h"

#include "services/systemfilesystemaccess.h"
#include "store/appstore.h"
#include "ui/itemiconview.h"
#include "ui/panelsettingsview.h"
#include "ui/panelview.h"
#include "windows/panelscreens.h"

#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QIcon>
#include <QLayout>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

// A wallpaper with a document window on it, so that translucency has something to show.
class Backdrop : public Wallpaper
{
protected:
    void paintEvent(QPaintEvent *event) override
    {
        Wallpaper::paintEvent(event);
        QPainter painter(this);
        const QRect document(width() / 5, height() / 6, width() * 3 / 5, height() / 2);
        painter.fillRect(document, QColor(0xfa, 0xfa, 0xfa));
        painter.fillRect(document.adjusted(0, 0, 0, -document.height() + 28), QColor(0xe4, 0xe4, 0xe4));
        painter.setPen(QColor(0x55, 0x55, 0x55));
        for (int line = 0; line < 12; ++line)
            painter.drawLine(document.left() + 30, document.top() + 60 + line * 22, document.right() - 60 - (line % 3) * 70,
                             document.top() + 60 + line * 22);
    }
};

QString writeApplication(const QDir &dir, const QString &file, const QString &name, const QString &icon)
{
    const QString path = dir.filePath(file);
    QFile entry(path);
    if (entry.open(QIODevice::WriteOnly)) {
        entry.write(QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\nIcon=%2\nExec=true\n")
                        .arg(name, icon)
                        .toUtf8());
    }
    return path;
}

QString makeFolder(const QDir &dir, const QString &name)
{
    dir.mkpath(name);
    return dir.filePath(name);
}

QString makeFile(const QDir &dir, const QString &name, const QByteArray &content)
{
    QFile file(dir.filePath(name));
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
    return file.fileName();
}

struct Sample
{
    QList<Panel> panels;
    QList<QUrl> running;
    // What applications publish about themselves, and those asking for attention.
    QHash<QString, LauncherEntry> entries;
    QList<QUrl> askingForAttention;
};

Sample makeSample(const QDir &root)
{
    const QDir apps(makeFolder(root, QStringLiteral("applications")));
    const QDir home(makeFolder(root, QStringLiteral("home")));
    struct Application
    {
        const char *id;
        const char *name;
        const char *icon;
    };
    const Application applications[] = {
        {"terminal", "Terminal", "video-display"},          {"editor", "Text Editor", "x-office-document"},
        {"music", "Music", "audio-headphones"},             {"photos", "Photos", "image-x-generic"},
        {"contacts", "Contacts", "x-office-address-book"},  {"sheets", "Spreadsheets", "x-office-spreadsheet"},
        {"slides", "Presentations", "x-office-presentation"}, {"games", "Games", "input-gaming"},
        {"printers", "Printers", "printer"},
    };
    QHash<QString, QString> app;
    for (const Application &each : applications) {
        const QString id = QLatin1String(each.id);
        app.insert(id, writeApplication(apps, id + QStringLiteral(".desktop"), QLatin1String(each.name),
                                        QLatin1String(each.icon)));
    }
    const auto application = [&app](const char *id) { return app.value(QLatin1String(id)); };
    const auto linkToApplication = [&](const char *id) { return linkTo(application(id)); };

    const QString documents = makeFolder(home, QStringLiteral("Documents"));
    const QString downloads = makeFolder(home, QStringLiteral("Downloads"));
    const QString pictures = makeFolder(home, QStringLiteral("Pictures"));
    const QString musicFolder = makeFolder(home, QStringLiteral("Music"));
    const QString notes = makeFile(home, QStringLiteral("Shopping list.txt"), "milk\n");
    const QString report = makeFile(home, QStringLiteral("Quarterly report with a long name.html"), "<p>report</p>\n");

    // Bottom centre, labels, running applications shown.
    PanelTab dockTab = tabNamed(QStringLiteral("Favourites"),
                                {linkToApplication("terminal"), linkToApplication("editor"), linkToApplication("music"),
                                 linkToApplication("photos"), linkTo(documents), linkTo(downloads), linkTo(report)});
    dockTab.showsRunningApps = true;
    Panel dock(PanelInit{.name = QStringLiteral("Dock"), .tab = dockTab,
                         .placement = PanelPlacement{.mode = PanelPlacementMode::Snapped, .edge = PanelEdge::Bottom,
                                                     .alignment = PanelAlignment::Center, .edgeInset = 8}});

    // Left edge, two tabs, the active one coloured.
    PanelTab places = tabNamed(QStringLiteral("Places"), {linkTo(documents), linkTo(downloads), linkTo(pictures),
                                                          linkTo(musicFolder), linkTo(notes)});
    places.color = TabColor::SystemBlue;
    Panel side(PanelInit{.name = QStringLiteral("Side"), .showsItemLabels = false, .iconSize = PanelIconSize::Small,
                         .tab = places, .moreTabs = {tabNamed(QStringLiteral("Work"), {linkToApplication("sheets")})},
                         .didRevealTabBar = true,
                         .placement = PanelPlacement{.mode = PanelPlacementMode::Snapped, .edge = PanelEdge::Left,
                                                     .alignment = PanelAlignment::Center, .edgeInset = 8}});

    // Free, with a group, buttons-style tabs.
    ItemGroup office{.name = QStringLiteral("Office")};
    for (const char *member : {"sheets", "slides", "editor"})
        office.links.append(ItemLink{.location = QUrl::fromLocalFile(application(member))});
    PanelTab tools = tabNamed(QStringLiteral("Tools"), {linkToApplication("contacts"), Item(office),
                                                        linkToApplication("games"), linkToApplication("printers")});
    tools.color = TabColor::SystemOrange;
    Panel free(PanelInit{.name = QStringLiteral("Tools"), .tabStyle = PanelTabStyle::Buttons, .tab = tools,
                         .moreTabs = {tabNamed(QStringLiteral("Media"), {})},
                         .didRevealTabBar = true,
                         .placement = PanelPlacement{.freePosition = PanelFreePosition(0.78, 0.72)}});

    // An empty tab: the add button and its hint.
    Panel empty(PanelInit{.name = QStringLiteral("New Panel"), .tab = tabNamed(QStringLiteral("New Panel"), {}),
                          .placement = PanelPlacement{.freePosition = PanelFreePosition(0.22, 0.78)}});

    return Sample{.panels = {dock, side, free, empty},
                  .running = {QUrl::fromLocalFile(application("terminal")), QUrl::fromLocalFile(application("music")),
                              QUrl::fromLocalFile(application("slides"))},
                  .entries = {{QStringLiteral("terminal.desktop"), LauncherEntry{.count = 3}},
                              {QStringLiteral("editor.desktop"), LauncherEntry{.count = 120, .progress = 0.4}},
                              {QStringLiteral("music.desktop"), LauncherEntry{.progress = 0.7}},
                              {QStringLiteral("contacts.desktop"), LauncherEntry{.count = 12}}},
                  .askingForAttention = {QUrl::fromLocalFile(application("slides")),
                                         QUrl::fromLocalFile(application("terminal"))}};
}

// Tab bars on all four edges and a free panel, in both styles, with more tabs than fit.
Sample makeTabSample(const QDir &root)
{
    QList<Item> items;
    for (const QString &name : {QStringLiteral("Documents"), QStringLiteral("Downloads"), QStringLiteral("Music"),
                                QStringLiteral("Pictures"), QStringLiteral("Videos"), QStringLiteral("Public")})
        items.append(linkTo(makeFolder(root, name)));
    // `shown` items on each tab, colours from the tab at `colouredFrom` on.
    const auto tabs = [&](const QStringList &names, int colouredFrom, int shown) {
        QList<PanelTab> list;
        for (int i = 0; i < names.size(); ++i) {
            PanelTab tab = tabNamed(names.at(i), items.mid(0, shown));
            if (i >= colouredFrom)
                tab.color = TabColor(i % 13);
            list.append(tab);
        }
        return list;
    };
    const auto panel = [](const QString &name, PanelTabStyle style, const QList<PanelTab> &list, int active,
                          const PanelPlacement &placement) {
        return Panel(PanelInit{.name = name, .showsItemLabels = false, .tabStyle = style, .tab = list.first(),
                               .moreTabs = list.mid(1), .activeTabID = list.at(active).id, .didRevealTabBar = true,
                               .placement = placement});
    };
    const auto snapped = [](PanelEdge edge) {
        return PanelPlacement{.mode = PanelPlacementMode::Snapped, .edge = edge, .alignment = PanelAlignment::Center,
                              .edgeInset = 8};
    };
    const QStringList many{QStringLiteral("Home"), QStringLiteral("Work"), QStringLiteral("Music"),
                           QStringLiteral("Photos"), QStringLiteral("Projects"), QStringLiteral("Archive"),
                           QStringLiteral("Games"), QStringLiteral("Reading")};
    return Sample{.panels = {
                      panel(QStringLiteral("Top"), PanelTabStyle::Slanted, tabs(many, 2, 5), 6, snapped(PanelEdge::Top)),
                      panel(QStringLiteral("Bottom"), PanelTabStyle::Buttons, tabs(many.mid(0, 3), 1, 6), 1,
                            snapped(PanelEdge::Bottom)),
                      panel(QStringLiteral("Left"), PanelTabStyle::Buttons, tabs(many.mid(0, 4), 0, 6), 0,
                            snapped(PanelEdge::Left)),
                      panel(QStringLiteral("Right"), PanelTabStyle::Slanted, tabs(many.mid(2, 3), 3, 6), 1,
                            snapped(PanelEdge::Right)),
                      panel(QStringLiteral("Free"), PanelTabStyle::Slanted, tabs(many, 4, 4), 5,
                            PanelPlacement{.freePosition = PanelFreePosition(0.5, 0.55)}),
                  }};
}

void place(PanelView *view, const Panel &panel, bool translucent)
{
    view->setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus);
    view->setAttribute(Qt::WA_TranslucentBackground, translucent);
    view->setTranslucent(translucent);
    const QSize fitting = view->sizeHint();
    const Rect frame = AppStore::frame(panel.placement(), Size{double(fitting.width()), double(fitting.height())},
                                       PanelScreens::visibleFrame(QGuiApplication::primaryScreen()));
    view->setGeometry(PanelScreens::toQt(frame).toRect());
    view->show();
    // The shape follows the laid-out chips: a hidden view has not been laid out at its size yet.
    if (!translucent) {
        if (view->layout())
            view->layout()->activate();
        view->setMask(QRegion(view->bodyShape().toFillPolygon().toPolygon()));
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const bool translucent = arguments.contains(QStringLiteral("--translucent"));
    const bool hover = arguments.contains(QStringLiteral("--hover"));

    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
        QIcon::setThemeName(QStringLiteral("Adwaita"));

    const QString scene = qEnvironmentVariable("GALLERY_SCENE");
    QTemporaryDir root;
    const Sample sample =
        scene == QStringLiteral("tabs") ? makeTabSample(QDir(root.path())) : makeSample(QDir(root.path()));

    InMemoryServices services;
    services.runningApps->running = sample.running;
    // Long asked for: the steady mark, past its pulses.
    for (const QUrl &location : sample.askingForAttention)
        services.runningApps->attention.insert(location, std::chrono::steady_clock::now() - std::chrono::minutes(1));
    for (auto entry = sample.entries.cbegin(); entry != sample.entries.cend(); ++entry)
        services.launcherEntries->publish(entry.key(), entry.value());
    AppStoreServices taken = services.take();
    taken.fileSystem = std::make_unique<SystemFileSystemAccess>();
    AppStore store(std::move(taken), sample.panels);

    Backdrop backdrop;
    backdrop.setGeometry(QGuiApplication::primaryScreen()->geometry());
    backdrop.show();

    QList<PanelView *> views;
    for (const Panel &panel : store.panels()) {
        auto *view = new PanelView(panel, store);
        place(view, panel, translucent);
        views.append(view);
    }

    std::unique_ptr<QWidget> settings;
    if (scene == QStringLiteral("tabs")) {
        // The first panel's active chip shows its rename field.
        const Panel &first = store.panels().first();
        store.beginRenamingTab(first.activeTabID(), first.id());
    } else if (scene == QStringLiteral("settings")) {
        settings.reset(new PanelSettingsView(store.panels().at(1).id(), store));
        settings->setWindowTitle(QStringLiteral("Panel Settings"));
        settings->adjustSize();
        settings->move(QGuiApplication::primaryScreen()->geometry().center() - settings->rect().center());
        settings->show();
    }

    if (hover && scene.isEmpty()) {
        const QList<ItemIconView *> tiles = views.first()->findChildren<ItemIconView *>();
        if (tiles.size() > 2) {
            ItemIconView *tile = tiles.at(2);
            const QPointF inside(tile->width() / 2.0, tile->height() / 3.0);
            QEnterEvent enter(inside, tile->mapTo(tile->window(), inside), tile->mapToGlobal(inside));
            QCoreApplication::sendEvent(tile, &enter);
        }
    }

    // After the tooltip's half second, and a little more for the compositor.
    QTimer::singleShot(hover ? 900 : 300, &app, [] {
        std::fputs("ready\n", stdout);
        std::fflush(stdout);
    });
    const int result = app.exec();
    qDeleteAll(views);
    return result;
}
