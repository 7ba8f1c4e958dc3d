#include "feedserver.h"

#include <QHostAddress>
#include <QTcpSocket>

FeedServer::FeedServer(Answer answer)
    : m_answer(std::move(answer))
{
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            ++m_connections;
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { respond(socket); });
        }
    });
}

QUrl FeedServer::url(const QString &path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
}

void FeedServer::respond(QTcpSocket *socket)
{
    const QByteArray request = socket->property("request").toByteArray() + socket->readAll();
    socket->setProperty("request", request);
    if (!request.contains("\r\n\r\n") || m_answer.never || socket->property("answered").toBool())
        return;
    socket->setProperty("answered", true);
    QByteArray head = "HTTP/1.1 " + QByteArray::number(m_answer.status)
        + (m_answer.status == 200 ? " OK" : m_answer.status == 404 ? " Not Found" : " Moved") + "\r\n";
    if (!m_answer.location.isEmpty())
        head += "Location: " + m_answer.location + "\r\n";
    head += "Content-Type: application/rss+xml\r\nContent-Length: " + QByteArray::number(m_answer.body.size())
        + "\r\nConnection: close\r\n\r\n";
    socket->write(head + m_answer.body);
    socket->disconnectFromHost();
}
