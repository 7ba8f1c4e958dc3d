#pragma once

#include "sidewayslayout.h"
#include "tabstripplan.h"

#include <QLayout>

// Lays out a strip of tab chips and, as its last item, the overflow chevron, by the rules of
// TabStripGeometry. On a bar beside the panel body the strip is arranged upright and every piece
// is then placed where the bar's turn puts it (its widget draws itself turned); the size hint is
// then the turned footprint. Contents margins are taken in the widget's (turned) frame.
class TabStripLayout : public QLayout
{
public:
    TabStripLayout(const TabStripGeometry &geometry, SidewaysLayout turn, QWidget *parent = nullptr);
    ~TabStripLayout() override;

    const TabStripGeometry &rules() const { return m_geometry; }
    void setMaxLength(std::optional<double> maxLength);
    SidewaysLayout turn() const { return m_turn; }

    // The upright sizes of the pieces, chevron last.
    QList<QSizeF> uprightSizes() const;
    TabStripPlan plan() const { return m_geometry.plan(uprightSizes()); }
    double runWidth(int from, int count) const { return m_geometry.runWidth(uprightSizes(), from, count); }

    void addItem(QLayoutItem *item) override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;
    int count() const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    Qt::Orientations expandingDirections() const override;
    void setGeometry(const QRect &rect) override;

private:
    TabStripGeometry m_geometry;
    SidewaysLayout m_turn;
    QList<QLayoutItem *> m_items;
};
