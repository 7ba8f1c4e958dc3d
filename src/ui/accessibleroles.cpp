#include "accessibleroles.h"

#include "drophint.h"
#include "tabbarview.h"
#include "tabchip.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {

class AccessibleTabChip : public QAccessibleWidget
{
public:
    explicit AccessibleTabChip(TabChip *chip)
        : QAccessibleWidget(chip, QAccessible::PageTab)
    {
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.selectable = true;
        state.selected = chip()->isActive();
        return state;
    }

    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }

    void doAction(const QString &actionName) override
    {
        if (actionName == pressAction())
            chip()->click();
        else
            QAccessibleWidget::doAction(actionName);
    }

private:
    TabChip *chip() const { return static_cast<TabChip *>(widget()); }
};

QAccessibleInterface *makeInterface(const QString &className, QObject *object)
{
    if (className == QLatin1StringView(TabChip::staticMetaObject.className()))
        return new AccessibleTabChip(static_cast<TabChip *>(object));
    if (className == QLatin1StringView(TabBarView::staticMetaObject.className()))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::PageTabList);
    if (className == QLatin1StringView(DropHint::staticMetaObject.className()))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::StaticText);
    return nullptr;
}

} // namespace

namespace AccessibleRoles {

void install()
{
    // Qt keeps a factory once, however often it is installed.
    QAccessible::installFactory(makeInterface);
}

} // namespace AccessibleRoles
