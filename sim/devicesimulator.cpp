#include "devicesimulator.h"

#include "microtimer.h"
#include "ptyhost.h"
#include "tcphost.h"

#include <QTimer>

#include <algorithm>

namespace sim {

DeviceSimulator::DeviceSimulator(std::unique_ptr<SimDevice> device, QObject *parent)
    : QObject(parent)
    , m_device(std::move(device))
    , m_host(new PtyHost(this))
    , m_lineTimer(new MicroTimer(this))
{
    connect(m_host, &PtyHost::received, this,
        [this](const QByteArray &bytes) { onReceived(bytes, Origin::Line); });
}

DeviceSimulator::~DeviceSimulator() = default;

bool DeviceSimulator::open(const QString &linkPath, QString *error)
{
    ++m_generation;
    clearLog();
    m_linkPath = linkPath;
    m_requestInNs = 0;
    m_lineFreeNs = 0;
    return m_host->open(linkPath, error);
}

bool DeviceSimulator::listenTcp(quint16 port, QString *error)
{
    if (!m_tcp) {
        m_tcp = new TcpHost(this);
        connect(m_tcp, &TcpHost::received, this,
            [this](const QByteArray &bytes) { onReceived(bytes, Origin::Network); });
    }
    return m_tcp->listen(port, error);
}

quint16 DeviceSimulator::tcpPort() const
{
    return m_tcp ? m_tcp->port() : 0;
}

void DeviceSimulator::setPushInterval(int ms)
{
    m_pushMs = qMax(0, ms);
    if (!m_pushTimer) {
        m_pushTimer = new QTimer(this);
        m_pushTimer->setTimerType(Qt::PreciseTimer);
        connect(m_pushTimer, &QTimer::timeout, this, &DeviceSimulator::push);
    }
    if (m_pushMs > 0)
        m_pushTimer->start(m_pushMs);
    else
        m_pushTimer->stop();
}

bool DeviceSimulator::isOpen() const
{
    return m_host->isOpen();
}

QString DeviceSimulator::clientPath() const
{
    return m_host->clientPath();
}

LineSettings DeviceSimulator::clientLine() const
{
    return m_host->lineSettings();
}

void DeviceSimulator::hangUp()
{
    const bool networkClient = m_tcp && m_tcp->hasClient();
    if (!m_host->isOpen() && !networkClient)
        return;
    ++m_generation;
    m_host->hangUp();
    if (m_tcp)
        m_tcp->dropClient();
    emit hungUp();
}

void DeviceSimulator::clearLog()
{
    m_requests.clear();
    m_received.clear();
}

bool DeviceSimulator::writeRaw(const QByteArray &bytes)
{
    return m_host->write(bytes);
}

bool DeviceSimulator::broadcast(const QByteArray &bytes)
{
    const bool line = m_host->write(bytes);
    const bool network = m_tcp && m_tcp->write(bytes);
    return line || network;
}

void DeviceSimulator::push()
{
    // A reading sent while no one had the port open is gone, not waiting for the next client.
    m_host->discardUnread();
    const QByteArray bytes = m_device->unasked();
    if (!bytes.isEmpty() && broadcast(bytes))
        emit replySent(bytes);
}

void DeviceSimulator::onReceived(const QByteArray &bytes, Origin origin)
{
    m_received += bytes;
    emit bytesReceived(bytes);
    const LineSettings client = m_host->lineSettings();
    const LineSettings own = m_device->line();
    if (origin == Origin::Line && m_pacing)
        m_requestInNs = qMax(MicroTimer::now(), m_requestInNs) + bytes.size() * own.characterNs();
    if (origin == Origin::Line && !client.matchesOverPty(own)) {
        // A real receiver would sample these bits at the wrong rate or framing: they are noise to it.
        emit bytesIgnored(
            bytes, QStringLiteral("client line %1, device line %2").arg(client.toString(), own.toString()));
        return;
    }
    const QVector<SimDevice::Exchange> exchanges = m_device->receive(bytes);
    for (const SimDevice::Exchange &exchange : exchanges) {
        m_requests.append(exchange.request);
        emit requestReceived(exchange.request);
        const Fault fault = m_faults.take();
        if (!exchange.reply.isEmpty() || fault.kind == Fault::HangUp)
            respond(exchange.reply, m_replyDelayMs + exchange.delayMs, fault, origin);
        if (origin == Origin::Line && !m_host->isOpen())
            break;
    }
}

void DeviceSimulator::respond(const QByteArray &reply, int delayMs, const Fault &fault, Origin origin)
{
    switch (fault.kind) {
    case Fault::None:
        writeAfter(delayMs, reply, reply, origin);
        break;
    case Fault::Silence:
        break;
    case Fault::Garbage: {
        const QByteArray garbage = garbageFor(reply);
        writeAfter(delayMs, garbage, garbage, origin);
        break;
    }
    case Fault::BadCheck: {
        QByteArray corrupt = reply;
        corrupt[corrupt.size() - 1] = char(uchar(corrupt.at(corrupt.size() - 1)) ^ 0x01);
        writeAfter(delayMs, corrupt, corrupt, origin);
        break;
    }
    case Fault::Split: {
        const int pieces = qMin(fault.pieces, reply.size());
        const int size = (reply.size() + pieces - 1) / pieces;
        for (int i = 0; i * size < reply.size(); ++i) {
            const bool last = (i + 1) * size >= reply.size();
            writeAfter(
                delayMs + i * fault.pauseMs, reply.mid(i * size, size), last ? reply : QByteArray(), origin);
        }
        break;
    }
    case Fault::Late:
        writeAfter(fault.delayMs, reply, reply, origin);
        break;
    case Fault::HangUp:
        hangUp();
        break;
    }
}

void DeviceSimulator::writeAfter(int ms, const QByteArray &bytes, const QByteArray &completes, Origin origin)
{
    const auto write = [this, bytes, completes, origin, generation = m_generation] {
        if (generation != m_generation)
            return;
        const bool written = origin == Origin::Line ? m_host->write(bytes) : (m_tcp && m_tcp->write(bytes));
        if (written && !completes.isEmpty())
            emit replySent(completes);
    };
    if (m_pacing && origin == Origin::Line) {
        const qint64 start = qMax(m_requestInNs + qint64(ms) * 1000000, m_lineFreeNs);
        m_lineFreeNs = start + bytes.size() * m_device->line().characterNs();
        m_lineTimer->at(m_lineFreeNs, write);
    } else if (ms <= 0) {
        write();
    } else {
        QTimer::singleShot(ms, Qt::PreciseTimer, this, write);
    }
}

QByteArray DeviceSimulator::garbageFor(const QByteArray &reply)
{
    QByteArray garbage(qMax(1, reply.size()), '\0');
    do {
        std::generate(garbage.begin(), garbage.end(), [this] { return char(m_random.bounded(256)); });
    } while (m_device->isValidReply(garbage));
    return garbage;
}

} // namespace sim
