#pragma once

#include "panelrecord.h"

#include "model/panel.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace ConfigurationSchema {
// The version every document is written with. Documents of any version are read alike.
inline constexpr int currentVersion = 16;
} // namespace ConfigurationSchema

// The whole configuration: every panel with its tabs and items, as stored in one JSON document.
//
// Only the skeleton is strict: the root must be an object with an integer "schemaVersion" (of
// any size) and a "panels" array whose every element is an object with a valid "id". Everything
// below a panel degrades instead of failing, values the JSON parser refuses included (a number
// no double can hold, a string with a lone surrogate escape): they count as invalid values of
// their field. A leading UTF-8 byte-order mark is accepted.
class ConfigurationDocument
{
public:
    explicit ConfigurationDocument(const QList<Panel> &panels);

    // The document in `json`, or none when its skeleton is damaged; `error` then tells why.
    static std::optional<ConfigurationDocument> fromJson(const QByteArray &json, QString *error = nullptr);
    // UTF-8, indented, the keys of every object in ascending order. Throws std::bad_alloc when
    // memory runs out.
    QByteArray toJson() const;
    // The same text, or none when it would pass `maximumSize` bytes or memory runs out; `error`
    // then tells which.
    std::optional<QByteArray> toJson(qsizetype maximumSize, QString *error = nullptr) const;

    // The stored version, of any size, saturated to the range of qint64 (so that any version
    // beyond the current one compares as newer).
    qint64 schemaVersion() const { return m_schemaVersion; }
    // One panel per record; a record without a name is called "Panel n" by its position.
    QList<Panel> makePanels() const;

private:
    ConfigurationDocument() = default;
    // Throws JsonWriter::SizeExceeded past `maximumSize`, std::bad_alloc without memory.
    QByteArray encode(qsizetype maximumSize) const;

    qint64 m_schemaVersion = ConfigurationSchema::currentVersion;
    // A document is made either from panels, which are written as they are, or from JSON.
    QList<Panel> m_panels;
    QList<PanelRecord> m_records;
    bool m_madeFromPanels = false;
};
