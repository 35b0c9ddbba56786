#include "remotecontrol.h"

RemoteControl::RemoteControl(Station *station, QObject *parent)
    : QObject(parent)
    , m_commands(station)
    , m_server(RemoteCommands::patterns(), &m_commands)
{
    connect(&m_server, &ScpiServer::clientCountChanged, this, &RemoteControl::clientCountChanged);
}

RemoteControl::~RemoteControl()
{
    m_server.close();
}

bool RemoteControl::apply(const RemoteSettings &settings)
{
    m_commands.setWritesAllowed(settings.writes);
    const bool sameServer = m_server.isListening() && settings.enabled && settings.port == m_applied.port
        && settings.network == m_applied.network && settings.allow == m_applied.allow;
    m_applied = settings;
    if (sameServer)
        return true;
    m_server.close();
    if (!settings.enabled)
        return true;
    return m_server.listen(settings.port, settings.network, AllowList(settings.allow));
}
