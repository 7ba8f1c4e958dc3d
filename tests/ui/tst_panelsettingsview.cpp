// The settings form: every control reaches its store command with the chosen value, rows that
// do not apply are disabled or hidden, names are written on every keystroke without the store
// overwriting the field being typed in, and the form empties when its panel goes.

#include "uitestsupport.h"

#include "ui/panelsettingsview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTest>

namespace {

QStringList itemsOf(const QComboBox &picker)
{
    QStringList titles;
    for (int i = 0; i < picker.count(); ++i)
        titles.append(picker.itemText(i));
    return titles;
}

// Chooses the entry titled `title` as a user would, by the keyboard.
void choose(QComboBox *picker, const QString &title)
{
    const int index = picker->findText(title);
    QVERIFY(index >= 0);
    picker->setFocus();
    while (picker->currentIndex() < index)
        QTest::keyClick(picker, Qt::Key_Down);
    while (picker->currentIndex() > index)
        QTest::keyClick(picker, Qt::Key_Up);
}

const QStringList rowOrder{u"Name"_qs,         u"Tab Name"_qs,       u"Position"_qs,
                           u"Edge"_qs,         u"Alignment"_qs,      u"Edge Inset"_qs,
                           u"Window Level"_qs, u"Show on All Desktops"_qs, u"Show Labels"_qs,
                           u"Icon Size"_qs,    u"Icon Spacing"_qs,   u"Highlight on Hover"_qs,
                           u"Show Tooltips"_qs, u"Tab Style"_qs};

} // namespace

class TestPanelSettingsView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rowsInOrder();
    void pickers_data();
    void pickers();
    void togglesAndSlider();
    void snappedOnlyRows();
    void nameFields();
    void followsTheStore();
    void emptyWhenThePanelIsGone();
};

void TestPanelSettingsView::rowsInOrder()
{
    // Snapped, so that no row is disabled (disabled rows take no focus).
    UiFixture f({panelWith({tabWith(u"A"_qs, {})}, snappedTo(PanelEdge::Top))});
    PanelSettingsView view(f.panel().id(), *f.store);
    view.show();
    view.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&view));
    QCOMPARE(view.sizeHint().width(), 320);

    // Keyboard focus walks through the controls in row order.
    QWidget *first = view.control(u"Name"_qs);
    first->setFocus();
    QStringList reached;
    for (int i = 0; i < rowOrder.size(); ++i) {
        QWidget *focused = QApplication::focusWidget();
        QVERIFY(focused);
        reached.append(focused->accessibleName());
        QTest::keyClick(focused, Qt::Key_Tab);
    }
    QCOMPARE(reached, rowOrder);

    const QHash<QString, QString> names{{u"Edge Inset"_qs, u"edgeInsetSlider"_qs},
                                        {u"Show on All Desktops"_qs, u"showOnAllDesktopsToggle"_qs},
                                        {u"Icon Size"_qs, u"iconSizePicker"_qs},
                                        {u"Icon Spacing"_qs, u"iconSpacingPicker"_qs}};
    for (auto it = names.cbegin(); it != names.cend(); ++it)
        QCOMPARE(view.control(it.key())->objectName(), it.value());
}

void TestPanelSettingsView::pickers_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QString>("stored"); // the case name the configuration holds afterwards

    QTest::newRow("position") << u"Position"_qs << QStringList{u"Free"_qs, u"Snapped to Edge"_qs}
                              << u"Snapped to Edge"_qs << u"snapped"_qs;
    QTest::newRow("edge") << u"Edge"_qs << QStringList{u"Left"_qs, u"Right"_qs, u"Top"_qs, u"Bottom"_qs}
                          << u"Top"_qs << u"top"_qs;
    QTest::newRow("alignment") << u"Alignment"_qs
                               << QStringList{u"Start"_qs, u"Center"_qs, u"End"_qs, u"Stretch"_qs}
                               << u"Stretch"_qs << u"stretch"_qs;
    QTest::newRow("window level") << u"Window Level"_qs
                                  << QStringList{u"Below Windows"_qs, u"Normal"_qs, u"Above All"_qs}
                                  << u"Above All"_qs << u"aboveAll"_qs;
    QTest::newRow("icon size") << u"Icon Size"_qs << QStringList{u"Small"_qs, u"Medium"_qs, u"Large"_qs}
                               << u"Large"_qs << u"large"_qs;
    QTest::newRow("icon spacing") << u"Icon Spacing"_qs
                                  << QStringList{u"Extra Compact"_qs, u"Compact"_qs, u"Normal"_qs, u"Spacious"_qs}
                                  << u"Extra Compact"_qs << u"extraCompact"_qs;
    QTest::newRow("tab style") << u"Tab Style"_qs << QStringList{u"Buttons"_qs, u"Tabs"_qs} << u"Buttons"_qs
                               << u"buttons"_qs;
}

