#pragma once

#include "model/panel.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

class Quayrow2App;
class TestDesktop;

// The desktop a soak runs on and what it checks there.
class SoakDesktop
{
public:
    // Writes into the private desktop what panels link to (applications, folders, files), default
    // handlers that do nothing for what a stray click might open, and a first configuration of
    // three panels; keeps the system's icon themes visible.
    explicit SoakDesktop(const TestDesktop &desktop);

    const QList<QUrl> &locations() const { return m_locations; }

    // The ids of the screens attached now.
    static QList<QString> attachedScreenIDs();
    // One turn of the event loop as the program's own makes it, without waiting for anything:
    // events handled, views released, requests sent to the X server.
    static void turnEventLoop();
    // Waits (at most 10 s) until every panel has a shown window whose frame on the X server is
    // the one the geometry computes from its placement, its content's size and its screen (to
    // a pixel), and no other panel window is shown; returns what still differs then.
    static QStringList settle(Quayrow2App &app);
    // Where two panel lists differ, as the first lines of their configuration documents that do.
    static QString firstDifference(const QList<Panel> &left, const QList<Panel> &right);

private:
    QList<QUrl> m_locations;
};

// Counts the X errors Qt reports on its connection while it exists ("QXcbConnection: XCB
// error"), passing every message on to the handler before it.
class XErrorCounter
{
public:
    XErrorCounter();
    ~XErrorCounter();
    XErrorCounter(const XErrorCounter &) = delete;
    XErrorCounter &operator=(const XErrorCounter &) = delete;

    int count() const;
    // The first few reports, as Qt wrote them.
    QStringList first() const;
};
