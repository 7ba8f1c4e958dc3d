#pragma once

#include <QByteArray>

// Runs `bytes` through the icon import path: bounded decoding at the icon size, then the PNG
// that would be stored. Returns false when a decoded picture breaks the import's promises (a
// side above the icon size, or a PNG that cannot be made or read back); undecodable input is
// fine. Needs a GUI application, as the import does. Shared by the fuzz target and the test
// that replays its corpus.
bool checkIconImport(const QByteArray &bytes);
