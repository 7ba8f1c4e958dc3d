// What a screen reader sees of the built program: run on Xvfb with openbox, a session bus of its
// own and the accessibility bus on it, the program's objects are read over AT-SPI by a small
// pyatspi client (accessibletree.py). Tiles, tab chips, the add button and the settings window's
// controls carry their names and roles; the settings window, opened from a panel's menu with the
// keyboard, closes with Escape.

#include "privatebus.h"
#include "programrun.h"
#include "testdesktop.h"
#include "x11session.h"

#include "persistence/configurationdocument.h"
#include "x11/xcbreply.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QFile>
#include <QTest>

#include <csignal>

using namespace Qt::StringLiterals;

namespace {

constexpr int treeTimeoutMs = 30000;

X11Session &session()
{
    return X11Session::current();
}

// One object as the client prints it.
struct Accessible
{
    QString role;
    QString name;
    QString labelledBy;
    bool isSelected = false;
    QRect extents;
};

QString describe(const Accessible &object)
{
    return u"%1 \"%2\"%3%4"_s.arg(object.role, object.name,
                                  object.labelledBy.isEmpty() ? QString() : u" labelled by \"%1\""_s.arg(object.labelledBy),
                                  object.isSelected ? u" selected"_s : QString());
}

// The objects of `expected` that `objects` lacks (role, name, label and selection alike).
QStringList missing(const QList<Accessible> &expected, const QList<Accessible> &objects)
{
    QStringList lacking;
    for (const Accessible &wanted : expected) {
        const bool found = std::any_of(objects.cbegin(), objects.cend(), [&wanted](const Accessible &object) {
            return object.role == wanted.role && object.name == wanted.name && object.labelledBy == wanted.labelledBy
                   && object.isSelected == wanted.isSelected;
        });
        if (!found)
            lacking.append(describe(wanted));
    }
    return lacking;
}

std::optional<Accessible> find(const QList<Accessible> &objects, const QString &role, const QString &name)
{
    for (const Accessible &object : objects) {
        if (object.role == role && object.name == name)
            return object;
    }
    return std::nullopt;
}

class AccessibilityClient
{
public:
    // Whether pyatspi answers here at all (not: whether the program is on the bus).
    static bool isAvailable()
    {
        QProcess python;
        python.start(QStringLiteral(SYSTEM_PYTHON3), {u"-c"_s, u"import pyatspi"_s});
        return python.waitForFinished(30000) && python.exitStatus() == QProcess::NormalExit && python.exitCode() == 0;
    }

    explicit AccessibilityClient(qint64 pid)
        : m_pid(pid)
    {
    }

    // The program's objects; empty while it is not on the accessibility bus.
    QList<Accessible> tree() const
    {
        QList<Accessible> objects;
        QByteArray out;
        if (run({}, &out) != 0)
            return objects;
        for (const QByteArray &line : out.split('\n')) {
            const QStringList fields = QString::fromUtf8(line).split(u'\t');
            if (fields.size() < 5)
                continue;
            const QStringList box = fields.at(4).split(u' ', Qt::SkipEmptyParts);
            objects.append(Accessible{
                .role = fields.at(0),
                .name = fields.at(1),
                .labelledBy = fields.at(2),
                .isSelected = fields.at(3) == u"selected",
                .extents = box.size() == 4 ? QRect(box[0].toInt(), box[1].toInt(), box[2].toInt(), box[3].toInt()) : QRect(),
            });
        }
        return objects;
    }

    // What of `expected` the tree still lacks once it holds all of it or after a while. The
    // program starts, shows its windows and joins the bus in its own time.
    QStringList missingAfterWaiting(const QList<Accessible> &expected) const
    {
        QStringList lacking;
        const bool isComplete =
            QTest::qWaitFor([&] { return (lacking = missing(expected, tree())).isEmpty(); }, treeTimeoutMs);
        return isComplete ? QStringList() : lacking;
    }

