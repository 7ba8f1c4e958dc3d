#pragma once

class AppStore;
class ItemIconView;
class Panel;
class QUrl;

// Keeps a tile in step with what its application publishes while it runs: the count badge, the
// progress bar and its requests for attention (the windows' own, which the tile is built with,
// and the urgency the application publishes, which changes the tile in place). Only a tile
// whose application's entry changed is touched, and repainted only when what it shows changed.
namespace ApplicationStatus {

void follow(ItemIconView &tile, const QUrl &location, const Panel &panel, AppStore &store);
// The same for a tile that has no running marker to mark attention with (a group's member):
// only the count badge and the progress bar.
void followBadges(ItemIconView &tile, const QUrl &location, AppStore &store);

} // namespace ApplicationStatus
