#pragma once

#include "simdevice.h"

#include <QElapsedTimer>

namespace sim {

// A thermometer: deaf unless the line runs at its own baud rate (8N1), it takes the zero bytes in front of
// a request as wake-up and ignores them, answers command 0x17 with a 2- or 3-byte frame and the read
// command 0x01 with the temperature as R = °C × 10 + 1000 in two bytes, high first. Every answer ends in
// the XOR of its other bytes. Other requests go unanswered.
class ThermometerDevice : public SimDevice
{
public:
    static constexpr unsigned char kReadCode = 0x01;
    static constexpr unsigned char kAckCode = 0x17;
    // The range the two reading bytes can carry.
    static constexpr double kMinCelsius = -100.0;
    static constexpr double kMaxCelsius = 6453.5;

    explicit ThermometerDevice(int baud = 115200, double celsius = 25.0, int ackLength = 2);

    double temperature() const { return m_celsius; }
    // False (and no change) outside kMinCelsius to kMaxCelsius.
    bool setTemperature(double celsius);
    int ackLength() const { return m_ackLength; }
    // False (and no change) for anything but 2 or 3.
    bool setAckLength(int length);

    // The three bytes the device answers a read with, at this temperature.
    static QByteArray readingFrame(double celsius);

    QVector<Exchange> receive(const QByteArray &bytes) override;
    LineSettings line() const override;
    bool isValidReply(const QByteArray &bytes) const override;
    QString describe() const override;
    bool handleCommand(const QStringList &words, QString *response) override;
    QStringList commandHelp() const override;

private:
    QByteArray ackFrame() const;

    int m_baud = 115200;
    double m_celsius = 25.0;
    int m_ackLength = 2;
    QElapsedTimer m_clock;
    QByteArray m_pending;
    qint64 m_lastByteNs = 0;
};

} // namespace sim
