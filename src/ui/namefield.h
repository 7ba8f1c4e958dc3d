#pragma once

#include <QLineEdit>

#include <functional>

// A settings field for a name that is written through on every edit: each change of its text
// that differs from the stored name is committed at once (the store trims and ignores blanks).
// The stored name shows whenever the field does not have the focus; while the user types it is
// never overwritten, so a trailing space survives the store's trimming until the field is left.
class NameField : public QLineEdit
{
    Q_OBJECT

public:
    using Commit = std::function<void(const QString &)>;

    NameField(const QString &title, const QString &name, Commit commit, QWidget *parent = nullptr);

    QString title() const { return m_title; }
    QString name() const { return m_name; }
    // The stored name changed (here or elsewhere).
    void setName(const QString &name);

protected:
    void focusOutEvent(QFocusEvent *event) override;

private:
    QString m_title;
    QString m_name;
    Commit m_commit;
};
