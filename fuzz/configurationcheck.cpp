#include "configurationcheck.h"

#include "persistence/configurationdocument.h"

#include <QJsonDocument>
#include <QJsonParseError>

namespace {

// Whether Qt's parser, an independent one, also takes the text for JSON. It rejects numbers
// beyond a double outright (the decoder only refuses the value), so those texts prove nothing;
// it is more lenient elsewhere (raw control characters, "1.e5"), so only acceptance is compared.
bool acceptedByQt(const QByteArray &bytes)
{
    QJsonParseError error;
    (void)QJsonDocument::fromJson(bytes, &error);
    return error.error == QJsonParseError::NoError || error.error == QJsonParseError::IllegalNumber;
}

} // namespace

bool checkConfigurationDecoding(const QByteArray &bytes)
{
    const std::optional<ConfigurationDocument> document = ConfigurationDocument::fromJson(bytes);
    if (!document)
        return true;
    if (!acceptedByQt(bytes))
        return false;
    const QList<Panel> panels = document->makePanels();
    const QByteArray written = ConfigurationDocument(panels).toJson();
    const std::optional<ConfigurationDocument> again = ConfigurationDocument::fromJson(written);
    if (!again)
        return false;
    const QList<Panel> reread = again->makePanels();
    return reread == panels && ConfigurationDocument(reread).toJson() == written;
}
