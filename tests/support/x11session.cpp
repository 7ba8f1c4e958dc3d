#include "x11session.h"

#include "waylandhost.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include <signal.h>
#include <sys/prctl.h>

namespace {

struct FreeDeleter
{
    void operator()(void *memory) const { std::free(memory); }
};
template<typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

X11Session *theSession = nullptr;

QProcessEnvironment environmentFor(const QString &display)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"DISPLAY"_qs, display);
    return environment;
}

// The helper ends with the test process, also when a timeout kills the test before it can stop
// its helpers: a server left behind would hold its display until the machine restarts.
void endWithTest(QProcess &process)
{
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
}

void stopProcess(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(2000);
    }
}

} // namespace

X11Session::X11Session(QSize size, const QString &windowManager)
    : m_size(size)
    , m_requestedWindowManager(windowManager)
{
    theSession = this;
    for (QProcess *process : {&m_server, m_windowManager.get(), &m_compositor})
        endWithTest(*process);
}

X11Session::~X11Session()
{
    // The server is terminated, not killed: a killed server leaves its lock file, and a later
    // server could take over its display number.
    stopServer();
    if (theSession == this)
        theSession = nullptr;
}

void X11Session::stopServer()
{
    if (m_connection) {
        xcb_disconnect(m_connection);
        m_connection = nullptr;
    }
    stopProcess(m_compositor);
    stopProcess(*m_windowManager);
    stopProcess(m_server);
}

X11Session &X11Session::current()
{
    Q_ASSERT(theSession);
    return *theSession;
}

bool X11Session::start()
{
    if (const QString compositor = qEnvironmentVariable("QUAYROW_TEST_COMPOSITOR"); !compositor.isEmpty())
        return startUnderWayland(compositor);
    m_server.setProcessChannelMode(QProcess::SeparateChannels);
    m_server.start(u"Xvfb"_qs, {u"-displayfd"_qs, u"1"_qs, u"-noreset"_qs, u"-nolisten"_qs, u"tcp"_qs, u"-screen"_qs,
                                u"0"_qs, u"%1x%2x24"_qs.arg(m_size.width()).arg(m_size.height())});
    if (!m_server.waitForStarted(5000)) {
        m_error = u"Xvfb did not start"_qs;
        return false;
    }
    while (!m_server.canReadLine() && m_server.waitForReadyRead(10000)) {
    }
    const QString number = QString::fromLatin1(m_server.readLine()).trimmed();
    if (number.isEmpty()) {
        m_error = u"Xvfb reported no display"_qs;
        return false;
    }
    m_display = u":"_qs + number;
    m_connection = xcb_connect(m_display.toLatin1().constData(), nullptr);
    if (xcb_connection_has_error(m_connection)) {
        m_error = u"cannot connect to "_qs + m_display;
        return false;
    }
    const uint32_t background = rootColor & 0xffffff;
    xcb_change_window_attributes(m_connection, root(), XCB_CW_BACK_PIXEL, &background);
    xcb_clear_area(m_connection, 0, root(), 0, 0, 0, 0);
    xcb_flush(m_connection);
    return startWindowManager();
}

bool X11Session::startWindowManager()
{
    if (!launchWindowManager())
        return false;
    if (m_windowManagerName != u"none"_qs && !waitForWindowManager()) {
        m_error = m_windowManagerName + u" did not manage windows"_qs;
        return false;
    }
    return true;
}

bool X11Session::launchWindowManager(const QStringList &extraArguments)
{
    m_windowManagerName = !m_requestedWindowManager.isEmpty() ? m_requestedWindowManager
                                                               : qEnvironmentVariable("QUAYROW_TEST_WM", u"openbox"_qs);
    if (m_windowManagerName == u"none")
        return true;
    QProcessEnvironment environment = environmentFor(m_display);
    // A home of its own: fluxbox writes its configuration there on first start.
    environment.insert(u"HOME"_qs, m_home.path());
    environment.insert(u"XDG_CONFIG_DIRS"_qs, u"/etc/xdg"_qs);
    environment.insert(u"XDG_DATA_DIRS"_qs, u"/usr/local/share:/usr/share"_qs);
    m_windowManager->setProcessEnvironment(environment);
    m_windowManager->setStandardOutputFile(QProcess::nullDevice());
    m_windowManager->setStandardErrorFile(QProcess::nullDevice());
    QStringList arguments;
    if (m_windowManagerName == u"openbox") {
        arguments = {u"--sm-disable"_qs};
    } else if (m_windowManagerName == u"fluxbox") {
        arguments = {u"-no-slit"_qs, u"-no-toolbar"_qs};
        // Its style would set a wallpaper through fbsetbg, which pops up a message window when it
        // finds no wallpaper tool.
        QDir(m_home.path()).mkpath(u".fluxbox"_qs);
        QFile overlay(m_home.filePath(u".fluxbox/overlay"_qs));
        if (overlay.open(QIODevice::WriteOnly))
            overlay.write("background: none\n");
    }
    else if (m_windowManagerName == u"xfwm4")
        arguments = {u"--compositor=off"_qs, u"--sm-client-disable"_qs};
    m_windowManager->start(m_windowManagerName, arguments + extraArguments);
    if (!m_windowManager->waitForStarted(5000)) {
        m_error = m_windowManagerName + u" did not start"_qs;
        return false;
    }
    return true;
}

