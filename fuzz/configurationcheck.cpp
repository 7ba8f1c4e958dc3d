#include "configurationcheck.h"

#include "persistence/configurationdocument.h"

bool checkConfigurationRoundTrip(const QByteArray &bytes)
{
    const std::optional<ConfigurationDocument> document = ConfigurationDocument::fromJson(bytes);
    if (!document)
        return true;
    const QList<Panel> panels = document->makePanels();
    const QByteArray written = ConfigurationDocument(panels).toJson();
    const std::optional<ConfigurationDocument> again = ConfigurationDocument::fromJson(written);
    if (!again)
        return false;
    const QList<Panel> reread = again->makePanels();
    return reread == panels && ConfigurationDocument(reread).toJson() == written;
}
