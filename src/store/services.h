#pragma once

// The five interfaces through which the store reaches the outside world. Desktop
// implementations carry the prefix System; in-memory ones live in the test support library.

#include "model/panel.h"
#include "model/result.h"

#include <QIcon>
#include <QImage>
#include <QList>
#include <QString>
#include <QUrl>

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

class ItemLauncher
{
public:
    virtual ~ItemLauncher() = default;

    // Opens the location in the way that suits its kind; reports nothing back. `timestamp` is the
    // window system's time of the input event that asked for it (QInputEvent::timestamp()), which
    // lets the started application take the focus; none when no event caused it.
    virtual void launch(const QUrl &location, std::optional<quint32> timestamp = std::nullopt) = 0;
};

class RunningApplicationsLookup
{
public:
    virtual ~RunningApplicationsLookup() = default;

    // Locations of the running applications the user sees, in the system's order.
    virtual QList<QUrl> runningApplications() = 0;
    // Registers the handler called whenever an application starts or ends, possibly on any thread.
    virtual void observeChanges(std::function<void()> handler) = 0;
};