    // The object with that role and name once it shows, or none after a while.
    std::optional<Accessible> findAfterWaiting(const QString &role, const QString &name) const
    {
        std::optional<Accessible> found;
        const bool isFound = QTest::qWaitFor([&] { return (found = find(tree(), role, name)).has_value(); }, treeTimeoutMs);
        return isFound ? found : std::nullopt;
    }

    // Does the first action (press, for buttons, tabs and menu items) of the object.
    bool press(const QString &role, const QString &name) const
    {
        return run({u"press"_s, role, name}) == 0;
    }

private:
    int run(const QStringList &arguments, QByteArray *out = nullptr) const
    {
        QProcess client;
        client.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        client.start(QStringLiteral(SYSTEM_PYTHON3),
                     QStringList{QStringLiteral(ACCESSIBLE_TREE_SCRIPT), QString::number(m_pid)} + arguments);
        if (!client.waitForFinished(20000) || client.exitStatus() != QProcess::NormalExit) {
            client.kill();
            client.waitForFinished();
            return -1;
        }
        if (out)
            *out = client.readAllStandardOutput();
        return client.exitCode();
    }

    qint64 m_pid;
};

// Whether one of the program's menus is on the screen: a window of its own that bypasses the
// window manager (as menus and tooltips do) and is not a tooltip; the add button has none.
bool isMenuShown()
{
    xcb_connection_t *connection = session().connection();
    const XcbReply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(connection, xcb_query_tree(connection, session().root()), nullptr));
    if (!tree)
        return false;
    const xcb_window_t *windows = xcb_query_tree_children(tree.get());
    const xcb_atom_t tooltip = session().atom("_NET_WM_WINDOW_TYPE_TOOLTIP");
    return std::any_of(windows, windows + xcb_query_tree_children_length(tree.get()), [&](xcb_window_t window) {
        const XcbReply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window), nullptr));
        return attributes && attributes->override_redirect && attributes->map_state == XCB_MAP_STATE_VIEWABLE
               && session().property(window, "WM_CLASS") == QByteArray("quayrow2\0Quayrow2\0", 18)
               && !session().atoms(window, "_NET_WM_WINDOW_TYPE").contains(tooltip);
    });
}

bool isSettingsWindow(xcb_window_t window)
{
    return session().property(window, "_NET_WM_NAME").startsWith("Panel Settings");
}

bool hasSettingsWindow()
{
    const QList<xcb_window_t> windows = session().clientList();
    return std::any_of(windows.cbegin(), windows.cend(), isSettingsWindow);
}

} // namespace

class TestAccessibilityX11 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void objects_data();
    void objects();
    void settingsWindow();
    void pressingATabSelectsIt();

private:
    // Before the bus: the desktop sets HOME and the XDG folders for the program to inherit.
    TestDesktop m_desktop;
    PrivateSessionBus m_bus;
    QProcess m_accessibilityBus;
    std::unique_ptr<QProcess> m_program;
    std::unique_ptr<AccessibilityClient> m_client;
};

