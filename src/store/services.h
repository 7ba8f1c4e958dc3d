#pragma once

// The interfaces through which the store reaches the outside world. Desktop implementations
// carry the prefix System; in-memory ones live in the test support library.

#include "model/panel.h"
#include "model/result.h"

#include <QIcon>
#include <QImage>
#include <QList>
#include <QString>
#include <QUrl>

#include <chrono>
#include <functional>
#include <optional>

class ConfigurationStorage
{
public:
    virtual ~ConfigurationStorage() = default;

    // The stored panels in order, or none when no readable configuration exists. Never fails;
    // an empty list is a valid result and differs from none.
    virtual std::optional<QList<Panel>> load() = 0;
    // Whether a configuration was ever stored (a file exists, readable or not). Reads nothing.
    virtual bool hasStoredConfiguration() const = 0;
    // Stores the complete list, replacing what was stored. May return before the list is on
    // disk (the desktop's storage writes on a thread of its own and logs its failures).
    virtual Result save(const QList<Panel> &panels) = 0;
};

class CustomIconStorage
{
public:
    virtual ~CustomIconStorage() = default;

    // Converts the image at `source` and stores it as `fileName`; the stored name, or none when
    // the source is not a usable image.
    virtual std::optional<QString> importImage(const QUrl &source, const QString &fileName) = 0;
    virtual std::optional<QImage> image(const QString &fileName) const = 0;
    // Deletes the stored file if it exists; silent otherwise.
    virtual void remove(const QString &fileName) = 0;
};

class FileSystemAccess
{
public:
    virtual ~FileSystemAccess() = default;

    // Modal open dialogs, on the main thread. Empty / none when cancelled.
    virtual QList<QUrl> chooseLocations() = 0;
    virtual std::optional<QUrl> chooseImage() = 0;
    // The icon of a location; never null.
    virtual QIcon icon(const QUrl &location) = 0;
    virtual QString name(const QUrl &location) = 0;
};

// One of an application's own actions ("New Private Window", "Compose Message"), as its
// desktop entry lists them.
struct ApplicationAction
{
    QString id;
    // In the user's language where the entry has it.
    QString name;
    // A theme icon name or an absolute path; empty for none.
    QString iconName;

    bool operator==(const ApplicationAction &) const = default;
};

class ItemLauncher
{
public:
    virtual ~ItemLauncher() = default;

    // Opens the location in the way that suits its kind; reports nothing back. `timestamp` is the
    // window system's time of the input event that asked for it (QInputEvent::timestamp()), which
    // lets the started application take the focus; none when no event caused it.
    virtual void launch(const QUrl &location, std::optional<quint32> timestamp = std::nullopt) = 0;

    // Whether the application at `location` can be asked for a new window of its own (a new
    // copy, or its own "new window" action); false for everything else.
    virtual bool opensNewWindow(const QUrl & /*location*/) { return false; }
    // Asks the application for a new window, even while it runs. Only for locations for which
    // opensNewWindow() holds.
    virtual void openNewWindow(const QUrl & /*location*/, std::optional<quint32> /*timestamp*/ = std::nullopt) {}
    // The application's own actions in the order it lists them, except the one that
    // openNewWindow() runs; empty for other locations.
    virtual QList<ApplicationAction> actions(const QUrl & /*location*/) { return {}; }
    virtual void launchAction(const QUrl & /*location*/, const QString & /*actionID*/,
                              std::optional<quint32> /*timestamp*/ = std::nullopt)
    {
    }
};

class RunningApplicationsLookup
{
public:
    virtual ~RunningApplicationsLookup() = default;

    // Locations of the running applications the user sees, in the system's order.
    virtual QList<QUrl> runningApplications() = 0;
    // Registers the handler called whenever an application starts or ends, or starts or stops
    // asking for attention; possibly on any thread.
    virtual void observeChanges(std::function<void()> handler) = 0;

    // Brings the application forward as a press on it means while it runs: activates its most
    // recently used window (restored when minimised, its desktop shown), or while the application
    // is active, its next window. False when the application has no window; then nothing
    // happened and the caller launches it. `timestamp` as for ItemLauncher::launch.
    virtual bool bringForward(const QUrl & /*application*/, std::optional<quint32> /*timestamp*/ = std::nullopt)
    {
        return false;
    }
    // Since when one of the application's windows asks for attention that the user has not given
    // it by activating the application; none when it does not.
    virtual std::optional<std::chrono::steady_clock::time_point> attentionSince(const QUrl & /*application*/)
    {
        return std::nullopt;
    }
};

// What a running application publishes about itself for its launcher tiles: a count (unread
// messages), the progress of a long task, a request for attention.
struct LauncherEntry
{
    std::optional<qint64> count;
    // 0 to 1.
    std::optional<double> progress;
    bool isUrgent = false;

    bool operator==(const LauncherEntry &) const = default;
};

class LauncherEntries
{
public:
    virtual ~LauncherEntries() = default;

    // The id under which the application at `location` publishes its entry (its desktop file
    // id, "org.example.Mail.desktop"); empty for a location that is no desktop entry. Reads no
    // file: views ask once per tile.
    virtual QString applicationID(const QUrl &location) const = 0;
    // What the application publishes now; empty when nothing.
    virtual LauncherEntry entry(const QString &applicationID) const = 0;
    // Registers the handler called on the main thread with the id whose entry changed.
    virtual void observeChanges(std::function<void(const QString &applicationID)> handler) = 0;
};
