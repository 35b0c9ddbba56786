#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QTcpServer;
class QTcpSocket;

namespace sim {

// A device's network port on loopback: one client at a time, as with a serial line; a new connection
// replaces the one before. Lives and works in the thread that calls listen(); so does every other call.
class TcpHost : public QObject
{
    Q_OBJECT

public:
    explicit TcpHost(QObject *parent = nullptr);
    ~TcpHost() override;

    // Listens on 127.0.0.1:port (0: any free port, see port()).
    bool listen(quint16 port, QString *error = nullptr);
    bool isListening() const;
    quint16 port() const;
    bool hasClient() const { return m_client != nullptr; }

    // Sends bytes to the client; false when there is none.
    bool write(const QByteArray &bytes);
    // Closes the client's connection (the device vanished); the port keeps listening.
    void dropClient();

signals:
    void received(const QByteArray &bytes);

private:
    void accept();

    QTcpServer *m_server = nullptr;
    QTcpSocket *m_client = nullptr;
};

} // namespace sim
