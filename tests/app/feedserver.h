#pragma once

#include <QByteArray>
#include <QList>
#include <QTcpServer>
#include <QUrl>

// A small HTTP server on the loopback interface that answers every request the same way, or
// never answers at all. Counts the connections it accepted.
class FeedServer : public QObject
{
    Q_OBJECT

public:
    struct Answer
    {
        int status = 200;
        QByteArray body;
        QByteArray location;  // for a redirect
        bool never = false;   // accept the connection and stay silent
    };

    explicit FeedServer(Answer answer);

    QUrl url(const QString &path = QStringLiteral("/appcast.xml")) const;
    int connections() const { return m_connections; }

private:
    void respond(class QTcpSocket *socket);

    QTcpServer m_server;
    Answer m_answer;
    int m_connections = 0;
};
