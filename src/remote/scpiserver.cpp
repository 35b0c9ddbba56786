#include "scpiserver.h"

#include "remote/scpihandler.h"
#include "remote/scpisession.h"

#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>

ScpiServer::ScpiServer(const QStringList &patterns, ScpiHandler *handler, QObject *parent)
    : QObject(parent)
    , m_parser(patterns)
    , m_handler(handler)
{
    m_idleCheck.setInterval(1000);
    connect(&m_idleCheck, &QTimer::timeout, this, &ScpiServer::closeIdle);
}

void ScpiServer::setIdleTimeout(int seconds)
{
    m_idleTimeoutMs = qint64(qMax(0, seconds)) * 1000;
}

void ScpiServer::drop(ScpiSession *session)
{
    m_sessions.removeOne(session);
    m_handler->sessionEnded(session->id());
    session->disconnect(this);
    session->abort();
    session->deleteLater();
}

void ScpiServer::closeIdle()
{
    if (m_idleTimeoutMs <= 0)
        return;
    const QList<ScpiSession *> sessions = m_sessions;
    bool dropped = false;
    for (ScpiSession *session : sessions) {
        if (session->idleMs() >= m_idleTimeoutMs && !session->isBusy()) {
            drop(session);
            dropped = true;
        }
    }
    if (dropped)
        emit clientCountChanged(m_sessions.size());
}

ScpiServer::~ScpiServer()
{
    close();
}

bool ScpiServer::listen(quint16 port, bool network, const AllowList &allow)
{
    close();
    m_network = network;
    m_allow = allow;
    m_error.clear();
    m_refused = 0;
    m_idleCheck.start();
    const auto add = [this](const QHostAddress &address, quint16 on) {
        auto server = std::make_unique<QTcpServer>();
        if (!server->listen(address, on)) {
            m_error = server->errorString();
            return false;
        }
        QTcpServer *raw = server.get();
        connect(raw, &QTcpServer::newConnection, this, [this, raw] { accept(raw); });
        m_servers.push_back(std::move(server));
        return true;
    };
    if (network)
        return add(QHostAddress::Any, port);
    if (!add(QHostAddress::LocalHost, port))
        return false;
    // A machine without IPv6 still serves 127.0.0.1.
    add(QHostAddress::LocalHostIPv6, m_servers.front()->serverPort());
    m_error.clear();
    return true;
}

void ScpiServer::close()
{
    m_idleCheck.stop();
    m_servers.clear();
    const QList<ScpiSession *> sessions = m_sessions;
    m_sessions.clear();
    for (ScpiSession *session : sessions) {
        m_handler->sessionEnded(session->id());
        session->disconnect(this);
        session->abort();
        session->deleteLater();
    }
    if (!sessions.isEmpty())
        emit clientCountChanged(0);
}

quint16 ScpiServer::port() const
{
    return m_servers.empty() ? 0 : m_servers.front()->serverPort();
}

void ScpiServer::accept(QTcpServer *server)
{
    while (QTcpSocket *socket = server->nextPendingConnection()) {
        const bool allowed = !m_network || m_allow.allows(socket->peerAddress());
        if (allowed && m_sessions.size() >= kMaxClients) {
            // The client silent the longest gives way, if it has been silent long enough and owes nothing.
            const auto idle
                = [](const ScpiSession *session) { return session->isBusy() ? -1 : session->idleMs(); };
            const auto idlest = std::max_element(m_sessions.cbegin(), m_sessions.cend(),
                [&idle](const ScpiSession *a, const ScpiSession *b) { return idle(a) < idle(b); });
            if (idlest != m_sessions.cend() && idle(*idlest) >= m_giveWayAfterMs)
                drop(*idlest);
        }
        if (!allowed || m_sessions.size() >= kMaxClients) {
            socket->abort();
            socket->deleteLater();
            emit refusedCountChanged(++m_refused);
            continue;
        }
        auto *session = new ScpiSession(socket, m_parser, m_handler, m_nextId++, this);
        m_sessions.append(session);
        m_handler->sessionStarted(*session);
        connect(session, &ScpiSession::ended, this, [this](ScpiSession *gone) {
            m_sessions.removeOne(gone);
            gone->deleteLater();
            emit clientCountChanged(m_sessions.size());
        });
        emit clientCountChanged(m_sessions.size());
    }
}