void TestPanelSettingsView::pickers()
{
    QFETCH(QString, label);
    QFETCH(QStringList, titles);
    QFETCH(QString, choice);
    QFETCH(QString, stored);

    // Snapped to the left, so that the placement rows are editable.
    UiFixture f({panelWith({tabWith(u"A"_qs, {})}, snappedTo(PanelEdge::Left, PanelAlignment::Center))});
    const QUuid id = f.panel().id();
    PanelSettingsView view(id, *f.store);
    view.show();
    auto *picker = qobject_cast<QComboBox *>(view.control(label));
    QVERIFY(picker);
    QCOMPARE(itemsOf(*picker), titles);
    choose(picker, choice);

    const Panel &panel = f.panel();
    const PanelPlacement placement = panel.placement();
    const QHash<QString, QString> current{
        {u"Position"_qs, rawValue(placement.mode)},   {u"Edge"_qs, rawValue(placement.edge)},
        {u"Alignment"_qs, rawValue(placement.alignment)}, {u"Window Level"_qs, rawValue(panel.windowLevel())},
        {u"Icon Size"_qs, rawValue(panel.iconSize)},  {u"Icon Spacing"_qs, rawValue(panel.iconSpacing)},
        {u"Tab Style"_qs, rawValue(panel.tabStyle)}};
    QCOMPARE(current.value(label), stored);
    // Only that one field of the placement changed.
    if (label != u"Edge"_qs)
        QCOMPARE(placement.edge, PanelEdge::Left);
    if (label != u"Alignment"_qs)
        QCOMPARE(placement.alignment, PanelAlignment::Center);
}

void TestPanelSettingsView::togglesAndSlider()
{
    UiFixture f({panelWith({tabWith(u"A"_qs, {})}, snappedTo(PanelEdge::Bottom))});
    PanelSettingsView view(f.panel().id(), *f.store);
    view.show();

    const QList<std::pair<QString, std::function<bool(const Panel &)>>> toggles{
        {u"Show on All Desktops"_qs, [](const Panel &p) { return p.showsOnAllSpaces; }},
        {u"Show Labels"_qs, [](const Panel &p) { return p.showsItemLabels; }},
        {u"Highlight on Hover"_qs, [](const Panel &p) { return p.showsHoverHighlight; }},
        {u"Show Tooltips"_qs, [](const Panel &p) { return p.showsTooltips; }}};
    for (const auto &[label, read] : toggles) {
        auto *toggle = qobject_cast<QCheckBox *>(view.control(label));
        QVERIFY2(toggle, qPrintable(label));
        QCOMPARE(toggle->text(), label);
        const bool before = read(f.panel());
        QCOMPARE(toggle->isChecked(), before);
        toggle->setFocus();
        QTest::keyClick(toggle, Qt::Key_Space);
        QCOMPARE(read(f.panel()), !before);
    }

    // Whole points from 0 to 48.
    auto *slider = qobject_cast<QSlider *>(view.control(u"Edge Inset"_qs));
    QVERIFY(slider);
    QCOMPARE(slider->minimum(), 0);
    QCOMPARE(slider->maximum(), 48);
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Right);
    QCOMPARE(f.panel().placement().edgeInset, 1.0);
    QTest::keyClick(slider, Qt::Key_End);
    QCOMPARE(f.panel().placement().edgeInset, 48.0);
    QCOMPARE(f.panel().placement().edge, PanelEdge::Bottom);
}

