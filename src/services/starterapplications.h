#pragma once

#include <QList>
#include <QUrl>

// The applications a first launch puts in the panel, one per role in this order: mail, calendar,
// notes, messaging, photos, music, system settings, terminal. Each is the user's default
// application for its role when one is installed (its .desktop file), otherwise the fallback at
// the same position; a role with neither is left out.
QList<QUrl> resolveStarterApplications(const QList<QUrl> &fallbacks);
