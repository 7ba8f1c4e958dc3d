#include "defaultname.h"

namespace DefaultName {

QString panel(int number)
{
    return QStringLiteral("Panel %1").arg(number);
}

QString tab(int number)
{
    return QStringLiteral("Tab %1").arg(number);
}

QString group(int number)
{
    return QStringLiteral("Group %1").arg(number);
}

QString firstTab()
{
    return QStringLiteral("Main");
}

} // namespace DefaultName
