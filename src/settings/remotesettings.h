#pragma once

#include <QString>

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
};

// Missing or unusable values read as their defaults.
RemoteSettings readRemoteSettings(const Settings &settings);
void storeRemoteSettings(Settings &settings, const RemoteSettings &remote);
