#pragma once

#include "jsonreader.h"
#include "jsonwriter.h"

#include "itemrecord.h"

#include "model/panel.h"

#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

// The stored form of one tab. "id" and "name" are required; "color" and "showsRunningApps" are
// read leniently; items that fail to decode or form no item are skipped.
struct TabRecord
{
    QUuid id;
    QString name;
    std::optional<QString> color;
    std::optional<bool> showsRunningApps;
    QList<ItemRecord> items; // only records that form an item

    // Consumes one value of any type; none when it does not form a record (syntax errors
    // are the reader's to report).
    static std::optional<TabRecord> fromJson(JsonReader &reader);
    // Writes the stored form of a tab straight from the model.
    static void write(const PanelTab &tab, JsonWriter &writer);

    // `defaultShowsRunningApps` stands in for a missing flag (the older per-panel setting).
    PanelTab make(bool defaultShowsRunningApps) const;
};
