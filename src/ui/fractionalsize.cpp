#include "fractionalsize.h"

#include <QLayoutItem>
#include <QWidget>

QSizeF preferredSizeOf(const QLayoutItem &item)
{
    if (const auto *exact = dynamic_cast<const FractionalSize *>(item.widget()))
        return exact->preferredSize();
    return QSizeF(item.sizeHint());
}
