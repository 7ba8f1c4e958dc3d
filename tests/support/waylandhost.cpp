#include "waylandhost.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSize>
#include <QStandardPaths>
#include <QThread>

#include <xcb/xcb.h>

#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

// The account that runs a compositor refusing root.
struct Account
{
    uid_t uid = 0;
    gid_t gid = 0;
};

std::optional<Account> nobody()
{
    const passwd *entry = ::getpwnam("nobody");
    if (!entry)
        return std::nullopt;
    return Account{entry->pw_uid, entry->pw_gid};
}

bool answers(const QString &display)
{
    xcb_connection_t *connection = xcb_connect(display.toLatin1().constData(), nullptr);
    const bool ok = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return ok;
}

} // namespace

WaylandHost::WaylandHost()
{
    m_compositor.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
}

WaylandHost::~WaylandHost()
{
    if (m_compositor.state() == QProcess::NotRunning)
        return;
    m_compositor.terminate();
    if (!m_compositor.waitForFinished(5000)) {
        m_compositor.kill();
        m_compositor.waitForFinished(2000);
    }
}

bool WaylandHost::isKnown(const QString &compositor)
{
    return compositor == u"weston" || compositor == u"sway";
}

QStringList WaylandHost::missingPrograms(const QString &compositor)
{
    QStringList missing;
    for (const QString &program : {compositor, u"Xwayland"_qs}) {
        if (QStandardPaths::findExecutable(program).isEmpty())
            missing.append(program);
    }
    return missing;
}

bool WaylandHost::start(const QString &compositor, QSize size)
{
    if (!m_runtime.isValid()) {
        m_error = u"no runtime folder"_qs;
        return false;
    }
    QFile::setPermissions(m_runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const bool started = compositor == u"sway" ? startSway(size) : startWeston(size);
    return started && waitForXDisplay();
}

bool WaylandHost::startWeston(QSize size)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_RUNTIME_DIR"_qs, m_runtime.path());
    environment.remove(u"DISPLAY"_qs);
    environment.remove(u"WAYLAND_DISPLAY"_qs);
    m_compositor.setProcessEnvironment(environment);
    m_compositor.setProcessChannelMode(QProcess::MergedChannels);
    m_compositor.start(u"weston"_qs, {u"--backend=headless-backend.so"_qs, u"--xwayland"_qs, u"--idle-time=0"_qs,
                                      u"--socket=wayland-quayrow"_qs, u"--width=%1"_qs.arg(size.width()),
                                      u"--height=%1"_qs.arg(size.height())});
    if (!m_compositor.waitForStarted(5000)) {
        m_error = u"weston did not start"_qs;
        return false;
    }
    // weston names its XWayland display once it listens: "xserver listening on display :N".
    static const QRegularExpression listening(u"xserver listening on display (:\\d+)"_qs);
    QByteArray log;
    const QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired() && m_compositor.waitForReadyRead(int(deadline.remainingTime()))) {
        log += m_compositor.readAll();
        if (const QRegularExpressionMatch match = listening.match(QString::fromLocal8Bit(log)); match.hasMatch()) {
            m_xDisplay = match.captured(1);
            m_waylandDisplay = m_runtime.filePath(u"wayland-quayrow"_qs);
            m_compositor.setStandardOutputFile(QProcess::nullDevice());
            return true;
        }
    }
    m_error = u"weston named no XWayland display: "_qs + QString::fromLocal8Bit(log.right(400));
    return false;
}

bool WaylandHost::startSway(QSize size)
{
    const std::optional<Account> account = ::getuid() == 0 ? nobody() : std::optional<Account>(Account{::getuid(), ::getgid()});
    if (!account) {
        m_error = u"no unprivileged account to run sway"_qs;
        return false;
    }
    const QString displayFile = m_runtime.filePath(u"x-display"_qs);
    const QString config = m_runtime.filePath(u"config"_qs);
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)) {
        m_error = u"cannot write the sway configuration"_qs;
        return false;
    }
    // XWayland started at once; sway's own child lets the test's user in (XWayland asks for
    // authorization from other users) and then tells the display through a file.
    const passwd *tester = ::getpwuid(::getuid());
    const QString testUser = tester ? QString::fromLocal8Bit(tester->pw_name) : u"root"_qs;
    file.write(QStringLiteral("xwayland force\n"
                              "output HEADLESS-1 resolution %1x%2 position 0 0\n"
                              "exec sh -c 'xhost +si:localuser:%4 >/dev/null; "
                              "echo \"$DISPLAY\" > %3.part && mv %3.part %3'\n")
                   .arg(size.width())
                   .arg(size.height())
                   .arg(displayFile, testUser)
                   .toLocal8Bit());
    file.close();
    if (::chown(QFile::encodeName(m_runtime.path()).constData(), account->uid, account->gid) != 0
        || ::chown(QFile::encodeName(config).constData(), account->uid, account->gid) != 0) {
        m_error = u"cannot hand the runtime folder to the compositor's account"_qs;
        return false;
    }

    QProcessEnvironment environment;
    environment.insert(u"PATH"_qs, u"/usr/local/bin:/usr/bin:/bin"_qs);
    environment.insert(u"HOME"_qs, m_runtime.path());
    environment.insert(u"XDG_RUNTIME_DIR"_qs, m_runtime.path());
    environment.insert(u"WLR_BACKENDS"_qs, u"headless"_qs);
    environment.insert(u"WLR_RENDERER"_qs, u"pixman"_qs);
    environment.insert(u"WLR_LIBINPUT_NO_DEVICES"_qs, u"1"_qs);
    m_compositor.setProcessEnvironment(environment);
    m_compositor.setStandardOutputFile(QProcess::nullDevice());
    m_compositor.setStandardErrorFile(QProcess::nullDevice());
    const Account user = *account;
    m_compositor.setChildProcessModifier([user] {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(user.gid) != 0 || ::setuid(user.uid) != 0))
            ::_exit(126);
    });
    m_compositor.start(u"sway"_qs, {u"--config"_qs, config});
    if (!m_compositor.waitForStarted(5000)) {
        m_error = u"sway did not start"_qs;
        return false;
    }
    const QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired() && m_compositor.state() == QProcess::Running) {
        QFile written(displayFile);
        if (written.open(QIODevice::ReadOnly)) {
            m_xDisplay = QString::fromLocal8Bit(written.readAll()).trimmed();
            if (!m_xDisplay.isEmpty()) {
                // sway takes the first free name; it is alone in its runtime folder.
                const QStringList sockets = QDir(m_runtime.path()).entryList({u"wayland-*"_qs}, QDir::System);
                for (const QString &socket : sockets) {
                    if (!socket.endsWith(u".lock"))
                        m_waylandDisplay = m_runtime.filePath(socket);
                }
                return true;
            }
        }
        QThread::msleep(20);
    }
    m_error = u"sway named no XWayland display (exit status %1)"_qs.arg(m_compositor.exitCode());
    return false;
}

bool WaylandHost::waitForXDisplay()
{
    const QDeadlineTimer deadline(15000);
    while (!answers(m_xDisplay)) {
        if (deadline.hasExpired() || m_compositor.state() != QProcess::Running) {
            m_error = u"XWayland on %1 does not answer"_qs.arg(m_xDisplay);
            return false;
        }
        QThread::msleep(20);
    }
    return true;
}
