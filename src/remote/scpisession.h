#pragma once

#include "remote/scpiclient.h"
#include "remote/scpiparser.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QMap>
#include <QObject>
#include <QVector>

class QSocketNotifier;
class QTcpSocket;
class ScpiHandler;

// One client's connection: cuts its bytes into lines, hands their units to the handler and writes the
// answers back in the order of the queries, also when an earlier one is answered later. While a
// sequential command holds it, the rest of the line and later lines wait. A client that closes its
// sending side still gets the answers to every complete line it sent before the session ends. GUI thread
// only.
class ScpiSession : public QObject, public ScpiClient
{
    Q_OBJECT

public:
    // Longer lines are refused with -223 and dropped up to their newline.
    static constexpr int kMaxLine = 4096;

    // Takes `socket` over; it goes with the session.
    ScpiSession(QTcpSocket *socket, const ScpiParser &parser, ScpiHandler *handler, int id,
        QObject *parent = nullptr);
    ~ScpiSession() override;

    int id() const override { return m_id; }
    QString origin() const override;
    ScpiErrorQueue &errors() override { return m_errors; }
    ScpiStatus &status() override { return m_status; }
    bool messageAvailable() const override { return m_nextSlot > m_firstSlot; }
    quint64 reserve() override { return m_nextSlot++; }
    void answer(quint64 slot, const QByteArray &text) override;
    void hold() override { m_held = true; }
    void release() override;
    // Drops the client at once, without ended().
    void abort();
    // Since the client last sent a byte, or connected.
    qint64 idleMs() const { return m_idle.elapsed(); }
    // A command of the client's is under way or owes an answer: it must not be dropped for idleness.
    bool isBusy() const;

signals:
    // The client went; the session deletes itself later.
    void ended(ScpiSession *session);

private:
    void readInput();
    void readLines();
    // The client closed its side: goes on with what it sent, or ends.
    void inputEnded();
    bool hasWork() const;
    void endIfDrained();
    void end();
    qint64 pendingOutput() const;
    void write(const QByteArray &bytes);
    // Writes through the duplicate descriptor, once the socket has closed on the client's end of input.
    void sendSpare();
    void closeSpare();
    void takeLine(const QByteArray &line);
    // Hands the waiting units over until one holds the client.
    void runUnits();
    bool outputFull() const;

    QTcpSocket *m_socket;
    const ScpiParser &m_parser;
    ScpiHandler *m_handler;
    int m_id;
    ScpiErrorQueue m_errors;
    ScpiStatus m_status;
    QByteArray m_line;
    bool m_dropping = false; // the rest of an overlong line, up to its newline
    quint64 m_nextSlot = 0;
    quint64 m_firstSlot = 0; // the oldest answer not yet written
    QMap<quint64, QByteArray> m_ready; // answers waiting for an earlier one
    qint64 m_readyBytes = 0;
    bool m_ended = false;
    bool m_reading = false; // within readLines(): a command's event loop must not read on
    bool m_continuing = false; // a queued readInput() is on its way
    bool m_held = false; // a sequential command is under way
    QVector<ScpiUnit> m_units; // of the line being handled, not yet handed over
    QElapsedTimer m_idle;
    // A duplicate of the socket's descriptor: the socket closes both directions when the client ends its
    // input, and answers still owed go out through this one. -1 where descriptors cannot be duplicated.
    int m_spare = -1;
    bool m_draining = false; // the client's input has ended; answers still go out
    QByteArray m_spareOut;
    QByteArray m_inFlight; // written to the socket, not yet taken by the kernel
    QString m_origin;
    QSocketNotifier *m_spareWriter = nullptr;
};
