#pragma once

#include "remote/allowlist.h"
#include "remote/scpiparser.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <vector>

class QTcpServer;
class ScpiHandler;
class ScpiSession;

// Accepts SCPI clients on a TCP port, at most kMaxClients at once, each with a session of its own.
// Local mode listens on 127.0.0.1 and ::1; network mode on every interface, for the allowed addresses
// only. A client silent for the idle timeout is closed; when every place is taken, one silent for
// giveWayAfter() gives way to a newcomer, the longest silent first, never one whose command is under way.
// GUI thread only.
class ScpiServer : public QObject
{
    Q_OBJECT

public:
    static constexpr int kMaxClients = 8;
    static constexpr int kDefaultIdleTimeoutSeconds = 300;
    static constexpr qint64 kGiveWayAfterMs = 30000;

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
    // Clients turned away since listening began: no place, or not allowed.
    int refusedCount() const { return m_refused; }
    // 0: never.
    void setIdleTimeout(int seconds);
    void setGiveWayAfter(qint64 ms) { m_giveWayAfterMs = ms; }

signals:
    void clientCountChanged(int count);
    void refusedCountChanged(int count);

private:
    void accept(QTcpServer *server);
    // Ends `session` from this side, as a client's going would.
    void drop(ScpiSession *session);
    void closeIdle();

    ScpiParser m_parser;
    ScpiHandler *m_handler;
    std::vector<std::unique_ptr<QTcpServer>> m_servers;
    QList<ScpiSession *> m_sessions;
    bool m_network = false;
    AllowList m_allow;
    QString m_error;
    int m_nextId = 1;
    int m_refused = 0;
    qint64 m_idleTimeoutMs = kDefaultIdleTimeoutSeconds * 1000;
    qint64 m_giveWayAfterMs = kGiveWayAfterMs;
    QTimer m_idleCheck;
};
