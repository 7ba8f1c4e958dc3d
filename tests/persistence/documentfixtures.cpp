#include "documentfixtures.h"

namespace DocumentFixtures {

QByteArray document(const QByteArray &panels, const QByteArray &version)
{
    return "{\"schemaVersion\": " + version + ", \"panels\": [" + panels + "]}";
}

QByteArray id(int serial)
{
    return "00000000-0000-0000-0000-" + QByteArray::number(serial, 16).rightJustified(12, '0').toUpper();
}

QByteArray panel(const QByteArray &members, int serial)
{
    QByteArray text = "{\"id\": \"" + id(0x100 + serial) + '"';
    if (!members.isEmpty())
        text += ", " + members;
    return text + '}';
}

QByteArray panelWithItems(const QByteArray &items)
{
    return panel("\"tabs\": [{\"id\": \"" + id(0x200) + "\", \"name\": \"Main\", \"items\": " + items + "}]");
}

namespace {

QString describeLink(const ItemLink &link)
{
    QString text = link.location.toLocalFile();
    if (link.bookmark)
        text += QStringLiteral(" bookmark=") + QString::fromLatin1(link.bookmark->toHex());
    if (link.customIcon)
        text += QStringLiteral(" icon=") + *link.customIcon;
    return text;
}

} // namespace

QStringList describe(const QList<Item> &items)
{
    QStringList lines;
    for (const Item &item : items) {
        if (const ItemLink *link = item.link()) {
            lines.append(QStringLiteral("link ") + describeLink(*link));
            continue;
        }
        const ItemGroup &group = *item.group();
        QStringList members;
        for (const ItemLink &member : group.links)
            members.append(describeLink(member));
        QString line = QStringLiteral("group %1 [%2]").arg(group.name, members.join(QStringLiteral(", ")));
        if (group.customIcon)
            line += QStringLiteral(" icon=") + *group.customIcon;
        lines.append(line);
    }
    return lines;
}

} // namespace DocumentFixtures
