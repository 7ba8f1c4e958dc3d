#pragma once

#include <QString>

// Names given to new panels, tabs and groups: a fixed prefix followed by a decimal number.
namespace DefaultName {
QString panel(int number);
QString tab(int number);
QString group(int number);
// The name of the first tab of a new or emptied panel.
QString firstTab();
} // namespace DefaultName
