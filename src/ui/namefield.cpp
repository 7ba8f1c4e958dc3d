#include "namefield.h"

#include <QFocusEvent>

NameField::NameField(const QString &title, const QString &name, Commit commit, QWidget *parent)
    : QLineEdit(name, parent)
    , m_title(title)
    , m_name(name)
    , m_commit(std::move(commit))
{
    setAccessibleName(title);
    // Only the user's edits commit; the store's names arrive through setName().
    connect(this, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (text != m_name && m_commit)
            m_commit(text);
    });
}

void NameField::setName(const QString &name)
{
    m_name = name;
    if (!hasFocus() && text() != name)
        setText(name);
}

void NameField::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // The field's own context menu takes the focus only for a moment.
    if (event->reason() == Qt::PopupFocusReason)
        return;
    // What the user typed may have been trimmed or refused: show what was stored.
    if (text() != m_name)
        setText(m_name);
}
