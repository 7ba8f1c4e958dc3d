#include "configurationdocument.h"

#include "configurationkeys.h"

#include "model/defaultname.h"

#include "jsonreader.h"
#include "jsonwriter.h"

#include <limits>
#include <new>

namespace Key = ConfigurationKey;

namespace {

std::nullopt_t fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return std::nullopt;
}

// What the written form about takes, from the real sizes of its parts (a panel with its own keys
// about 720 bytes, a tab 200, a link or group 250 with a usual path), to size the output buffer
// once for usual configurations; the buffer grows when this falls short.
qsizetype expectedSize(const QList<Panel> &panels)
{
    qsizetype size = 64;
    for (const Panel &panel : panels) {
        size += 720;
        for (const PanelTab &tab : panel.tabs()) {
            size += 200 + 250 * tab.items.size();
            for (const Item &item : tab.items) {
                if (const ItemGroup *group = item.group())
                    size += 250 * group->links.size();
            }
        }
    }
    return size;
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
        if (reader.errorOffset() < 0)
            return fail(error, QStringLiteral("not valid JSON: %1").arg(reader.errorString()));
        return fail(error, QStringLiteral("not valid JSON at byte %1: %2").arg(reader.errorOffset()).arg(reader.errorString()));
    };
    if (reader.peek() != JsonReader::Type::Object)
        return reader.failed() ? syntaxError() : fail(error, QStringLiteral("the top level is not a JSON object"));

    ConfigurationDocument result;
    std::optional<qint64> version;
    bool hasPanels = false;
    qsizetype badPanel = -1;
    reader.beginObject();
    while (reader.nextKey()) {
        if (reader.keyIs(Key::schemaVersion)) {
            qint64 number = 0;
            version = reader.readInteger(number) ? std::optional(number) : std::nullopt;
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
    return encode(std::numeric_limits<qsizetype>::max() / 2);
}

std::optional<QByteArray> ConfigurationDocument::toJson(qsizetype maximumSize, QString *error) const
{
    try {
        return encode(maximumSize);
    } catch (const JsonWriter::SizeExceeded &) {
        return fail(error, QStringLiteral("it would take more than %1 bytes").arg(maximumSize));
    } catch (const std::bad_alloc &) {
        return fail(error, QStringLiteral("there is not enough memory to write it"));
    }
}

QByteArray ConfigurationDocument::encode(qsizetype maximumSize) const
{
    const QList<Panel> panels = makePanels();
    JsonWriter writer(expectedSize(panels), maximumSize);
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
