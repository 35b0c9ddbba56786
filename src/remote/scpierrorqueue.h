#pragma once

#include <QPair>
#include <QQueue>
#include <QString>

#include <utility>

// One client's error/event queue and the standard event status register its errors raise, as IEEE 488.2
// defines them. The queue holds 16 entries; when full, the newest is replaced by -350 "Queue overflow",
// as SCPI-1999 wants, and later errors are lost until one is read.
class ScpiErrorQueue
{
public:
    static constexpr int kCapacity = 16;
    // The standard event status register's bits.
    enum EventStatus : quint8 {
        OperationComplete = 0x01,
        QueryError = 0x04, // -400 to -499
        DeviceError = 0x08, // -300 to -399, and the device's own positive codes
        ExecutionError = 0x10, // -200 to -299
        CommandError = 0x20, // -100 to -199
    };

    // Queues the error and raises its class's bit in the event status register.
    void push(int code, const QString &text);
    // The oldest entry as the reply to SYSTem:ERRor?, `0,"No error"` when empty.
    QByteArray next();
    // *CLS: the queue and the event status register.
    void clear();
    int size() const { return m_entries.size(); }

    quint8 eventStatus() const { return m_eventStatus; }
    void raise(EventStatus bit) { m_eventStatus |= bit; }
    // *ESR?: read and cleared.
    quint8 takeEventStatus() { return std::exchange(m_eventStatus, quint8(0)); }

private:
    QQueue<QPair<int, QString>> m_entries;
    quint8 m_eventStatus = 0;
};
