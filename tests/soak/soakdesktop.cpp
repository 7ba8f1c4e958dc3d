#include "soakdesktop.h"

#include "panelbuilders.h"
#include "testdesktop.h"
#include "x11session.h"

#include "app/quayrow2app.h"
#include "persistence/configurationdocument.h"
#include "persistence/systemconfigurationstorage.h"
#include "store/appstore.h"
#include "windows/panelscreens.h"
#include "windows/panelwindow.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QMutex>
#include <QScreen>
#include <QTest>

#include <xcb/xcb.h>

using namespace Qt::StringLiterals;

namespace {

const char *const iconNames[] = {"accessories-calculator", "utilities-terminal", "text-editor", "image-viewer",
                                 "help-browser"};

} // namespace

SoakDesktop::SoakDesktop(const TestDesktop &desktop)
{
    // The system's icon themes and MIME database stay in sight behind the private data folder.
    qputenv("XDG_DATA_DIRS", QFile::encodeName(QDir(desktop.root()).filePath(u"data"_s)) + ":/usr/local/share:/usr/share");
    for (int i = 0; i < int(std::size(iconNames)); ++i) {
        m_locations << QUrl::fromLocalFile(desktop.writeApplication(
            u"soak-app%1.desktop"_s.arg(i), u"Name=Soak %1\nIcon=%2\nExec=true\n"_s.arg(i).arg(QLatin1String(iconNames[i]))));
    }
    for (const QString &name : {u"Projects"_s, u"Photos"_s, u"Mail archive"_s}) {
        const QString folder = QDir(desktop.home()).filePath(name);
        QDir().mkpath(folder);
        m_locations << QUrl::fromLocalFile(folder);
    }
    for (const QString &name : {u"notes.txt"_s, u"report.pdf"_s, u"song.mp3"_s, u"späť.txt"_s})
        m_locations << QUrl::fromLocalFile(desktop.writeFile(u"home/Documents/"_s + name, "content\n"));
    // A click the pointer makes by accident opens nothing of the machine's.
    desktop.writeApplication(u"soak-open.desktop"_s, u"Exec=true %U\nNoDisplay=true\n"_s);
    desktop.writeDefaultApplications(u"inode/directory=soak-open.desktop\ntext/plain=soak-open.desktop\n"
                                     "application/pdf=soak-open.desktop\naudio/mpeg=soak-open.desktop"_s);

    Panel bottom = panelWith(u"Dock"_s, {tabNamed(u"Main"_s, {linkTo(m_locations.at(0).toLocalFile()),
                                                              linkTo(m_locations.at(5).toLocalFile()),
                                                              linkTo(m_locations.at(8).toLocalFile())})});
    bottom.append(Item(ItemGroup{.name = u"Group"_s, .links = {linkTo(m_locations.at(1).toLocalFile())}}));
    bottom.setPlacement(PanelPlacement{.mode = PanelPlacementMode::Snapped, .edge = PanelEdge::Bottom});
    Panel side = panelWith(u"Side"_s, {tabNamed(u"One"_s, {linkTo(m_locations.at(2).toLocalFile())}),
                                       tabNamed(u"Two"_s)});
    side.setPlacement(PanelPlacement{.mode = PanelPlacementMode::Snapped, .edge = PanelEdge::Left});
    Panel free = panelWith(u"Free"_s, {tabNamed(u"Tab"_s, {linkTo(m_locations.at(9).toLocalFile())})});
    free.setPlacement(PanelPlacement{.mode = PanelPlacementMode::Free, .freePosition = PanelFreePosition(0.3, 0.6)});
    if (!SystemConfigurationStorage().save({bottom, side, free}))
        qFatal("cannot write the first configuration");
}

QList<QString> SoakDesktop::attachedScreenIDs()
{
    QList<QString> ids;
    for (const QScreen *screen : QGuiApplication::screens()) {
        if (const std::optional<QString> id = PanelScreens::panelScreenID(screen))
            ids << *id;
    }
    return ids;
}

void SoakDesktop::turnEventLoop()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // What the event loop does whenever it is about to wait.
    xcb_flush(qApp->nativeInterface<QNativeInterface::QX11Application>()->connection());
}

