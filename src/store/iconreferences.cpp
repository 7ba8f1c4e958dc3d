#include "iconreferences.h"

#include <QSet>

QStringList unreferencedIconFiles(const QStringList &candidates, const QList<Panel> &panels)
{
    if (candidates.isEmpty())
        return {};
    QSet<QString> referenced;
    for (const Panel &panel : panels) {
        for (const QString &name : panel.customIconFileNames())
            referenced.insert(name);
    }
    QStringList unreferenced;
    for (const QString &name : candidates) {
        if (!referenced.contains(name) && !unreferenced.contains(name))
            unreferenced.append(name);
    }
    return unreferenced;
}
