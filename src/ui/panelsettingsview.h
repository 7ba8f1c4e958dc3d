#pragma once

#include "windows/hostedview.h"

#include <QList>
#include <QUuid>

#include <functional>

class AppStore;
class NameField;
class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QSlider;
class QWidget;

// The content of a panel's settings window: a form 320 points wide that edits the panel's name,
// the active tab's name while the tab bar is hidden, its placement, window level, display flags,
// icon size and spacing, and tab style. Every control writes straight through a store command.
//
// The view follows the store: a change made elsewhere (a rename in the tab bar, a drag that
// snaps the panel) shows at once, except in a name field the user is typing in. Edge, Alignment
// and Edge Inset are disabled unless the panel is snapped. When the panel is gone the form is
// empty. Controls carry their label as accessible name and are its buddy; Tab walks them in row
// order. A few have fixed object names
// ("edgeInsetSlider", "showOnAllDesktopsToggle", "iconSizePicker", "iconSpacingPicker").
class PanelSettingsView : public HostedView
{
    Q_OBJECT

public:
    static constexpr int formWidth = 320;
    static constexpr int maximumEdgeInset = 48;

    PanelSettingsView(const QUuid &panelID, AppStore &store, QWidget *parent = nullptr);
    ~PanelSettingsView() override;

    QUuid panelID() const { return m_panelID; }
    // The control labelled `label` ("Name", "Tab Name", "Position", …, "Tab Style"), or null.
    QWidget *control(const QString &label) const;
    // Whether the control labelled `label` is shown (rows are hidden while they do not apply).
    bool isShown(const QString &label) const;

    QSize sizeHint() const override;

private:
    struct Row
    {
        QString label;
        QWidget *field = nullptr;
        std::function<void()> refresh; // reads the panel anew into the control
    };

    template<typename Enum>
    QComboBox *addPicker(const QString &label, const QString &objectName, std::function<Enum()> read,
                         std::function<void(Enum)> apply);
    QCheckBox *addToggle(const QString &label, const QString &objectName, std::function<bool()> read,
                         std::function<void(bool)> apply);
    void addEdgeInsetSlider();
    void addRow(const QString &label, QWidget *field, std::function<void()> refresh, bool labelled = true);
    void refresh();
    static QWidget *controlOf(QWidget *field);
    const Row *row(const QString &label) const;

    QUuid m_panelID;
    AppStore &m_store;
    QFormLayout *m_form;
    QList<Row> m_rows;
};
