#include "remotecontrol.h"

RemoteControl::RemoteControl(Station *station, QObject *parent)
    : QObject(parent)
    , m_commands(station)
    , m_server(RemoteCommands::patterns(), &m_commands)
{
    connect(&m_server, &ScpiServer::clientCountChanged, this, &RemoteControl::clientCountChanged);
    connect(&m_server, &ScpiServer::refusedCountChanged, this, &RemoteControl::refusedCountChanged);
}

RemoteControl::~RemoteControl()
{
    m_server.close();
}

QStringList RemoteControl::unusable(const RemoteSettings &settings)
{
    const QStringList invalid = AllowList(settings.allow).invalid();
    if (!settings.network || invalid.isEmpty())
        return {};
    return {QStringLiteral("RemoteAllow \"%1\"").arg(invalid.join(QStringLiteral(", ")))};
}

bool RemoteControl::apply(const RemoteSettings &settings)
{
    m_commands.setWritesAllowed(settings.writes);
    m_server.setIdleTimeout(settings.idleTimeoutSeconds);
    const bool sameServer = m_server.isListening() && settings.enabled && settings.port == m_applied.port
        && settings.network == m_applied.network && settings.allow == m_applied.allow;
    m_applied = settings;
    m_error.clear();
    if (sameServer)
        return true;
    m_server.close();
    if (!settings.enabled)
        return true;
    const AllowList allow(settings.allow);
    if (settings.network && !allow.invalid().isEmpty()) {
        m_error = QStringLiteral("RemoteAllow: not an address or range: %1")
                      .arg(allow.invalid().join(QStringLiteral(", ")));
        return false;
    }
    if (m_server.listen(settings.port, settings.network, allow))
        return true;
    m_error = m_server.errorString();
    return false;
}
