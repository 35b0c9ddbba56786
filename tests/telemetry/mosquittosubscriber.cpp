#include "mosquittosubscriber.h"

#include "mosquittobroker.h"

#include <QFile>

MosquittoSubscriber::MosquittoSubscriber(
    quint16 port, const QString &filter, const QString &clientId, const QString &outputFile)
    : m_port(port)
    , m_filter(filter)
    , m_clientId(clientId)
    , m_outputFile(outputFile)
{
    if (m_outputFile.isEmpty())
        connect(&m_process, &QProcess::readyReadStandardOutput, this, &MosquittoSubscriber::read);
    else
        m_process.setStandardOutputFile(m_outputFile, QIODevice::Append);
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

const QVector<MosquittoSubscriber::Message> &MosquittoSubscriber::messages() const
{
    QFile file(m_outputFile);
    if (!m_outputFile.isEmpty() && file.open(QIODevice::ReadOnly) && file.seek(m_fileOffset)) {
        const QByteArray bytes = file.readAll();
        m_fileOffset += bytes.size();
        parse(bytes);
    }
    return m_messages;
}

QVector<MosquittoSubscriber::Message> MosquittoSubscriber::messages(const QByteArray &topicEnd) const
{
    QVector<Message> out;
    for (const Message &m : messages()) {
        if (m.topic.endsWith(topicEnd))
            out.append(m);
    }
    return out;
}

void MosquittoSubscriber::read()
{
    parse(m_process.readAllStandardOutput());
}

void MosquittoSubscriber::parse(const QByteArray &bytes) const
{
    m_partial += bytes;
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