bool X11Session::replaceWindowManager(const QString &windowManager, const std::function<void()> &meanwhile)
{
    const bool takesOver = windowManager == u"openbox"_qs && m_windowManagerName == windowManager;
    std::unique_ptr<QProcess> previous = std::exchange(m_windowManager, std::make_unique<QProcess>());
    endWithTest(*m_windowManager);
    if (!takesOver)
        stopProcess(*previous);
    if (meanwhile)
        meanwhile();
    m_requestedWindowManager = windowManager;
    if (!launchWindowManager(takesOver ? QStringList{u"--replace"_qs} : QStringList{}))
        return false;
    // The new one takes the manager selection, and the old one leaves when it loses it.
    if (previous->state() != QProcess::NotRunning && !previous->waitForFinished(10000)) {
        m_error = u"the previous window manager did not leave"_qs;
        return false;
    }
    if (m_windowManagerName != u"none"_qs && !waitForWindowManager()) {
        m_error = m_windowManagerName + u" did not manage windows"_qs;
        return false;
    }
    return true;
}

QString X11Session::waylandDisplay() const
{
    return m_waylandHost ? m_waylandHost->waylandDisplay() : QString();
}

// XWayland is rootless: there is no root to paint, and the compositor manages the windows.
bool X11Session::startUnderWayland(const QString &compositor)
{
    m_waylandHost = std::make_unique<WaylandHost>();
    m_windowManagerName = compositor;
    if (!m_waylandHost->start(compositor, m_size)) {
        m_error = m_waylandHost->errorString();
        return false;
    }
    m_display = m_waylandHost->xDisplay();
    m_connection = xcb_connect(m_display.toLatin1().constData(), nullptr);
    if (xcb_connection_has_error(m_connection)) {
        m_error = u"cannot connect to "_qs + m_display;
        return false;
    }
    if (!waitForWindowManager()) {
        m_error = compositor + u" did not manage X windows"_qs;
        return false;
    }
    return true;
}

bool X11Session::waitForWindowManager()
{
    // Either tells that one is starting: openbox takes the manager selection before it names
    // its check window, and fluxbox takes no selection.
    const auto announced = [this] {
        return !atoms(root(), "_NET_SUPPORTING_WM_CHECK").isEmpty() || selectionOwner("WM_S0") != XCB_WINDOW_NONE;
    };
    if (!waitOutsideTheEventLoop(announced, 10000))
        return false;
    // A window manager announces itself before it manages windows: a window mapped in between
    // would stay unmanaged. Probe until one is managed.
    for (int attempt = 0; attempt < 20; ++attempt) {
        const xcb_window_t probe = createWindow(QRect(0, 0, 40, 40), u"probe"_qs);
        const bool managed = waitUntilManaged(probe);
        destroyWindow(probe);
        if (!managed)
            continue;
        // Managed is what was asked; the probe's leaving the lists is waited for only so that
        // the test starts with clean lists. A window manager still busy with its start may list
        // it a while longer, and what the test reads next says whether it works.
        waitOutsideTheEventLoop([this, probe] { return !clientList().contains(probe); }, 5000);
        return true;
    }
    return false;
}

xcb_window_t X11Session::root() const
{
    return xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
}

xcb_atom_t X11Session::atom(const char *name) const
{
    const QByteArray key(name);
    if (const auto found = m_atoms.constFind(key); found != m_atoms.constEnd())
        return *found;
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, uint16_t(key.size()), key.constData()), nullptr));
    const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    m_atoms.insert(key, value);
    return value;
}

