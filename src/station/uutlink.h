#pragma once

#include "control/uutdriver.h"
#include "control/uutreading.h"

#include <QObject>
#include <QString>

#include <memory>

class QThread;
class UutWorker;

// The link to the instrument under test: a facade on the GUI thread over a port worker on its own thread
// (a serial port with the driver's line settings, or a TCP socket for "host:port"). It sends the driver's
// init list at connect and after each reconnection, reconnects a lost port the way the blackbody link
// does, and between exchanges checks every 5 s that the instrument is there. GUI thread only.
class UutLink : public QObject
{
    Q_OBJECT

public:
    enum class State { Closed, Connecting, Connected, NoAnswer, Lost };

    // How often the idle instrument is checked for.
    static constexpr int kPresenceCheckMs = 5000;

    explicit UutLink(QObject *parent = nullptr);
    ~UutLink() override; // joins the worker

    // Opens `port` (a serial device path, or "host:port" for a TCP driver) with `driver`'s line settings,
    // sends the driver's init list; reconnects after a lost port the way the blackbody link does. A port
    // that does not open at all is reported by openFailed() and the link is Closed again.
    void open(const UutDriver &driver, const QString &port);
    // Pending exchanges are answered as Lost.
    void close();
    State state() const { return m_state; }
    const UutDriver *driver() const; // null when closed
    QString port() const { return m_port; }

    // One exchange each, queued on the worker; answered by answered(token, reading). In Listen mode
    // requestReading() answers with the next reading the instrument sends of itself. Tokens are positive
    // and never repeat within a link. On a closed link answered() follows at once with Kind::Lost.
    int requestReading();
    // Answered with Kind::Value and value = epsilon when written (no reply expected unless the driver
    // says so); Kind::Error when the driver has no set command.
    int setEmissivity(double epsilon);
    int queryEmissivity();

    // How often the idle instrument is checked; for the next open. Tests shorten it.
    void setPresenceCheckInterval(int ms) { m_presenceMs = ms; }

signals:
    void stateChanged(UutLink::State state);
    void answered(int token, const UutReading &reading);
    // The port did not open; the system's reason. The link is Closed.
    void openFailed(const QString &reason);

    // To the worker, queued.
    void workerOpen(const UutDriver &driver, const QString &port, int presenceMs, int session);
    void workerClose();
    void workerAsk(int token, int purpose, double value);

private:
    void onWorkerState(int session, int state);
    void onOpenFailed(int session, const QString &reason);
    void setState(State state);
    int ask(int purpose, double value);

    QThread *m_thread = nullptr;
    UutWorker *m_worker = nullptr; // lives on m_thread; deleted there
    std::unique_ptr<UutDriver> m_driver;
    QString m_port;
    State m_state = State::Closed;
    int m_lastToken = 0;
    int m_session = 0; // counts opens and closes; reports of an earlier one are stale
    int m_presenceMs = kPresenceCheckMs;
};
Q_DECLARE_METATYPE(UutLink::State)
