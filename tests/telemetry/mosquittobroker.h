#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A mosquitto broker of our own on loopback, for tests and benchmarks: a free port, its config and its
// persistence file in a temporary folder, so it can be stopped and started again on the same port and
// keep its durable sessions.
class MosquittoBroker
{
public:
    // The path of a mosquitto program (mosquitto lives in sbin), or empty.
    static QString program(const QString &name);

    // `extraConfig` lines replace allow_anonymous; $DIR in them stands for folder().
    explicit MosquittoBroker(const QString &extraConfig = {});
    ~MosquittoBroker();
    MosquittoBroker(const MosquittoBroker &) = delete;
    MosquittoBroker &operator=(const MosquittoBroker &) = delete;

    // Starts it and waits, up to 5 s, until it listens.
    bool start();
    // SIGTERM, so it saves its sessions, and waits for it to end.
    void stop();
    // Waits up to `ms` until its log holds `text` at least `count` times.
    bool waitForLog(const QString &text, int count, int ms);
    // How often its log holds `text` so far, over all its starts.
    int logCount(const QString &text);
    qint64 processId() const { return m_process.processId(); }

    quint16 port() const { return m_port; }
    QString folder() const { return m_dir.path(); }

private:
    void collect();

    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    QString m_log;
};