namespace {

// What differs between a panel's window and its geometry; empty when nothing does.
QString misplacement(const Panel &panel, Quayrow2App &app)
{
    const PanelWindow *window = app.windowManager().window(panel.id());
    if (!window)
        return u"%1: no window"_s.arg(panel.name);
    const xcb_window_t xid = xcb_window_t(window->winId());
    if (!X11Session::current().isViewable(xid))
        return u"%1: not shown"_s.arg(panel.name);
    const QRect shown = X11Session::current().frame(xid);
    const PanelPlacement &placement = panel.placement();
    const QScreen *screen = PanelScreens::forPanel(placement.screenID);
    if (!screen)
        return u"%1: no screen"_s.arg(panel.name);
    const QRectF wanted =
        PanelScreens::toQt(AppStore::frame(placement, window->fittingSize(), PanelScreens::visibleFrame(screen)));
    // A free panel never placed stays where it opened: only its size follows the geometry.
    const bool keepsItsPlace = placement.mode == PanelPlacementMode::Free && !placement.freePosition;
    const auto near = [](double a, double b) { return qAbs(a - b) <= 1; };
    const bool sizeAgrees = near(shown.width(), wanted.width()) && near(shown.height(), wanted.height());
    const bool placeAgrees = keepsItsPlace || (near(shown.x(), wanted.x()) && near(shown.y(), wanted.y()));
    if (sizeAgrees && placeAgrees)
        return {};
    return u"%1 is at %2,%3 %4x%5, its geometry says %6,%7 %8x%9"_s.arg(panel.name)
        .arg(shown.x()).arg(shown.y()).arg(shown.width()).arg(shown.height())
        .arg(wanted.x()).arg(wanted.y()).arg(wanted.width()).arg(wanted.height());
}

QStringList misplacements(Quayrow2App &app)
{
    QStringList found;
    // Windows of removed panels are gone, not merely hidden away.
    qsizetype shownPanelWindows = 0;
    for (const QWidget *window : QApplication::topLevelWidgets())
        shownPanelWindows += qobject_cast<const PanelWindow *>(window) && window->isVisible() ? 1 : 0;
    if (shownPanelWindows != app.store().panels().size())
        found << u"%1 panel windows shown for %2 panels"_s.arg(shownPanelWindows).arg(app.store().panels().size());
    for (const Panel &panel : app.store().panels()) {
        if (const QString problem = misplacement(panel, app); !problem.isEmpty())
            found << problem;
    }
    return found;
}

} // namespace

QStringList SoakDesktop::settle(Quayrow2App &app)
{
    if (QTest::qWaitFor([&] { return misplacements(app).isEmpty(); }, 10000))
        return {};
    return misplacements(app);
}

QString SoakDesktop::firstDifference(const QList<Panel> &left, const QList<Panel> &right)
{
    const QList<QByteArray> leftLines = ConfigurationDocument(left).toJson().split('\n');
    const QList<QByteArray> rightLines = ConfigurationDocument(right).toJson().split('\n');
    for (qsizetype line = 0; line < std::max(leftLines.size(), rightLines.size()); ++line) {
        const QByteArray a = leftLines.value(line);
        const QByteArray b = rightLines.value(line);
        if (a != b)
            return u"line %1: %2 | %3"_s.arg(line + 1).arg(QString::fromUtf8(a.trimmed()), QString::fromUtf8(b.trimmed()));
    }
    return u"the documents are the same: a field that is not stored differs"_s;
}

namespace {

QMutex errorsLock;
int errorCount = 0;
QStringList firstErrors;
QtMessageHandler previousHandler = nullptr;

void countXErrors(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(u"XCB error"_s)) {
        const QMutexLocker locker(&errorsLock);
        ++errorCount;
        if (firstErrors.size() < 10)
            firstErrors << message;
    }
    if (previousHandler)
        previousHandler(type, context, message);
}

} // namespace

XErrorCounter::XErrorCounter()
{
    const QMutexLocker locker(&errorsLock);
    errorCount = 0;
    firstErrors.clear();
    previousHandler = qInstallMessageHandler(countXErrors);
}

XErrorCounter::~XErrorCounter()
{
    qInstallMessageHandler(previousHandler);
}

int XErrorCounter::count() const
{
    const QMutexLocker locker(&errorsLock);
    return errorCount;
}

QStringList XErrorCounter::first() const
{
    const QMutexLocker locker(&errorsLock);
    return firstErrors;
}
