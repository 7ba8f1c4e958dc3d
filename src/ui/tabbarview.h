#pragma once

#include "model/panel.h"

#include <QList>
#include <QUuid>
#include <QWidget>

#include <optional>

class AppStore;
class OverflowChevron;
class QMenu;
class TabChip;
class TabStripLayout;

// The strip of tab chips beside a panel body: one chip per tab (reversed on a panel snapped to
// the right edge, whose strip is turned by -90 degrees, so that the first tab stays on top), the
// active one highlighted, and, when the chips do not fit into `maxLength`, as many as fit (the
// active one always among them) followed by the overflow chevron, whose menu lists every tab.
// Beside the body (companion side left or right) the whole strip is drawn turned by -90 or +90
// degrees and takes its turned footprint. `bodyCornerRadius` of room is kept at both ends.
//
// Chips select their tab on a click, start renaming on a double click and carry the tab's context
// menu. The store's `renaming` decides which chip shows its field; the bar follows it live.
class TabBarView : public QWidget
{
    Q_OBJECT

public:
    TabBarView(const Panel &panel, AppStore &store, bool slanted, std::optional<double> maxLength,
               QWidget *parent = nullptr);
    ~TabBarView() override;

    // The tabs in the order of their chips.
    static QList<PanelTab> chipOrder(const Panel &panel);
    // The active tab's position among the chips.
    static std::optional<int> activeChipIndex(const Panel &panel);
    // -8 between slanted chips (they overlap), 4 between buttons.
    static double chipSpacing(bool slanted) { return slanted ? -8 : 4; }

    // The turn of the strip: 0, -90 or +90 degrees.
    double degrees() const;
    // The upright strip's height: its tallest chip or the chevron.
    double thickness() const;
    // The upright length of all chips side by side, before a maximum applies.
    double naturalLength() const;
    void setMaxLength(std::optional<double> maxLength);

    const QList<TabChip *> &chips() const { return m_chips; }
    OverflowChevron *chevron() const { return m_chevron; }
    TabStripLayout *stripLayout() const { return m_layout; }
    // What the bar draws, in its own coordinates: the outlines of the chips in view (parked ones
    // are left out) and the chevron when it shows. A window cut to its panel's shape takes this
    // rather than the bar's whole rectangle, whose gaps would show the window's own fill.
    QPainterPath outline() const;

    // Appends one entry per tab, in stored order, the active one checked.
    void fillOverflowMenu(QMenu &menu) const;
    void showOverflowMenu();

private:
    TabChip *makeChip(const PanelTab &tab, bool slanted);
    void renamingChanged();

    Panel m_panel;
    AppStore &m_store;
    QList<TabChip *> m_chips;
    OverflowChevron *m_chevron;
    TabStripLayout *m_layout;
};
