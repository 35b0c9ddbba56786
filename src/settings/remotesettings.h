#pragma once

#include <QString>
#include <QStringList>

class Settings;

// The remote-control server's stored settings, entries of the "Chart" element.
struct RemoteSettings
{
    static constexpr quint16 kDefaultPort = 5025;

    bool enabled = false;
    quint16 port = kDefaultPort;
    bool network = false; // all interfaces, for the allowed addresses; else 127.0.0.1 and ::1 only
    QString allow; // comma-separated addresses and CIDR ranges
    bool writes = false; // clients may change things, not only ask
    int idleTimeoutSeconds = 300; // a client silent this long is closed; 0: never

    bool operator==(const RemoteSettings &o) const
    {
        return enabled == o.enabled && port == o.port && network == o.network && allow == o.allow
            && writes == o.writes && idleTimeoutSeconds == o.idleTimeoutSeconds;
    }
};

// Missing values read as their defaults. A value that is there but cannot be used (a port out of range,
// a timeout that is no number of seconds) is named in `unusable`: the door then stays off rather than
// serve on another port than the one meant.
RemoteSettings readRemoteSettings(const Settings &settings, QStringList *unusable = nullptr);
void storeRemoteSettings(Settings &settings, const RemoteSettings &remote);
