#pragma once

#include "model/panel.h"

#include <QWidget>

// The place of the tab bar beside the panel body. Upright above or below the body; beside it,
// turned by -90 degrees (left of the body) or +90 degrees (right of it), so its footprint is the
// upright size turned. The panel keeps `bodyCornerRadius` of room at both ends of it.
//
// The strip of tab chips itself is not built yet: the slot keeps its room, measured as the
// chips will be (one line of the body font with 4 points above and below, at least the 24-point
// overflow chevron; each chip as wide as its name, at most 120 points, plus its padding), and
// stays empty.
class TabBarSlot : public QWidget
{
    Q_OBJECT

public:
    TabBarSlot(const Panel &panel, QWidget *parent = nullptr);

    // Rotation of the upright bar: 0, -90 or +90 degrees.
    double degrees() const { return m_degrees; }
    // The upright bar's height.
    double thickness() const;
    // The upright bar's natural length, before the panel limits it.
    double naturalLength() const;

private:
    QStringList m_names;
    bool m_isSlanted;
    double m_degrees;
};
