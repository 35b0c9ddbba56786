#include "devicesimulator.h"

#include "ptyhost.h"

#include <QTimer>

#include <algorithm>

namespace sim {

DeviceSimulator::DeviceSimulator(std::unique_ptr<SimDevice> device, QObject *parent)
    : QObject(parent)
    , m_device(std::move(device))
    , m_host(new PtyHost(this))
{
    connect(m_host, &PtyHost::received, this, &DeviceSimulator::onReceived);
}

DeviceSimulator::~DeviceSimulator() = default;

bool DeviceSimulator::open(const QString &linkPath, QString *error)
{
    ++m_generation;
    clearLog();
    m_linkPath = linkPath;
    return m_host->open(linkPath, error);
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
    if (!m_host->isOpen())
        return;
    ++m_generation;
    m_host->hangUp();
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

void DeviceSimulator::onReceived(const QByteArray &bytes)
{
    m_received += bytes;
    emit bytesReceived(bytes);
    const LineSettings client = m_host->lineSettings();
    const LineSettings own = m_device->line();
    if (client != own) {
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
            respond(exchange.reply, m_replyDelayMs + exchange.delayMs, fault);
        if (!m_host->isOpen())
            break;
    }
}

void DeviceSimulator::respond(const QByteArray &reply, int delayMs, const Fault &fault)
{
    switch (fault.kind) {
    case Fault::None:
        writeAfter(delayMs, reply, reply);
        break;
    case Fault::Silence:
        break;
    case Fault::Garbage: {
        const QByteArray garbage = garbageFor(reply);
        writeAfter(delayMs, garbage, garbage);
        break;
    }
    case Fault::BadCheck: {
        QByteArray corrupt = reply;
        corrupt[corrupt.size() - 1] = char(uchar(corrupt.at(corrupt.size() - 1)) ^ 0x01);
        writeAfter(delayMs, corrupt, corrupt);
        break;
    }
    case Fault::Split: {
        const int pieces = qMin(fault.pieces, reply.size());
        const int size = (reply.size() + pieces - 1) / pieces;
        for (int i = 0; i * size < reply.size(); ++i) {
            const bool last = (i + 1) * size >= reply.size();
            writeAfter(delayMs + i * fault.pauseMs, reply.mid(i * size, size), last ? reply : QByteArray());
        }
        break;
    }
    case Fault::Late:
        writeAfter(fault.delayMs, reply, reply);
        break;
    case Fault::HangUp:
        hangUp();
        break;
    }
}

void DeviceSimulator::writeAfter(int ms, const QByteArray &bytes, const QByteArray &completes)
{
    const auto write = [this, bytes, completes, generation = m_generation] {
        if (generation != m_generation || !m_host->write(bytes))
            return;
        if (!completes.isEmpty())
            emit replySent(completes);
    };
    if (ms <= 0)
        write();
    else
        QTimer::singleShot(ms, Qt::PreciseTimer, this, write);
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
