#pragma once

#include "fractionalsize.h"
#include "tilepictures.h"

#include "model/iconchrome.h"

#include <QAbstractButton>
#include <QIcon>
#include <QPoint>

#include <chrono>
#include <optional>

class AttentionPulse;
class ItemTooltip;
class QMimeData;

// One icon tile: the icon scaled into a `pointSize` square with rounded corners, the running
// marker below it (a 4 x 4 point dot that keeps its room even when not shown, so that tiles line
// up), and optionally the name below, one line, cut at the end to `labelMaxWidth`. While the
// pointer is over it, a plate in the accent colour lies behind the icon when `highlightsOnHover`.
// What its running application publishes shows on it: a count badge at the icon's top-right
// corner, a thin progress bar across the icon's lower part, and a request for attention as a
// wider mark in place of the running marker that pulses softly three times, then stays.
//
// It is a borderless button: a click emits clicked(), a middle click middleClicked(); its
// accessible name is the item's name.
//
// The icon is drawn from a pixmap requested at the device pixel ratio of the window's screen
// and redrawn when that ratio changes. Only an icon that has no larger picture (a custom icon,
// stored at 128 pixels) is ever enlarged.
class ItemIconView : public QAbstractButton, public FractionalSize
{
    Q_OBJECT

public:
    ItemIconView(const QIcon &icon, bool isRunning, const QString &name, const IconChrome &chrome, bool showsLabel,
                 bool highlightsOnHover, bool showsTooltip, QWidget *parent = nullptr);
    ~ItemIconView() override;

    bool isRunning() const { return m_isRunning; }
    QString name() const { return m_name; }
    const IconChrome &chrome() const { return m_chrome; }
    // Whether the name is shown: asked for, and there is a name.
    bool showsLabel() const { return m_showsLabel && !m_name.isEmpty(); }
    bool highlightsOnHover() const { return m_highlightsOnHover; }
    bool isHovering() const { return m_isHovering; }
    ItemTooltip *tooltip() const { return m_tooltip; }

    QSizeF preferredSize() const override;
    QSize sizeHint() const override;
    // Where the icon is drawn, in the tile's coordinates.
    QRectF iconFrame() const;
    // Where the running marker goes (also when it is not drawn).
    QRectF markerFrame() const;
    // While clicked() or middleClicked() is emitted for a mouse click: the time of the release
    // that made it, which the window system needs to let a launched application take the focus.
    std::optional<quint32> clickTimestamp() const { return m_clickTimestamp; }

    std::optional<qint64> badgeCount() const { return m_badgeCount; }
    void setBadgeCount(std::optional<qint64> count);
    // From 0 to 1.
    std::optional<double> progress() const { return m_progress; }
    void setProgress(std::optional<double> progress);
    bool demandsAttention() const { return m_demandsAttention; }
    // None: no request for attention. Otherwise how long ago the request began: the pulses run
    // for what is left of them.
    void setAttention(std::optional<std::chrono::milliseconds> elapsed);
    bool isPulsing() const;
    // The data a drag of this tile carries, for the caller to own; none (the default) makes the
    // tile not draggable.
    virtual QMimeData *dragData() const;

Q_SIGNALS:
    void middleClicked();

protected:
    // Group tiles: no room for a running marker and a faint plate behind the glyph at rest.
    void setGroupLook();

    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool event(QEvent *event) override;

private:
    TilePictures::Caption label() const;

    QIcon m_icon;
    bool m_isRunning;
    QString m_name;
    IconChrome m_chrome;
    bool m_showsLabel;
    bool m_highlightsOnHover;
    bool m_isHovering = false;
    bool m_keepsMarkerRoom = true;
    bool m_hasRestingPlate = false;
    std::optional<QPoint> m_pressPosition;
    std::optional<quint32> m_clickTimestamp;
    std::optional<qint64> m_badgeCount;
    std::optional<double> m_progress;
    bool m_demandsAttention = false;
    AttentionPulse *m_pulse = nullptr;
    ItemTooltip *m_tooltip;
};
