#include "applicationstatus.h"

#include "attentionpulse.h"
#include "itemiconview.h"

#include "store/appstore.h"

#include <QUrl>

namespace {

using Clock = std::chrono::steady_clock;

// Whether the tile marks requests for attention, and since when its application's windows ask.
struct Attention
{
    bool isShown = true;
    std::optional<Clock::time_point> windowsSince;
};

// What the tile shows of the entry; a request for attention by the windows wins over the
// published urgency, which has no start of its own: it pulses only when it begins while shown.
void show(ItemIconView &tile, const LauncherEntry &entry, const Attention &attention, bool isFirstLook)
{
    tile.setBadgeCount(entry.count);
    tile.setProgress(entry.progress);
    if (!attention.isShown)
        return;
    if (const std::optional<Clock::time_point> windowsAttention = attention.windowsSince) {
        tile.setAttention(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - *windowsAttention));
    } else if (entry.isUrgent) {
        tile.setAttention(isFirstLook ? AttentionPulse::duration : std::chrono::milliseconds(0));
    } else {
        tile.setAttention(std::nullopt);
    }
}

void followEntry(ItemIconView &tile, const QUrl &location, const Attention &attention, AppStore &store)
{
    const QString applicationID = store.launcherEntries().applicationID(location);
    if (applicationID.isEmpty()) {
        show(tile, LauncherEntry(), attention, true);
        return;
    }
    show(tile, store.launcherEntries().entry(applicationID), attention, true);
    const AppStore *source = &store;
    ItemIconView *target = &tile;
    QObject::connect(&store, &AppStore::launcherEntryChanged, &tile,
                     [source, target, applicationID, attention](const QString &changed) {
                         if (changed == applicationID)
                             show(*target, source->launcherEntries().entry(applicationID), attention, false);
                     });
}

} // namespace

namespace ApplicationStatus {

void follow(ItemIconView &tile, const QUrl &location, const Panel &panel, AppStore &store)
{
    followEntry(tile, location, Attention{.windowsSince = store.attentionSince(location, panel)}, store);
}

void followBadges(ItemIconView &tile, const QUrl &location, AppStore &store)
{
    followEntry(tile, location, Attention{.isShown = false}, store);
}

} // namespace ApplicationStatus
