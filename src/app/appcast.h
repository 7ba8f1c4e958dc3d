#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <QVersionNumber>

#include <optional>

// An update feed in the RSS "appcast" form: a channel of items, each naming a version and the
// page to get it from.
//
//   <rss xmlns:sparkle="…/xml-namespaces/sparkle"><channel>
//     <item><link>https://…/2.1/</link>
//       <sparkle:shortVersionString>2.1</sparkle:shortVersionString>
//       <enclosure url="…" sparkle:version="210" sparkle:os="linux"/></item>…
//
// An item's version is the first of sparkle:shortVersionString, then sparkle:version, given on
// its enclosure or on the item itself, that starts with a number. Its page is its link, else its
// enclosure's address, and must be an http or https address. Items are skipped when all their
// enclosures are for another operating system (sparkle:os other than "linux"), when they belong
// to an opt-in channel (sparkle:channel), or when they have no usable version or page.
namespace Appcast {

struct Item
{
    QVersionNumber version;  // without trailing zeros, so that 2.1 and 2.1.0 are the same
    QString versionText;     // as the feed writes it
    QUrl page;
};

struct Reading
{
    std::optional<Item> newest;  // the item with the highest version, none when no item applies
    QString error;               // set when the document is not a readable appcast
};

// Reads the feed fetched from `feedAddress` (relative links are resolved against it).
Reading read(const QByteArray &document, const QUrl &feedAddress);

// The number at the start of a version text ("2.1b3" gives 2.1), none when it does not start
// with one.
std::optional<QVersionNumber> versionNumber(const QString &text);

} // namespace Appcast
