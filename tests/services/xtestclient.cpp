#include "xtestclient.h"

#include <QByteArray>
#include <QSysInfo>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <utility>
#include <unistd.h>

namespace XTest {

namespace {

struct FreeDeleter
{
    void operator()(void *memory) const { std::free(memory); }
};

void setProperty(xcb_connection_t *c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type, int format,
                 const void *data, int count)
{
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, property, type, uint8_t(format), uint32_t(count), data);
}

} // namespace

bool Server::start(bool withWindowManager)
{
    m_server.start(u"Xvfb"_qs, {u"-displayfd"_qs, u"1"_qs, u"-screen"_qs, u"0"_qs, u"640x480x24"_qs,
                                u"-nolisten"_qs, u"tcp"_qs});
    if (!m_server.waitForStarted(5000))
        return false;
    while (!m_server.canReadLine() && m_server.waitForReadyRead(10000)) {
    }
    const QString number = QString::fromLatin1(m_server.readLine()).trimmed();
    if (number.isEmpty())
        return false;
    m_display = u":"_qs + number;
    m_connection = xcb_connect(m_display.toLatin1().constData(), nullptr);
    if (xcb_connection_has_error(m_connection))
        return false;
    if (!withWindowManager)
        return true;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"DISPLAY"_qs, m_display);
    // openbox needs its configuration and theme from the system's directories.
    environment.insert(u"XDG_CONFIG_DIRS"_qs, u"/etc/xdg"_qs);
    environment.insert(u"XDG_DATA_DIRS"_qs, u"/usr/local/share:/usr/share"_qs);
    m_windowManager.setProcessEnvironment(environment);
    m_windowManager.start(u"openbox"_qs, {u"--sm-disable"_qs});
    if (!QTest::qWaitFor([this] { return hasWindowManager(m_connection); }, 10000))
        return false;
    // openbox announces itself before it manages windows: a window mapped in between would stay
    // unmanaged. Probe until one is managed.
    for (int attempt = 0; attempt < 10; ++attempt) {
        const xcb_window_t probe = createWindow(m_connection, u"probe"_qs, u"Probe"_qs, {}, 0);
        const bool managed = QTest::qWaitFor([&] { return clientList(m_connection).contains(probe); }, 1000);
        xcb_destroy_window(m_connection, probe);
        xcb_flush(m_connection);
        if (managed)
            return QTest::qWaitFor([this] { return clientList(m_connection).isEmpty(); }, 5000);
    }
    return false;
}

Server::~Server()
{
    if (m_connection)
        xcb_disconnect(m_connection);
    for (QProcess *process : {&m_windowManager, &m_server}) {
        process->terminate();
        process->waitForFinished(5000);
    }
}

