#pragma once

#include "jsonreader.h"
#include "jsonwriter.h"

#include "tabrecord.h"

#include "model/panel.h"

#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

// The stored form of one panel. Only "id" is required; every other key is read leniently
// (missing, null or mistyped counts as absent) and tabs that fail to decode are skipped.
// Enumerations keep their stored text; make() maps unknown text to the defaults.
struct PanelRecord
{
    QUuid id;
    std::optional<QString> name;
    std::optional<bool> showsRunningApps; // older per-panel form of the tab flag; read, never written
    std::optional<bool> showsItemLabels;
    std::optional<bool> showsHoverHighlight;
    std::optional<bool> showsTooltips;
    std::optional<bool> showsOnAllSpaces;
    std::optional<QString> iconSize;
    std::optional<QString> iconSpacing;
    std::optional<QString> tabStyle;
    std::optional<QUuid> activeTabID;
    std::optional<bool> didRevealTabBar;
    std::optional<QString> mode;
    std::optional<QString> edge;
    std::optional<QString> alignment;
    std::optional<QString> windowLevel;
    std::optional<double> freeFractionX;
    std::optional<double> freeFractionY;
    std::optional<QString> screenID;
    std::optional<double> edgeInset;
    QList<TabRecord> tabs;

    // Consumes one value of any type; none when it does not form a record (syntax errors
    // are the reader's to report).
    static std::optional<PanelRecord> fromJson(JsonReader &reader);
    // Writes the stored form of a panel straight from the model. Non-finite numbers have no
    // JSON form: a non-finite inset (never entered by users) is written as 0.
    static void write(const Panel &panel, JsonWriter &writer);

    // `defaultName` names a record that has no name of its own.
    Panel make(const QString &defaultName) const;
};
