#pragma once

#include "soaklink.h"
#include "soakwaits.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>

#include <memory>
#include <random>

namespace sim {
class DeviceSimulator;
}
class GetTempThread;
class KelvraSerial;
class SoakLedger;

// Drives the thermometer worker through the fault soak as its link does, the probe left out: open, ask for
// the acknowledgement, let the poll thread read on its own, stop it and close now and then (at random
// moments, some while a read is on the line), and after every close or vanished line open the same port
// again. Lives in the main thread; the worker, its poll and the simulator run in threads of their own.
class SoakThermometer : public QObject
{
    Q_OBJECT

public:
    // A close comes every closeMinMs..closeMaxMs while the port is open.
    SoakThermometer(KelvraSerial *worker, sim::DeviceSimulator *sim, SoakLedger *ledger, const QString &port,
        int reads, int closeMinMs, int closeMaxMs, quint64 seed);
    ~SoakThermometer() override;

    void start();
    bool done() const { return m_done; }
    qint64 lastProgressNs() const { return m_lastProgressNs; }

    SoakLink link;
    SoakWaits stopWaits; // stop request -> the poll thread has finished
    int slowOpens = 0; // an open whose wake-up outlasted its deadline + 1 s

signals:
    void finished();

    // Requests, connected to the worker's slots.
    void sig_opencom_KelvraSerial(QString name, QSerialPort::BaudRate baud);
    void sig_closecom2();
    void sig_sendreadkelvra(uchar code);

private:
    enum class State { Opening, Open, Closing, Lost };

    void onData(uchar code, const QByteArray &data, bool ok);
    void onOpened(bool ok);
    void onClosed(qint64 atNs);
    void onError(QSerialPort::SerialPortError error);
    void scheduleClose();
    void closeNow(int generation);
    void stopPoll();
    void reopen();
    void open();
    int between(int low, int high);

    SoakLedger *const m_ledger;
    const QString m_port;
    const int m_reads;
    const int m_closeMinMs;
    const int m_closeMaxMs;
    std::unique_ptr<GetTempThread> m_poll;
    std::mt19937_64 m_random;
    State m_state = State::Opening;
    // Counts the opens, so that a close meant for one is not carried out on a later one.
    int m_generation = 0;
    qint64 m_openAskedNs = 0;
    bool m_finishing = false;
    bool m_done = false;
    qint64 m_lastProgressNs = 0;
};
