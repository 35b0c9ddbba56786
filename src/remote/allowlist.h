#pragma once

#include <QHostAddress>
#include <QPair>
#include <QString>
#include <QVector>

// The client addresses a server open to the network accepts: single addresses and CIDR ranges, written
// comma-separated ("192.168.1.0/24,10.0.0.5"). Empty accepts nobody. An IPv4 client reaching an IPv6
// socket is matched as the IPv4 address it is.
class AllowList
{
public:
    explicit AllowList(const QString &text = QString());

    bool allows(const QHostAddress &address) const;
    // The entries that are neither an address nor a range, to tell the operator.
    const QStringList &invalid() const { return m_invalid; }

private:
    QVector<QPair<QHostAddress, int>> m_ranges;
    QStringList m_invalid;
};