void TestAccessibilityX11::initTestCase()
{
    if (!AccessibilityClient::isAvailable())
        QSKIP("pyatspi (python3-pyatspi) is not installed");
    QVERIFY(m_bus.isRunning());

    // The accessibility bus, found through the session bus as a desktop session finds it.
    m_accessibilityBus.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QProcessEnvironment busEnvironment = QProcessEnvironment::systemEnvironment();
    busEnvironment.insert(u"DISPLAY"_s, session().display());
    // Its settings schemas are the system's, not in the test desktop's data folders.
    busEnvironment.insert(u"XDG_DATA_DIRS"_s, u"/usr/local/share:/usr/share"_s);
    m_accessibilityBus.setProcessEnvironment(busEnvironment);
    m_accessibilityBus.start(QStringLiteral(AT_SPI_BUS_LAUNCHER), {u"--launch-immediately"_s});
    QVERIFY2(m_accessibilityBus.waitForStarted(), AT_SPI_BUS_LAUNCHER);
    QTRY_VERIFY_WITH_TIMEOUT(QDBusConnection::sessionBus().interface()->isServiceRegistered(u"org.a11y.Bus"_s), 15000);

    const QString mail = m_desktop.writeApplication(u"org.example.Mail.desktop"_s, u"Name=Mail\nExec=true"_s);
    const QString photos = m_desktop.writeApplication(u"org.example.Photos.desktop"_s, u"Name=Photos\nExec=true"_s);
    const QString music = m_desktop.writeApplication(u"org.example.Music.desktop"_s, u"Name=Music\nExec=true"_s);
    const auto link = [](const QString &path) { return ItemLink{.location = QUrl::fromLocalFile(path)}; };
    const PanelTab work{.name = u"Work"_s,
                        .items = {link(mail), link(photos), ItemGroup{.name = u"Games"_s, .links = {link(music)}}}};
    const PanelTab play{.name = u"Play"_s, .items = {link(music)}};
    const QList<Panel> panels{
        Panel(PanelInit{.name = u"Tools"_s,
                        .tab = work,
                        .moreTabs = {play},
                        .didRevealTabBar = true,
                        .placement = PanelPlacement{.mode = PanelPlacementMode::Snapped, .edge = PanelEdge::Bottom}}),
        Panel(PanelInit{.name = u"Empty"_s,
                        .tab = PanelTab{.name = u"Inbox"_s},
                        .placement = PanelPlacement{.mode = PanelPlacementMode::Snapped, .edge = PanelEdge::Top}}),
    };
    ProgramRun::writeFile(QDir(m_desktop.root()).filePath(u"config/Quayrow 2/configuration.json"_s),
                          ConfigurationDocument(panels).toJson());

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"DISPLAY"_s, session().display());
    environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    // Qt publishes its objects only while a screen reader runs, unless told to always.
    environment.insert(u"QT_LINUX_ACCESSIBILITY_ALWAYS_ON"_s, u"1"_s);
    const QString runtime = m_desktop.writeFile(u"runtime/.keep"_s, {}).section(u'/', 0, -2);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    environment.insert(u"XDG_RUNTIME_DIR"_s, runtime);
    m_program = ProgramRun::start({}, environment);
    QVERIFY(m_program->waitForStarted());
    m_client = std::make_unique<AccessibilityClient>(m_program->processId());
}

void TestAccessibilityX11::cleanupTestCase()
{
    if (m_program && m_program->state() != QProcess::NotRunning) {
        ::kill(pid_t(m_program->processId()), SIGTERM);
        QCOMPARE(ProgramRun::finish(*m_program).status, 0);
    }
    if (m_accessibilityBus.state() != QProcess::NotRunning) {
        m_accessibilityBus.terminate();
        if (!m_accessibilityBus.waitForFinished(10000)) {
            m_accessibilityBus.kill();
            m_accessibilityBus.waitForFinished();
        }
    }
}

void TestAccessibilityX11::objects_data()
{
    QTest::addColumn<QString>("role");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("isSelected");

    QTest::newRow("link tile") << u"push button"_s << u"Mail"_s << false;
    QTest::newRow("second link tile") << u"push button"_s << u"Photos"_s << false;
    QTest::newRow("group tile") << u"push button"_s << u"Games"_s << false;
    QTest::newRow("active tab chip") << u"page tab"_s << u"Work"_s << true;
    QTest::newRow("other tab chip") << u"page tab"_s << u"Play"_s << false;
    QTest::newRow("tab bar") << u"page tab list"_s << QString() << false;
    QTest::newRow("add button of an empty tab") << u"push button"_s << u"Add Item\u2026"_s << false;
    QTest::newRow("hint beside it") << u"label"_s << u"or drop apps here"_s << false;
}

void TestAccessibilityX11::objects()
{
    QFETCH(QString, role);
    QFETCH(QString, name);
    QFETCH(bool, isSelected);
    const QStringList lacking = m_client->missingAfterWaiting({Accessible{.role = role, .name = name, .isSelected = isSelected}});
    QVERIFY2(lacking.isEmpty(), qPrintable(lacking.join(u"; "_s)));
}

