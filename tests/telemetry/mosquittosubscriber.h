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

    // With `outputFile`, mosquitto_sub writes there and messages() reads on from it: a reader that falls
    // behind (a benchmark's busy event loop) then never holds mosquitto_sub up, nor its arrival times.
    MosquittoSubscriber(
        quint16 port, const QString &filter, const QString &clientId, const QString &outputFile = {});
    ~MosquittoSubscriber() override;

    // Registers the session (waiting, bounded, for the broker's acknowledgement), then listens.
    bool start();
    void stop();
    // Messages received so far; they gather while the event loop runs (or from the output file).
    const QVector<Message> &messages() const;
    QVector<Message> messages(const QByteArray &topicEnd) const;

    // The retained message of `topic`, read by a one-shot mosquitto_sub; empty after `ms` without one.
    static QByteArray retained(quint16 port, const QString &topic, int ms = 5000);

private:
    void read();
    void parse(const QByteArray &bytes) const;
    QStringList arguments() const;

    const quint16 m_port;
    const QString m_filter, m_clientId, m_outputFile;
    QProcess m_process;
    // Caught up on by the const messages() in file mode.
    mutable QByteArray m_partial;
    mutable QVector<Message> m_messages;
    mutable qint64 m_fileOffset = 0;
};
