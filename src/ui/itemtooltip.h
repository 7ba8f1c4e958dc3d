#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <memory>

class DeferredCall;
class QWidget;

// The tooltip of a tile: half a second after the pointer enters the tile, the shared
// TooltipWindow shows `text` next to it; leaving the tile, hiding it or taking it out of its
// window cancels a pending bubble and hides a shown one. Nothing runs while the pointer is
// elsewhere. Attached as a child of the tile, whose events it watches.
class ItemTooltip : public QObject
{
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds delay{500};

    ItemTooltip(const QString &text, bool isEnabled, QWidget *tile);
    ~ItemTooltip() override;

    QString text() const { return m_text; }
    void setText(const QString &text) { m_text = text; }
    bool isEnabled() const { return m_isEnabled; }
    void setEnabled(bool enabled) { m_isEnabled = enabled; }
    bool isPending() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void pointerEntered();
    void dismiss();
    void showNow();

    QWidget *m_tile;
    QString m_text;
    bool m_isEnabled;
    std::unique_ptr<DeferredCall> m_showWork;
};
