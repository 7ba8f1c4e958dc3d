#pragma once

#include <QLoggingCategory>

// Problems of the configuration and icon files that no caller waits for: a failed background
// save, a folder that cannot be synced.
Q_DECLARE_LOGGING_CATEGORY(lcPersistence)
