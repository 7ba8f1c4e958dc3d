// A developer's tool, not part of the product: the desktop that scripts/screenshot.sh
// photographs the program on.
//
//   sampledesktop write FOLDER   writes a home with a few folders and files, applications
//                                (FOLDER/data/applications) and the program's configuration
//                                (FOLDER/config/Quayrow 2) with three panels: a dock at the
//                                bottom centre with labels, a column on the left edge with two
//                                tabs, and a free panel holding a group
//   sampledesktop write FOLDER MONITOR
//                                the same with the column and the free panel on the RandR
//                                monitor named MONITOR (a monitor without a serial number)
//   sampledesktop backdrop       shows a wallpaper and a text editor's window (which counts as
//                                the running "Text Editor"); prints "ready" once they are shown

#include "panelbuilders.h"
#include "wallpaper.h"

#include "persistence/configurationdocument.h"
#include "windows/panelscreens.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QTextStream>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

// The window class of the backdrop's editor window; the "Text Editor" entry names it.
constexpr char editorClass[] = "SampleEditor";

// Lines of text in a plain window, so that translucency has something to show.
class EditorWindow : public QWidget
{
protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(0xfa, 0xfa, 0xfa));
        painter.setPen(QColor(0x55, 0x55, 0x55));
        for (int line = 0; line < 14; ++line) {
            const int y = 30 + line * 22;
            painter.drawLine(30, y, width() - 60 - (line % 3) * 70, y);
        }
    }
};

int showBackdrop(QApplication &app)
{
    // A wallpaper on every monitor.
    std::vector<std::unique_ptr<Wallpaper>> wallpapers;
    for (const QScreen *each : QGuiApplication::screens()) {
        wallpapers.push_back(std::make_unique<Wallpaper>());
        wallpapers.back()->setGeometry(each->geometry());
        wallpapers.back()->show();
    }
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EditorWindow editor;
    editor.setWindowTitle(QStringLiteral("Notes"));
    editor.setGeometry(screen.width() / 5, screen.height() / 6, screen.width() * 3 / 5, screen.height() / 2);
    editor.show();
    QTimer::singleShot(300, &app, [] {
        std::fputs("ready\n", stdout);
        std::fflush(stdout);
    });
    return app.exec();
}

QString writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("sampledesktop: cannot write %s", qPrintable(path));
    return path;
}

PanelPlacement snapped(PanelEdge edge)
{
    return PanelPlacement{.mode = PanelPlacementMode::Snapped, .edge = edge, .alignment = PanelAlignment::Center,
                          .edgeInset = 8};
}

PanelPlacement onScreen(PanelPlacement placement, const std::optional<QString> &screenID)
{
    placement.screenID = screenID;
    return placement;
}

QList<Panel> writeSample(const QDir &root, const std::optional<QString> &secondScreenID)
{
    struct Application
    {
        const char *id;
        const char *name;
        const char *icon;
        const char *windowClass;
    };
    const Application applications[] = {
        {"terminal", "Terminal", "utilities-terminal", nullptr},
        {"editor", "Text Editor", "accessories-text-editor", editorClass},
        {"music", "Music", "audio-x-generic", nullptr},
        {"photos", "Photos", "image-x-generic", nullptr},
        {"contacts", "Contacts", "x-office-address-book", nullptr},
        {"sheets", "Spreadsheets", "x-office-spreadsheet", nullptr},
        {"slides", "Presentations", "x-office-presentation", nullptr},
        {"calendar", "Calendar", "x-office-calendar", nullptr},
        {"printers", "Printers", "printer", nullptr},
    };
    QHash<QByteArray, QString> app;
    for (const Application &each : applications) {
        QByteArray entry = "[Desktop Entry]\nType=Application\nExec=true\nName=" + QByteArray(each.name)
            + "\nIcon=" + each.icon + '\n';
        if (each.windowClass)
            entry += "StartupWMClass=" + QByteArray(each.windowClass) + '\n';
        app.insert(each.id, writeFile(root.filePath(u"data/applications/%1.desktop"_qs.arg(QLatin1String(each.id))), entry));
    }
    const auto application = [&app](const char *id) { return linkTo(app.value(id)); };

    const QDir home(root.filePath(u"home"_qs));
    for (const char *folder : {"Documents", "Downloads", "Pictures", "Music"})
        home.mkpath(QLatin1String(folder));
    const auto folder = [&home](const char *name) { return linkTo(home.filePath(QLatin1String(name))); };
    const Item notes = linkTo(writeFile(home.filePath(u"Shopping list.txt"_qs), "milk\n"));
    const Item report = linkTo(writeFile(home.filePath(u"Quarterly report with a long name.html"_qs), "<p>report</p>\n"));

    // Bottom centre, with labels; running applications shown.
    PanelTab dockTab = tabNamed(u"Favourites"_qs, {application("terminal"), application("editor"), application("music"),
                                                   application("photos"), folder("Documents"), folder("Downloads"),
                                                   report});
    dockTab.showsRunningApps = true;
    const Panel dock(PanelInit{.name = u"Dock"_qs, .tab = dockTab, .placement = snapped(PanelEdge::Bottom)});

    // Left edge, small icons without labels, two tabs, the active one coloured.
    PanelTab places = tabNamed(u"Places"_qs, {folder("Documents"), folder("Downloads"), folder("Pictures"),
                                              folder("Music"), notes});
    places.color = TabColor::SystemBlue;
    const Panel side(PanelInit{.name = u"Places"_qs,
                               .showsItemLabels = false,
                               .iconSize = PanelIconSize::Small,
                               .tab = places,
                               .moreTabs = {tabNamed(u"Work"_qs, {application("sheets"), application("slides")})},
                               .didRevealTabBar = true,
                               .placement = onScreen(snapped(PanelEdge::Left), secondScreenID)});

    // Free, with a group, button-style tabs.
    ItemGroup office{.name = u"Office"_qs};
    for (const char *member : {"sheets", "slides", "editor"})
        office.links.append(application(member));
    PanelTab tools = tabNamed(u"Tools"_qs, {application("contacts"), Item(office), application("calendar"),
                                            application("printers")});
    tools.color = TabColor::SystemOrange;
    const Panel free(PanelInit{.name = u"Tools"_qs,
                               .tabStyle = PanelTabStyle::Buttons,
                               .tab = tools,
                               .moreTabs = {tabNamed(u"Media"_qs, {})},
                               .didRevealTabBar = true,
                               .placement = onScreen(PanelPlacement{.freePosition = PanelFreePosition(0.78, 0.72)},
                                                     secondScreenID)});

    const QList<Panel> panels{dock, side, free};
    writeFile(root.filePath(u"config/Quayrow 2/configuration.json"_qs), ConfigurationDocument(panels).toJson());
    return panels;
}

} // namespace

int main(int argc, char *argv[])
{
    if ((argc == 3 || argc == 4) && qstrcmp(argv[1], "write") == 0) {
        std::optional<QString> secondScreenID;
        if (argc == 4)
            secondScreenID = PanelScreens::screenID(QString::fromLocal8Bit(argv[3]));
        writeSample(QDir(QString::fromLocal8Bit(argv[2])), secondScreenID);
        return 0;
    }
    if (argc == 2 && qstrcmp(argv[1], "backdrop") == 0) {
        QApplication app(argc, argv);
        // The class the "Text Editor" entry names, so that the editor window counts as it running.
        QCoreApplication::setApplicationName(QLatin1String(editorClass));
        return showBackdrop(app);
    }
    QTextStream(stderr) << "usage: sampledesktop write FOLDER [MONITOR] | sampledesktop backdrop\n";
    return 1;
}
