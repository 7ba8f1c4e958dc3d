#pragma once

#include "sidewayslayout.h"

#include <QAbstractButton>

// The button at the end of a tab strip too long for its panel: a double chevron drawn in the
// secondary colour, centred in 24 x 24 points, turned with the strip. A click opens the menu of
// all tabs (the owner connects clicked()).
class OverflowChevron : public QAbstractButton
{
    Q_OBJECT

public:
    static constexpr int side = 24;

    explicit OverflowChevron(SidewaysLayout turn, QWidget *parent = nullptr);

    QSize sizeHint() const override { return QSize(side, side); }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    SidewaysLayout m_turn;
};
