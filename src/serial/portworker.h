#pragma once

#include "replycollector.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>

#include <atomic>

class QThread;

// What both port workers share: a port on a thread of their own, opening and closing it, noticing that its
// device has vanished, and collecting one reply within a deadline. A subclass frames its requests and runs
// its exchanges on that thread, in arrival order, each on an open port ended by exactly one DataRecv.
// Construct without a parent (the worker moves itself to its thread); reach the slots through queued
// connections. Destroy it from another thread. A subclass's constructor calls startThread() last, once its
// own members are set, and its destructor calls stopThread() first, since its slots may still be running.
class PortWorker : public QObject
{
    Q_OBJECT

public:
    ~PortWorker() override;

    // Any thread. Reflects the last open or close the worker has carried out; one still waiting in its
    // queue is not seen yet.
    bool IsOpen() const;

signals:
    // Ends every exchange written to an open port: the request code, the bytes collected (possibly none)
    // and whether a complete, valid reply arrived before the deadline.
    void DataRecv(uchar code, QByteArray data, bool ok);
    void OpenSuccessed(bool ok);
    // Precedes OpenSuccessed(false): the port that failed, the port's error and the system's reason.
    void OpenFailed(QString name, QSerialPort::SerialPortError error, QString reason);
    void CloseSuccessed(bool ok);
    // The port's own reports, relayed (NoError included; TimeoutError only with whole waits). A vanished
    // device (unplugged adapter, hung-up line) is reported once as ResourceError, after which the worker
    // closes the port and emits CloseSuccessed(true).
    void errorOccurred(QSerialPort::SerialPortError error);

public slots:
    // Closes the port if open; always answers CloseSuccessed(true).
    void CloseCom();

protected:
    using Complete = ReplyCollector::Complete;

    enum class Waits {
        // Each wait runs to its end and its time-out is relayed; destruction sits out a running exchange.
        Whole,
        // Waits are cut into slices, so destruction ends a running exchange at the next one; their many
        // time-outs are not relayed (a silent device is reported by DataRecv).
        Sliced,
    };
    // After an unanswered exchange the line counts as quiet after gapMs without a byte, but a babbling line
    // holds the next request back for no longer than limitMs.
    struct QuietLine
    {
        int gapMs = 0;
        int limitMs = 0;
    };
    // 8N1 without flow control unless said otherwise.
    struct LineConfig
    {
        QSerialPort::BaudRate baud = QSerialPort::Baud9600;
        QSerialPort::DataBits dataBits = QSerialPort::Data8;
        QSerialPort::FlowControl flowControl = QSerialPort::NoFlowControl;
        QSerialPort::Parity parity = QSerialPort::NoParity;
        QSerialPort::StopBits stopBits = QSerialPort::OneStop;
    };

    // Marks an exchange as running for its lifetime: a line lost meanwhile is closed by the exchange itself
    // once it has reported, and a drain of unasked bytes stands aside.
    class ExchangeScope
    {
    public:
        explicit ExchangeScope(PortWorker *worker);
        ~ExchangeScope();
        ExchangeScope(const ExchangeScope &) = delete;
        ExchangeScope &operator=(const ExchangeScope &) = delete;

    private:
        PortWorker *m_worker;
    };

    PortWorker(QObject *parent, Waits waits, QuietLine quiet);

    // From the owning thread: starts the thread the slots run on.
    void startThread();
    // From the owning thread: with sliced waits a running exchange ends at its next slice; then the thread
    // is quit and joined. Idempotent.
    void stopThread();

    // The rest run on the worker's thread.
    QSerialPort *port() const { return m_port; }
    bool inExchange() const { return m_inExchange; }
    // Closes an open port first, then opens and configures it; reports nothing.
    bool openPort(const QString &name, const LineConfig &line);
    // As openPort(); a port that does not open is reported with OpenFailed and OpenSuccessed(false). On
    // success the subclass answers OpenSuccessed(true) once its own part is done.
    bool openPortReporting(const QString &name, const LineConfig &line);
    // Open, its device still there, and no stop requested.
    bool portUsable() const;
    // The device has vanished or a stop is requested: a running exchange ends.
    bool cutShort() const;
    // Waits for a quiet line and returns what it read meanwhile.
    QByteArray waitForQuietLine();
    // Before a request: waits for a quiet line if the last reply is overdue, then drops all input.
    void settleLine();
    void writeWhole(const QByteArray &bytes, int writtenWaitMs);
    // Collects a reply until `complete` holds, the deadline passes or the exchange is cut short.
    QByteArray collectReply(int timeoutMs, const Complete &complete, bool *ok);
    // The last exchange ended without its reply, which may still be on its way.
    void setReplyOverdue(bool overdue) { m_replyOverdue = overdue; }
    // On a usable port: settles the line, writes `framed` whole, collects the reply and reports it with
    // DataRecv(code, ...). False, and nothing written, on a port that is not usable.
    bool exchange(
        const QByteArray &framed, uchar code, int writtenWaitMs, int timeoutMs, const Complete &complete);
    // After an exchange: closes the port, with CloseSuccessed(true), if its device vanished meanwhile.
    void closeIfLineLost();

private:
    void waitSlice(qint64 leftMs);
    void onPortError(QSerialPort::SerialPortError error);

    QSerialPort *m_port = nullptr;
    QThread *m_thread = nullptr;
    const Waits m_waits;
    const QuietLine m_quiet;
    // Written by the worker thread, read by IsOpen() from any thread.
    std::atomic<bool> m_open {false};
    // Set by stopThread(), from another thread: the running exchange ends at its next wait.
    std::atomic<bool> m_stopping {false};
    // Worker-thread only: an exchange is running, and the device has vanished since the last open.
    bool m_inExchange = false;
    bool m_lineLost = false;
    // Worker-thread only: the last exchange ended without its reply, which may still be on its way, even
    // after the port has been closed and opened again.
    bool m_replyOverdue = false;
};
