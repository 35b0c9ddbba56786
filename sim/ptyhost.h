#pragma once

#include "linesettings.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

namespace sim {

// The device end of a pseudo-terminal pair, published under a symlink that a client opens as its port.
// Lives and works in the thread that calls open(); every other call must come from that thread too.
class PtyHost : public QObject
{
    Q_OBJECT

public:
    explicit PtyHost(QObject *parent = nullptr);
    // Hangs up and removes the link.
    ~PtyHost() override;

    // Creates a raw pseudo-terminal and points linkPath at its client end, replacing a stale symlink
    // (never a regular file). May be called again after hangUp() to plug the device back in.
    bool open(const QString &linkPath, QString *error = nullptr);
    bool isOpen() const { return m_master >= 0; }
    QString linkPath() const { return m_linkPath; }
    QString clientPath() const { return m_clientPath; }

    // The settings the client last applied on its end (the master reports the client end's termios).
    LineSettings lineSettings() const;

    // Queues bytes towards the client; false if the line is closed or its buffer is full.
    bool write(const QByteArray &bytes);

    // Forgets what the client has not read yet, as a line forgets what no one was listening to.
    void discardUnread();

    // The device vanishes: the client's end is hung up, as by an unplugged adapter, and the link goes.
    void hangUp();

signals:
    void received(const QByteArray &bytes);

private:
    void readMaster();
    void removeLink();

    int m_master = -1;
    // Held open so the master never reads end-of-line while no client has the port open.
    int m_keepAlive = -1;
    QSocketNotifier *m_notifier = nullptr;
    QString m_linkPath;
    QString m_clientPath;
};

} // namespace sim