void TestAccessibilityX11::settingsWindow()
{
    // Opened the way a user does: the panel's menu, from a right click on its add button (found
    // where the accessibility bus says it is), and its next to last entry chosen with the keys.
    // Qt keeps open menus out of the tree; screen readers follow them by their focus events.
    const std::optional<Accessible> add = m_client->findAfterWaiting(u"push button"_s, u"Add Item\u2026"_s);
    QVERIFY(add && !add->extents.isEmpty());
    QVERIFY(session().click(add->extents.center(), 3));
    QTRY_VERIFY_WITH_TIMEOUT(isMenuShown(), treeTimeoutMs);
    QVERIFY(session().run(u"xdotool"_s, {u"key"_s, u"Up"_s, u"Up"_s, u"Return"_s}));
    QTRY_VERIFY_WITH_TIMEOUT(hasSettingsWindow(), treeTimeoutMs);

    // Every field is labelled: the label points at it. Fields are named by their label, except
    // pickers, which Qt names by their choice on Linux (screen readers read the label by the
    // relation); toggles carry their label as their own text. The panel is snapped to the top.
    QList<Accessible> expected;
    const QList<std::pair<QString, QString>> pickers{
        {u"Position"_s, u"Snapped to Edge"_s}, {u"Edge"_s, u"Top"_s},           {u"Alignment"_s, u"Center"_s},
        {u"Window Level"_s, u"Normal"_s},      {u"Icon Size"_s, u"Medium"_s},   {u"Icon Spacing"_s, u"Normal"_s},
        {u"Tab Style"_s, u"Tabs"_s}};
    for (const auto &[label, choice] : pickers)
        expected.append(Accessible{.role = u"combo box"_s, .name = choice, .labelledBy = label});
    // The tab bar of a one-tab panel is hidden, so its tab is named here.
    for (const QString &label : {u"Name"_s, u"Tab Name"_s})
        expected.append(Accessible{.role = u"text"_s, .name = label, .labelledBy = label});
    for (const QString &label : {u"Name"_s, u"Tab Name"_s, u"Position"_s, u"Edge"_s, u"Alignment"_s, u"Edge Inset"_s,
                                 u"Window Level"_s, u"Icon Size"_s, u"Icon Spacing"_s, u"Tab Style"_s})
        expected.append(Accessible{.role = u"label"_s, .name = label});
    expected.append(Accessible{.role = u"slider"_s, .name = u"Edge Inset"_s});
    for (const QString &label : {u"Show on All Desktops"_s, u"Show Labels"_s, u"Highlight on Hover"_s,
                                 u"Show Tooltips"_s})
        expected.append(Accessible{.role = u"check box"_s, .name = label});
    const QStringList lacking = m_client->missingAfterWaiting(expected);
    QVERIFY2(lacking.isEmpty(), qPrintable(lacking.join(u"; "_s)));

    // Escape, from the control that has the focus, closes the window.
    QTRY_VERIFY(isSettingsWindow(session().activeWindow()));
    QVERIFY(session().run(u"xdotool"_s, {u"key"_s, u"Escape"_s}));
    QTRY_VERIFY(!hasSettingsWindow());
}

void TestAccessibilityX11::pressingATabSelectsIt()
{
    QVERIFY(m_client->press(u"page tab"_s, u"Play"_s));
    const QStringList lacking = m_client->missingAfterWaiting(
        {Accessible{.role = u"page tab"_s, .name = u"Play"_s, .isSelected = true},
         Accessible{.role = u"page tab"_s, .name = u"Work"_s}, Accessible{.role = u"push button"_s, .name = u"Music"_s}});
    QVERIFY2(lacking.isEmpty(), qPrintable(lacking.join(u"; "_s)));
}

QUAYROW_X11_TEST_MAIN(TestAccessibilityX11)
#include "tst_accessibility_x11.moc"
