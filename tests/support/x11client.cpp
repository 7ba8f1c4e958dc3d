#include "x11client.h"

#include <QSysInfo>

#include <cstdio>
#include <cstdlib>
#include <utility>
#include <unistd.h>

namespace X11Client {

namespace {

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(qstrlen(name)), name), nullptr);
    const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return value;
}

void setProperty(xcb_connection_t *c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type, int format,
                 const void *data, int count)
{
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, property, type, uint8_t(format), uint32_t(count), data);
}

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

QList<StartupMessage> takeStartupMessages(xcb_connection_t *c, QByteArray &pending)
{
    const xcb_atom_t begin = atom(c, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = atom(c, "_NET_STARTUP_INFO");
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

} // namespace X11Client
