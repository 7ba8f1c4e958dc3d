#pragma once

#include <QString>

// The two small modal alerts of the views. Each remembers the window of another program that was
// active, brings its own alert to the front above the panels, and gives the focus back to that
// window once answered.
namespace RemovalConfirmation {

// A warning whose message is `command` and whose detail is `subject` (shown as plain text), with
// the buttons "Cancel" and `command` (destructive). True exactly when `command` was chosen;
// Escape and closing the alert cancel.
bool confirm(const QString &command, const QString &subject);

// "This file isn’t an image." with one button, "OK".
void fileIsNotAnImage();
QString notAnImageMessage();

} // namespace RemovalConfirmation
