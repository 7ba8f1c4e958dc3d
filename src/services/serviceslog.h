#pragma once

#include <QLoggingCategory>

// Failures of the desktop services that nobody is waiting for (a launch that did not happen).
Q_DECLARE_LOGGING_CATEGORY(lcServices)
