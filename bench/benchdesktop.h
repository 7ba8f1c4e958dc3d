#pragma once

// What the program-level benchmarks start the program on: a home of its own with a
// configuration of crowded panels whose items are real applications and files of this machine.

#include "model/panel.h"

#include <QList>
#include <QProcessEnvironment>
#include <QString>

namespace BenchDesktop {

// `count` panels of `items` small icons each, on the four edges and free in turn; the items are
// the machine's applications (.desktop files) and programs, so that icons and names are really
// looked up.
QList<Panel> crowdedPanels(int count, int items);

// Writes `panels` as the configuration file of a program whose XDG_CONFIG_HOME is `configHome`.
void writeConfiguration(const QString &configHome, const QList<Panel> &panels);

// The environment of a program started on `display` in `home`, with the XDG folders inside it.
QProcessEnvironment environmentIn(const QString &display, const QString &home);

} // namespace BenchDesktop
