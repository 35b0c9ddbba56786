#include "soaklink.h"

#include "devicesimulator.h"
#include "soakledger.h"

#include <QMetaObject>

SoakLink::SoakLink(sim::DeviceSimulator *sim, const QString &port, const char *device)
    : m_sim(sim)
    , m_port(port)
    , m_device(device)
{ }

void SoakLink::markHungUp()
{
    m_hungUpNs = SoakLedger::nowNs();
    m_hungUp = true;
}

void SoakLink::askClose()
{
    ++m_closesOutstanding;
    m_closeAskedNs = SoakLedger::nowNs();
}

void SoakLink::lost()
{
    if (!m_hungUp)
        ++unexpected;
    m_lossPending = true;
}

bool SoakLink::closed(qint64 atNs)
{
    if (m_lossPending) {
        m_lossPending = false;
        lossWaits.add(atNs - m_hungUpNs);
    } else if (m_closesOutstanding > 0) {
        --m_closesOutstanding;
        closeWaits.add(atNs - m_closeAskedNs);
    } else {
        ++unexpected;
    }
    return !m_lossPending && m_closesOutstanding == 0;
}

void SoakLink::replug()
{
    if (!m_hungUp)
        return;
    bool plugged = false;
    QMetaObject::invokeMethod(
        m_sim, [&] { plugged = m_sim->open(m_port); }, Qt::BlockingQueuedConnection);
    if (!plugged)
        qFatal("cannot plug the simulated %s back in at %s", m_device, qPrintable(m_port));
    m_hungUp = false;
}

SoakLink::OpenOutcome SoakLink::opened(bool ok)
{
    if (m_expectFailure) {
        m_expectFailure = false;
        if (!ok) {
            ++failedReopens;
            replug();
            return OpenOutcome::RetryNow;
        }
        ++unexpected;
    }
    if (!ok) {
        ++unexpected;
        replug();
        return OpenOutcome::RetryLater;
    }
    return OpenOutcome::Opened;
}
