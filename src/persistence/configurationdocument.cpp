#include "configurationdocument.h"

#include "configurationkeys.h"

#include "model/defaultname.h"

#include "jsonfields.h"
#include "jsonreader.h"
#include "jsonwriter.h"

#include <cmath>
#include <limits>

namespace Key = ConfigurationKey;

namespace {

std::optional<int> integerValue(const std::optional<double> &number)
{
    if (!number || *number != std::trunc(*number) || *number < std::numeric_limits<int>::min()
        || *number > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(*number);
}

std::nullopt_t fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return std::nullopt;
}

// About what a panel takes when written, to size the output buffer once.
qsizetype expectedSize(const QList<Panel> &panels)
{
    qsizetype items = 0;
    for (const Panel &panel : panels) {
        for (const PanelTab &tab : panel.tabs()) {
            items += tab.items.size();
            for (const Item &item : tab.items) {
                if (const ItemGroup *group = item.group())
                    items += group->links.size();
            }
        }
    }
    return 2048 * (panels.size() + 1) + 400 * items;
}

} // namespace

ConfigurationDocument::ConfigurationDocument(const QList<Panel> &panels)
    : m_panels(panels)
    , m_madeFromPanels(true)
{
}

std::optional<ConfigurationDocument> ConfigurationDocument::fromJson(const QByteArray &json, QString *error)
{
    JsonReader reader(json);
    const auto syntaxError = [&] {
        return fail(error, QStringLiteral("not valid JSON (%1 at byte %2)").arg(reader.errorString()).arg(reader.errorOffset()));
    };
    if (reader.peek() != JsonReader::Type::Object) {
        reader.skipValue();
        return reader.failed() ? syntaxError() : fail(error, QStringLiteral("the top level is not a JSON object"));
    }

    ConfigurationDocument result;
    std::optional<int> version;
    bool hasPanels = false;
    qsizetype badPanel = -1;
    reader.beginObject();
    while (reader.nextKey()) {
        if (reader.keyIs(Key::schemaVersion)) {
            version = integerValue(JsonFields::lenientNumber(reader));
        } else if (reader.keyIs(Key::panels)) {
            // A later duplicate key replaces an earlier one, as in any JSON object.
            result.m_records.clear();
            badPanel = -1;
            hasPanels = reader.peek() == JsonReader::Type::Array;
            if (!hasPanels) {
                reader.skipValue();
                continue;
            }
            reader.beginArray();
            for (qsizetype index = 0; reader.nextElement(); ++index) {
                std::optional<PanelRecord> panel = PanelRecord::fromJson(reader);
                if (panel)
                    result.m_records.append(std::move(*panel));
                else if (badPanel < 0)
                    badPanel = index;
            }
        } else {
            reader.skipValue();
        }
    }
    if (!reader.finish())
        return syntaxError();
    if (!version)
        return fail(error, QStringLiteral("\"schemaVersion\" is missing or not an integer"));
    if (!hasPanels)
        return fail(error, QStringLiteral("\"panels\" is missing or not an array"));
    if (badPanel >= 0)
        return fail(error, QStringLiteral("panel %1 is not an object with a valid \"id\"").arg(badPanel + 1));
    result.m_schemaVersion = *version;
    return result;
}

QByteArray ConfigurationDocument::toJson() const
{
    const QList<Panel> panels = makePanels();
    JsonWriter writer(expectedSize(panels));
    writer.beginObject();
    writer.key(Key::panels);
    writer.beginArray();
    for (const Panel &panel : panels)
        PanelRecord::write(panel, writer);
    writer.endArray();
    writer.member(Key::schemaVersion, double(ConfigurationSchema::currentVersion));
    writer.endObject();
    return writer.take();
}

QList<Panel> ConfigurationDocument::makePanels() const
{
    if (m_madeFromPanels)
        return m_panels;
    QList<Panel> panels;
    panels.reserve(m_records.size());
    for (qsizetype i = 0; i < m_records.size(); ++i)
        panels.append(m_records[i].make(DefaultName::panel(int(i + 1))));
    return panels;
}
