#pragma once

#include "model/panel.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Small builders for configuration documents in tests.
namespace DocumentFixtures {

// A document holding the given panel objects (JSON text, comma-separated).
QByteArray document(const QByteArray &panels, const QByteArray &version = "16");
// A panel object with a valid id and the given further members ("" for none).
QByteArray panel(const QByteArray &members, int serial = 1);
// A panel whose first tab holds the given items array text.
QByteArray panelWithItems(const QByteArray &items);

// "00000000-0000-0000-0000-00000000000N" style ids for readable fixtures.
QByteArray id(int serial);

// One line per item: "link <path>", "group <name> [<path>, ...]", with " icon=", " bookmark="
// suffixes when present.
QStringList describe(const QList<Item> &items);

} // namespace DocumentFixtures
