#include "tcphost.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

namespace sim {

TcpHost::TcpHost(QObject *parent)
    : QObject(parent)
    , m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &TcpHost::accept);
}

TcpHost::~TcpHost() = default;

bool TcpHost::listen(quint16 port, QString *error)
{
    if (m_server->listen(QHostAddress::LocalHost, port))
        return true;
    if (error)
        *error = QStringLiteral("cannot listen on 127.0.0.1:%1: %2").arg(port).arg(m_server->errorString());
    return false;
}

bool TcpHost::isListening() const
{
    return m_server->isListening();
}

quint16 TcpHost::port() const
{
    return m_server->serverPort();
}

bool TcpHost::write(const QByteArray &bytes)
{
    if (!m_client || m_client->state() != QAbstractSocket::ConnectedState)
        return false;
    return m_client->write(bytes) == bytes.size();
}

void TcpHost::dropClient()
{
    if (!m_client)
        return;
    QTcpSocket *client = m_client;
    m_client = nullptr;
    client->disconnect(this);
    client->abort();
    client->deleteLater();
}

void TcpHost::accept()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        dropClient();
        m_client = socket;
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { emit received(socket->readAll()); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            if (m_client == socket) {
                m_client = nullptr;
                socket->deleteLater();
            }
        });
    }
}

} // namespace sim
