#pragma once

#include "control/reconnectpolicy.h"
#include "control/uutdriver.h"
#include "control/uutprotocol.h"
#include "control/uutreading.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <optional>

class QIODevice;

// The instrument's port on the link's worker thread: owns the serial port or TCP socket, feeds what it
// reads to the protocol core and writes what the core says, keeps the core's deadlines with one timer,
// reconnects a lost line (ReconnectPolicy) and checks an idle instrument is there. Created on the GUI
// thread without a parent, then moved to the worker thread; every slot runs there, reached by queued calls.
class UutWorker : public QObject
{
    Q_OBJECT

public:
    // Mirrors UutLink::State, as an int across the thread boundary.
    enum State { Closed, Connecting, Connected, NoAnswer, Lost };

    UutWorker();
    ~UutWorker() override;

public slots:
    void open(const UutDriver &driver, const QString &port, int presenceMs, int reconnectMs);
    void close();
    // Purpose as UutProtocol::Purpose.
    void ask(int token, int purpose, double value);

signals:
    void stateChanged(int state);
    void answered(int token, const UutReading &reading);
    void openFailed(const QString &reason);

private:
    bool openLine(QString *reason);
    void closeLine();
    void lineLost();
    void onReadyRead();
    void onDeadline();
    void onPresenceTick();
    void onReconnectTick();
    void apply(const UutProtocol::Steps &steps);
    void armDeadline();
    void setState(State state);
    void answerLost(int token, const QString &why);
    qint64 now() const { return m_clock.elapsed(); }

    UutDriver m_driver;
    QString m_port;
    std::unique_ptr<UutProtocol> m_protocol;
    QIODevice *m_device = nullptr; // the serial port or the socket, child of this
    QElapsedTimer m_clock;
    QTimer *m_deadlineTimer = nullptr;
    QTimer *m_presenceTimer = nullptr;
    QTimer *m_reconnectTimer = nullptr;
    ReconnectPolicy m_reconnect;
    State m_state = Closed;
    bool m_initDone = false;
    bool m_initFailed = false;
    bool m_checking = false; // a presence check is running
    std::optional<qint64> m_lastAnswerAt;
};
