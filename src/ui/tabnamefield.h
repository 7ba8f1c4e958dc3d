#pragma once

#include <QLineEdit>

// The inline field in which a chip's name is edited: as wide as its text needs, between 44 and
// 120 points, one line. Return commits the text, Escape cancels; neither is passed on. It draws
// its own compact plate (the base colour with a ring in the accent colour while focused), so that
// it fits the chip's height and reads over any chip colour.
class TabNameField : public QLineEdit
{
    Q_OBJECT

public:
    static constexpr double minimumWidth = 44;
    static constexpr double maximumWidth = 120;

    explicit TabNameField(const QString &text, QWidget *parent = nullptr);

    // The width the current text asks for, within the bounds above.
    double preferredWidth() const;

Q_SIGNALS:
    void committed(const QString &text);
    void cancelled();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};
