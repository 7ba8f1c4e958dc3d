#include "panelnotation.h"

#include <QHash>
#include <QStringList>

namespace PanelNotation {

namespace {

QHash<QUuid, QString> &namesByID()
{
    static QHash<QUuid, QString> names;
    return names;
}

// Splits "name@icon" into its parts.
std::pair<QString, std::optional<QString>> splitIcon(const QString &token)
{
    const qsizetype at = token.indexOf(u'@');
    if (at < 0)
        return {token, std::nullopt};
    return {token.left(at), token.mid(at + 1)};
}

QString nameOf(const QUuid &id, const std::optional<QString> &nameField = std::nullopt)
{
    const QString name = namesByID().value(id, QStringLiteral("?"));
    if (nameField && *nameField != name)
        return name + u'=' + *nameField;
    return name;
}

QString iconSuffix(const std::optional<QString> &icon)
{
    return icon ? u'@' + *icon : QString();
}

QString render(const ItemLink &link)
{
    return nameOf(link.id) + iconSuffix(link.customIcon);
}

QString render(const Item &item)
{
    if (const ItemLink *l = item.link())
        return render(*l);
    const ItemGroup &g = *item.group();
    QStringList members;
    for (const ItemLink &member : g.links)
        members.append(render(member));
    return nameOf(g.id, g.name) + u'[' + members.join(u',') + u']' + iconSuffix(g.customIcon);
}

} // namespace

QUuid idFor(const QString &name)
{
    static const QUuid space = QUuid::fromString(u"3c0f1d52-8f3e-4b7a-9d51-6a0b4e2f7c11");
    const QUuid id = QUuid::createUuidV5(space, name);
    namesByID().insert(id, name);
    return id;
}

ItemLink link(const QString &token)
{
    const auto [name, icon] = splitIcon(token);
    return ItemLink{idFor(name), QUrl::fromLocalFile(u'/' + name), std::nullopt, icon};
}

Item item(const QString &token)
{
    const qsizetype open = token.indexOf(u'[');
    if (open < 0 && token.at(0).isLower())
        return link(token);
    const qsizetype close = token.lastIndexOf(u']');
    const QString name = open < 0 ? splitIcon(token).first : token.left(open);
    ItemGroup group{idFor(name), name, {}, std::nullopt};
    if (open >= 0) {
        for (const QString &member : token.mid(open + 1, close - open - 1).split(u',', Qt::SkipEmptyParts))
            group.links.append(link(member));
        group.customIcon = splitIcon(token.mid(close + 1)).second;
    } else {
        group.customIcon = splitIcon(token).second;
    }
    return group;
}

PanelTab tab(const QString &token)
{
    QString name = token;
    PanelTab result;
    if (name.endsWith(u"+run")) {
        result.showsRunningApps = true;
        name.chop(4);
    }
    const qsizetype tilde = name.indexOf(u'~');
    if (tilde >= 0) {
        result.color = enumFromRawValue<TabColor>(QStringView(name).mid(tilde + 1));
        name.truncate(tilde);
    }
    result.id = idFor(name);
    result.name = name;
    return result;
}

Panel parse(const QString &layout)
{
    QString text = layout.trimmed();
    const bool revealed = text.startsWith(u'^');
    if (revealed)
        text.remove(0, 1);
    QList<PanelTab> tabs;
    std::optional<QUuid> active;
    for (const QString &segment : text.split(u'|')) {
        const qsizetype colon = segment.indexOf(u':');
        QString head = segment.left(colon).trimmed();
        const bool isActive = head.startsWith(u'*');
        if (isActive)
            head.remove(0, 1);
        PanelTab t = tab(head);
        for (const QString &token : segment.mid(colon + 1).split(u' ', Qt::SkipEmptyParts))
            t.items.append(item(token));
        if (isActive)
            active = t.id;
        tabs.append(t);
    }
    const PanelTab first = tabs.takeFirst();
    return Panel(PanelInit{.name = QStringLiteral("P"),
                           .tab = first,
                           .moreTabs = tabs,
                           .activeTabID = active,
                           .didRevealTabBar = revealed});
}

QString render(const Panel &panel)
{
    QStringList tabs;
    for (const PanelTab &t : panel.tabs()) {
        QString text = t.id == panel.activeTabID() ? QStringLiteral("*") : QString();
        text += nameOf(t.id, t.name);
        if (t.color)
            text += u'~' + rawValue(*t.color);
        if (t.showsRunningApps)
            text += u"+run";
        text += u':';
        for (const Item &i : t.items)
            text += u' ' + render(i);
        tabs.append(text);
    }
    return (panel.didRevealTabBar() ? QStringLiteral("^") : QString()) + tabs.join(u" | ");
}

} // namespace PanelNotation