void Server::stop()
{
    m_server.terminate();
    m_server.waitForFinished(5000);
}

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    std::unique_ptr<xcb_intern_atom_reply_t, FreeDeleter> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(qstrlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

xcb_window_t rootOf(xcb_connection_t *connection)
{
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

xcb_window_t createWindow(xcb_connection_t *c, const QString &instance, const QString &className,
                          const QStringList &options, quint32 pid)
{
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 120, 80, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    const QByteArray wmClass = instance.toLatin1() + '\0' + className.toLatin1() + '\0';
    setProperty(c, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, wmClass.constData(), int(wmClass.size()));
    setProperty(c, window, atom(c, "_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, &pid, 1);
    const QByteArray host = QSysInfo::machineHostName().toLatin1();
    setProperty(c, window, XCB_ATOM_WM_CLIENT_MACHINE, XCB_ATOM_STRING, 8, host.constData(), int(host.size()));
    for (const QString &option : options) {
        if (option == QLatin1String("skip-taskbar")) {
            const xcb_atom_t state = atom(c, "_NET_WM_STATE_SKIP_TASKBAR");
            setProperty(c, window, atom(c, "_NET_WM_STATE"), XCB_ATOM_ATOM, 32, &state, 1);
        } else if (option == QLatin1String("dialog")) {
            const xcb_atom_t type = atom(c, "_NET_WM_WINDOW_TYPE_DIALOG");
            setProperty(c, window, atom(c, "_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, &type, 1);
        } else if (option == QLatin1String("transient")) {
            setProperty(c, window, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 32, &screen->root, 1);
        } else if (option.startsWith(QLatin1String("pid="))) {
            const quint32 claimed = option.mid(4).toUInt();
            setProperty(c, window, atom(c, "_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, &claimed, 1);
        } else if (option.startsWith(QLatin1String("gtk-id="))) {
            const QByteArray id = option.mid(7).toUtf8();
            setProperty(c, window, atom(c, "_GTK_APPLICATION_ID"), atom(c, "UTF8_STRING"), 8, id.constData(),
                        int(id.size()));
        }
    }
    xcb_map_window(c, window);
    xcb_flush(c);
    return window;
}

QList<xcb_window_t> clientList(xcb_connection_t *c)
{
    std::unique_ptr<xcb_get_property_reply_t, FreeDeleter> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, rootOf(c), atom(c, "_NET_CLIENT_LIST"), XCB_ATOM_WINDOW, 0, 4096), nullptr));
    QList<xcb_window_t> windows;
    if (!reply || reply->format != 32)
        return windows;
    const auto *values = static_cast<const xcb_window_t *>(xcb_get_property_value(reply.get()));
    for (int i = 0; i < xcb_get_property_value_length(reply.get()) / 4; ++i)
        windows.append(values[i]);
    return windows;
}

void askWindowManager(xcb_connection_t *c, xcb_window_t window, const char *type, std::array<quint32, 5> data)
{
    xcb_client_message_event_t event = {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atom(c, type);
    std::copy(data.cbegin(), data.cend(), event.data.data32);
    xcb_send_event(c, 0, rootOf(c), XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
    xcb_flush(c);
}

void activate(xcb_connection_t *c, xcb_window_t window)
{
    askWindowManager(c, window, "_NET_ACTIVE_WINDOW", {2, XCB_CURRENT_TIME, 0, 0, 0});
}

quint32 cardinal(xcb_connection_t *c, xcb_window_t window, const char *name)
{
    const std::unique_ptr<xcb_get_property_reply_t, FreeDeleter> reply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, atom(c, name), XCB_ATOM_ANY, 0, 1), nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4)
        return quint32(-1);
    return *static_cast<const quint32 *>(xcb_get_property_value(reply.get()));
}

xcb_window_t activeWindow(xcb_connection_t *c)
{
    const quint32 window = cardinal(c, rootOf(c), "_NET_ACTIVE_WINDOW");
    return window == quint32(-1) ? xcb_window_t(XCB_WINDOW_NONE) : window;
}

bool isViewable(xcb_connection_t *c, xcb_window_t window)
{
    const std::unique_ptr<xcb_get_window_attributes_reply_t, FreeDeleter> reply(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
    return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
}

namespace {

// "kind: KEY=value KEY="quoted \"value\"" ...": values are quoted or not, backslash escapes.
StartupMessage parseStartupMessage(const QByteArray &text)
{
    StartupMessage message;
    const qsizetype colon = text.indexOf(':');
    message.kind = text.left(colon);
    qsizetype at = colon + 1;
    while (at < text.size()) {
        while (at < text.size() && text[at] == ' ')
            ++at;
        const qsizetype equals = text.indexOf('=', at);
        if (equals < 0)
            break;
        const QByteArray key = text.mid(at, equals - at);
        QByteArray value;
        at = equals + 1;
        bool quoted = false;
        for (; at < text.size(); ++at) {
            const char c = text[at];
            if (c == '\\' && at + 1 < text.size()) {
                value += text[++at];
            } else if (c == '"') {
                quoted = !quoted;
            } else if (c == ' ' && !quoted) {
                break;
            } else {
                value += c;
            }
        }
        message.keys.insert(key, value);
    }
    return message;
}

} // namespace

QList<StartupMessage> takeStartupMessages(xcb_connection_t *c, QByteArray &pending)
{
    static const xcb_atom_t begin = atom(c, "_NET_STARTUP_INFO_BEGIN");
    static const xcb_atom_t more = atom(c, "_NET_STARTUP_INFO");
    QList<StartupMessage> messages;
    while (xcb_generic_event_t *event = xcb_poll_for_event(c)) {
        const auto *message = reinterpret_cast<const xcb_client_message_event_t *>(event);
        if ((event->response_type & ~0x80) == XCB_CLIENT_MESSAGE && (message->type == begin || message->type == more)) {
            if (message->type == begin)
                pending.clear();
            const QByteArray piece(reinterpret_cast<const char *>(message->data.data8), 20);
            const qsizetype end = piece.indexOf('\0');
            pending += piece.left(end < 0 ? 20 : end);
            if (end >= 0)
                messages.append(parseStartupMessage(std::exchange(pending, {})));
        }
        std::free(event);
    }
    return messages;
}

bool hasWindowManager(xcb_connection_t *c)
{
    std::unique_ptr<xcb_get_property_reply_t, FreeDeleter> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, rootOf(c), atom(c, "_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW, 0, 1), nullptr));
    return reply && xcb_get_property_value_length(reply.get()) == 4;
}

int runClient(int argc, char *argv[])
{
    int at = 1;
    while (at < argc && qstrcmp(argv[at], "--x-client") != 0)
        ++at;
    if (at == argc)
        return -1;
    argc -= at - 1;
    argv += at - 1;
    if (argc < 5)
        return 2;
    xcb_connection_t *c = xcb_connect(argv[2], nullptr);
    if (xcb_connection_has_error(c))
        return 3;
    QStringList options;
    for (int i = 5; i < argc; ++i)
        options.append(QString::fromLocal8Bit(argv[i]));
    const xcb_window_t window = createWindow(c, QString::fromLocal8Bit(argv[3]), QString::fromLocal8Bit(argv[4]),
                                             options, quint32(::getpid()));
    std::printf("ready %u\n", window);
    std::fflush(stdout);
    char buffer[64];
    while (::read(STDIN_FILENO, buffer, sizeof buffer) > 0) {
    }
    xcb_disconnect(c);
    return 0;
}

} // namespace XTest
