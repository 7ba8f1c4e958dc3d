#pragma once

#include <QList>
#include <QUrl>

namespace StarterApplications {

// The applications a first launch puts in the panel, as .desktop file locations, one per role in
// this order: mail, calendar, notes, messaging, photos, music, system settings, terminal. A role
// takes the user's default application (GIO), else the first installed of a fixed list of
// well-known applications of the common desktops. Only applications the user would find in the
// menu count; a role with none is left out, and an application that wins two roles appears once.
// Resolved on first use and kept for the process, as GIO keeps what it read of the folders.
QList<QUrl> locations();

} // namespace StarterApplications
