#include "allowlist.h"

AllowList::AllowList(const QString &text)
{
    for (const QString &piece : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString entry = piece.trimmed();
        if (entry.isEmpty())
            continue;
        QPair<QHostAddress, int> range;
        if (entry.contains(QLatin1Char('/'))) {
            range = QHostAddress::parseSubnet(entry);
        } else if (QHostAddress address(entry); !address.isNull()) {
            range = {address, address.protocol() == QAbstractSocket::IPv4Protocol ? 32 : 128};
        }
        // An IPv4-mapped entry names the IPv4 client it maps, which is how allows() sees that client.
        bool mapped = false;
        const quint32 ipv4 = range.first.toIPv4Address(&mapped);
        if (mapped && range.first.protocol() == QAbstractSocket::IPv6Protocol && range.second >= 96)
            range = {QHostAddress(ipv4), range.second - 96};
        if (range.first.isNull())
            m_invalid.append(entry);
        else
            m_ranges.append(range);
    }
}

bool AllowList::allows(const QHostAddress &address) const
{
    QHostAddress client = address;
    bool mapped = false;
    const quint32 ipv4 = address.toIPv4Address(&mapped);
    if (mapped)
        client = QHostAddress(ipv4);
    for (const auto &range : m_ranges) {
        if (client.isInSubnet(range))
            return true;
    }
    return false;
}