bool X11Session::run(const QString &program, const QStringList &arguments) const
{
    QProcess process;
    process.setProcessEnvironment(environmentFor(m_display));
    process.start(program, arguments);
    if (!process.waitForFinished(10000)) {
        std::fprintf(stderr, "%s did not finish\n", qPrintable(program));
        return false;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        std::fprintf(stderr, "%s %s: %s\n", qPrintable(program), qPrintable(arguments.join(u' ')),
                     process.readAllStandardError().constData());
        return false;
    }
    return true;
}

bool X11Session::startCompositor(const QStringList &extraArguments)
{
    m_compositor.setProcessEnvironment(environmentFor(m_display));
    m_compositor.setStandardOutputFile(QProcess::nullDevice());
    m_compositor.setStandardErrorFile(QProcess::nullDevice());
    m_compositor.start(u"picom"_qs, QStringList{u"--backend"_qs, u"xrender"_qs, u"--no-vsync"_qs,
                                                u"--config"_qs, u"/dev/null"_qs} + extraArguments);
    return m_compositor.waitForStarted(5000) && waitOutsideTheEventLoop([this] { return isCompositing(); }, 10000);
}

bool X11Session::stopCompositor()
{
    stopProcess(m_compositor);
    return waitOutsideTheEventLoop([this] { return !isCompositing(); }, 5000);
}

bool X11Session::isCompositing() const
{
    return selectionOwner("_NET_WM_CM_S0") != XCB_WINDOW_NONE;
}

xcb_window_t X11Session::selectionOwner(const char *selection) const
{
    const Reply<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
        m_connection, xcb_get_selection_owner(m_connection, atom(selection)), nullptr));
    return owner ? owner->owner : xcb_window_t(XCB_WINDOW_NONE);
}

bool X11Session::setMonitor(const QString &name, const QRect &geometry, bool primary)
{
    if (const auto existing = m_monitors.constFind(name); existing != m_monitors.constEnd()) {
        if (*existing == geometry)
            return true;
        if (!run(u"xrandr"_qs, {u"--delmonitor"_qs, name}))
            return false;
    }
    // Millimetres for 96 dpi; the output "screen" goes to the first monitor, so that Xvfb's
    // automatic whole-screen monitor disappears.
    const QString monitorGeometry = u"%1/%2x%3/%4+%5+%6"_qs.arg(geometry.width())
                             .arg(geometry.width() * 254 / 960)
                             .arg(geometry.height())
                             .arg(geometry.height() * 254 / 960)
                             .arg(geometry.x())
                             .arg(geometry.y());
    const bool takesOutput = m_outputMonitor.isEmpty() || m_outputMonitor == name;
    if (!run(u"xrandr"_qs, {u"--setmonitor"_qs, (primary ? u"*"_qs : QString()) + name, monitorGeometry,
                             takesOutput ? u"screen"_qs : u"none"_qs}))
        return false;
    if (takesOutput)
        m_outputMonitor = name;
    m_monitors.insert(name, geometry);
    return true;
}

bool X11Session::deleteMonitor(const QString &name)
{
    if (name == m_outputMonitor)
        m_outputMonitor.clear();
    m_monitors.remove(name);
    return run(u"xrandr"_qs, {u"--delmonitor"_qs, name});
}

bool X11Session::movePointer(QPoint position) const
{
    return run(u"xdotool"_qs, {u"mousemove"_qs, QString::number(position.x()), QString::number(position.y())});
}

bool X11Session::pressButton(int button) const
{
    return run(u"xdotool"_qs, {u"mousedown"_qs, QString::number(button)});
}

bool X11Session::releaseButton(int button) const
{
    return run(u"xdotool"_qs, {u"mouseup"_qs, QString::number(button)});
}

bool X11Session::click(QPoint position, int button) const
{
    return movePointer(position) && run(u"xdotool"_qs, {u"click"_qs, QString::number(button)});
}

std::unique_ptr<QProcess> X11Session::dragWithPointer(QPoint from, QPoint to) const
{
    QStringList arguments{u"mousemove"_qs, QString::number(from.x()), QString::number(from.y()), u"mousedown"_qs,
                          u"1"_qs};
    constexpr int steps = 12;
    for (int i = 1; i <= steps; ++i) {
        const QPoint at = from + (to - from) * i / steps;
        arguments << u"sleep"_qs << u"0.04"_qs << u"mousemove"_qs << QString::number(at.x())
                  << QString::number(at.y());
    }
    // Hover a moment over the target, moving a little, so that the target has answered.
    arguments << u"sleep"_qs << u"0.15"_qs << u"mousemove"_qs << QString::number(to.x() + 1)
              << QString::number(to.y()) << u"sleep"_qs << u"0.15"_qs << u"mouseup"_qs << u"1"_qs;
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environmentFor(m_display));
    process->start(u"xdotool"_qs, arguments);
    return process;
}

