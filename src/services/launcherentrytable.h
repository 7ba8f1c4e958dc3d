#pragma once

#include "store/services.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

// One Update signal of the com.canonical.Unity.LauncherEntry interface: the application it is
// about and the properties it changes (the others keep their values).
struct LauncherEntryUpdate
{
    QString applicationID;
    std::optional<qint64> count;
    std::optional<bool> countVisible;
    std::optional<double> progress;
    std::optional<bool> progressVisible;
    std::optional<bool> urgent;
};

// Reads the arguments of an Update signal: (s app_uri, a{sv} properties), the URI
// "application://ID.desktop". None for another form or an application id that is no plain
// file name. A property of the wrong type or out of range (a count below 0 or beyond 2^31 - 1,
// a progress that is not a finite number) is left out; progress is clamped to 0...1; unknown
// properties are passed over.
std::optional<LauncherEntryUpdate> parseLauncherEntryUpdate(const QVariantList &arguments);

// What the applications on the bus publish, by application id, each entry remembered with the
// bus name that sent it. Bounded: updates for more than `maxApplications` applications are
// ignored.
class LauncherEntryTable
{
public:
    static constexpr qsizetype maxApplications = 512;

    // Applies an update from `sender`, who becomes the entry's publisher; true when what the
    // entry shows changed.
    bool apply(const QString &sender, const LauncherEntryUpdate &update);
    // Forgets every entry `sender` published; the ids whose shown entry changed.
    QStringList removeSender(const QString &sender);
    bool hasSender(const QString &sender) const;

    // What the application's tiles show: the count while it is visible and above 0, the progress
    // while it is visible, and the urgency.
    LauncherEntry entry(const QString &applicationID) const;

private:
    struct State
    {
        QString sender;
        qint64 count = 0;
        bool countVisible = false;
        double progress = 0;
        bool progressVisible = false;
        bool urgent = false;

        LauncherEntry shown() const;
    };

    QHash<QString, State> m_states;
};
