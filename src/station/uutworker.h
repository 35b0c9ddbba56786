#pragma once

#include "control/reconnectpolicy.h"
#include "control/uutdriver.h"
#include "control/uutprotocol.h"
#include "control/uutreading.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <memory>

class QIODevice;
class QTimer;

// The instrument's port on the link's worker thread: owns the serial port or TCP socket, feeds what it
// reads to the protocol core and writes what the core says, keeps the core's deadlines with one timer,
// reconnects a lost line (ReconnectPolicy) and checks an idle instrument is there. Created on the GUI
// thread without a parent and moved to the worker thread; every slot runs there, reached by queued calls.
// Its reports carry the link's session number, so the link can tell a report of an earlier open.
class UutWorker : public QObject
{
    Q_OBJECT

public:
    // Mirrors UutLink::State, as an int across the thread boundary.
    enum State { Closed, Connecting, Connected, NoAnswer, Lost };
    // Tokens of the worker's own exchanges; the link's are positive.
    static constexpr int kInitToken = 0;
    static constexpr int kCheckToken = -1;

    UutWorker();
    ~UutWorker() override;

public slots:
    // Worker thread. A port with a ':' that is no path is "host:port"; anything else a serial device.
    void open(const UutDriver &driver, const QString &port, int presenceMs, int session);
    // Pending exchanges are answered as Lost.
    void close();
    // Purpose as UutProtocol::Purpose.
    void ask(int token, int purpose, double value);

signals:
    void stateChanged(int session, int state);
    void answered(int token, const UutReading &reading);
    void openFailed(int session, const QString &reason);

private:
    // Starts opening the line; false with the reason when it cannot even start. A socket connects later.
    bool openLine(QString *reason);
    void lineUp();
    void lineFailed(const QString &reason);
    void closeLine();
    void lineLost();
    void onReadyRead();
    void onDeadline();
    void onPresenceCheck();
    void onReconnectTick();
    void apply(const UutProtocol::Steps &steps);
    void judgeState(int token, const UutReading &reading);
    void rearm();
    void setState(State state);
    void answerDropped(const QVector<QPair<int, UutProtocol::Purpose>> &dropped, const QString &why);
    static UutReading lostReading(const QString &why);
    qint64 now() const { return m_clock.elapsed(); }

    UutDriver m_driver;
    QString m_port;
    int m_session = 0;
    int m_presenceMs = 5000;
    std::unique_ptr<UutProtocol> m_protocol; // while the line is up
    QIODevice *m_device = nullptr; // the serial port or the socket, child of this
    QElapsedTimer m_clock;
    QTimer *m_deadlineTimer = nullptr;
    QTimer *m_presenceTimer = nullptr;
    QTimer *m_reconnectTimer = nullptr;
    ReconnectPolicy m_reconnect;
    State m_state = Closed;
    bool m_everUp = false; // since open(): a failure to connect is a lost line, not a failed open
};
