#include "removalconfirmation.h"

#include "windows/x11desktop.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace {

// Names are the user's text: never read as markup.
void showPlainText(QMessageBox &box)
{
    box.setTextFormat(Qt::PlainText);
    const QList<QLabel *> labels = box.findChildren<QLabel *>();
    for (QLabel *label : labels)
        label->setTextFormat(Qt::PlainText);
}

void run(QMessageBox &box)
{
    X11Desktop &desktop = X11Desktop::instance();
    // Remembers the other program's window that has the focus, before the alert takes it.
    desktop.activate(nullptr);
    // Above panels that float above every window.
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.setWindowModality(Qt::ApplicationModal);
    showPlainText(box);
    box.show();
    box.raise();
    box.activateWindow();
    box.exec();
    // Gives it back, if it still exists.
    desktop.deactivate();
}

} // namespace

namespace RemovalConfirmation {

bool confirm(const QString &command, const QString &subject)
{
    QMessageBox box(QMessageBox::Warning, QString(), command);
    box.setInformativeText(subject);
    QPushButton *cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    QPushButton *destructive = box.addButton(command, QMessageBox::DestructiveRole);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    run(box);
    return box.clickedButton() == destructive;
}

QString notAnImageMessage()
{
    return QStringLiteral("This file isn\u2019t an image.");
}

void fileIsNotAnImage()
{
    QMessageBox box(QMessageBox::Warning, QString(), notAnImageMessage());
    QPushButton *ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    run(box);
}

} // namespace RemovalConfirmation
