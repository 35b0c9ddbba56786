#include "mosquittosubscriber.h"

#include "mosquittobroker.h"

MosquittoSubscriber::MosquittoSubscriber(quint16 port, const QString &filter, const QString &clientId)
    : m_port(port)
    , m_filter(filter)
    , m_clientId(clientId)
{
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &MosquittoSubscriber::read);
}

MosquittoSubscriber::~MosquittoSubscriber()
{
    stop();
}

QStringList MosquittoSubscriber::arguments() const
{
    return {"-h", "127.0.0.1", "-p", QString::number(m_port), "-t", m_filter, "-q", "1", "-c", "-i",
        m_clientId, "--nodelay"};
}

bool MosquittoSubscriber::start()
{
    QProcess registration;
    registration.start(MosquittoBroker::program("mosquitto_sub"), arguments() << "-E");
    if (!registration.waitForFinished(5000) || registration.exitCode() != 0)
        return false;
    // The arrival time first and the payload last: a payload may hold spaces.
    m_process.start(MosquittoBroker::program("mosquitto_sub"),
        arguments() << "-F"
                    << "%U %r %t %p");
    return m_process.waitForStarted(5000);
}

void MosquittoSubscriber::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
    m_process.waitForFinished(2000);
}

QVector<MosquittoSubscriber::Message> MosquittoSubscriber::messages(const QByteArray &topicEnd) const
{
    QVector<Message> out;
    for (const Message &m : m_messages) {
        if (m.topic.endsWith(topicEnd))
            out.append(m);
    }
    return out;
}

void MosquittoSubscriber::read()
{
    m_partial += m_process.readAllStandardOutput();
    int end;
    while ((end = m_partial.indexOf('\n')) >= 0) {
        const QByteArray line = m_partial.left(end);
        m_partial.remove(0, end + 1);
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() < 4)
            continue;
        Message m;
        m.receivedAt = parts[0].toDouble();
        m.retained = parts[1] == "1";
        m.topic = parts[2];
        m.payload = line.mid(parts[0].size() + parts[1].size() + parts[2].size() + 3);
        m_messages.append(m);
    }
}

QByteArray MosquittoSubscriber::retained(quint16 port, const QString &topic, int ms)
{
    QProcess p;
    p.start(MosquittoBroker::program("mosquitto_sub"),
        {"-h", "127.0.0.1", "-p", QString::number(port), "-t", topic, "-C", "1", "-W",
            QString::number(qMax(1, ms / 1000)), "--retained-only", "-F", "%p"});
    if (!p.waitForFinished(ms + 2000))
        p.kill();
    return p.readAllStandardOutput().trimmed();
}
