#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QUuid>

#include <memory>

class AppStore;
class QAction;
class QMenu;

// The menu of the tray item, built from the store:
//   New Panel
//   Show All Panels, Panels ▸ <panel> ▸ Show Panel, Window Level ▸ …   (only with panels)
//   ─ Check for Updates…, Send Feedback…, More Apps by Fennick… ─ Quit Quayrow (Ctrl+Q)
//
// The menu is rebuilt whenever a value it shows changes (the panels, their order and names),
// not when it opens: a tray host reads the menu over D-Bus and Qt does not ask for an update
// when it opens there, so building on open would show stale entries.
class TrayMenu : public QObject
{
    Q_OBJECT

public:
    explicit TrayMenu(AppStore &store, QObject *parent = nullptr);
    ~TrayMenu() override;

    QMenu *menu() const { return m_menu.get(); }
    // "Quit Quayrow" with Ctrl+Q, the same action however often the menu is rebuilt, so that
    // the program's windows can offer its shortcut too (one action: two with the same shortcut
    // would make it ambiguous and neither would fire).
    QAction *quitAction() const { return m_quit; }

    // Whether the menu is read by a tray host over D-Bus, where an underscore in a label marks
    // a mnemonic as "&" does in Qt; panel names are then written so that both show as typed.
    void setShownOverDBus(bool overDBus);

    // The label that shows `name` as it is written.
    static QString labelForName(const QString &name, bool overDBus);

Q_SIGNALS:
    void checkForUpdatesRequested();
    void quitRequested();

private:
    struct ShownPanel
    {
        QUuid id;
        QString name;
        bool operator==(const ShownPanel &) const = default;
    };

    QList<ShownPanel> shownPanels() const;
    void rebuildIfChanged();
    void rebuild();
    void addPanelsMenu();

    AppStore &m_store;
    std::unique_ptr<QMenu> m_menu;
    QAction *m_quit;
    QList<ShownPanel> m_shown;
    bool m_overDBus = false;
};