bool X11Session::finishes(QProcess &process, int milliseconds)
{
    return QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, milliseconds)
        && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QRect X11Session::frame(xcb_window_t window) const
{
    const Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr));
    const Reply<xcb_translate_coordinates_reply_t> origin(xcb_translate_coordinates_reply(
        m_connection, xcb_translate_coordinates(m_connection, window, root(), 0, 0), nullptr));
    if (!geometry || !origin)
        return {};
    return QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
}

QRect X11Session::settledFrame(xcb_window_t window, const QRect &expected, int steady, int milliseconds) const
{
    const QDeadlineTimer deadline(milliseconds);
    QRect current = frame(window);
    QDeadlineTimer steadyUntil(current == expected ? steady : -1);
    while (!(current == expected && steadyUntil.hasExpired()) && !deadline.hasExpired()) {
        QTest::qWait(10);
        const QRect read = frame(window);
        if (read == expected && current != expected)
            steadyUntil.setRemainingTime(steady);
        current = read;
    }
    return current;
}

QList<xcb_atom_t> X11Session::atoms(xcb_window_t window, const char *property) const
{
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 0, window, atom(property), XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
        nullptr));
    QList<xcb_atom_t> values;
    if (!reply || reply->format != 32)
        return values;
    const auto *data = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply.get()));
    for (int i = 0; i < xcb_get_property_value_length(reply.get()) / 4; ++i)
        values.append(data[i]);
    return values;
}

bool X11Session::hasState(xcb_window_t window, const char *state) const
{
    return atoms(window, "_NET_WM_STATE").contains(atom(state));
}

std::optional<quint32> X11Session::cardinal(xcb_window_t window, const char *property) const
{
    const QList<xcb_atom_t> values = atoms(window, property);
    if (values.isEmpty())
        return std::nullopt;
    return values.first();
}

QByteArray X11Session::property(xcb_window_t window, const char *property) const
{
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 0, window, atom(property), XCB_GET_PROPERTY_TYPE_ANY, 0, 4096),
        nullptr));
    if (!reply || reply->type == XCB_ATOM_NONE)
        return {};
    return QByteArray(static_cast<const char *>(xcb_get_property_value(reply.get())),
                      xcb_get_property_value_length(reply.get()));
}

xcb_window_t X11Session::activeWindow() const
{
    return cardinal(root(), "_NET_ACTIVE_WINDOW").value_or(XCB_WINDOW_NONE);
}

QList<xcb_window_t> X11Session::clientList() const
{
    return atoms(root(), "_NET_CLIENT_LIST");
}

bool X11Session::isStackedAbove(xcb_window_t upper, xcb_window_t lower) const
{
    // The child of the root that holds a window: its window manager frame.
    const auto topLevel = [this](xcb_window_t window) {
        for (;;) {
            const Reply<xcb_query_tree_reply_t> tree(
                xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, window), nullptr));
            if (!tree || tree->parent == root() || tree->parent == XCB_WINDOW_NONE)
                return window;
            window = tree->parent;
        }
    };
    const Reply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, root()), nullptr));
    if (!tree)
        return false;
    const xcb_window_t *children = xcb_query_tree_children(tree.get());
    const int count = xcb_query_tree_children_length(tree.get());
    const auto position = [&](xcb_window_t window) {
        return int(std::find(children, children + count, topLevel(window)) - children);
    };
    const int upperIndex = position(upper);
    return upperIndex < count && upperIndex > position(lower);
}

bool X11Session::isViewable(xcb_window_t window) const
{
    const Reply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(m_connection, xcb_get_window_attributes(m_connection, window), nullptr));
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

QImage X11Session::grab(const QRect &area) const
{
    const Reply<xcb_get_image_reply_t> image(xcb_get_image_reply(
        m_connection,
        xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, root(), int16_t(area.x()), int16_t(area.y()),
                      uint16_t(area.width()), uint16_t(area.height()), ~0u),
        nullptr));
    if (!image)
        return {};
    const QImage view(xcb_get_image_data(image.get()), area.width(), area.height(), area.width() * 4,
                      QImage::Format_RGB32);
    return view.copy();
}

xcb_window_t X11Session::createUnmapped(const QRect &geometry, quint32 colour)
{
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    const xcb_window_t window = xcb_generate_id(m_connection);
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, screen->root, int16_t(geometry.x()),
                      int16_t(geometry.y()), uint16_t(geometry.width()), uint16_t(geometry.height()), 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL, &colour);
    return window;
}

