#pragma once

#include "model/panel.h"

#include <QList>

// Generated configurations for round trips, crash tests and benchmarks: `itemCount` items
// (links and groups, group members included) spread over several panels and tabs,
// with every optional value present in some places and absent in others, and paths that need
// care (spaces, '%', '#', non-ASCII, line breaks, trailing slashes). The same seed gives the
// same panels.
namespace SampleConfiguration {
QList<Panel> make(int itemCount, quint32 seed);
} // namespace SampleConfiguration
