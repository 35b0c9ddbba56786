#pragma once

#include "blackbodymodel.h"
#include "simdevice.h"

#include <QElapsedTimer>
#include <QRandomGenerator>

namespace sim {

// A blackbody controller: answers the read ("R") and set ("C") frames with 9-byte checksum replies in the
// model's wire unit, and moves its temperature toward the set point with a first-order response.
// A set point outside the model's range is refused: the controller does not answer it.
class BlackbodyDevice : public SimDevice
{
public:
    explicit BlackbodyDevice(const BlackbodyModel &model, int baud = 9600, double initialCelsius = 25.0);

    const BlackbodyModel &model() const { return m_model; }

    // Noise-free temperature now.
    double temperature() const;
    void setTemperature(double celsius);
    double setPoint() const { return m_setPoint; }
    // False (and no change) outside the model's range.
    bool setSetPoint(double celsius);
    // Seconds; 0 or less makes the temperature follow the set point at once.
    void setTimeConstant(double seconds);
    double timeConstant() const { return m_tau; }
    // Each reading is off by up to this many degrees, uniformly; 0 gives exact readings.
    void setNoise(double amplitude);
    double noise() const { return m_noise; }
    void setSeed(quint32 seed) { m_random.seed(seed); }
    int refusedSetPoints() const { return m_refused; }
    // Answers to read frames come this much later than others (a controller busy with its loop).
    void setPollDelay(int ms) { m_pollDelayMs = qMax(0, ms); }
    int pollDelay() const { return m_pollDelayMs; }
    // Set frames are received but neither obeyed nor answered (a controller in local mode).
    void setIgnoreSetFrames(bool ignore) { m_ignoreSetFrames = ignore; }
    bool ignoresSetFrames() const { return m_ignoreSetFrames; }

    QVector<Exchange> receive(const QByteArray &bytes) override;
    LineSettings line() const override;
    bool isValidReply(const QByteArray &bytes) const override;
    QString describe() const override;
    bool handleCommand(const QStringList &words, QString *response) override;
    QStringList commandHelp() const override;

private:
    void reanchor();
    QByteArray reply(double current);
    QByteArray answer(const QByteArray &frame);

    BlackbodyModel m_model;
    int m_baud = 9600;
    QElapsedTimer m_clock;
    // The temperature follows exp(-t/tau) from this point toward the set point.
    double m_anchorTemp = 25.0;
    qint64 m_anchorNs = 0;
    double m_setPoint = 25.0;
    double m_tau = 30.0;
    double m_noise = 0.0;
    QRandomGenerator m_random {1};
    int m_refused = 0;
    int m_pollDelayMs = 0;
    bool m_ignoreSetFrames = false;
    QByteArray m_pending;
    qint64 m_lastByteNs = 0;
};

} // namespace sim
