#include "mosquittobroker.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QHostAddress>
#include <QStandardPaths>
#include <QTcpServer>

#include <pwd.h>
#include <unistd.h>

QString MosquittoBroker::program(const QString &name)
{
    QString found = QStandardPaths::findExecutable(name);
    if (found.isEmpty())
        found = QStandardPaths::findExecutable(name, {"/usr/sbin", "/usr/local/sbin"});
    return found;
}

MosquittoBroker::MosquittoBroker(const QString &extraConfig)
{
    QTcpServer probe;
    if (probe.listen(QHostAddress::LocalHost, 0))
        m_port = probe.serverPort();
    probe.close();
    // Started by root, mosquitto becomes the user "mosquitto", who may not read our temporary folder.
    const passwd *self = ::getpwuid(::getuid());
    QFile config(m_dir.filePath("mosquitto.conf"));
    if (config.open(QIODevice::WriteOnly)) {
        config.write(QStringLiteral("listener %1 127.0.0.1\n"
                                    "persistence true\n"
                                    "persistence_location %2/\n"
                                    "log_dest stderr\n"
                                    "set_tcp_nodelay true\n"
                                    "user %3\n"
                                    "%4\n")
                         .arg(m_port)
                         .arg(m_dir.path(), QString::fromLocal8Bit(self ? self->pw_name : "root"),
                             extraConfig.isEmpty() ? QStringLiteral("allow_anonymous true")
                                                   : QString(extraConfig).replace("$DIR", m_dir.path()))
                         .toUtf8());
    }
    m_process.setProcessChannelMode(QProcess::MergedChannels);
}

MosquittoBroker::~MosquittoBroker()
{
    stop();
}

bool MosquittoBroker::start()
{
    m_process.start(program("mosquitto"), {"-c", m_dir.filePath("mosquitto.conf")});
    if (!m_process.waitForStarted(5000))
        return false;
    const int runs = m_log.count(QStringLiteral(" running"));
    return waitForLog(QStringLiteral(" running"), runs + 1, 5000);
}

void MosquittoBroker::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
    collect();
}

bool MosquittoBroker::waitForLog(const QString &text, int count, int ms)
{
    const QDeadlineTimer deadline(ms);
    collect();
    while (m_log.count(text) < count) {
        if (deadline.hasExpired() || m_process.state() != QProcess::Running)
            return false;
        m_process.waitForReadyRead(int(qMax<qint64>(deadline.remainingTime(), 1)));
        collect();
    }
    return true;
}

int MosquittoBroker::logCount(const QString &text)
{
    collect();
    return m_log.count(text);
}

void MosquittoBroker::collect()
{
    m_log += QString::fromUtf8(m_process.readAll());
}
