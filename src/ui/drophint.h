#pragma once

#include "fractionalsize.h"

#include <QWidget>

// "or drop apps here": the prompt beside the add button of an empty tab, in the secondary text
// colour with 6 points of room before it.
class DropHint : public QWidget, public FractionalSize
{
    Q_OBJECT

public:
    static QString text();
    static constexpr double leadingPadding = 6;

    explicit DropHint(QWidget *parent = nullptr);

    QSizeF preferredSize() const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};
