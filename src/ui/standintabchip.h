#pragma once

// STAND-IN: a minimal chip for the group popover until the tab bar's `TabChip` is on main.
// It draws the active, uncoloured chip as a rounded button (never the slanted shape), turned for
// the sideways sides, and edits the name in an upright field. Replace it by `TabChip` (with
// `SidewaysTabBar` for the sideways sides) and delete this file.

#include "model/placement.h"

#include <QWidget>

#include <functional>

class QLineEdit;

class StandInTabChip : public QWidget
{
    Q_OBJECT

public:
    struct Callbacks
    {
        std::function<void()> onBeginRename;
        std::function<void(const QString &)> onCommitRename;
        std::function<void()> onCancelRename;
    };

    StandInTabChip(const QString &name, PanelCompanionSide companionSide, const QString &fieldAccessibilityID,
                   const QString &labelAccessibilityID, Callbacks callbacks, QWidget *parent = nullptr);

    QString name() const { return m_name; }
    bool isRenaming() const;
    // Shows the field (holding the name, focused) or the label.
    void setRenaming(bool renaming);
    QLineEdit *field() const { return m_field; }

    // The upright chip's size; a sideways chip takes it turned.
    QSizeF uprightSize() const;
    double degrees() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void placeField();

    QString m_name;
    PanelCompanionSide m_side;
    Callbacks m_callbacks;
    QLineEdit *m_field;
};
