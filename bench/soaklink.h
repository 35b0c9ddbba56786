#pragma once

#include "soakwaits.h"

#include <QString>

#include <atomic>

namespace sim {
class DeviceSimulator;
}

// What a soak driver keeps about its port beyond the exchanges: close requests and vanished lines, how
// long each took to be reported closed, and the simulated device plugged back in before a reopen (or, now
// and then, not yet, as the program may try before the adapter is back). Main thread, except markHungUp().
class SoakLink
{
public:
    enum class OpenOutcome { Opened, RetryNow, RetryLater };

    SoakLink(sim::DeviceSimulator *sim, const QString &port, const char *device);

    SoakWaits closeWaits; // close request -> the worker reports closed
    SoakWaits lossWaits; // the device vanishes -> the worker reports closed
    int failedReopens = 0; // attempts on the vanished port, which must fail
    int unexpected = 0; // an open of the vanished port that succeeded, or a close nobody asked for

    // On the simulator's thread, just before the device vanishes, so the worker's report never comes first.
    void markHungUp();
    bool hungUp() const { return m_hungUp; }
    void askClose();
    // The worker reported the line gone.
    void lost();
    // The worker reported closed at atNs; true once no close or loss is pending any more.
    bool closed(qint64 atNs);
    // Before a reopen: the next open is tried while the device is still away.
    void openEarly() { m_expectFailure = true; }
    // Plugs the device back in if it vanished.
    void replug();
    // Books the outcome of an open and says what the driver does next.
    OpenOutcome opened(bool ok);

private:
    sim::DeviceSimulator *const m_sim;
    const QString m_port;
    const char *const m_device;
    int m_closesOutstanding = 0;
    qint64 m_closeAskedNs = 0;
    bool m_lossPending = false;
    bool m_expectFailure = false;
    std::atomic<bool> m_hungUp {false};
    std::atomic<qint64> m_hungUpNs {0};
};
