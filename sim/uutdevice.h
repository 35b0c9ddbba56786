#pragma once

#include "greybody.h"
#include "simdevice.h"

#include <QElapsedTimer>
#include <QRandomGenerator>

#include <functional>

namespace sim {

// An instrument under test looking at the simulated source, speaking one of four command sets:
//   ascii      CR; "?T" -> "!T050.12", "?E" -> "!E0.950", "E=0.950" sets and echoes "!E0.950",
//              anything else "*Syntax Error"; an optional three-digit address in front ("017?T") when one
//              is set, unprefixed requests answered too, other addresses ignored; 8N1.
//   addressed  CR, 8E1; "00ms" -> "05012" (tenths, five digits; "77770" not ready, "88880" outside
//              0-7000 °C), "00em" -> "0950", "00es0950" sets and echoes "0950", anything else "no";
//              requests for another address are ignored.
//   binary     8N1; 0x01 -> two bytes (T*10 + 1000, high first), 0x04 -> emissivity*1000 in two bytes,
//              0x84 hi lo sets it and echoes the two bytes; other bytes are ignored; over range ff ff.
//   scpi       LF, 8N1; "FETC?" / "MEAS?" -> "50.123" (or "t: 50.123 C"), "EMIS?" -> "0.950",
//              "EMIS 0.95" sets (no reply), "*IDN?", "SYST:ERR?", "*CLS"; an unknown command gets no reply
//              and queues an error; over range reads 9.9E37, an error in its place -230,"Data corrupt or
//              stale". It can send its reading unasked (unasked()).
// Its reading is the grey-body view of the source (source()) at its own emissivity setting, plus an
// offset and uniform noise. Called from the simulator's thread only.
class UutDevice : public SimDevice
{
public:
    enum class Kind { Ascii, Addressed, Binary, Scpi };
    // What the next reading replies say instead of the reading.
    enum class Sentinel { NotReady, OverRange, Error };

    // False for a name other than ascii, addressed, binary or scpi.
    static bool kindFromName(const QString &name, Kind *kind);
    static QString kindName(Kind kind);

    // source: the source's temperature now, in °C.
    UutDevice(Kind kind, std::function<double()> source, int baud = 9600);

    Kind kind() const { return m_kind; }
    // The kind's own frame (8N1, or 8E1 for addressed) at baud; setFrame changes the frame.
    void setBaud(int baud) { m_line.baud = baud; }
    bool setFrame(const QString &frame) { return m_line.setFrame(frame); }
    double emissivity() const { return m_emissivity; }
    // False (and no change) outside 0.100 to 1.000.
    bool setEmissivity(double emissivity);
    GreyBody &view() { return m_view; }
    void setOffset(double celsius) { m_offset = celsius; }
    void setNoise(double amplitude) { m_noise = qMax(0.0, amplitude); }
    void setSeed(quint32 seed) { m_random.seed(seed); }
    // ascii: three digits or empty (none); addressed: two digits. False (and no change) otherwise.
    bool setAddress(const QString &address);
    QString address() const { return m_address; }
    // scpi: "t: 50.123 C" instead of "50.123".
    void setUnitForm(bool on) { m_unitForm = on; }
    // The next count reading replies carry the sentinel; false when this kind has no such reply.
    bool queueSentinel(Sentinel sentinel, int count);

    // The reading now, offset and noise included; NaN when the model has none.
    double reading();

    QVector<Exchange> receive(const QByteArray &bytes) override;
    LineSettings line() const override { return m_line; }
    bool isValidReply(const QByteArray &bytes) const override;
    QString describe() const override;
    bool handleCommand(const QStringList &words, QString *response) override;
    QStringList commandHelp() const override;
    QByteArray unasked() override;

private:
    // The reply to one text request (terminator removed), with its terminator; empty: no reply.
    QByteArray answerAscii(const QByteArray &request);
    QByteArray answerAddressed(const QByteArray &request);
    QByteArray answerScpi(const QByteArray &request);
    QVector<Exchange> receiveBinary();
    QByteArray temperatureReply();
    // The sentinel due on this reading reply, if any (consumed).
    bool takeSentinel(Sentinel *sentinel);

    Kind m_kind = Kind::Ascii;
    std::function<double()> m_source;
    LineSettings m_line;
    double m_emissivity = 0.95;
    GreyBody m_view;
    double m_offset = 0.0;
    double m_noise = 0.0;
    QRandomGenerator m_random {3};
    QString m_address;
    bool m_unitForm = false;
    Sentinel m_sentinel = Sentinel::NotReady;
    int m_sentinelCount = 0;
    QStringList m_scpiErrors;
    QByteArray m_pending;
    QElapsedTimer m_clock;
    qint64 m_lastByteNs = 0;
};

} // namespace sim
