#pragma once

#include "remote/scpierrorqueue.h"

#include <QByteArray>
#include <QMap>
#include <QObject>

class QTcpSocket;
class ScpiHandler;
class ScpiParser;

// One client's connection: cuts its bytes into lines, hands their units to the handler and writes the
// answers back in the order of the queries, also when an earlier one is answered later. GUI thread only.
class ScpiSession : public QObject
{
    Q_OBJECT

public:
    // Longer lines are refused with -223 and dropped up to their newline.
    static constexpr int kMaxLine = 4096;

    // Takes `socket` over; it goes with the session.
    ScpiSession(QTcpSocket *socket, const ScpiParser &parser, ScpiHandler *handler, int id,
        QObject *parent = nullptr);
    ~ScpiSession() override;

    int id() const { return m_id; }
    ScpiErrorQueue &errors() { return m_errors; }
    // The place of the next answer in the order of the queries.
    quint64 reserve() { return m_nextSlot++; }
    // Fills a reserved place; the answer goes out once every earlier one has.
    void answer(quint64 slot, const QByteArray &text);
    void answerNow(const QByteArray &text) { answer(reserve(), text); }
    // Drops the client at once, without ended().
    void abort();

signals:
    // The client went; the session deletes itself later.
    void ended(ScpiSession *session);

private:
    void readInput();
    void readLines();
    void takeLine(const QByteArray &line);
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
};
