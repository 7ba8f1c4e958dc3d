#pragma once

#include <QIcon>

// A plain document (or folder) drawn by the program: the icon of last resort, so that a
// location never shows without one even when no icon theme is installed.
QIcon genericGlyph(bool folder);
