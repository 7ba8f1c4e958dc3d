#include "configurationdocument.h"

#include "configurationkeys.h"

#include "model/defaultname.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <cmath>
#include <limits>

namespace Key = ConfigurationKey;

namespace {

std::optional<int> integerValue(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (number != std::trunc(number) || number < std::numeric_limits<int>::min()
        || number > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(number);
}

std::nullopt_t fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return std::nullopt;
}

} // namespace

ConfigurationDocument::ConfigurationDocument(const QList<Panel> &panels)
{
    m_panels.reserve(panels.size());
    for (const Panel &panel : panels)
        m_panels.append(PanelRecord(panel));
}

std::optional<ConfigurationDocument> ConfigurationDocument::fromJson(const QByteArray &json, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return fail(error, QStringLiteral("not valid JSON (%1 at byte %2)").arg(parseError.errorString()).arg(parseError.offset));
    if (!document.isObject())
        return fail(error, QStringLiteral("the top level is not a JSON object"));
    const QJsonObject root = document.object();

    const std::optional<int> version = integerValue(root.value(Key::schemaVersion));
    if (!version)
        return fail(error, QStringLiteral("\"schemaVersion\" is missing or not an integer"));
    const QJsonValue panelsValue = root.value(Key::panels);
    if (!panelsValue.isArray())
        return fail(error, QStringLiteral("\"panels\" is missing or not an array"));

    ConfigurationDocument result;
    result.m_schemaVersion = *version;
    const QJsonArray elements = panelsValue.toArray();
    result.m_panels.reserve(elements.size());
    for (const QJsonValue &element : elements) {
        std::optional<PanelRecord> panel = PanelRecord::fromJson(element);
        if (!panel)
            return fail(error, QStringLiteral("panel %1 is not an object with a valid \"id\"").arg(result.m_panels.size() + 1));
        result.m_panels.append(std::move(*panel));
    }
    return result;
}

QByteArray ConfigurationDocument::toJson() const
{
    QJsonArray panels;
    for (const PanelRecord &panel : m_panels)
        panels.append(panel.toJson());
    QJsonObject root;
    root.insert(Key::schemaVersion, m_schemaVersion);
    root.insert(Key::panels, panels);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QList<Panel> ConfigurationDocument::makePanels() const
{
    QList<Panel> panels;
    panels.reserve(m_panels.size());
    for (qsizetype i = 0; i < m_panels.size(); ++i)
        panels.append(m_panels[i].make(DefaultName::panel(int(i + 1))));
    return panels;
}
