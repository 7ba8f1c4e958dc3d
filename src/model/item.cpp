#include "item.h"

QUuid Item::id() const
{
    return std::visit([](const auto &value) { return value.id; }, m_value);
}

const std::optional<QString> &Item::customIcon() const
{
    return std::visit([](const auto &value) -> const std::optional<QString> & { return value.customIcon; },
                      m_value);
}

QStringList Item::customIconFileNames() const
{
    QStringList names;
    if (customIcon())
        names.append(*customIcon());
    if (const ItemGroup *g = group()) {
        for (const ItemLink &member : g->links) {
            if (member.customIcon)
                names.append(*member.customIcon);
        }
    }
    return names;
}