void TestPanelSettingsView::snappedOnlyRows()
{
    UiFixture f({panelWith({tabWith(u"A"_qs, {})})});
    PanelSettingsView view(f.panel().id(), *f.store);
    view.show();
    const QStringList snappedOnly{u"Edge"_qs, u"Alignment"_qs, u"Edge Inset"_qs};
    for (const QString &label : snappedOnly)
        QVERIFY2(!view.control(label)->isEnabled(), qPrintable(label));
    QVERIFY(view.control(u"Window Level"_qs)->isEnabled());
    choose(qobject_cast<QComboBox *>(view.control(u"Position"_qs)), u"Snapped to Edge"_qs);
    for (const QString &label : snappedOnly)
        QVERIFY2(view.control(label)->isEnabled(), qPrintable(label));
}

void TestPanelSettingsView::nameFields()
{
    UiFixture f({panelWith({tabWith(u"Home"_qs, {})})});
    const QUuid id = f.panel().id();
    PanelSettingsView view(id, *f.store);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    // Every keystroke renames; a trailing space is trimmed in the store but kept in the field.
    auto *name = qobject_cast<QLineEdit *>(view.control(u"Name"_qs));
    QCOMPARE(name->text(), u"Panel"_qs);
    name->setFocus();
    name->selectAll();
    QTest::keyClicks(name, u"Wo"_qs);
    QCOMPARE(f.panel().name, u"Wo"_qs);
    QTest::keyClicks(name, u"rk "_qs);
    QCOMPARE(f.panel().name, u"Work"_qs);
    QCOMPARE(name->text(), u"Work "_qs);
    // Emptied: the store keeps the name; leaving the field shows it again.
    name->clear();
    QTest::keyClick(name, Qt::Key_Backspace);
    QCOMPARE(f.panel().name, u"Work"_qs);

    // "Tab Name" renames the active tab, and shows only while the tab bar is hidden.
    auto *tabName = qobject_cast<QLineEdit *>(view.control(u"Tab Name"_qs));
    QVERIFY(view.isShown(u"Tab Name"_qs));
    tabName->setFocus();
    QCOMPARE(name->text(), u"Work"_qs);
    tabName->selectAll();
    QTest::keyClicks(tabName, u"Mail"_qs);
    QCOMPARE(f.panel().activeTab().name, u"Mail"_qs);
    f.store->addTab(id);
    QVERIFY(f.panel().isTabBarVisible());
    QVERIFY(!view.isShown(u"Tab Name"_qs));
}

void TestPanelSettingsView::followsTheStore()
{
    UiFixture f({panelWith({tabWith(u"A"_qs, {})})});
    const QUuid id = f.panel().id();
    PanelSettingsView view(id, *f.store);
    view.show();
    f.store->renamePanel(id, u"Elsewhere"_qs);
    f.store->setPlacementMode(PanelPlacementMode::Snapped, id);
    f.store->setPlacementEdgeInset(12, id);
    f.store->setIconSize(PanelIconSize::Small, id);
    QCOMPARE(qobject_cast<QLineEdit *>(view.control(u"Name"_qs))->text(), u"Elsewhere"_qs);
    QCOMPARE(qobject_cast<QComboBox *>(view.control(u"Position"_qs))->currentText(), u"Snapped to Edge"_qs);
    QCOMPARE(qobject_cast<QSlider *>(view.control(u"Edge Inset"_qs))->value(), 12);
    QCOMPARE(qobject_cast<QComboBox *>(view.control(u"Icon Size"_qs))->currentText(), u"Small"_qs);
    QVERIFY(view.control(u"Edge"_qs)->isEnabled());
}

void TestPanelSettingsView::emptyWhenThePanelIsGone()
{
    UiFixture f({panelWith({tabWith(u"A"_qs, {})}), panelWith({tabWith(u"B"_qs, {})})});
    const QUuid id = f.panel(1).id();
    PanelSettingsView view(id, *f.store);
    view.show();
    QVERIFY(view.isShown(u"Name"_qs));
    QCOMPARE(f.store->removePanel(id, true), AppStore::RemovePanelResult::Removed);
    for (const QString &label : rowOrder)
        QVERIFY2(!view.isShown(label), qPrintable(label));

    PanelSettingsView unknown(QUuid::createUuid(), *f.store);
    unknown.show();
    QVERIFY(!unknown.isShown(u"Name"_qs));
}

QTEST_MAIN(TestPanelSettingsView)
#include "tst_panelsettingsview.moc"
