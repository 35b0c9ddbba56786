#pragma once

#include "remote/scpiclient.h"
#include "remote/scpiparser.h"

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QVector>

class QTcpSocket;
class ScpiHandler;

// One client's connection: cuts its bytes into lines, hands their units to the handler and writes the
// answers back in the order of the queries, also when an earlier one is answered later. While a
// sequential command holds it, the rest of the line and later lines wait. GUI thread only.
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
    quint64 reserve() override { return m_nextSlot++; }
    void answer(quint64 slot, const QByteArray &text) override;
    void hold() override { m_held = true; }
    void release() override;
    // Drops the client at once, without ended().
    void abort();

signals:
    // The client went; the session deletes itself later.
    void ended(ScpiSession *session);

private:
    void readInput();
    void readLines();
    void takeLine(const QByteArray &line);
    // Hands the waiting units over until one holds the client.
    void runUnits();
    bool outputFull() const;

    QTcpSocket *m_socket;
    const ScpiParser &m_parser;
    ScpiHandler *m_handler;
    int m_id;
    ScpiErrorQueue m_errors;
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
};
