#pragma once

#include "remote/allowlist.h"
#include "remote/scpiparser.h"

#include <QList>
#include <QObject>
#include <QString>

#include <memory>
#include <vector>

class QTcpServer;
class ScpiHandler;
class ScpiSession;

// Accepts SCPI clients on a TCP port, at most kMaxClients at once, each with a session of its own.
// Local mode listens on 127.0.0.1 and ::1; network mode on every interface, for the allowed addresses
// only. GUI thread only.
class ScpiServer : public QObject
{
    Q_OBJECT

public:
    static constexpr int kMaxClients = 8;

    // `patterns` are the headers the handler knows (see ScpiParser); the handler outlives the server.
    ScpiServer(const QStringList &patterns, ScpiHandler *handler, QObject *parent = nullptr);
    ~ScpiServer() override;

    // False, with errorString(), when the port cannot be bound; port 0 takes a free one.
    bool listen(quint16 port, bool network, const AllowList &allow);
    // Stops listening and drops every client.
    void close();
    bool isListening() const { return !m_servers.empty(); }
    quint16 port() const;
    QString errorString() const { return m_error; }
    int clientCount() const { return m_sessions.size(); }

signals:
    void clientCountChanged(int count);

private:
    void accept(QTcpServer *server);

    ScpiParser m_parser;
    ScpiHandler *m_handler;
    std::vector<std::unique_ptr<QTcpServer>> m_servers;
    QList<ScpiSession *> m_sessions;
    bool m_network = false;
    AllowList m_allow;
    QString m_error;
    int m_nextId = 1;
};
