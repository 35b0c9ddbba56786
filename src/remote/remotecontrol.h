#pragma once

#include "remote/remotecommands.h"
#include "remote/scpiserver.h"
#include "settings/remotesettings.h"

#include <QObject>

class Station;

// The station as a SCPI instrument: serves the commands on the port the settings name, with or without
// a window. GUI thread only.
class RemoteControl : public QObject
{
    Q_OBJECT

public:
    // The station outlives the remote control.
    explicit RemoteControl(Station *station, QObject *parent = nullptr);
    ~RemoteControl() override;

    // Serves, or stops serving, as `settings` say. False when the port cannot be bound or the allow list
    // holds an entry that is no address or range; errorString() says why, and the station goes on
    // without the server rather than serve clients the operator did not mean.
    bool apply(const RemoteSettings &settings);
    // What in `settings` the server cannot use beyond what reading them found, named with its key for a
    // message: an allow-list entry that is no address or range while the network is served.
    static QStringList unusable(const RemoteSettings &settings);
    bool isServing() const { return m_server.isListening(); }
    quint16 port() const { return m_server.port(); }
    QString errorString() const { return m_error; }
    int clientCount() const { return m_server.clientCount(); }
    int refusedCount() const { return m_server.refusedCount(); }

signals:
    void clientCountChanged(int count);
    void refusedCountChanged(int count);

private:
    RemoteCommands m_commands;
    ScpiServer m_server;
    RemoteSettings m_applied;
    QString m_error;
};
