#include "appcast.h"

#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

namespace Appcast {

namespace {

const QString sparkleNamespace = u"http://www.andymatuschak.org/xml-namespaces/sparkle"_s;
const QString thisSystem = u"linux"_s;

// What one item or enclosure says about a release.
struct Release
{
    QString shortVersion;
    QString version;
};

struct Enclosure
{
    Release release;
    QString address;
    QString system;
};

struct ItemReading
{
    Release release;
    QString link;
    QList<Enclosure> enclosures;
    bool inChannel = false;
};

bool isSparkle(const QXmlStreamReader &reader, QStringView name)
{
    return reader.namespaceUri() == sparkleNamespace && reader.name() == name;
}

Enclosure readEnclosure(QXmlStreamReader &reader)
{
    const QXmlStreamAttributes attributes = reader.attributes();
    Enclosure enclosure{{attributes.value(sparkleNamespace, u"shortVersionString"_s).trimmed().toString(),
                         attributes.value(sparkleNamespace, u"version"_s).trimmed().toString()},
                        attributes.value(u"url"_s).trimmed().toString(),
                        attributes.value(sparkleNamespace, u"os"_s).trimmed().toString().toLower()};
    reader.skipCurrentElement();
    return enclosure;
}

ItemReading readItem(QXmlStreamReader &reader)
{
    ItemReading item;
    while (reader.readNextStartElement()) {
        if (reader.namespaceUri().isEmpty() && reader.name() == u"link")
            item.link = reader.readElementText().trimmed();
        else if (reader.namespaceUri().isEmpty() && reader.name() == u"enclosure")
            item.enclosures.append(readEnclosure(reader));
        else if (isSparkle(reader, u"shortVersionString"))
            item.release.shortVersion = reader.readElementText().trimmed();
        else if (isSparkle(reader, u"version"))
            item.release.version = reader.readElementText().trimmed();
        else if (isSparkle(reader, u"channel"))
            item.inChannel = !reader.readElementText().trimmed().isEmpty();
        else
            reader.skipCurrentElement();
    }
    return item;
}

std::optional<QUrl> pageAddress(const QString &text, const QUrl &feedAddress)
{
    if (text.isEmpty())
        return std::nullopt;
    const QUrl page = feedAddress.resolved(QUrl(text));
    if (!page.isValid() || page.host().isEmpty() || (page.scheme() != u"https" && page.scheme() != u"http"))
        return std::nullopt;
    return page;
}

// The item as this system sees it, none when it does not apply here.
std::optional<Item> applicableItem(const ItemReading &reading, const QUrl &feedAddress)
{
    if (reading.inChannel)
        return std::nullopt;
    const Enclosure *enclosure = nullptr;
    for (const Enclosure &candidate : reading.enclosures) {
        if (candidate.system.isEmpty() || candidate.system.startsWith(thisSystem)) {
            enclosure = &candidate;
            break;
        }
    }
    if (!enclosure && !reading.enclosures.isEmpty())
        return std::nullopt;  // every enclosure is for another system

    const Release none;
    const Release &fromEnclosure = enclosure ? enclosure->release : none;
    for (const QString &text : {fromEnclosure.shortVersion, reading.release.shortVersion, fromEnclosure.version,
                                reading.release.version}) {
        const std::optional<QVersionNumber> version = versionNumber(text);
        if (!version)
            continue;
        std::optional<QUrl> page = pageAddress(reading.link, feedAddress);
        if (!page && enclosure)
            page = pageAddress(enclosure->address, feedAddress);
        if (!page)
            return std::nullopt;
        return Item{*version, text, *page};
    }
    return std::nullopt;
}

} // namespace

std::optional<QVersionNumber> versionNumber(const QString &text)
{
    if (text.isEmpty() || !text.front().isDigit())
        return std::nullopt;
    const QVersionNumber version = QVersionNumber::fromString(text);
    if (version.isNull())
        return std::nullopt;
    return version.normalized();
}

Reading read(const QByteArray &document, const QUrl &feedAddress)
{
    QXmlStreamReader reader(document);
    Reading result;
    bool sawChannel = false;
    if (reader.readNextStartElement() && reader.name() == u"rss" && reader.namespaceUri().isEmpty()) {
        while (reader.readNextStartElement()) {
            if (reader.name() != u"channel" || !reader.namespaceUri().isEmpty()) {
                reader.skipCurrentElement();
                continue;
            }
            sawChannel = true;
            while (reader.readNextStartElement()) {
                if (reader.name() != u"item" || !reader.namespaceUri().isEmpty()) {
                    reader.skipCurrentElement();
                    continue;
                }
                const std::optional<Item> item = applicableItem(readItem(reader), feedAddress);
                if (item && (!result.newest || item->version > result.newest->version))
                    result.newest = item;
            }
        }
    }
    if (reader.hasError()) {
        return {std::nullopt, u"line %1, column %2: %3"_s.arg(reader.lineNumber()).arg(reader.columnNumber())
                                  .arg(reader.errorString())};
    }
    if (!sawChannel)
        return {std::nullopt, u"it is not an RSS feed with a channel of releases"_s};
    return result;
}

} // namespace Appcast