xcb_window_t X11Session::createWindow(const QRect &geometry, const QString &title)
{
    const xcb_window_t window = createUnmapped(geometry, 0xffffff);
    const QByteArray name = title.toUtf8();
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, atom("_NET_WM_NAME"), atom("UTF8_STRING"), 8,
                        uint32_t(name.size()), name.constData());
    const QByteArray wmClass = name + '\0' + name + '\0';
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                        uint32_t(wmClass.size()), wmClass.constData());
    xcb_map_window(m_connection, window);
    xcb_flush(m_connection);
    return window;
}

xcb_window_t X11Session::createBottomDock(const QRect &geometry)
{
    const xcb_window_t window = createUnmapped(geometry, 0x202020);
    const xcb_atom_t dock = atom("_NET_WM_WINDOW_TYPE_DOCK");
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32,
                        1, &dock);
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    const uint32_t bottom = uint32_t(screen->height_in_pixels - geometry.top());
    const uint32_t strut[12] = {0, 0, 0, bottom, 0, 0, 0, 0, 0, 0, uint32_t(geometry.left()), uint32_t(geometry.right())};
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, atom("_NET_WM_STRUT_PARTIAL"), XCB_ATOM_CARDINAL,
                        32, 12, strut);
    xcb_map_window(m_connection, window);
    xcb_flush(m_connection);
    return window;
}

void X11Session::moveWindow(xcb_window_t window, QPoint position)
{
    const quint32 values[] = {quint32(position.x()), quint32(position.y())};
    xcb_configure_window(m_connection, window, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, values);
    xcb_flush(m_connection);
}

void X11Session::destroyWindow(xcb_window_t window)
{
    xcb_destroy_window(m_connection, window);
    xcb_flush(m_connection);
}

void X11Session::askWindowManager(xcb_window_t window, const char *type, std::array<quint32, 5> data)
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atom(type);
    std::copy(data.cbegin(), data.cend(), message.data.data32);
    xcb_send_event(m_connection, 0, root(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(m_connection);
}

void X11Session::activate(xcb_window_t window)
{
    askWindowManager(window, "_NET_ACTIVE_WINDOW", {2 /* as a pager: the user's own choice */, XCB_CURRENT_TIME, 0, 0, 0});
}

bool X11Session::waitUntilManaged(xcb_window_t window) const
{
    // Some window managers (weston's) keep no client list; every one sets the ICCCM WM_STATE.
    if (!atoms(root(), "_NET_SUPPORTED").contains(atom("_NET_CLIENT_LIST")))
        return waitOutsideTheEventLoop([&] { return !property(window, "WM_STATE").isEmpty(); }, 2000);
    return waitOutsideTheEventLoop([&] { return clientList().contains(window); }, 2000);
}

namespace X11SessionMain {

std::optional<int> prepare(int argc, char *argv[])
{
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    if (const QString compositor = qEnvironmentVariable("QUAYROW_TEST_COMPOSITOR"); !compositor.isEmpty()) {
        if (!WaylandHost::isKnown(compositor)) {
            std::fprintf(stderr, "QUAYROW_TEST_COMPOSITOR names no known compositor: %s\n", qPrintable(compositor));
            return 1;
        }
        if (const QStringList missing = WaylandHost::missingPrograms(compositor); !missing.isEmpty()) {
            std::printf("SKIP: not installed: %s\n", qPrintable(missing.join(u", "_qs)));
            return 77;
        }
    } else if (QStandardPaths::findExecutable(u"Xvfb"_qs).isEmpty()) {
        std::printf("SKIP: Xvfb is not installed; real-window tests need it\n");
        return 77;
    }
    const QString windowManager = qEnvironmentVariable("QUAYROW_TEST_WM", u"openbox"_qs);
    if (windowManager != u"none" && qEnvironmentVariableIsEmpty("QUAYROW_TEST_COMPOSITOR") && QStandardPaths::findExecutable(windowManager).isEmpty()) {
        std::printf("SKIP: the window manager %s is not installed\n", qPrintable(windowManager));
        return 77;
    }
    // Lives until the process ends, after the application object.
    static X11Session session;
    if (!session.start()) {
        std::fprintf(stderr, "no X session: %s\n", qPrintable(session.errorString()));
        return 1;
    }
    qputenv("DISPLAY", session.display().toLatin1());
    qputenv("QT_QPA_PLATFORM", "xcb");
    // Fixed metrics: 1 point = 1 pixel whatever the host says.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    qunsetenv("QT_SCALE_FACTOR");
    return std::nullopt;
}

} // namespace X11SessionMain
