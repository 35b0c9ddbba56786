#pragma once

#include "soaklink.h"
#include "soakwaits.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>

#include <random>
#include <vector>

namespace sim {
class DeviceSimulator;
}
class OptSerial;
class SoakLedger;

// Drives the blackbody worker through the fault soak as the main window does: one read request at a time,
// a close now and then (at a random moment, often in the middle of an exchange), and after every close or
// vanished line the same port opened again. Lives in the main thread; the worker and the simulator run
// in threads of their own.
class SoakBlackbody : public QObject
{
    Q_OBJECT

public:
    // closeAfterMs[i]: a close request that many ms after read i is sent; -1: none.
    SoakBlackbody(OptSerial *worker, sim::DeviceSimulator *sim, SoakLedger *ledger, const QString &port,
        int reads, std::vector<int> closeAfterMs, quint64 seed);

    void start();
    bool done() const { return m_done; }
    qint64 lastProgressNs() const { return m_lastProgressNs; }

    SoakLink link;

signals:
    void finished();

    // As the main window's, connected to the worker's slots.
    void sig_opencom1(QString name, QSerialPort::BaudRate baud, QSerialPort::DataBits databits,
        QSerialPort::FlowControl flowcontrol, QSerialPort::Parity parity, QSerialPort::StopBits stopbits);
    void sig_sendread(QByteArray array);
    void sig_closecom();

private:
    enum class State { Opening, Open, Closing, Lost };

    void onData();
    void onOpened(bool ok);
    void onClosed(qint64 atNs);
    void onError(QSerialPort::SerialPortError error);
    void sendNext();
    void requestClose();
    void reopen();
    void open();

    const QString m_port;
    const int m_reads;
    const std::vector<int> m_closeAfterMs;
    std::mt19937_64 m_random;
    State m_state = State::Opening;
    int m_sent = 0;
    bool m_closeArmed = false;
    bool m_finishing = false;
    bool m_done = false;
    qint64 m_lastProgressNs = 0;
};
