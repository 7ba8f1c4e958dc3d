#include "applicationstatus.h"

#include "attentionpulse.h"
#include "itemiconview.h"

#include "store/appstore.h"

#include <QUrl>

namespace {

using Clock = std::chrono::steady_clock;

// What the tile shows of the entry; a request for attention by the windows wins over the
// published urgency, which has no start of its own: it pulses only when it begins while shown.
void show(ItemIconView &tile, const LauncherEntry &entry, std::optional<Clock::time_point> windowsAttention,
          bool isFirstLook)
{
    tile.setBadgeCount(entry.count);
    tile.setProgress(entry.progress);
    if (windowsAttention) {
        tile.setAttention(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - *windowsAttention));
    } else if (entry.isUrgent) {
        tile.setAttention(isFirstLook ? AttentionPulse::duration : std::chrono::milliseconds(0));
    } else {
        tile.setAttention(std::nullopt);
    }
}

} // namespace

namespace ApplicationStatus {

void follow(ItemIconView &tile, const QUrl &location, const Panel &panel, AppStore &store)
{
    const std::optional<Clock::time_point> windowsAttention = store.attentionSince(location, panel);
    const QString applicationID = store.launcherEntries().applicationID(location);
    if (applicationID.isEmpty()) {
        show(tile, LauncherEntry(), windowsAttention, true);
        return;
    }
    show(tile, store.launcherEntries().entry(applicationID), windowsAttention, true);
    const AppStore *source = &store;
    ItemIconView *target = &tile;
    QObject::connect(&store, &AppStore::launcherEntryChanged, &tile,
                     [source, target, applicationID, windowsAttention](const QString &changed) {
                         if (changed == applicationID)
                             show(*target, source->launcherEntries().entry(applicationID), windowsAttention, false);
                     });
}

} // namespace ApplicationStatus
