#pragma once

#include <QIcon>

// Symbols the program draws itself, so that they look the same under every icon theme. They
// take the palette's colours when drawn.
namespace Symbols {

// A 2 x 2 grid of rounded squares (the glyph of a group), inset by `padding` of every side, as a
// fraction of the side.
QIcon gridIcon(double padding);

} // namespace Symbols
