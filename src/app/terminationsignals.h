#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the main thread, so that a request to end
// from outside takes the same clean way out as "Quit Quayrow". The handlers only write a byte
// to a socket the event loop watches. After the first request the default actions are back in
// place, so a second Ctrl+C ends a process that hangs on its way out.
//
// One object at a time per process; the previous handlers are restored when it is destroyed.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

    // Whether the handlers are installed (false only when the socket could not be made).
    bool isActive() const { return m_notifier != nullptr; }

Q_SIGNALS:
    void terminationRequested(int signalNumber);

private:
    void readPending();

    QSocketNotifier *m_notifier = nullptr;
};
