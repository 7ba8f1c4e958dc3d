#pragma once

#include "fractionalsize.h"
#include "sidewayslayout.h"
#include "slantedtabshape.h"
#include "tabnamefield.h"

#include "model/appearance.h"
#include "model/placement.h"

#include <QAbstractButton>
#include <QPointer>

#include <functional>
#include <optional>

class ItemTooltip;
class QMenu;

// What a chip shows and how it is named; nothing in it ties a chip to a panel's tab.
struct TabChipOptions
{
    QString name;
    std::optional<TabColor> color{};
    bool isActive = false;
    bool isRenaming = false;
    bool slanted = false;
    // The side of the body the chip stands on: a chip left or right of it is drawn turned
    // (-90 or +90 degrees) and its slant is shallower; one below it is mirrored.
    PanelCompanionSide companionSide = PanelCompanionSide::Above;
    // Whether a turned chip shows its name in a tooltip (upright chips never do).
    bool showsTooltip = false;
    // Object names of the rename field and of the chip itself (for tests and assistive tools).
    QString fieldAccessibilityID{};
    QString labelAccessibilityID{};
};

// A tab chip: the name on a rounded button (radius 6) or on a slanted tab, filled with its colour
// (80% when active, 55% when not) or, without one, with the selection colour when active and a
// faint plate when not. An active slanted chip has a thin white border. Only the drawn shape
// takes clicks: one emits selectRequested(); a double click emits it, then renameRequested().
//
// While renaming, a TabNameField takes the place of the name; on a turned chip, where a field
// cannot be turned, it stands upright over the chip's centre (inside the chip's window). The
// field starts with the chip's name and takes the keyboard focus on the next turn of the event
// loop; Return emits renameCommitted(), Escape renameCancelled(). Whoever owns the renaming
// state ends it with setRenaming(false).
//
// The chip's size hint is the room it takes on screen (turned when it stands beside the body);
// uprightSize() is the size before the turn.
class TabChip : public QAbstractButton, public FractionalSize
{
    Q_OBJECT

public:
    // Fills a context menu when it opens (so that it shows the current state).
    using MenuContent = std::function<void(QMenu &)>;

    explicit TabChip(const TabChipOptions &options, QWidget *parent = nullptr);
    ~TabChip() override;

    const TabChipOptions &options() const { return m_options; }
    QString name() const { return m_options.name; }
    bool isActive() const { return m_options.isActive; }
    bool isRenaming() const { return m_options.isRenaming; }
    void setRenaming(bool renaming);
    void setMenuContent(MenuContent content) { m_menuContent = std::move(content); }

    // The turn the chip is drawn with.
    SidewaysLayout turn() const { return SidewaysLayout::forSide(m_options.companionSide); }
    // The shape of the tab, and of the chip as drawn in its upright frame.
    SlantedTabShape slantedShape() const;
    QPainterPath shape() const;
    // That shape as shown, in the chip's own coordinates.
    QPainterPath outline() const;
    QSizeF uprightSize() const;
    QSizeF preferredSize() const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The fill, label and border colours for the palette.
    QColor fillColor() const;
    QColor labelColor() const;
    std::optional<QColor> borderColor() const;

    // The rename field while renaming, otherwise null.
    TabNameField *nameField() const { return m_field; }
    ItemTooltip *tooltip() const { return m_tooltip; }

Q_SIGNALS:
    void selectRequested();
    void renameRequested();
    void renameCommitted(const QString &name);
    void renameCancelled();

protected:
    bool hitButton(const QPoint &position) const override;
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void showField();
    void placeField();
    void measure();
    void updateMask();
    QTransform uprightToWidget() const;

    TabChipOptions m_options;
    MenuContent m_menuContent;
    QPointer<TabNameField> m_field;
    ItemTooltip *m_tooltip = nullptr;
    double m_labelWidth = 0;
    double m_lineHeight = 0;
    bool m_swallowsRelease = false;
};
