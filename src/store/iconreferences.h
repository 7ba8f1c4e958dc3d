#pragma once

#include "model/panel.h"

#include <QList>
#include <QStringList>

// The names among `candidates` that no link or group of `panels` references any more, each
// once, in first-seen order. A command that dropped references deletes exactly these files, so
// a file still shared with another item (as a hand-edited configuration may do) is kept.
QStringList unreferencedIconFiles(const QStringList &candidates, const QList<Panel> &panels);
