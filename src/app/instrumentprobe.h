#pragma once

#include "station/uutlink.h"

#include <QCoreApplication>
#include <QObject>

class CalibrationRunner;

// 读取一次 in the run dialog: opens the station's instrument link with a driver on a port (unless a run
// is reading the instrument) and takes one reading, reported as the raw reply and the parsed value, or
// why there is none. A newer probe takes the place of an unanswered one. GUI thread only.
class InstrumentProbe : public QObject
{
    Q_OBJECT

public:
    // Both outlive the probe.
    InstrumentProbe(UutLink *link, const CalibrationRunner *runner, QObject *parent = nullptr);

    void probe(const QString &driver, const QString &port);

signals:
    void done(const QString &text);

private:
    void stateChanged(UutLink::State state);
    void answered(int token, const UutReading &reading);

    UutLink *m_link;
    const CalibrationRunner *m_runner;
    bool m_waitingForConnection = false;
    int m_token = 0;
};
