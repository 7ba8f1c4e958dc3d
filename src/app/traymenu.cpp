#include "traymenu.h"

#include "appcommands.h"
#include "appidentity.h"

#include "store/appstore.h"

#include <QAction>
#include <QDesktopServices>
#include <QKeySequence>
#include <QMenu>
#include <QUrl>

#include <array>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

// The window levels in the order the menu lists them, with their titles.
constexpr std::array<std::pair<PanelWindowLevel, const char16_t *>, 3> windowLevels{{
    {PanelWindowLevel::BelowWindows, u"Below Windows"},
    {PanelWindowLevel::Normal, u"Normal"},
    {PanelWindowLevel::AboveAll, u"Above All"},
}};

// Opens one of the maker's pages in the default browser; an address that does not form a
// valid URL does nothing.
void openPage(const QString &address)
{
    const QUrl url(address, QUrl::StrictMode);
    if (url.isValid())
        QDesktopServices::openUrl(url);
}

} // namespace

TrayMenu::TrayMenu(AppStore &store, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_menu(std::make_unique<QMenu>())
    , m_quit(new QAction(u"Quit Quayrow"_s, this))
{
    m_menu->setTitle(AppIdentity::displayName());
    m_quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    m_quit->setShortcutContext(Qt::ApplicationShortcut);
    connect(m_quit, &QAction::triggered, this, &TrayMenu::quitRequested);
    connect(&m_store, &AppStore::panelsChanged, this, &TrayMenu::rebuildIfChanged);
    m_shown = shownPanels();
    rebuild();
}

TrayMenu::~TrayMenu() = default;

void TrayMenu::setShownOverDBus(bool overDBus)
{
    if (m_overDBus == overDBus)
        return;
    m_overDBus = overDBus;
    rebuild();
}

QString TrayMenu::labelForName(const QString &name, bool overDBus)
{
    QString label = name;
    label.replace(u'&', u"&&"_s);
    if (overDBus)
        label.replace(u'_', u"__"_s);
    return label;
}

QList<TrayMenu::ShownPanel> TrayMenu::shownPanels() const
{
    QList<ShownPanel> shown;
    shown.reserve(m_store.panels().size());
    for (const Panel &panel : m_store.panels())
        shown.append({panel.id(), panel.name});
    return shown;
}

void TrayMenu::rebuildIfChanged()
{
    QList<ShownPanel> shown = shownPanels();
    if (shown == m_shown)
        return;
    m_shown = std::move(shown);
    rebuild();
}

void TrayMenu::rebuild()
{
    // Submenus are children of the menu; clear() removes only the actions (and deletes those
    // the menu owns, which the quit action is not).
    m_menu->clear();
    qDeleteAll(m_menu->findChildren<QMenu *>(Qt::FindDirectChildrenOnly));

    AppStore *store = &m_store;
    m_menu->addAction(u"New Panel"_s, this, [store] { AppCommands::addPanelAtCursor(*store); });
    if (!m_shown.isEmpty()) {
        m_menu->addAction(u"Show All Panels"_s, this, [store] { store->showAllPanels(); });
        addPanelsMenu();
    }
    m_menu->addSeparator();
    m_menu->addAction(u"Check for Updates…"_s, this, &TrayMenu::checkForUpdatesRequested);
    m_menu->addAction(u"Send Feedback…"_s, this, [] { openPage(AppIdentity::makerContactPage()); });
    m_menu->addAction(u"More Apps by Fennick…"_s, this, [] { openPage(AppIdentity::makerHomePage()); });
    m_menu->addSeparator();
    m_menu->addAction(m_quit);
}

void TrayMenu::addPanelsMenu()
{
    AppStore *store = &m_store;
    QMenu *panels = m_menu->addMenu(u"Panels"_s);
    for (const ShownPanel &shown : std::as_const(m_shown)) {
        const QUuid panelID = shown.id;
        QMenu *panel = panels->addMenu(labelForName(shown.name, m_overDBus));
        panel->addAction(u"Show Panel"_s, this, [store, panelID] { store->bringToFront(panelID); });
        QMenu *levels = panel->addMenu(u"Window Level"_s);
        for (const auto &[level, title] : windowLevels) {
            levels->addAction(QString::fromUtf16(title), this,
                              [store, panelID, level = level] { store->setWindowLevel(level, panelID); });
        }
    }
}
