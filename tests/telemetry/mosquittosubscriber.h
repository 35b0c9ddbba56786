#pragma once

#include <QObject>
#include <QProcess>
#include <QVector>

// A mosquitto_sub process with a durable session at QoS 1: what is published while it reconnects (the
// broker restarted) waits for it, so a test or benchmark can count every event.
class MosquittoSubscriber : public QObject
{
    Q_OBJECT
public:
    struct Message
    {
        double receivedAt = 0; // Unix seconds, taken by mosquitto_sub as the message arrived
        bool retained = false;
        QByteArray topic;
        QByteArray payload;
    };

    MosquittoSubscriber(quint16 port, const QString &filter, const QString &clientId);
    ~MosquittoSubscriber() override;

    // Registers the session (waiting, bounded, for the broker's acknowledgement), then listens.
    bool start();
    void stop();
    // Messages received so far; they gather while the event loop runs.
    const QVector<Message> &messages() const { return m_messages; }
    QVector<Message> messages(const QByteArray &topicEnd) const;

    // The retained message of `topic`, read by a one-shot mosquitto_sub; empty after `ms` without one.
    static QByteArray retained(quint16 port, const QString &topic, int ms = 5000);

private:
    void read();
    QStringList arguments() const;

    const quint16 m_port;
    const QString m_filter, m_clientId;
    QProcess m_process;
    QByteArray m_partial;
    QVector<Message> m_messages;
};
