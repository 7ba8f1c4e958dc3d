#pragma once

// Shared pieces of the view tests: a store whose file system draws icons, small builders of
// panels, an answerer of modal alerts and a clock for deferred calls driven by hand.

#include "inmemoryservices.h"

#include "store/appstore.h"
#include "ui/deferredcall.h"

#include <QAction>
#include <QColor>
#include <QMenu>
#include <QHash>
#include <QIcon>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <memory>

// Icons are squares of one colour per location (a colour given in `colors`, grey otherwise) with
// a transparent margin of a quarter, so that what lies behind an icon shows around it.
class DrawingFileSystem final : public FileSystemAccess
{
public:
    QHash<QUrl, QColor> colors;
    QHash<QUrl, QIcon> icons; // explicit icons win over colours
    QList<QUrl> locationsToChoose;
    std::optional<QUrl> imageToChoose;
    int iconRequests = 0;

    QList<QUrl> chooseLocations() override { return locationsToChoose; }
    std::optional<QUrl> chooseImage() override { return imageToChoose; }
    QIcon icon(const QUrl &location) override;
    QString name(const QUrl &location) override;
};

// Keeps every launch with the time of the input event that asked for it.
class RecordingLauncher final : public ItemLauncher
{
public:
    QList<QUrl> launched;
    QList<std::optional<quint32>> timestamps;
    // What every application offers besides its launch, and what was asked of that.
    bool offersNewWindow = false;
    QList<ApplicationAction> applicationActions;
    QList<QUrl> newWindows;
    QStringList launchedActions;

    void launch(const QUrl &location, std::optional<quint32> timestamp) override
    {
        launched.append(location);
        timestamps.append(timestamp);
    }
    bool opensNewWindow(const QUrl &) override { return offersNewWindow; }
    void openNewWindow(const QUrl &location, std::optional<quint32> timestamp) override
    {
        newWindows.append(location);
        timestamps.append(timestamp);
    }
    QList<ApplicationAction> actions(const QUrl &) override { return applicationActions; }
    void launchAction(const QUrl &, const QString &actionID, std::optional<quint32>) override
    {
        launchedActions.append(actionID);
    }
};

struct UiFixture
{
    explicit UiFixture(const QList<Panel> &panels);

    const Panel &panel(qsizetype index = 0) const { return store->panels().at(index); }

    InMemoryServices services;
    DrawingFileSystem *fileSystem;
    RecordingLauncher *launcher;
    std::unique_ptr<AppStore> store;
};

QUrl fileAt(const QString &path);
// The titles of a menu's entries, an empty string for each divider; the entry titled `title`.
QStringList titlesOf(const QMenu &menu);
QAction *entry(const QMenu &menu, const QString &title);
ItemLink linkTo(const QString &path);
PanelTab tabWith(const QString &name, const QList<Item> &items, bool showsRunningApps = false);
PanelPlacement snappedTo(PanelEdge edge, PanelAlignment alignment = PanelAlignment::Center);
Panel panelWith(const QList<PanelTab> &tabs, const PanelPlacement &placement = {}, bool tabBarShown = false);

// Answers the next modal alert by pressing the button titled `button`, and keeps what it showed.
class AlertAnswerer : public QObject
{
    Q_OBJECT

public:
    explicit AlertAnswerer(const QString &button);

    QString message;
    QString informativeText;
    QStringList buttons;
    Qt::TextFormat informativeFormat = Qt::AutoText;
    int answered = 0;

private:
    void look();

    QString m_button;
    QTimer m_timer;
};

// Deferred calls that run only when the test advances its clock.
class ManualClock
{
public:
    ManualClock();
    ~ManualClock();

    void advance(std::chrono::milliseconds step);
    int pendingCount() const;

private:
    struct Call;
    std::shared_ptr<QList<Call *>> m_calls;
    std::chrono::milliseconds m_now{0};
    friend struct ManualCall;
};
