#pragma once

#include "panellayoutplan.h"

#include <QLayout>

class RowScroller;
class TabBarView;

// Arranges a panel view: the scrolled item row inside the rounded body and the tab bar
// beside it, as planPanelLayout() says. Its size hint is the panel's fitting size.
class PanelViewLayout : public QLayout
{
public:
    // `base` holds everything but the sizes the children report.
    PanelViewLayout(const PanelLayoutInput &base, RowScroller *scroller, TabBarView *tabBar, QWidget *parent);
    ~PanelViewLayout() override;

    // The arrangement in the size offered, or the fitting one.
    PanelLayoutPlan plan(std::optional<QSizeF> offered = std::nullopt) const;

    void addItem(QLayoutItem *item) override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;
    int count() const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    Qt::Orientations expandingDirections() const override;
    void setGeometry(const QRect &rect) override;

private:
    PanelLayoutInput input() const;

    PanelLayoutInput m_base;
    RowScroller *m_scroller;
    TabBarView *m_tabBar;
    QList<QLayoutItem *> m_items;
};
